#pragma once

#include "common/schedulerow.h"

#include <string>
#include <vector>

// The Start or Stop cell of a row (1-based) as a time; a cell that is not a time throws an
// OutputError naming `path`, the file being written.
double scheduleTime(const std::vector<ScheduleRow>& rows, int row, std::string ScheduleRow::*cell,
                    const std::string& path);
