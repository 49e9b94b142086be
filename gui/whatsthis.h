#pragma once

#include <QString>

#include <string>

// The short help shown in What's This mode for a control of one of the windows; empty
// when the control has none.
QString whatsThisText(const std::string& window, const std::string& control);
