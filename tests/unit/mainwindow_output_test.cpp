#include "common/filepath.h"
#include "common/processstart.h"
#include "common/text.h"
#include "common/textfile.h"
#include "config/postsettings.h"
#include "schedule/gridfile.h"
#include "support/mainfixture.h"
#include "webout/slidepages.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <map>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

const std::string AudioUrl = "pnm://audio.cuemark.example/talks/q3.ra";
const std::string HtmUrl = "http://www.cuemark.example/talks/q3/";
#ifndef _WIN32
constexpr unsigned long ERROR_FILE_NOT_FOUND = 2;
constexpr unsigned long ERROR_PATH_NOT_FOUND = 3;
#endif
const std::string NoSuchFile =
    Text::sentence(TestFiles::systemReason(ENOENT, ERROR_FILE_NOT_FOUND));

const std::vector<ScheduleRow> TwoRows = {
    {"00:01:00", "00:00:00", "00:01:00", "../q3/sld001.gif", "One"},
    {"00:02:00", "00:01:00", "00:03:00", "../q3/sld002.gif", "Two"}};

// A started main window holding two rows of a grid that names the log out/q3.txt, with
// the URLs stored as the grid gives them.
struct OutputRig : MainFixture {
    OutputRig() {
        UrlSettings{AudioUrl, HtmUrl, PostSettings::IMGPath.defaultValue, ""}.save(settings);
        start();
        TestFiles::makePath(path("out"));
        load(path("out/q3.txt"));
        ui.clearEvents();
    }

    // A grid naming this log file, of these rows, read in place of the first.
    void load(const std::string& logFile, const std::vector<ScheduleRow>& rows = TwoRows) {
        loadGrid(rows, logFile, AudioUrl, HtmUrl);
    }
    void useCevents(const std::string& ceventsLoc) {
        useUrlSettings({AudioUrl, HtmUrl, PostSettings::IMGPath.defaultValue, ceventsLoc});
    }

    // A program folder holding the shipped files except the ones named.
    void programWithout(const std::vector<std::string>& missing) {
        TestFiles::makeProgramFolder(path("program"), missing);
        program.directory = path("program");
    }

    std::vector<std::string> written() const {
        const std::set<std::string> names = TestFiles::fileNames(path("out"));
        return {names.begin(), names.end()};
    }

    std::vector<UiEvent> processes() const {
        std::vector<UiEvent> started;
        for (const UiEvent& e : ui.events)
            if (e.kind == UiEvent::Kind::Process)
                started.push_back(e);
        return started;
    }
};

const std::vector<std::string> WholePresentation = {
    "cevents.txt", "chapters.vtt", "index.htm",  "p2hnext.gif", "p2hprev.gif",
    "p2hup.gif",   "preload.htm",  "ralogo.gif", "sld001.htm",  "sld002.htm",
    "tsld001.ram", "tsld002.ram",  "wait.gif"};

// The tool run to its end as cuescript runs it; a run that fails counts as a failed start.
StartResult runTool(const UiEvent& e) {
    const RunResult run = runProcess(e.text, e.args, e.workingDirectory, std::chrono::seconds(10));
    if (run.start && run.status != 0)
        return {false, false, "status " + std::to_string(run.status)};
    return run.start;
}

} // namespace

