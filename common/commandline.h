#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

// An option of the program's own that takes a value: --NAME VALUE or --NAME=VALUE.
struct CommandLineOption {
    std::string name;      // without the dashes: "width"
    std::string valueName; // in the help: "N"
    std::string description;
};

// What a program says about its command line in --help.
struct CommandLineUsage {
    std::string name;    // the program's name, as typed
    std::string summary; // what the program does; one line, or a paragraph of lines
    // Arguments the program takes, each with its one-line description; none for the
    // desktop programs, which ignore whatever else they are given.
    std::vector<std::pair<std::string, std::string>> arguments;
    // The program's own options, each with its value.
    std::vector<CommandLineOption> options;
    // Options may also follow the arguments (cueslides DECK --width 1280); a name that
    // starts with a dash then comes after "--".
    bool optionsAfterArguments = false;
};

struct CommandLine {
    // Set when --help or --version was answered (printed on standard output): the
    // program ends at once with this status, before any window or office starts.
    std::optional<int> answered;
    // The arguments as the bytes given; after the first one, anything is an argument,
    // so a file name that starts with a dash stays a file name.
    std::vector<std::string> arguments;
    // The program's own options in the order given: name (without dashes) and value.
    std::vector<std::pair<std::string, std::string>> options;
    // Why the command line cannot be used, empty when it can: an unknown option, or an
    // option without its value. faultyOption is that option as typed ("--height", "-x"),
    // for a program that words the fault itself.
    std::string error;
    std::string faultyOption;
    bool valueMissing = false;
};

// Reads the command line before anything else runs, on every platform by the same rules.
CommandLine readCommandLine(int argc, const char* const* argv, const CommandLineUsage& usage);
