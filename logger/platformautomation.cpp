#include "automation.h"

#ifdef _WIN32
#include "comautomation.h"
#endif

AutomationFactory platformAutomationFactory() {
#ifdef _WIN32
    return comAutomationFactory();
#else
    return [](const std::string&) -> AutomationRef {
        throw AutomationError("ActiveX component can't create object");
    };
#endif
}
