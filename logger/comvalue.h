#pragma once

// Windows only. One conversion between automation values and COM VARIANTs, for both ends
// of a late-bound call: the logger's binding and the test automation server.
#include "automation.h"

#include <windows.h>

#include <oaidl.h>

#include <functional>
#include <string>

namespace ComValue {

// Fills a VARIANT (initialised here) from a value; an object goes through toDispatch,
// which returns a reference the VARIANT then owns. Text is widened from the 8-bit code
// page.
void toVariant(const AutomationValue& value, VARIANT& out,
               const std::function<IDispatch*(const AutomationRef&)>& toDispatch);
// The value a VARIANT holds, by reference or not; an object goes through fromDispatch,
// which takes a reference of its own. Throws AutomationError("Type mismatch") for what
// does not convert.
AutomationValue fromVariant(const VARIANT& in,
                            const std::function<AutomationRef(IDispatch*)>& fromDispatch);
// The system's description of a failed call, or "Automation error 0x..." without one.
std::string describe(HRESULT hr);
// Whether a failed call may be asked again (busy), cannot reach its program (gone), or
// was refused.
AutomationError::Kind kindOf(HRESULT hr);
// A busy call: the program turns it away for now, as while it shows a modal dialog.
bool isBusy(HRESULT hr);

} // namespace ComValue
