#pragma once

#include <QString>

#include <string>

// How the system shows its 8-bit texts: files and the operator's fields keep their bytes;
// a text is UTF-8 when it decodes cleanly, else the Windows code page of the old
// single-byte files (Latin-1 where Qt lacks that code page). The screen and the web
// writers both follow this rule.
namespace EightBitText {

bool isUtf8(const std::string& bytes);
QString decode(const std::string& bytes);
// The same text as UTF-8 bytes.
std::string toUtf8(const std::string& bytes);
// The operator's edit of the text `previous`. An 8-bit text stays in its code page, so
// the bytes the operator did not touch come back unchanged; a character the code page
// lacks, or a text that was UTF-8, ASCII or empty, makes it UTF-8.
std::string encodeEdit(const QString& text, const std::string& previous);

} // namespace EightBitText
