#pragma once

#include "webout/presentation.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

class WriteBatch;

inline constexpr const char* EventListName = "cevents.txt";

// One line of the event list, without its line end: the page of `row` is shown from
// `start` (tenth 0) to tenth 9 of the second before `stop`.
std::string eventListLine(double start, double stop, std::string_view htmlUrl, int row);

// "Write RAE File" up to the start of the tool: writes cevents.txt into the batch (rows
// whose Start equals their Stop give no line) and returns its path. Stops at the first
// failure with an OutputError naming the list.
std::string writeEventList(WriteBatch& batch, const PresentationOutput& out);

// The event file's name from the audio URL: the name before its first ".ra" (any case)
// followed by ".rae"; nullopt when the URL holds no ".ra".
std::optional<std::string> GetRAEFile(std::string_view audioUrl);

// How the tool is started: its path, its arguments one per element (so no blank or shell
// character in them counts) and its working folder, the presentation's folder. Relative
// paths are made absolute here, so the tool finds the list whatever its working folder; a
// bare program name is left for the system to look up.
struct ToolStart {
    std::string program;
    std::vector<std::string> args;
    std::string workingDirectory;
};
ToolStart ceventsStart(const std::string& ceventsLoc, const std::string& eventListPath,
                       const std::string& eventFileName, const std::string& outputDirectory);