TEST(Output, writeAllWritesEverythingAndStartsTheToolWithAnArgumentList) {
    OutputRig f;
    f.useCevents("/opt/real audio/cevents");
    f.ui.clearEvents();
    f.main->mnuWrtAll_Click();
    EXPECT_EQ(f.ui.boxTexts(), std::vector<std::string>{});
    EXPECT_EQ(f.written(), WholePresentation);
    ASSERT_EQ(f.processes().size(), 1u);
    const UiEvent started = f.processes()[0];
#ifdef _WIN32
    // The names the tool gets are whole Windows paths, on the current drive.
    const auto full = [](const std::string& path) { return TextFile::absolutePath(path); };
#else
    const auto full = [](const std::string& path) { return path; };
#endif
    EXPECT_EQ(started.text, full("/opt/real audio/cevents"));
    EXPECT_EQ(started.args, (std::vector<std::string>{full(f.path("out/cevents.txt")), "q3.rae"}));
    EXPECT_EQ(started.workingDirectory, full(f.path("out/")));
    EXPECT_EQ(f.state("WriteAllActive"), "false");
    EXPECT_FALSE(f.ui.busy);

    // Written again with nothing changed: no file is touched, the tool still starts. A
    // corrected title rewrites only the files whose bytes it changes.
    const auto now = std::filesystem::file_time_type::clock::now();
    const auto time = [&](const std::string& name) {
        return std::filesystem::last_write_time(TextFile::nativePath(f.path("out/" + name)));
    };
    std::map<std::string, std::string> before;
    // An hour ago, as the file system holds it (wine keeps coarser times).
    std::map<std::string, std::filesystem::file_time_type> hourAgo;
    for (const std::string& name : WholePresentation) {
        std::filesystem::last_write_time(TextFile::nativePath(f.path("out/" + name)),
                                         now - std::chrono::hours(1));
        before[name] = fileBytes(f.path("out/" + name));
        hourAgo[name] = time(name);
    }
    f.main->mnuWrtAll_Click();
    EXPECT_EQ(f.processes().size(), 2u);
    for (const std::string& name : WholePresentation)
        EXPECT_EQ(time(name), hourAgo[name]) << name;
    f.updateRow(2, "00:02:00", "../q3/sld002.gif", "Corrected");
    f.main->mnuWrtAll_Click();
    EXPECT_EQ(f.processes().size(), 3u);
    EXPECT_EQ(f.written(), WholePresentation);
    int rewritten = 0;
    for (const std::string& name : WholePresentation) {
        const bool changed = fileBytes(f.path("out/" + name)) != before[name];
        EXPECT_EQ(time(name) != hourAgo[name], changed) << name;
        rewritten += changed;
    }
    EXPECT_GT(rewritten, 0);
    EXPECT_LT(rewritten, static_cast<int>(WholePresentation.size()) - 5);
    EXPECT_TRUE(f.ui.boxTexts().empty());
}

