#pragma once

#include "common/settingsstore.h"
#include "forms/program.h"
#include "schedule/mainwindow.h"
#include "testing/scriptedui.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

// What every fuzz target shares: one scratch folder for the whole run and a post-processor
// main window on a scripted desktop, started afresh for each input.
namespace Fuzz {

// A path in the run's scratch folder, which is removed when the run ends.
std::string scratchPath(const std::string& name);
// Writes bytes to a scratch file, or removes it when bytes is empty; returns its path.
std::string writeScratch(const std::string& name, std::string_view bytes);
std::string readScratch(const std::string& name);

// The input split at the first line that reads exactly marker ("#urs" etc.): before, after.
std::pair<std::string_view, std::string_view> splitAt(std::string_view input,
                                                      std::string_view marker);

// A fault the fuzzer must report: the input breaks a rule the program relies on.
[[noreturn]] void fail(const std::string& what);

struct Session {
    Session();
    ScriptedUi ui{"Cuemark PostProcessor"};
    MemorySettingsStore settings;
    Program program;
    std::unique_ptr<Main> main;
};

// Saves the window's schedule as a GridFile and reads it into a fresh window: the rows must
// come back as they were. Fails when the save shows a box or a cell differs.
void checkGridRoundTrip(Session& session, const std::string& name);

} // namespace Fuzz
