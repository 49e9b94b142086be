#pragma once

// The SlideSchedule holds at most this many rows: the grid, the grid file, the log import
// and every writer stop there.
inline constexpr int MaxScheduleRows = 100;