TEST(Output, commandsTellTheOperatorWhyNothingOrNotEverythingWasWritten) {
    OutputRig f;
    struct Case {
        const char* what;
        std::function<void(OutputRig&)> arrange;
        void (Main::*command)();
        std::vector<std::string> boxes;
        std::vector<std::string> files;
        size_t starts;
    };
    const std::string outDir = f.path("out/");
    const Case cases[] = {
        {"empty CeventsLoc starts nothing",
         [](OutputRig&) {},
         &Main::mnuWrCevents_Click,
         {},
         {"cevents.txt"},
         0},
        {"no .ra in the audio URL: warned, tool not started",
         [](OutputRig& t) {
             t.useCevents("cevents");
             t.main->txtAudioURL.Text = "pnm://audio.example/q3.mp3";
         },
         &Main::mnuWrCevents_Click,
         {"Audio file doesn't have .ra extension",
          "AudioURL doesn't end in .ra - .rae file not written!"},
         {"cevents.txt"},
         0},
        {"no rows: one No Data box per writer",
         [](OutputRig& t) { t.load(t.path("out/q3.txt"), {}); },
         &Main::mnuWrtAll_Click,
         {"No Data", "No Data", "No Data"},
         {},
         0},
        {"a log name without a folder is refused",
         [](OutputRig& t) { t.load("q3.txt"); },
         &Main::mnuWriteHTM_Click,
         {"'q3.txt' names no folder to write the presentation into. Read the log or grid "
          "again from its folder."},
         {},
         0},
        {"a huge log name is quoted short",
         [](OutputRig& t) { t.load(std::string(60000, 'q')); },
         &Main::mnuWrRam_Click,
         {"'" + Text::forMessage(std::string(60000, 'q'), Text::MessagePathChars) +
          "' names no folder to write the presentation into. Read the log or grid again "
          "from its folder."},
         {},
         0},
        {"a huge folder name is quoted short in the Open File box",
         [](OutputRig& t) { t.load(std::string(60000, 'q') + "/q3.txt"); },
         &Main::mnuWrCevents_Click,
         {"'" + Text::forMessage(std::string(60000, 'q') + "/cevents.txt", Text::MessagePathChars) +
          "' " + Text::sentence(TestFiles::systemReason(ENAMETOOLONG, ERROR_PATH_NOT_FOUND))},
         {},
         0},
        {"a log in the program's own folder is refused",
         [](OutputRig& t) {
             t.programWithout({});
             t.load(t.path("program/../program/q3.txt"));
         },
         &Main::mnuWrtAll_Click,
         {"'" + f.path("program/../program/") +
              "' is the program's own folder, which holds the page templates. Move the log "
              "or grid to a folder of its own and read it again.",
          "Write HTM Files failed: the RAM files and the RAE file were not written."},
         {},
         0},
        {"a missing template ends Write HTM Files and the combined command",
         [](OutputRig& t) {
             t.useCevents("cevents");
             t.programWithout({"lastsld.htm"});
         },
         &Main::mnuWrtAll_Click,
         {"'" + f.path("program/lastsld.htm") + "' " + NoSuchFile,
          "Write HTM Files failed: the RAM files and the RAE file were not written."},
         {"sld001.htm"},
         0},
        {"a missing image names the image",
         [](OutputRig& t) { t.programWithout({"ralogo.gif"}); },
         &Main::mnuWriteHTM_Click,
         {"'" + f.path("program/ralogo.gif") + "' " + NoSuchFile},
         {"p2hnext.gif", "p2hprev.gif", "p2hup.gif", "preload.htm", "sld001.htm", "sld002.htm"},
         0},
        {"an index template without its marker is copied and the operator told",
         [](OutputRig& t) {
             t.programWithout({"index.htm"});
             putFile(t.path("program/index.htm"), "<p>no table here</p>\n");
         },
         &Main::mnuWriteHTM_Click,
         {"The index template '" + f.path("program/index.htm") +
          "' has no marker <!--*** -->: index.htm is a plain copy of it, without the table of "
          "slides."},
         {"chapters.vtt", "index.htm", "p2hnext.gif", "p2hprev.gif", "p2hup.gif", "preload.htm",
          "ralogo.gif", "sld001.htm", "sld002.htm", "wait.gif"},
         0},
        {"a tool that cannot start is reported",
         [](OutputRig& t) {
             t.useCevents("/no/such/cevents");
             t.ui.runProcess = [](const UiEvent&) { return StartResult{false, false, {}}; };
         },
         &Main::mnuWrCevents_Click,
         {"'" + outDir + "cevents.txt' The program '/no/such/cevents' could not be started."},
         {"cevents.txt"},
         1},
    };
    for (const Case& c : cases) {
        OutputRig t;
        c.arrange(t);
        t.ui.clearEvents();
        (t.main.get()->*c.command)();
        // The case's own folder stands where this fixture's folder is named.
        std::vector<std::string> boxes = t.ui.boxTexts();
        for (std::string& box : boxes)
            if (const size_t at = box.find(t.dir.path()); at != std::string::npos)
                box.replace(at, t.dir.path().size(), f.dir.path());
        EXPECT_EQ(boxes, c.boxes) << c.what;
        EXPECT_EQ(t.written(), c.files) << c.what;
        EXPECT_EQ(t.processes().size(), c.starts) << c.what;
        EXPECT_EQ(t.state("WriteAllActive"), "false") << c.what;
        EXPECT_FALSE(t.ui.busy) << c.what;
    }
}

