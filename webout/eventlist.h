#pragma once

#include "webout/presentation.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

inline constexpr const char* EventListName = "cevents.txt";

// One line of the event list, without its line end: the page of `row` is shown from
// `start` (tenth 0) to tenth 9 of the second before `stop`.
std::string eventListLine(double start, double stop, std::string_view htmlUrl, int row);

// "Write RAE File" up to the start of the tool: writes cevents.txt (rows whose Start equals
// their Stop give no line) and returns its path. Stops at the first failure with an
// OutputError naming the list.
std::string writeEventList(const PresentationOutput& out);

// The event file's name from the audio URL: the name before its first ".ra" (any case)
// followed by ".rae"; nullopt when the URL holds no ".ra".
std::optional<std::string> GetRAEFile(std::string_view audioUrl);

// The tool's arguments, one per element, so no blank or shell character in them counts.
std::vector<std::string> ceventsArguments(const std::string& eventListPath,
                                          const std::string& eventFileName);
