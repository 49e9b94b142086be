#pragma once

class ProgramRegistry;

// Registers the post-processor "cuebuild" and its main window Main.
void registerCuebuild(ProgramRegistry& registry);
