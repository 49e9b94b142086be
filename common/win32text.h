#pragma once

// Windows only. The program's 8-bit text is the ANSI code page: names, arguments and
// settings are kept as those bytes and widened only at the Unicode calls, so a name
// written by an older tool on the same machine opens, and bytes come back unchanged.
#include <string>

namespace Win32Text {

// The bytes in the ANSI code page as UTF-16, for the "W" calls.
std::wstring widen(const std::string& bytes);
// A UTF-16 text from the system as the ANSI code page's bytes. A character the code page
// lacks becomes '?', as the system's own narrow calls give it, and so does the name.
std::string narrow(const std::wstring& text);
// The folder of the running program's file, where its shipped files lie.
std::string programFolder();
// The system's description of an error code, as the ANSI code page's bytes.
std::string systemMessage(unsigned long code);

// One argument of a command line as the C runtime's parser reads it back: in quotes,
// with the backslashes before a quote doubled and the quote escaped.
std::string quotedArgument(const std::string& argument);

} // namespace Win32Text
