#include "common/text.h"
#include "common/textfile.h"
#include "support/mainfixture.h"
#include "webout/slidepages.h"

#include <gtest/gtest.h>

#include <cerrno>

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

// A started main window holding two rows of a log read from out/q3.txt.
struct OutputRig : MainFixture {
    OutputRig() {
        start();
        main->txtAudioURL.Text = AudioUrl;
        main->txtHTMURL.Text = HtmUrl;
        main->LogFileName = path("out/q3.txt");
        TestFiles::makePath(path("out"));
        setRows({{"00:01:00", "00:00:00", "00:01:00", "../q3/sld001.gif", "One"},
                 {"00:02:00", "00:01:00", "00:03:00", "../q3/sld002.gif", "Two"}});
        ui.clearEvents();
    }

    void setRows(const std::vector<ScheduleRow>& rows) {
        main->schedule().setRowCount(static_cast<int>(rows.size()));
        for (int r = 1; r <= main->schedule().RowCount(); ++r) {
            const ScheduleRow& row = rows[static_cast<size_t>(r - 1)];
            int col = Main::ColLength;
            for (const std::string* cell :
                 {&row.Length, &row.Start, &row.Stop, &row.ImageUrl, &row.Title})
                main->schedule().setCell(r, col++, *cell);
        }
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

} // namespace

TEST(Output, writeAllWritesEverythingAndStartsTheToolWithAnArgumentList) {
    OutputRig f;
    f.main->CeventsLoc = "/opt/real audio/cevents";
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
    EXPECT_FALSE(f.main->WriteAllActive);
    EXPECT_FALSE(f.ui.busy);
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
             t.main->CeventsLoc = "cevents";
             t.main->txtAudioURL.Text = "pnm://audio.example/q3.mp3";
         },
         &Main::mnuWrCevents_Click,
         {"Audio file doesn't have .ra extension",
          "AudioURL doesn't end in .ra - .rae file not written!"},
         {"cevents.txt"},
         0},
        {"no rows: one No Data box per writer",
         [](OutputRig& t) { t.main->schedule().setRowCount(0); },
         &Main::mnuWrtAll_Click,
         {"No Data", "No Data", "No Data"},
         {},
         0},
        {"a log name without a folder is refused",
         [](OutputRig& t) { t.main->LogFileName = "q3.txt"; },
         &Main::mnuWriteHTM_Click,
         {"'q3.txt' names no folder to write the presentation into. Read the log or grid "
          "again from its folder."},
         {},
         0},
        {"a huge log name is quoted short",
         [](OutputRig& t) { t.main->LogFileName = std::string(60000, 'q'); },
         &Main::mnuWrRam_Click,
         {"'" + Text::forMessage(std::string(60000, 'q'), Text::MessagePathChars) +
          "' names no folder to write the presentation into. Read the log or grid again "
          "from its folder."},
         {},
         0},
        {"a huge folder name is quoted short in the Open File box",
         [](OutputRig& t) { t.main->LogFileName = std::string(60000, 'q') + "/q3.txt"; },
         &Main::mnuWrCevents_Click,
         {"'" + Text::forMessage(std::string(60000, 'q') + "/cevents.txt", Text::MessagePathChars) +
          "' " + Text::sentence(TestFiles::systemReason(ENAMETOOLONG, ERROR_PATH_NOT_FOUND))},
         {},
         0},
        {"a log in the program's own folder is refused",
         [](OutputRig& t) {
             t.programWithout({});
             t.main->LogFileName = t.path("program/../program/q3.txt");
         },
         &Main::mnuWrtAll_Click,
         {"'" + f.path("program/../program/") +
              "' is the program's own folder, which holds the page templates. Move the log "
              "or grid to a folder of its own and read it again.",
          "Write HTM Files failed: the RAM files and the RAE file were not written."},
         {},
         0},
        {"a last Stop that is no time stops before any metafile",
         [](OutputRig& t) { t.main->schedule().setCell(2, Main::ColStop, "soon"); },
         &Main::mnuWrRam_Click,
         {"'' Stop of row 2 (\"soon\") is not a time."},
         {},
         0},
        {"a missing template ends Write HTM Files and the combined command",
         [](OutputRig& t) {
             t.main->CeventsLoc = "cevents";
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
             t.main->CeventsLoc = "/no/such/cevents";
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
        EXPECT_FALSE(t.main->WriteAllActive) << c.what;
        EXPECT_FALSE(t.ui.busy) << c.what;
    }
}
