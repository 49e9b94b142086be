// Binds a presentation program through COM and reports what its first slide-show window
// shows: a check of the binding on a Windows machine, without the logger window.
#include "logger/automation.h"
#include "logger/comautomation.h"

#include <cstdio>

int main(int argc, char* argv[]) {
    const char* className = argc > 1 ? argv[1] : "PowerPoint.Application.8";
    try {
        const AutomationRef app = comAutomationFactory()(className);
        app->put("Visible", true);
        const AutomationRef windows = asObject(app->get("SlideShowWindows"));
        const int shows = asInt32(windows->get("Count"));
        std::printf("%s: %d slide show(s) running\n", className, shows);
        if (shows > 0) {
            const AutomationRef window = asObject(windows->get("", {std::int16_t(1)}));
            const AutomationRef slide = asObject(asObject(window->get("View"))->get("Slide"));
            std::printf("slide %d shown\n", asInt16(slide->get("SlideNumber")));
        }
    } catch (const AutomationError& e) {
        std::printf("%s: %s\n", className, e.what());
        return 1;
    }
    return 0;
}
