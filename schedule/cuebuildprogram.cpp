#include "cuebuildprogram.h"

#include "common/programregistry.h"
#include "schedule/mainwindow.h"

void registerCuebuild(ProgramRegistry& registry) {
    const Program shipped = cuebuildProgram({});
    ProgramEntry entry;
    entry.name = "cuebuild";
    entry.settingsApplication = Main::SettingsApp;
    entry.title = shipped.title;
    entry.version = shipped.version;
    entry.helpFileName = shipped.helpFileName;
    entry.mainWindow = [](WindowContext& context) {
        return std::make_unique<Main>(context.ui, context.settings, context.program);
    };
    registry.add(std::move(entry));
}
