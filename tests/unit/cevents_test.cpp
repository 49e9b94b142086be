#include "common/processstart.h"
#include "support/testfiles.h"
#include "tools/eventlistreader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <set>
#include <thread>

namespace {

const std::string Url = "http://w.example/sld001.htm";

using ToolRun = TestFiles::ProgramRun;

ToolRun runCevents(const std::vector<std::string>& args) {
    return TestFiles::runProgram(TestFiles::runtimeProgram("cevents"), args);
}

} // namespace

TEST(Cevents, readsEveryLineAndReportsEachBadOneByNumber) {
    struct Case {
        const char* what;
        std::string list;
        std::vector<PageEvent> events;
        std::vector<int> badLines;
    };
    const Case cases[] = {
        {"the writer's own lines, CR LF",
         "u 00:00:00:00.0 00:00:00:29.9 " + Url + "\r\nu 00:01:05:00.0 00:01:05:59.9 x\r\n",
         {{0, 29900, Url}, {3900000, 3959900, "x"}},
         {}},
        {"LF, CR and no end on the last line",
         "u 00:00:00:01.0 00:00:00:02.9 a\nu 00:00:00:03.0 00:00:00:04.9 b\ru 01:00:00:00.5 "
         "01:00:00:00.75 c",
         {{1000, 2900, "a"}, {3000, 4900, "b"}, {86400500, 86400750, "c"}},
         {}},
        {"an empty list", "", {}, {}},
        {"bad lines among good ones",
         "u 00:00:00:00.0 00:00:00:09.9 a\r\n"
         "\r\n"
         "x 00:00:00:00.0 00:00:00:09.9 a\r\n"
         "u 00:00:00:60.0 00:00:01:09.9 a\r\n"
         "u 00:00:00:10.0 00:00:00:09.9 a\r\n"
         "u 00:00:00:10.0 00:00:00:10.0 a\r\n"
         "u 00:00:00:10.0 00:00:00:19.9 \r\n"
         "u 00:24:00:00.0 00:00:00:19.9 a\r\n"
         "u 00:00:00:10 00:00:00:19.9 a\r\n"
         "u 00:00:00:10.0 00:00:00:19.9 b\r\n",
         {{0, 9900, "a"}, {10000, 19900, "b"}},
         {2, 3, 4, 5, 6, 7, 8, 9}},
        {"a line that goes back in time",
         "u 00:00:00:10.0 00:00:00:19.9 a\nu 00:00:00:05.0 00:00:00:09.9 b\n"
         "u 00:00:00:10.0 00:00:00:12.9 c\n",
         {{10000, 19900, "a"}, {10000, 12900, "c"}},
         {2}},
        {"reading stops at the last problem reported",
         std::string(MaxEventListProblems + 5, '\n'),
         {},
         [] {
             std::vector<int> lines(MaxEventListProblems);
             for (size_t i = 0; i < lines.size(); ++i)
                 lines[i] = static_cast<int>(i) + 1;
             return lines;
         }()},
    };
    for (const Case& c : cases) {
        const EventListReading reading = readEventList(c.list);
        EXPECT_EQ(reading.events, c.events) << c.what;
        std::vector<int> bad;
        for (const EventListProblem& problem : reading.problems)
            bad.push_back(problem.line);
        EXPECT_EQ(bad, c.badLines) << c.what;
    }
}

TEST(Cevents, writesOneCuePerEventWithItsPageAsText) {
    EXPECT_EQ(webVttOf({{0, 29900, Url}, {3900000, 3959900, "http://w.example/?a=1&b=<2>"}}),
              "WEBVTT\n"
              "\n00:00:00.000 --> 00:00:29.900\n" +
                  Url +
                  "\n"
                  "\n01:05:00.000 --> 01:05:59.900\nhttp://w.example/?a=1&amp;b=&lt;2&gt;\n");
    EXPECT_EQ(webVttOf({}), "WEBVTT\n");
    // Cue text is UTF-8: an 8-bit byte or a control byte is percent-encoded, UTF-8 stays.
    EXPECT_EQ(webVttOf({{0, 1000, "caf\xe9/\xc3\xa9\xed\xa0\x80\x01-->.htm"}}),
              "WEBVTT\n\n00:00:00.000 --> 00:00:01.000\n"
              "caf%E9/\xc3\xa9%ED%A0%80%01--&gt;.htm\n");
}

