#include "mainwindow.h"

// TODO(gridfile): Save Grid and Read Grid.
void Main::mnuSaveGrid_Click() {}
void Main::mnuReadGrid_Click() {}
Main::SaveOutcome Main::saveGrid() { return SaveOutcome::NoData; }
