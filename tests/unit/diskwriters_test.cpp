// Every writer of the post-processor into a folder on a full disk and into a read-only
// folder: the operator is told about the file, and nothing already in the folder changes.
#include "common/textfile.h"
#include "support/mainfixture.h"
#include "support/smalldisk.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <optional>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

namespace {

// Every file of a folder with its bytes.
std::map<std::string, std::string> filesIn(const std::string& folder) {
    std::map<std::string, std::string> files;
    for (const std::string& name : TestFiles::names(folder))
        if (name[0] != '.' && name != "filler")
            files[name] = fileBytes(folder + "/" + name);
    return files;
}

// A lecture whose log, grid file, resume file and presentation were written into `folder`
// while there was room; the next writes need more than is left.
struct Lecture : MainFixture {
    explicit Lecture(const std::string& folder) : folder(folder) {
        start();
        putFile(log(), readFile(CUE_SOURCE_DIR "/tests/samples/q3.txt"));
        readLog(log());
        // A long title: no write of the lecture fits in what a full disk leaves.
        updateRow(2, "00:00:07", "../q3/sld002.gif", std::string(2000, 'x'));
        ui.queueFile(grid());
        main->mnuSaveGrid_Click();
        putFile(folder + "/q3.urs", "q3.txt\r\npnm://h/q3.ra\r\nhttp://h/q3/\r\n 0 \r\n");
        main->mnuWrtAll_Click();
        EXPECT_EQ(cevents().exitCode, 0) << cevents().errors;
        EXPECT_TRUE(ui.boxTexts().empty()) << ui.boxTexts().front();
        ui.clearEvents();
    }
    std::string log() const { return folder + "/q3.txt"; }
    // The stand-in event compiler on the list in the folder, as Write RAE File starts it.
    using Run = TestFiles::ProgramRun;
    Run cevents() const {
        return TestFiles::runProgram(TestFiles::runtimeProgram("cevents"),
                                     {folder + "/cevents.txt", "q3.rae"});
    }
    std::string grid() const { return folder + "/q3 grid.txt"; }

