#pragma once

#include "common/schedulerow.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What every writer of the web presentation takes from the main window: the schedule's
// rows 1 to RowCount, the folder the presentation goes into and the two URLs as the
// operator's fields hold them when the command runs.
struct PresentationOutput {
    std::vector<ScheduleRow> rows;
    std::string outputDirectory; // with its trailing separator
    std::string htmlUrl;
    std::string audioUrl;
};

// The folder of a log, where its presentation goes; nullopt for a bare file name, whose
// presentation would land wherever the program happens to run.
std::optional<std::string> outputDirectoryOf(std::string_view logFileName);

// Whether a presentation folder is the program's own folder (any spelling of it, links
// followed), whose templates and pages the presentation would overwrite.
bool isProgramFolder(const std::string& outputDirectory, const std::string& programDirectory);
