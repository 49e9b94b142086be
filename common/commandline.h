#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

// What a program says about its command line in --help.
struct CommandLineUsage {
    std::string name;    // the program's name, as typed
    std::string summary; // one line: what the program does
    // Arguments the program takes, each with its one-line description; none for the
    // desktop programs, which ignore whatever else they are given.
    std::vector<std::pair<std::string, std::string>> arguments;
};

struct CommandLine {
    // Set when --help or --version was answered (printed on standard output): the
    // program ends at once with this status, before any window or office starts.
    std::optional<int> answered;
    // The arguments as the bytes given; after the first one, anything is an argument,
    // so a file name that starts with a dash stays a file name.
    std::vector<std::string> arguments;
    // Why the command line cannot be used (an unknown option); empty when it can.
    std::string error;
};

// Reads the command line before anything else runs, on every platform by the same rules.
CommandLine readCommandLine(int argc, const char* const* argv, const CommandLineUsage& usage);
