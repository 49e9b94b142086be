#include "loggerclock_windows.h"

#include "common/clocktime.h"
#include "common/win32text.h"

#include <windows.h>

#include <iterator>

std::string WindowsClock::timeText(double timeOfDay) const {
    const long long seconds = ClockTime::toSeconds(timeOfDay) % 86400;
    SYSTEMTIME time{};
    ::GetLocalTime(&time); // a valid date for the call; only the time of day is shown
    time.wHour = static_cast<WORD>(seconds / 3600);
    time.wMinute = static_cast<WORD>(seconds / 60 % 60);
    time.wSecond = static_cast<WORD>(seconds % 60);
    time.wMilliseconds = 0;
    // The user's long time format: no flag and no format of our own.
    wchar_t text[128] = {};
    const int length =
        ::GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &time, nullptr, text, std::size(text));
    const std::string bytes = length > 1 ? Win32Text::narrow(std::wstring(text, length - 1)) : "";
    // A comma would shift the fields of the log line.
    if (bytes.empty() || bytes.find(',') != std::string::npos)
        return LoggerClock::timeText(timeOfDay);
    return bytes;
}
