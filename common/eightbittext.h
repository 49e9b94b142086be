#pragma once

#include <optional>
#include <string>
#include <string_view>

// How the system shows its 8-bit texts: files and the operator's fields keep their bytes;
// a text is UTF-8 when it decodes cleanly, else Windows-1252, the code page of the old
// single-byte files. Code page 1252 is a fixed table, so both platforms read it alike.
namespace EightBitText {

bool isUtf8(const std::string& bytes);
// The text as UTF-8 bytes, as the screen shows it.
std::string toUtf8(const std::string& bytes);
// The operator's edit (UTF-8) of the text `previous`. An 8-bit text stays in its code
// page, so the bytes the operator did not touch come back unchanged; a character the code
// page lacks, or a text that was UTF-8, ASCII or empty, makes it UTF-8.
std::string encodeEdit(const std::string& editUtf8, const std::string& previous);

// The length of the well-formed UTF-8 sequence at the front of `text` (no overlong form,
// no surrogate, nothing past U+10FFFF), or 0 where none starts there.
size_t utf8SequenceLength(std::string_view text);
// The characters of a UTF-8 text; null when the bytes are not well-formed UTF-8.
std::optional<std::u32string> decodeUtf8(std::string_view bytes);
void appendUtf8(std::string& out, char32_t c);

} // namespace EightBitText
