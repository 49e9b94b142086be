#pragma once

#include <string>
#include <string_view>

// Every value the writers put into a file, encoded for the place it goes, so that no value
// can end its quotes, its element, its line or the block it stands in.

// "&", "<", ">", '"' and "'" as character references: for element text and for attribute
// values in either quote. The bytes are kept otherwise.
std::string htmlEscape(std::string_view text);
// A text of the system's 8-bit rule as HTML text of a UTF-8 page: a UTF-8 text keeps its
// bytes; one that is not UTF-8 is read in the Windows code page and its letters beyond
// ASCII written as numeric character references. Escaped as htmlEscape does.
std::string htmlUtf8Text(std::string_view text);

// A byte of a URL as %XX, which a browser reads as the same URL.
std::string percentEncoded(char byte);
// A file name as one relative URL path segment: only the unreserved bytes stand for
// themselves, so a "?", "&", "#" or "/" in the name cannot end the path.
std::string urlPathSegment(std::string_view name);
// A URL for a script data block of double-quoted values: "<", ">", '"' and control bytes
// percent-encoded (the same URL to a browser), so it can end neither its quotes, its line
// nor the block.
std::string scriptDataUrl(std::string_view url);

// A URL as WebVTT cue text: "&", "<" and ">" as character references; bytes that are not
// UTF-8 and control bytes percent-encoded, so the cue is UTF-8 on one line.
std::string vttUrlText(std::string_view url);

// A text as a JSON string with its quotes, for a script data block: UTF-8 kept, a text
// that is not UTF-8 read in the Windows code page; '"', "\", "<", ">", "&", control
// characters, U+2028 and U+2029 as \u escapes, so the string can end neither itself, its
// line nor the block.
std::string jsonString(std::string_view text);
// A text as WebVTT cue text on one line: UTF-8 as jsonString reads it, "&", "<" and ">"
// as character references, control characters as blanks.
std::string vttText(std::string_view text);
