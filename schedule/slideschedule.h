#pragma once

#include <array>
#include <string>

// The SlideSchedule holds at most this many rows: the grid, the grid file, the log import
// and every writer stop there.
inline constexpr int MaxScheduleRows = 100;

// One row of the SlideSchedule as the grid shows it: times are "hh:nn:ss" text (or
// whatever the operator typed), ImageUrl and Title are 8-bit text as read.
struct ScheduleRow {
    std::string Length;
    std::string Start;
    std::string Stop;
    std::string ImageUrl;
    std::string Title;

    friend bool operator==(const ScheduleRow&, const ScheduleRow&) = default;
};

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
