#pragma once

#include <optional>
#include <string>
#include <string_view>

// Byte-string rules shared by every part of the system. Letter case is folded for ASCII
// letters only, so 8-bit text of any code page passes through unchanged.
namespace Text {

inline constexpr std::string_view crlf = "\r\n";

bool isBlank(char c);
std::string trimBlanks(std::string_view text);
std::string toLower(std::string_view text);
bool equalsNoCase(std::string_view a, std::string_view b);
// Position of the first occurrence of needle at or after from, ignoring case; npos if none.
size_t findNoCase(std::string_view haystack, std::string_view needle, size_t from = 0);
bool containsNoCase(std::string_view haystack, std::string_view needle);
bool endsWithNoCase(std::string_view text, std::string_view suffix);
bool isDigits(std::string_view text);
// The whole text as a finite double in the C locale ("." as the point; a leading "+" is
// allowed), whatever the user's locale says.
std::optional<double> toDouble(std::string_view text);

// A piece of input as a message quotes it: control bytes shown as \xNN, and no more than
// about maxChars characters, then "...", so a huge line never makes a huge message.
inline constexpr size_t MessageQuoteChars = 80;
// A path the operator chose is shown longer, so its file name is not cut off.
inline constexpr size_t MessagePathChars = 260;
std::string forMessage(std::string_view input, size_t maxChars = MessageQuoteChars);
// A reason as the end of a message: a full stop added unless it has one, as the system's
// own descriptions on Windows do.
std::string sentence(std::string_view reason);

} // namespace Text
