#include "scheduletimes.h"

#include "common/clocktime.h"
#include "webout/outputerror.h"

double scheduleTime(const std::vector<ScheduleRow>& rows, int row, std::string ScheduleRow::*cell,
                    const std::string& path) {
    const std::string& text = rows.at(static_cast<size_t>(row - 1)).*cell;
    if (const auto time = ClockTime::parse(text))
        return *time;
    const char* name = cell == &ScheduleRow::Start ? "Start" : "Stop";
    throw OutputError(path, std::string(name) + " of row " + std::to_string(row) + " (\"" + text +
                                "\") is not a time");
}
