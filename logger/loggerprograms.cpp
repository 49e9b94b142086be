#include "loggerprograms.h"

#include "common/version.h"
#include "logger/form1.h"

#include <stdexcept>
#include <string>

ProgramEntry loggerEntry(const PowerPointVersion& version, LoggerEnvironmentFactory environment) {
    ProgramEntry entry;
    entry.name = "cuerec" + std::to_string(version.number);
    entry.settingsApplication = LogSettings::Application;
    entry.title = "Cuemark Logger " + std::to_string(version.number);
    // The loggers show the major version alone.
    entry.version = std::string("Version ") + CueVersionMajor;
    entry.helpFileName = "cuerec.hlp";
    entry.environment = [environment]() -> std::unique_ptr<ProgramEnvironment> {
        return environment();
    };
    entry.mainWindow = [&version](WindowContext& context) -> std::unique_ptr<Window> {
        auto* desktop = dynamic_cast<LoggerEnvironment*>(&context.environment);
        if (!desktop)
            throw std::logic_error("a logger needs a logger environment");
        auto form = std::make_unique<Form1>(context.ui, context.settings, context.program, version,
                                            Form1::Seams{desktop->automation(), desktop->clock(),
                                                         [desktop] { desktop->beep(); },
                                                         desktop->attachment()});
        desktop->form = form.get();
        return form;
    };
    // The logger's boxes stay up while the talk goes on, as on the desktop.
    entry.boxesWaitForAnswer = true;
    return entry;
}
