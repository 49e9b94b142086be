#pragma once

#include "schedule/slideschedule.h"

#include <string>

class LogReader;

// The rows of a PresentationLog: a slide row per slide line, with its image URL made
// from the image path pattern, and a pause row per event line before "Logging Stopped".
// Each row lasts until the next line and the rows lie end to end from the first line's
// day count. A log that ends early, holds a line it cannot read, closes before any row
// or needs more rows than the grid holds comes back rejected, with the rows formed so far.
ImportedLog importLog(LogReader& log, const std::string& imagePathPattern);
