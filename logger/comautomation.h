#pragma once

#include "automation.h"

// Objects of the desktop's COM automation servers, driven late-bound through IDispatch:
// the class name is looked up as a ProgID and the server started out of process.
// Built on Windows only.
AutomationFactory comAutomationFactory();
