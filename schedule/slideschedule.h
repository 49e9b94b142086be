#pragma once

#include "common/schedulerow.h"

#include <array>
#include <string>

// The grid's columns, one per field of a ScheduleRow; column 0 holds the row number.
namespace ScheduleColumn {
inline constexpr int Length = 1;
inline constexpr int Start = 2;
inline constexpr int Stop = 3;
inline constexpr int ImageUrl = 4;
inline constexpr int Title = 5;
} // namespace ScheduleColumn

// The field of each column, Length to Title: ScheduleCells[column - 1].
inline constexpr std::array<std::string ScheduleRow::*, 5> ScheduleCells = {
    &ScheduleRow::Length, &ScheduleRow::Start, &ScheduleRow::Stop, &ScheduleRow::ImageUrl,
    &ScheduleRow::Title};
