#pragma once

class ProgramRegistry;
struct ProgramEntry;

// The post-processor "cuebuild" and its main window Main: its title, version, help file
// and settings application are declared here only.
ProgramEntry cuebuildEntry();
void registerCuebuild(ProgramRegistry& registry);