    std::string folder;
};

// What the operator is told: a box's title and text, or a tool's name and error output.
struct Told {
    std::string title;
    std::string text;
};

// The first box the command showed.
Told firstBox(const Lecture& l) {
    const auto box = std::find_if(l.ui.events.begin(), l.ui.events.end(), [](const UiEvent& e) {
        return e.kind == UiEvent::Kind::MessageBox;
    });
    return box == l.ui.events.end() ? Told{} : Told{box->title, box->text};
}

// A menu command of the window, and the first box it showed.
std::function<Told(Lecture&)> command(void (Main::*handler)()) {
    return [handler](Lecture& l) {
        (l.main.get()->*handler)();
        return firstBox(l);
    };
}

struct Writer {
    const char* name;
    std::function<Told(Lecture&)> run;
    const char* title;
    const char* file; // named in what the operator is told
};

// The operator corrects a title and both URLs: every file of the presentation changes.
void correct(Lecture& l) {
    l.updateRow(1, "00:00:05", "../q3/sld001.gif", "Corrected");
    l.main->txtHTMURL.Text = "http://h/corrected/";
    l.main->txtAudioURL.Text = "pnm://h/corrected.ra";
    l.ui.clearEvents();
}

const Writer Writers[] = {
    {"Save Grid",
     [](Lecture& l) {
         l.ui.queueFile(l.grid());
         l.main->mnuSaveGrid_Click();
         return firstBox(l);
     },
     "Save Grid", "q3 grid.txt"},
    {"the resume file on closing",
     [](Lecture& l) {
         l.ui.queueAnswer(Mb::OK);
         l.ui.queueAnswer(Mb::Cancel); // the Save Grid it then offers
         l.main->Unload();
         return firstBox(l);
     },
     "Resume File", "q3.urs"},
    {"Write HTM Files", command(&Main::mnuWriteHTM_Click), "Open File", "sld001.htm"},
    {"Write RAM FIles", command(&Main::mnuWrRam_Click), "Open File", "tsld001.ram"},
    {"Write RAE File (the event list)", command(&Main::mnuWrCevents_Click), "Open File",
     "cevents.txt"},
    {"Write HTM, RAM, RAE", command(&Main::mnuWrtAll_Click), "Open File", "sld001.htm"},
    {"the cevents tool",
     [](Lecture& l) {
         const Lecture::Run run = l.cevents();
         EXPECT_EQ(run.exitCode, 2);
         return Told{"cevents", run.errors};
     },
     "cevents", "q3.rae"},
};

void expectToldAndUnchanged(const Writer& writer, const Told& told, const Lecture& lecture,
                            const std::map<std::string, std::string>& before) {
    SCOPED_TRACE(writer.name);
    EXPECT_EQ(told.title, writer.title);
    EXPECT_NE(told.text.find(writer.file), std::string::npos) << told.text;
    EXPECT_EQ(filesIn(lecture.folder), before);
}

// Each writer once, on a lecture folder in a fresh place that stops taking writes
// once the lecture is there.
template <typename Place, typename Stop> void eachWriterWhere(Stop stop) {
    for (const Writer& writer : Writers) {
#ifdef _WIN32
        // No disk can be filled here: the fault stands in for it, in this process alone.
        if (std::string(writer.name) == "the cevents tool")
            continue;
#endif
        // A presentation writer with nothing changed writes nothing, so it has nothing to
        // tell either.
        for (const bool corrected : {true, false}) {
            if (!corrected && std::string(writer.title) != "Open File")
                continue;
            Place place;
            Lecture lecture(place.path(""));
            const auto before = filesIn(lecture.folder);
            if (corrected)
                correct(lecture);
            stop(place);
            const Told told = writer.run(lecture);
            if (corrected) {
                expectToldAndUnchanged(writer, told, lecture, before);
            } else {
                EXPECT_EQ(told.text, "") << writer.name;
                EXPECT_EQ(filesIn(lecture.folder), before) << writer.name;
            }
        }
    }
}

TEST(DiskWriters, onAFullDiskEachWriterSaysSoAndKeepsTheEarlierFiles) {
    eachWriterWhere<FullDisk>([](FullDisk& disk) { disk.fill(); });
}

TEST(DiskWriters, intoAReadOnlyFolderEachWriterSaysSoAndChangesNothing) {
#ifdef _WIN32
    GTEST_SKIP() << "a folder's read-only attribute does not keep files out on Windows";
#endif
    eachWriterWhere<ReadOnlyFolder>([](ReadOnlyFolder& folder) { folder.lock(); });
}

// A link planted at a name the writers write, pointing at a file outside the folder or at
// none: every writer, the tool and the resume file on closing replace the link itself, and
// nothing outside changes. Each name is tried with both kinds of link.
TEST(DiskWriters, aPlantedLinkIsReplacedNotWrittenThrough) {
#ifdef _WIN32
    GTEST_SKIP() << "symbolic links need an administrator on Windows";
#else
    const char* names[] = {"index.htm",   "sld001.htm",  "preload.htm", "p2hup.gif",
                           "tsld001.ram", "cevents.txt", "q3.rae",      "q3.urs"};
    for (const size_t danglingParity : {0u, 1u}) {
        SCOPED_TRACE(danglingParity);
        TempFolder place;
        const std::string outside = place.filePath("outside");
        const std::string talk = place.filePath("talk");
        ASSERT_EQ(::mkdir(outside.c_str(), 0755), 0);
        ASSERT_EQ(::mkdir(talk.c_str(), 0755), 0);
        Lecture lecture(talk);
        for (const std::string name : names) {
            const std::string at = lecture.folder + "/" + name;
            ASSERT_EQ(::unlink(at.c_str()), 0) << name;
            // A write through a dangling link would create the file outside.
            if (name.size() % 2 != danglingParity)
                putFile(outside + "/" + name, "kept");
            ASSERT_EQ(::symlink((outside + "/" + name).c_str(), at.c_str()), 0) << name;
        }
        const auto before = filesIn(outside);
        lecture.main->mnuWrtAll_Click();
        EXPECT_TRUE(lecture.ui.boxTexts().empty()) << lecture.ui.boxTexts().front();
        EXPECT_EQ(lecture.cevents().exitCode, 0) << lecture.cevents().errors;
        EXPECT_TRUE(lecture.main->Unload());
        EXPECT_TRUE(lecture.ui.boxTexts().empty()) << lecture.ui.boxTexts().front();
        EXPECT_EQ(filesIn(outside), before);
        for (const std::string name : names) {
            struct stat st {};
            ASSERT_EQ(::lstat((lecture.folder + "/" + name).c_str(), &st), 0) << name;
            EXPECT_TRUE(S_ISREG(st.st_mode)) << name;
        }
        EXPECT_EQ(fileBytes(lecture.folder + "/q3.urs").substr(0, lecture.log().size()),
                  lecture.log());
    }
#endif
}

// The crash a child of the crash test is to run into: point, index and the lecture's
// folder; empty in the test itself.
constexpr const char* CrashCaseVariable = "CUE_TEST_CRASH_CASE";
// What the child says just before the command it crashes in.
constexpr const char* Crashing = "writing until the crash";

void setCrashCase(const std::string& value) {
#ifdef _WIN32
    ::_putenv_s(CrashCaseVariable, value.c_str());
#else
    if (value.empty())
        ::unsetenv(CrashCaseVariable);
    else
        ::setenv(CrashCaseVariable, value.c_str(), 1);
#endif
}

// Write All of a corrected lecture, ended by a crash at each moment of its commit (in a
// child process, this test started again, killed there) or failing at each step: every
// file of the presentation is then whole, old or new, never empty or torn, and the files
// put in place are the first ones in the order written. A failure leaves no temporary file; a crash
// before the renames leaves every old file. Write All again then puts the whole new presentation in
// place.
TEST(DiskWriters, aCrashOrAFailureAtAnyStepLeavesEveryFileWholeOldOrNew) {
    using TextFile::CrashPoint;
    // In the child this test starts: the lecture made in the folder it is given, as the
    // parent makes it, corrected, and written until the crash.
    if (const char* crashCase = std::getenv(CrashCaseVariable)) {
        std::istringstream in(crashCase);
        int point = 0;
        int index = 0;
        std::string folder;
        in >> point >> index >> std::ws;
        std::getline(in, folder);
        TestFiles::makePath(folder);
        Lecture lecture(folder);
        correct(lecture);
        std::fprintf(stderr, "%s\n", Crashing);
        TextFile::InjectedCrash crash(static_cast<CrashPoint>(point), index);
        lecture.main->mnuWrtAll_Click();
        std::exit(3); // the crash never came
    }
    using TextFile::Step;
    constexpr int All = -1;
    struct Case {
        std::optional<CrashPoint> crash; // else a failing step
        Step step;
        int index; // the crash's or the failure's, from 0
        int newFiles;
    };
    const Case cases[] = {
        {CrashPoint::TempWritten, {}, 0, 0},
        {CrashPoint::TempWritten, {}, 5, 0},
        {CrashPoint::Synced, {}, 0, 0},
        {CrashPoint::Renamed, {}, 0, 1},
        {CrashPoint::Renamed, {}, 5, 6},
        {CrashPoint::BeforeFolderSync, {}, 0, All},
        {{}, Step::Write, 0, 0},
        {{}, Step::Sync, 0, 0},
        {{}, Step::Close, 3, 0},
        {{}, Step::Rename, 0, 0},
        {{}, Step::Rename, 5, 5},
        {{}, Step::SyncFolder, 0, All},
    };
    // A presentation's bytes do not depend on its folder.
    TempFolder oldPlace;
    const auto oldFiles = filesIn(Lecture(oldPlace.path()).folder);
    TempFolder newPlace;
    Lecture corrected(newPlace.path());
    correct(corrected);
    corrected.main->mnuWrtAll_Click();
    const auto newFiles = filesIn(corrected.folder);
    for (const Case& c : cases) {
        SCOPED_TRACE((c.crash ? "crash " + std::to_string(static_cast<int>(*c.crash))
                              : "failure " + std::to_string(static_cast<int>(c.step))) +
                     " at " + std::to_string(c.index));
        TempFolder place;
        std::string folder = place.path();
        std::optional<Lecture> lecture;
        if (c.crash) {
            folder += "/talk";
            setCrashCase(std::to_string(static_cast<int>(*c.crash)) + " " +
                         std::to_string(c.index) + " " + folder);
            const TestFiles::ProgramRun run = TestFiles::runProgram(
                TestFiles::runtimeProgram("diskwriters_test"),
                {"--gtest_filter=DiskWriters.aCrashOrAFailureAtAnyStepLeavesEveryFileWholeOldOrNew",
                 "--gtest_brief=1"});
            setCrashCase("");
            // Started, and ended neither normally (0), by a failed check (1) nor past the
            // crash (3): killed by the signal on POSIX (no exit code), ended with 137 on
            // Windows.
            ASSERT_NE(run.errors.find(Crashing), std::string::npos) << run.errors;
            EXPECT_TRUE(run.exitCode == -1 || run.exitCode == 137) << run.exitCode;
        } else {
            lecture.emplace(folder);
            correct(*lecture);
            TextFile::InjectedFault fault(c.step, ENOSPC, c.index);
            lecture->main->mnuWrtAll_Click();
            EXPECT_EQ(firstBox(*lecture).title, "Open File");
        }
        // The files in the order the batch writes them: the pages, preload.htm, the
        // images, index.htm, chapters.vtt, the metafiles, the event list.
        int placed = 0;
        int changed = 0;
        bool oldSince = false;
        std::vector<std::string> order;
        for (int i = 1; i <= 100; ++i) {
            char name[16];
            std::snprintf(name, sizeof name, "sld%03d.htm", i);
            if (oldFiles.count(name))
                order.push_back(name);
        }
        for (const char* name : {"preload.htm", "p2hnext.gif", "p2hprev.gif", "p2hup.gif",
                                 "ralogo.gif", "wait.gif", "index.htm", "chapters.vtt"})
            order.push_back(name);
        for (int i = 1; i <= 100; ++i) {
            char name[16];
            std::snprintf(name, sizeof name, "tsld%03d.ram", i);
            if (oldFiles.count(name))
                order.push_back(name);
        }
        order.push_back("cevents.txt");
        const auto now = filesIn(folder);
        for (const std::string& name : order) {
            ASSERT_TRUE(now.count(name)) << name;
            const std::string& bytes = now.at(name);
            if (oldFiles.at(name) == newFiles.at(name))
                continue;
            ++changed;
            const bool isNew = bytes == newFiles.at(name);
            EXPECT_TRUE(isNew || bytes == oldFiles.at(name)) << name << " is torn";
            EXPECT_FALSE(isNew && oldSince) << name << " is new after an old one";
            oldSince = oldSince || !isNew;
            placed += isNew;
        }
        EXPECT_EQ(placed, c.newFiles == All ? changed : c.newFiles);
        EXPECT_GT(changed, 6);
        if (lecture) {
            for (const std::string& name : TestFiles::names(folder))
                EXPECT_FALSE(name.ends_with(".tmp")) << name << " is left";
            lecture->main->mnuWrtAll_Click();
            for (const std::string& name : order)
                EXPECT_EQ(filesIn(folder).at(name), newFiles.at(name)) << name;
        }
    }
}

} // namespace
