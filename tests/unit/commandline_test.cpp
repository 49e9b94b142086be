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
        if (c.answered)
            EXPECT_EQ(*line.answered, 0) << what;
        EXPECT_EQ(line.arguments, c.arguments) << what;
        EXPECT_EQ(!line.error.empty(), c.error) << what;
        EXPECT_NE(printed.find(c.printed), std::string::npos) << what << ": " << printed;
    }
}

} // namespace
