#include "loggerprograms.h"

#include "common/version.h"
#include "logger/form1.h"

#include <cctype>
#include <stdexcept>
#include <string>

namespace {

// The major number of a version text such as "16.0"; -1 when it starts with no digit.
int majorVersion(const std::string& text) {
    size_t at = 0;
    while (at < text.size() && text[at] == ' ')
        ++at;
    int major = -1;
    for (; at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])) && major < 1000;
         ++at)
        major = (major < 0 ? 0 : major * 10) + (text[at] - '0');
    return major;
}

} // namespace

AutomationFactory withVersionFreeName(AutomationFactory create, const PowerPointVersion& version) {
    if (!create)
        return create;
    return [create, &version](const std::string& className) -> AutomationRef {
        try {
            return create(className);
        } catch (const AutomationClassMissing&) {
            if (className == VersionFreeClassName)
                throw;
            AutomationRef found;
            try {
                found = create(VersionFreeClassName);
            } catch (const AutomationClassMissing&) {
                // No PowerPoint at all: the same error as for the build's own name.
                throw;
            }
            const std::string foundVersion = asText(found->get("Version"));
            if (version.drives(majorVersion(foundVersion)))
                return found;
            throw AutomationError(std::string(className) + " is not installed, and the " +
                                  VersionFreeClassName + " found (version " + foundVersion +
                                  ") cannot be driven by this logger.");
        }
    };
}

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
        Form1::Seams seams{withVersionFreeName(desktop->automation(), version),
                           desktop->clock(), [desktop] { desktop->beep(); },
                           withVersionFreeName(desktop->attachment(), version)};
        seams.audioInput = desktop->audioInput();
        auto form = std::make_unique<Form1>(context.ui, context.settings, context.program,
                                            version, std::move(seams));
        desktop->form = form.get();
        return form;
    };
    // The logger's boxes stay up while the talk goes on, as on the desktop.
    entry.boxesWaitForAnswer = true;
    return entry;
}
