// The command line on Windows, where no Qt is linked: the options and messages of the Qt
// desktop's reader, so a script or a shortcut means the same on both.
#include "commandline.h"

#include "common/version.h"

#include <algorithm>
#include <iostream>
#include <string_view>

namespace {

void printHelp(const CommandLineUsage& usage) {
    std::string line = "Usage: " + usage.name + " [options]";
    for (const auto& argument : usage.arguments)
        line += " " + argument.first;
    std::cout << line << '\n' << usage.summary << "\n\nOptions:\n"
              << "  -?, -h, --help  Displays help on commandline options.\n"
              << "  -v, --version   Displays version information.\n";
    if (usage.arguments.empty()) {
        std::cout << std::flush;
        return;
    }
    size_t width = 0;
    for (const auto& argument : usage.arguments)
        width = std::max(width, argument.first.size());
    std::cout << "\nArguments:\n";
    for (const auto& [name, description] : usage.arguments)
        std::cout << "  " << name << std::string(width - name.size() + 2, ' ') << description
                  << '\n';
    std::cout << std::flush;
}

} // namespace

CommandLine readCommandLine(int argc, const char* const* argv, const CommandLineUsage& usage) {
    CommandLine result;
    bool help = false;
    bool version = false;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view word = argv[i];
        // After the first argument, and after "--", a dash starts a name, not an option.
        if (optionsEnded || !result.arguments.empty() || word.size() < 2 || word[0] != '-') {
            result.arguments.emplace_back(word);
            continue;
        }
        if (word == "--") {
            optionsEnded = true;
        } else if (word == "--help" || word == "--help-all" || word == "-h" || word == "-?") {
            help = true;
        } else if (word == "--version" || word == "-v") {
            version = true;
        } else if (result.error.empty()) {
            const std::string_view name = word.substr(word[1] == '-' ? 2 : 1);
            result.error = "Unknown option '" + std::string(name) + "'.";
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
