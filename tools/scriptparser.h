#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

// The grammar of a cuescript line, apart from what the commands mean.
namespace ScriptParser {

// Blank lines and lines whose first non-blank character is "#".
bool isComment(const std::string& line);

// A command line split into its first word and the rest after one blank.
struct Line {
    std::string word;
    std::string args;
};
Line split(const std::string& line);

std::vector<std::string> words(const std::string& text);
std::optional<int> wholeNumber(const std::string& text);
// A decimal number of seconds such as "2" or "0.25", and nothing else.
std::optional<double> seconds(const std::string& text);
// "W H": two whole numbers and nothing else.
std::optional<std::pair<int, int>> twoWholeNumbers(const std::string& text);
// "NAME TEXT": a first word, then the rest after one blank (which may be empty).
Line nameAndText(const std::string& args);
// OK, Cancel, Yes or No in any case, as the Mb:: result; empty for anything else.
std::optional<int> answerOf(const std::string& text);

} // namespace ScriptParser
