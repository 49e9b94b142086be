#include "clocktime.h"

#include "common/text.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

bool twoDigits(std::string_view text, int max, int& value) {
    if (text.size() != 2 || !Text::isDigits(text))
        return false;
    value = (text[0] - '0') * 10 + (text[1] - '0');
    return value <= max;
}

std::string hms(double days, bool padHours) {
    // A negative value is a day before day zero whose time of day is the fraction's
    // magnitude, as the runtime shows dates: -20 seconds past midnight reads 23:59:40.
    // Only the time of day is written, so whole days are dropped before rounding: a value
    // of any size stays within range.
    const double timeOfDay = std::fabs(std::fmod(days, 1.0));
    const long long seconds = ClockTime::toSeconds(timeOfDay) % 86400;
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, padHours ? "%02lld:%02lld:%02lld" : "%lld:%02lld:%02lld",
                  seconds / 3600, seconds / 60 % 60, seconds % 60);
    return buffer;
}

} // namespace

std::optional<double> ClockTime::parse(std::string_view input) {
    const std::string text = Text::trimBlanks(input);
    const size_t colon = text.find(':');
    if (colon == std::string::npos || colon == 0 || colon > 2)
        return std::nullopt;
    const std::string_view hours = std::string_view(text).substr(0, colon);
    if (!Text::isDigits(hours))
        return std::nullopt;
    const int h = std::atoi(std::string(hours).c_str());
    if (h > 23)
        return std::nullopt;

    const std::string_view rest = std::string_view(text).substr(colon + 1);
    int m = 0;
    int s = 0;
    if (rest.size() == 2) {
        if (!twoDigits(rest, 59, m))
            return std::nullopt;
    } else if (rest.size() == 5 && rest[2] == ':') {
        if (!twoDigits(rest.substr(0, 2), 59, m) || !twoDigits(rest.substr(3), 59, s))
            return std::nullopt;
    } else {
        return std::nullopt;
    }
    return fromSeconds(h * 3600LL + m * 60LL + s);
}

bool ClockTime::isValid(std::string_view text) {
    return parse(text).has_value();
}

long long ClockTime::toSeconds(double days) {
    return std::llround(days * SecondsPerDay);
}

double ClockTime::timePassed(double difference) {
    if (difference < -0.5)
        return difference + 1.0;
    return difference < 0 ? 0.0 : difference;
}

std::string ClockTime::format(double days) {
    return hms(days, true);
}

std::string ClockTime::formatElapsed(double days) {
    return hms(days, false);
}

std::string DayCount::numberText(double value) {
    if (value == 0 || !std::isfinite(value))
        return "0";
    // 15 significant digits, then laid out plain or in exponent form.
    char buffer[40];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
                                      std::chars_format::scientific, 14);
    const std::string text(buffer, result.ptr);
    const size_t e = text.find('e');
    std::string digits = text.substr(0, 1) + text.substr(2, e - 2);
    const int exponent = std::atoi(text.c_str() + e + 1);
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();

    std::string out = value < 0 ? "-" : "";
    if (exponent < -3 || exponent >= 15) {
        out += digits.substr(0, 1);
        if (digits.size() > 1)
            out += "." + digits.substr(1);
        char exp[16];
        std::snprintf(exp, sizeof exp, "E%c%02d", exponent < 0 ? '-' : '+', std::abs(exponent));
        out += exp;
    } else if (exponent < 0) {
        out += "0." + std::string(static_cast<size_t>(-exponent - 1), '0') + digits;
    } else {
        const size_t intDigits = static_cast<size_t>(exponent) + 1;
        if (digits.size() <= intDigits)
            out += digits + std::string(intDigits - digits.size(), '0');
        else
            out += digits.substr(0, intDigits) + "." + digits.substr(intDigits);
    }
    return out;
}

std::string DayCount::format(double value) {
    const std::string number = numberText(value);
    return (number[0] == '-' ? "" : " ") + number + " ";
}

std::optional<double> DayCount::parseNumber(std::string_view text) {
    return Text::toDouble(text);
}