// Values read back from a resume file or a grid file keep every byte, a NUL included.
// Where one would become a file name or part of the tool's command line, the command names
// the field and writes nothing: "talk.txt\0.ra.mp3" once gave the event file "talk.txt\0.rae",
// the tool saw "talk.txt" and wrote its cues over the lecture's own log.
TEST(Output, aValueNoNameCanCarryIsRefusedBeforeAnythingIsWritten) {
    using namespace std::string_literals;
    const std::string nul = "talk.txt\0.ra.mp3"s;
    const std::string tool = TestFiles::runtimeProgram("cevents");
    enum From { Resume, Grid };
    struct Case {
        From from;
        std::string audioUrl;
        std::string logFolder; // the grid names its log as this folder's talk.txt
        std::string ceventsLoc;
        void (Main::*command)();
        const char* field; // the field named; none when nothing is refused
        std::string htmUrl = HtmUrl;
    };
    const Case cases[] = {
        {Resume, nul, "", tool, &Main::mnuWrCevents_Click, "Audio URL"},
        {Grid, nul, "", tool, &Main::mnuWrtAll_Click, "Audio URL"},
        {Grid, "pnm://h/talk.ra", "/x\0y"s, tool, &Main::mnuWrRam_Click, "Log File"},
        {Grid, "pnm://h/talk.ra", "/x\ty", "", &Main::mnuWriteHTM_Click, "Log File"},
        {Resume, "pnm://h/talk.ra", "", tool + "\r", &Main::mnuWrCevents_Click, "Cevents Loc"},
        // A URL stands on one line of each metafile and each event line.
        {Grid, "pnm://h/ta\tlk.ra", "", "", &Main::mnuWrRam_Click, "Audio URL"},
        {Grid, "pnm://h/talk.ra", "", "", &Main::mnuWrCevents_Click, "HTM URL Path",
         "http://h/\ttalks/"},
        // Without a tool to start, the audio URL becomes no name.
        {Resume, nul, "", "", &Main::mnuWrCevents_Click, nullptr},
    };
    const std::string refused =
        ": the value holds a control character (such as a NUL byte), which no file name, "
        "command line or line of a file can carry. Nothing was written.";
    const std::string sample = fileBytes(CUE_SOURCE_DIR "/tests/samples/q3.txt");
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.field ? c.field : "nothing") + " refused, from the " +
                     (c.from == Resume ? "resume" : "grid") + " file");
        MainFixture f;
        f.settings.SaveSetting(PostSettings::Application, PostSettings::CeventsLoc.section,
                               PostSettings::CeventsLoc.key, c.ceventsLoc);
        f.start();
        // The tool started as the system starts it: each argument ends at its first NUL.
        f.ui.runProcess = runTool;
        const std::string log = f.writeFile("talk.txt", sample);
        if (c.from == Resume) {
            f.writeFile("talk.urs",
                        GridFile::resumeFileText(log, c.audioUrl, c.htmUrl, "00:00:04"));
            f.ui.queueFile(log);
            f.main->mnuRdLog_Click();
        } else {
            const std::string logName = f.dir.path() + c.logFolder + "/talk.txt";
            f.ui.queueFile(f.writeFile(
                "grid.txt", GridFile::text(logName, c.audioUrl, c.htmUrl,
                                           {{"00:01:00", "00:00:00", "00:01:00", "a.gif", "A"}})));
            f.main->mnuReadGrid_Click();
        }
        ASSERT_TRUE(f.ui.boxTexts().empty()) << f.ui.boxTexts().front();
        std::set<std::string> expected = TestFiles::names(f.dir.path());
        f.ui.clearEvents();
        (f.main.get()->*c.command)();

        std::vector<UiEvent> refusals;
        for (const UiEvent& e : f.ui.events)
            if (e.text.find(refused) != std::string::npos)
                refusals.push_back(e);
        EXPECT_EQ(fileBytes(log), sample);
        if (!c.field)
            expected.insert("cevents.txt");
        EXPECT_EQ(TestFiles::names(f.dir.path()), expected);
        EXPECT_EQ(refusals.size(), c.field ? 1u : 0u);
        for (const UiEvent& e : refusals) {
            EXPECT_EQ(e.text, c.field + refused);
            EXPECT_EQ(e.title, "Open File");
            EXPECT_EQ(e.style, Mb::OKOnly + Mb::Exclamation);
        }
    }
}

// On Linux a backslash is part of a name: a log "talk\v2.txt" in a folder "lec\tures" gets
// its whole presentation, the tool's event file and its resume file inside that folder.
TEST(Output, aBackslashInTheLogsNamesKeepsThePresentationBesideTheLog) {
#ifdef _WIN32
    GTEST_SKIP() << "a backslash separates names on Windows";
#else
    MainFixture f;
    f.settings.SaveSetting(PostSettings::Application, PostSettings::CeventsLoc.section,
                           PostSettings::CeventsLoc.key, TestFiles::runtimeProgram("cevents"));
    f.start();
    f.ui.runProcess = runTool;
    const std::string folder = f.path("lec\\tures");
    ASSERT_TRUE(TestFiles::makePath(folder));
    const std::string log = folder + "/talk\\v2.txt";
    putFile(log, fileBytes(CUE_SOURCE_DIR "/tests/samples/q3.txt"));
    f.ui.queueFile(log);
    f.main->mnuRdLog_Click();
    f.main->mnuWrtAll_Click();
    EXPECT_TRUE(f.main->Unload());
    EXPECT_TRUE(f.ui.boxTexts().empty()) << f.ui.boxTexts().front();

    EXPECT_EQ(TestFiles::names(f.dir.path()), std::set<std::string>{"lec\\tures"});
    std::set<std::string> expected(WholePresentation.begin(), WholePresentation.end());
    for (const char* name : {"sld003.htm", "sld004.htm", "tsld003.ram", "tsld004.ram",
                             "stockholder_1.rae", "talk\\v2.txt", "talk\\v2.urs"})
        expected.insert(name);
    EXPECT_EQ(TestFiles::names(folder), expected);
#endif
}
