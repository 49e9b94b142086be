#pragma once

struct ProgramEntry;

// Runs a registered program on the desktop: its settings, its main window from the
// registry's factory and the view registered for that window, until the window unloads.
// Returns the process's exit status.
int runQtProgram(const ProgramEntry& entry, int argc, char* argv[]);
