#pragma once

#include <string>

// The SlideSchedule holds at most this many rows: the grid, the grid file, the log import
// and every writer stop there.
inline constexpr int MaxScheduleRows = 100;

// One row of the SlideSchedule: times are "hh:nn:ss" text (or whatever the operator
// typed), ImageUrl and Title are 8-bit text as read. The writers take these rows.
struct ScheduleRow {
    std::string Length;
    std::string Start;
    std::string Stop;
    std::string ImageUrl;
    std::string Title;

    friend bool operator==(const ScheduleRow&, const ScheduleRow&) = default;
};
