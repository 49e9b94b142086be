// The command line every program answers, in the layout of Qt's command-line parser that
// the Linux programs have always printed, so a script or a shortcut means the same on
// every platform.
#include "commandline.h"

#include "common/version.h"

#include <algorithm>
#include <iostream>
#include <iterator>
#include <string_view>
#include <utility>

namespace {

constexpr size_t LineWidth = 79;
constexpr size_t Indent = 2;

const std::pair<std::string, std::string> Options[] = {
    {"-h, --help", "Displays help on commandline options."},
    {"--help-all", "Displays help including Qt specific options."},
    {"-v, --version", "Displays version information."},
};

// One entry of the option or argument list: the name padded to its column, the
// description word-wrapped beside it.
std::string entry(const std::string& name, size_t column, const std::string& description) {
    std::string out(Indent, ' ');
    out += name + std::string(column - name.size(), ' ');
    const size_t start = Indent + column;
    size_t at = start;
    size_t from = 0;
    bool first = true;
    while (from < description.size()) {
        size_t end = description.find(' ', from);
        if (end == std::string::npos)
            end = description.size();
        const std::string_view word(description.data() + from, end - from);
        if (!first && at + 1 + word.size() > LineWidth) {
            out += '\n' + std::string(start, ' ');
            at = start;
            first = true;
        }
        if (!first) {
            out += ' ';
            ++at;
        }
        out += word;
        at += word.size();
        first = false;
        from = end + 1;
    }
    return out + '\n';
}

void printHelp(const CommandLineUsage& usage) {
    std::string text = "Usage: " + usage.name + " [options]";
    for (const auto& argument : usage.arguments)
        text += " " + argument.first;
    text += '\n' + usage.summary + "\n\nOptions:\n";
    std::vector<std::pair<std::string, std::string>> options(std::begin(Options),
                                                             std::end(Options));
    for (const CommandLineOption& option : usage.options)
        options.emplace_back("--" + option.name + " <" + option.valueName + ">",
                             option.description);
    // One column for options and arguments alike: the longest name and two blanks.
    size_t column = 0;
    for (const auto& option : options)
        column = std::max(column, option.first.size());
    for (const auto& argument : usage.arguments)
        column = std::max(column, argument.first.size());
    column += 2;
    for (const auto& [name, description] : options)
        text += entry(name, column, description);
    if (!usage.arguments.empty()) {
        text += "\nArguments:\n";
        for (const auto& [name, description] : usage.arguments)
            text += entry(name, column, description);
    }
    std::cout << text << std::flush;
}

} // namespace

CommandLine readCommandLine(int argc, const char* const* argv, const CommandLineUsage& usage) {
    CommandLine result;
    bool help = false;
    bool version = false;
    bool optionsEnded = false;
    const auto fault = [&](std::string typed, std::string error, bool valueMissing) {
        if (!result.error.empty())
            return;
        result.error = std::move(error);
        result.faultyOption = std::move(typed);
        result.valueMissing = valueMissing;
    };
    const auto unknown = [&](std::string_view typed, std::string_view name) {
        fault(std::string(typed), "Unknown option '" + std::string(name) + "'.", false);
    };
    const auto ownOption = [&](std::string_view name) -> const CommandLineOption* {
        for (const CommandLineOption& option : usage.options)
            if (option.name == name)
                return &option;
        return nullptr;
    };
    for (int i = 1; i < argc; ++i) {
        const std::string_view word = argv[i];
        // After "--", and unless the program takes them there, after the first argument, a
        // dash starts a name, not an option.
        const bool argumentsBegun = !result.arguments.empty() && !usage.optionsAfterArguments;
        if (optionsEnded || argumentsBegun || word.size() < 2 || word[0] != '-') {
            result.arguments.emplace_back(word);
        } else if (word == "--") {
            optionsEnded = true;
        } else if (word[1] == '-') {
            const std::string_view given = word.substr(2);
            const size_t equals = given.find('=');
            const std::string_view name = given.substr(0, equals);
            if (const CommandLineOption* option = ownOption(name)) {
                if (equals != std::string_view::npos)
                    result.options.emplace_back(option->name, given.substr(equals + 1));
                else if (i + 1 < argc)
                    result.options.emplace_back(option->name, argv[++i]);
                else
                    fault(std::string(word), "Missing value after '" + std::string(word) + "'.",
                          true);
            } else if (given == "help" || given == "help-all") {
                help = true;
            } else if (given == "version") {
                version = true;
            } else {
                unknown(word, given);
            }
        } else {
            // Short options may be run together: -hv. "-?" is the Windows spelling of help.
            for (const char letter : word.substr(1)) {
                if (letter == 'h' || letter == '?')
                    help = true;
                else if (letter == 'v')
                    version = true;
                else
                    unknown("-" + std::string(1, letter), std::string_view(&letter, 1));
            }
        }
    }
    if (help) {
        printHelp(usage);
        result.answered = 0;
    } else if (version) {
        std::cout << usage.name << ' ' << CueVersion << '\n' << std::flush;
        result.answered = 0;
    }
    return result;
}
