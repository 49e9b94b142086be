#include "cuebuildprogram.h"

#include "common/version.h"
#include "forms/programregistry.h"
#include "schedule/mainwindow.h"

ProgramEntry cuebuildEntry() {
    ProgramEntry entry;
    entry.name = "cuebuild";
    entry.settingsApplication = Main::SettingsApp;
    entry.title = "Cuemark PostProcessor";
    entry.version = std::string("Version ") + CueVersion;
    entry.helpFileName = "cuebuild.hlp";
    entry.mainWindow = [](WindowContext& context) {
        return std::make_unique<Main>(context.ui, context.settings, context.program);
    };
    return entry;
}

void registerCuebuild(ProgramRegistry& registry) {
    registry.add(cuebuildEntry());
}