TEST(Cevents, toolWritesTheEventFileBesideTheListOrSaysWhyNot) {
    TempFolder dir;
    const std::string list = dir.filePath("my list.txt");
    const auto writeList = [&](const std::string& bytes) { putFile(list, bytes); };
    writeList("u 00:00:00:00.0 00:00:00:29.9 " + Url + "\r\n");
    EXPECT_EQ(runCevents({list, "talk.rae"}).exitCode, 0);
    EXPECT_EQ(fileBytes(dir.filePath("talk.rae")),
              "WEBVTT\n\n00:00:00.000 --> 00:00:29.900\n" + Url + "\n");

    writeList("u 00:00:00:00.0 00:00:00:29.9 a\r\nbad\r\n");
    const ToolRun bad = runCevents({list, "other.rae"});
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_EQ(bad.errors, list + ":2: expected \"u \" at the start\n");
    EXPECT_FALSE(TestFiles::exists(dir.filePath("other.rae")));

    // A list of nothing but blank lines costs a bounded report.
    writeList(std::string(4 * 1024 * 1024, '\n'));
    const ToolRun blank = runCevents({list, "blank.rae"});
    EXPECT_EQ(blank.exitCode, 1);
    EXPECT_EQ(std::count(blank.errors.begin(), blank.errors.end(), '\n'),
              static_cast<long>(MaxEventListProblems) + 1);

    EXPECT_EQ(runCevents({list, ""}).exitCode, 2);
    EXPECT_EQ(runCevents({list, "../escape.rae"}).exitCode, 2);
    EXPECT_EQ(runCevents({list}).exitCode, 2);
    EXPECT_EQ(runCevents({dir.filePath("none.txt"), "talk.rae"}).exitCode, 2);
}

