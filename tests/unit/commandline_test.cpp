// The command line of every program: --help and --version answered before anything
// starts, the arguments kept as the bytes given.
#include "common/commandline.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(CommandLine, answersHelpAndVersionAndKeepsArgumentsByteForByte) {
    struct Case {
        std::vector<const char*> argv;
        bool answered;
        std::vector<std::string> arguments;
        bool error;
        const char* printed; // a part of what --help or --version printed
    };
    const Case cases[] = {
        {{"cuescript", "--help"}, true, {}, false, "Usage: cuescript [options] FILE"},
        {{"cuescript", "-h"}, true, {}, false, "--version"},
        {{"cuescript", "--version"}, true, {}, false, "cuescript 1."},
        // A file named like an option is given after "--".
        {{"cuescript", "--", "--help"}, false, {"--help"}, false, ""},
        {{"cuescript", "-"}, false, {"-"}, false, ""},
        {{"cuescript", "caf\xE9.cues"}, false, {"caf\xE9.cues"}, false, ""},
        // After the first argument, a dash starts a name, not an option.
        {{"cevents", "/t/cevents.txt", "-talk.rae"},
         false,
         {"/t/cevents.txt", "-talk.rae"},
         false,
         ""},
        {{"cuebuild", "--bogus"}, false, {}, true, ""},
        {{"cuebuild", "-x"}, false, {}, true, ""},
        // Short options run together, and the Windows spelling of help.
        {{"cuescript", "-vh"}, true, {}, false, "Usage: cuescript"},
        {{"cuescript", "-?"}, true, {}, false, "Usage: cuescript"},
        {{"cuescript", "--bogus", "--version"}, true, {}, true, "cuescript 1."},
        {{"cuebuild"}, false, {}, false, ""},
    };
    for (const Case& c : cases) {
        const std::string name = c.argv.front();
        testing::internal::CaptureStdout();
        const CommandLine line = readCommandLine(static_cast<int>(c.argv.size()), c.argv.data(),
                                                 {name, "What it does.", {{"FILE", "A file."}}});
        const std::string printed = testing::internal::GetCapturedStdout();
        const std::string what = c.argv.size() > 1 ? c.argv[1] : "(none)";
        EXPECT_EQ(line.answered.has_value(), c.answered) << what;
        if (c.answered) {
            EXPECT_EQ(*line.answered, 0) << what;
        }
        EXPECT_EQ(line.arguments, c.arguments) << what;
        EXPECT_EQ(!line.error.empty(), c.error) << what;
        EXPECT_NE(printed.find(c.printed), std::string::npos) << what << ": " << printed;
    }
}

// A program's own options take a value, joined by "=" or as the next word, whatever it
// looks like; a program may take them after its arguments too.
TEST(CommandLine, readsTheProgramsOwnOptionsWithTheirValues) {
    using Options = std::vector<std::pair<std::string, std::string>>;
    struct Case {
        std::vector<const char*> argv;
        bool afterArguments;
        Options options;
        std::vector<std::string> arguments;
        std::string faultyOption; // empty: no fault
        bool valueMissing;
    };
    const Case cases[] = {
        {{"p", "--width", "20", "--format=png", "d"},
         false,
         {{"width", "20"}, {"format", "png"}},
         {"d"},
         "",
         false},
        {{"p", "--width", "-1", "--width=", "d"},
         false,
         {{"width", "-1"}, {"width", ""}},
         {"d"},
         "",
         false},
        {{"p", "d", "--width", "20"}, true, {{"width", "20"}}, {"d"}, "", false},
        {{"p", "d", "--width", "20"}, false, {}, {"d", "--width", "20"}, "", false},
        {{"p", "d", "--", "--width"}, true, {}, {"d", "--width"}, "", false},
        {{"p", "d", "--width"}, true, {}, {"d"}, "--width", true},
        {{"p", "--height", "5", "-x"}, false, {}, {"5", "-x"}, "--height", false},
        {{"p", "-x", "d"}, false, {}, {"d"}, "-x", false},
    };
    for (const Case& c : cases) {
        const CommandLine line = readCommandLine(
            static_cast<int>(c.argv.size()), c.argv.data(),
            {"p", "", {}, {{"width", "N", ""}, {"format", "F", ""}}, c.afterArguments});
        const std::string what = c.argv.back();
        EXPECT_EQ(line.options, c.options) << what;
        EXPECT_EQ(line.arguments, c.arguments) << what;
        EXPECT_EQ(line.faultyOption, c.faultyOption) << what;
        EXPECT_EQ(line.error.empty(), c.faultyOption.empty()) << what;
        EXPECT_EQ(line.valueMissing, c.valueMissing) << what;
    }
}

// The help in the layout the programs have always printed: one column for options and
// arguments, wide enough for the longest name, long descriptions wrapped under themselves.
TEST(CommandLine, helpListsOptionsAndArgumentsInOneColumn) {
    struct Case {
        CommandLineUsage usage;
        std::string help;
    };
    const std::string options = "Options:\n"
                                "  -h, --help     Displays help on commandline options.\n"
                                "  --help-all     Displays help including Qt specific options.\n"
                                "  -v, --version  Displays version information.\n";
    const Case cases[] = {
        {{"cuebuild", "It takes no arguments.", {}},
         "Usage: cuebuild [options]\nIt takes no arguments.\n\n" + options},
        {{"cuescript", "Runs a script.", {{"FILE", "The script to run."}}},
         "Usage: cuescript [options] FILE\nRuns a script.\n\n" + options +
             "\nArguments:\n  FILE           The script to run.\n"},
        // A name longer than the options widens the column rather than being cut.
        {{"cevents", "Checks.", {{"EVENT_LIST", "The list."}, {"EVENT_FILE_NAME", "The name."}}},
         "Usage: cevents [options] EVENT_LIST EVENT_FILE_NAME\nChecks.\n\nOptions:\n"
         "  -h, --help       Displays help on commandline options.\n"
         "  --help-all       Displays help including Qt specific options.\n"
         "  -v, --version    Displays version information.\n\nArguments:\n"
         "  EVENT_LIST       The list.\n  EVENT_FILE_NAME  The name.\n"},
        {{"tool", "Wraps.", {{"X", std::string(40, 'a') + " " + std::string(30, 'b') + " c"}}},
         "Usage: tool [options] X\nWraps.\n\n" + options + "\nArguments:\n  X" +
             std::string(14, ' ') + std::string(40, 'a') + "\n" + std::string(17, ' ') +
             std::string(30, 'b') + " c\n"},
    };
    for (const Case& c : cases) {
        const char* argv[] = {c.usage.name.c_str(), "--help"};
        testing::internal::CaptureStdout();
        readCommandLine(2, argv, c.usage);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), c.help) << c.usage.name;
    }
}

} // namespace
