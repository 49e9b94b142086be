#pragma once

#include <string>

// How the system shows its 8-bit texts: files and the operator's fields keep their bytes;
// a text is UTF-8 when it decodes cleanly, else the Windows code page of the old
// single-byte files. Each platform converts with its own library (Qt's codecs, the Win32
// code page calls); the screen follows this rule.
namespace EightBitText {

bool isUtf8(const std::string& bytes);
// The text as UTF-8 bytes, as the screen shows it.
std::string toUtf8(const std::string& bytes);
// The operator's edit (UTF-8) of the text `previous`. An 8-bit text stays in its code
// page, so the bytes the operator did not touch come back unchanged; a character the code
// page lacks, or a text that was UTF-8, ASCII or empty, makes it UTF-8.
std::string encodeEdit(const std::string& editUtf8, const std::string& previous);

} // namespace EightBitText