// The tool started as Write RAE File starts it, in a folder and with an event file whose
// names are 8-bit bytes: it runs there and writes exactly that name. A missing folder is
// blamed on the folder, a missing program on the program.
TEST(Cevents, startsWithTheOperatorsBytesAndBlamesTheRightPart) {
    TempFolder dir;
    const std::string folder = dir.filePath("caf\xE9");
    ASSERT_TRUE(TestFiles::makePath(folder));
    const std::string list = folder + "/cevents.txt";
    const std::string written = folder + "/caf\xE9.rae";
    putFile(list, "u 00:00:00:00.0 00:00:00:29.9 " + Url + "\r\n");
    const std::string cevents = TestFiles::runtimeProgram("cevents");

    const StartResult started =
        startDetachedProcess(cevents, {"cevents.txt", "caf\xE9.rae"}, folder);
    EXPECT_TRUE(started) << started.reason;
    for (int wait = 0; wait < 200 && !TestFiles::exists(written); ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_TRUE(TestFiles::exists(written));
    EXPECT_EQ(TestFiles::fileNames(folder), (std::set<std::string>{"caf\xE9.rae", "cevents.txt"}));

    // The same 8-bit names as arguments of a program run to its end, and back in its report.
    EXPECT_EQ(runCevents({list, "caf\xE9.rae"}).exitCode, 0);
    putFile(list, "bad\r\n");
    EXPECT_EQ(runCevents({list, "caf\xE9.rae"}).errors,
              list + ":1: expected \"u \" at the start\n");

    const StartResult noFolder = startDetachedProcess(cevents, {}, folder + "/gone");
    EXPECT_FALSE(noFolder);
    EXPECT_TRUE(noFolder.folderFailed);
    const StartResult noProgram = startDetachedProcess(folder + "/no such program", {}, folder);
    EXPECT_FALSE(noProgram);
    EXPECT_FALSE(noProgram.folderFailed);
    EXPECT_FALSE(noProgram.reason.empty());
}

// cuescript starts cevents as "Write HTM, RAM, RAE" does and waits for it: in a folder, with
// a log, an event file and the script's settings folder named in 8-bit bytes, each name
// reaches the system unchanged and the event file is written under exactly its name.
TEST(Cevents, cuescriptStartsItWithTheOperatorsBytes) {
    TempFolder dir;
    const std::string folder = dir.filePath("caf\xE9");
    ASSERT_TRUE(TestFiles::makePath(folder));
    ASSERT_TRUE(TestFiles::copy(CUE_SOURCE_DIR "/tests/samples/q3.txt", folder + "/caf\xE9.txt"));
    const std::string script = dir.filePath("road.cues");
    const std::string settings = folder + "/settings \xE9t\xE9";
    const std::vector<std::string> lines = {
        "settings " + settings,
        "program cuebuild",
        "click mnuConfig",
        "type txtCevents " + TestFiles::runtimeProgram("cevents"),
        "type txtAudioURL caf\xE9.ra",
        "click cmdSave",
        "dialog " + folder + "/caf\xE9.txt",
        "click mnuRdLog",
        "click mnuWrtAll",
    };
    std::string bytes;
    for (const std::string& line : lines)
        bytes += line + "\n";
    putFile(script, bytes);

    const ToolRun run = TestFiles::runProgram(TestFiles::runtimeProgram("cuescript"), {script});
    EXPECT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_EQ(run.errors, "");
    const std::string vtt = fileBytes(folder + "/caf\xE9.rae");
    EXPECT_EQ(vtt.rfind("WEBVTT\n", 0), 0u) << vtt;
    EXPECT_NE(vtt.find("sld003.htm"), std::string::npos) << vtt;
    const std::set<std::string> names = TestFiles::names(folder);
    EXPECT_EQ(names.count("caf\xE9.rae"), 1u);
    // The script's settings folder, too, is made and used under its own name.
    EXPECT_NE(fileBytes(settings + "/CuemarkPost.ini").find("AudioURL=@ByteArray(caf\\xe9.ra)"),
              std::string::npos);
}

// A program run to its end: its status comes back, a folder or program that cannot be used
// is blamed as the detached start blames it, and one that outruns the limit is stopped.
TEST(Cevents, runToItsEndGivesTheStatusOrWhyNot) {
    TempFolder dir;
    const std::string cevents = TestFiles::runtimeProgram("cevents");
    putFile(dir.filePath("cevents.txt"), "bad\r\n");
    struct Case {
        const char* what;
        std::string program;
        std::vector<std::string> args;
        std::string folder;
        bool started, folderFailed, stopped;
        int status;
    };
    std::vector<Case> cases = {
        {"a bad list", cevents, {"cevents.txt", "t.rae"}, dir.path(), true, false, false, 1},
        {"wrong arguments", cevents, {}, dir.path(), true, false, false, 2},
        {"no such folder", cevents, {}, dir.filePath("gone"), false, true, false, 0},
        {"no such program", dir.filePath("none"), {}, dir.path(), false, false, false, 0},
    };
#ifndef _WIN32
    cases.push_back({"outruns the limit", "sleep", {"30"}, dir.path(), true, false, true, 128 + 9});
#endif
    for (const Case& c : cases) {
        const RunResult run =
            runProcess(c.program, c.args, c.folder, std::chrono::milliseconds(500));
        EXPECT_EQ(bool(run.start), c.started) << c.what;
        EXPECT_EQ(run.start.folderFailed, c.folderFailed) << c.what;
        EXPECT_EQ(run.stopped, c.stopped) << c.what;
        if (c.started) {
            EXPECT_EQ(run.status, c.status) << c.what;
        } else {
            EXPECT_FALSE(run.start.reason.empty()) << c.what;
        }
    }
}
