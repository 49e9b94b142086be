#include "support/loggerfixture.h"
#include "support/smalldisk.h"

#include "logger/loggerprograms.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <functional>

#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::string>;

Lines linesOf(const std::string& bytes) {
    Lines lines;
    for (size_t from = 0; from < bytes.size();) {
        const size_t end = bytes.find("\r\n", from);
        if (end == std::string::npos) {
            lines.push_back(bytes.substr(from) + "<no line end>");
            break;
        }
        lines.push_back(bytes.substr(from, end - from));
        from = end + 2;
    }
    return lines;
}

// The part of a line after the day count and the elapsed text: kind, time, fields.
std::string tail(const std::string& line) {
    const size_t kind = line.find(" , ");
    return line.substr(kind + 3);
}

std::string sample() {
    return fileBytes(CUE_SOURCE_DIR "/tests/samples/q3.txt");
}

} // namespace

// The short run of a talk, in both builds: each writes the same bytes and calls only
// its own version's members.
TEST(Form1, shortRunIsWrittenByteForByteInBothBuilds) {
    struct Case {
        const PowerPointVersion& version;
        Lines ownMembers;
        Lines otherMembers;
        int titleCalls; // calls of one title chain
    };
    const Case cases[] = {
        {PowerPoint7,
         {"AppWindow", "PathName", "Objects", "SlideIndex"},
         {"FullName", "Shapes", "TextFrame"},
         4},
        {PowerPoint8,
         {"FullName", "Shapes", "TextFrame", "TextRange"},
         {"AppWindow", "PathName", "Objects"},
         6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.version.number);
        LoggerFixture f(c.version);
        f.start("q3.txt", 10, 15, 0);
        f.tick(10, 15, 10);
        f.ppt.startShow(1);
        int before = f.ppt.calls();
        f.tick(10, 15, 23);
        // Count, item 1, View, Slide, SlideIndex, ActivePresentation, the path, the title.
        EXPECT_EQ(f.ppt.calls() - before, 7 + c.titleCalls);
        f.ppt.gotoSlide(2);
        before = f.ppt.calls();
        f.tick(10, 15, 28);
        EXPECT_EQ(f.ppt.calls() - before, 4 + c.titleCalls);
        f.ppt.gotoSlide(3);
        f.tick(10, 15, 35);
        f.ppt.endShow();
        f.tick(10, 16, 2);
        f.endLog(10, 16, 12);

        EXPECT_EQ(f.log(), sample());
        EXPECT_TRUE(f.form->isClosed());
        for (const std::string& member : c.ownMembers)
            EXPECT_GT(f.ppt.callsOf(member), 0) << member;
        for (const std::string& member : c.otherMembers)
            EXPECT_EQ(f.ppt.callsOf(member), 0) << member;
        EXPECT_EQ(f.form->lblSlideNum.Caption, "3");
        EXPECT_EQ(f.beeps, 2);
    }
}

TEST(Form1, aPollCostsOneCallWhileNoShowIsFollowedAndFourWhileOneIs) {
    LoggerFixture f;
    f.start();
    const auto callsOfTick = [&f](int second) {
        f.ppt.resetCalls();
        f.tick(10, 1, second);
        return f.ppt.calls();
    };
    EXPECT_EQ(callsOfTick(0), 1); // waiting for a show
    f.ppt.startShow(1);
    callsOfTick(1);
    EXPECT_EQ(callsOfTick(2), 4); // following it, no change
    f.ppt.endShow();
    callsOfTick(3);
    EXPECT_EQ(callsOfTick(4), 1); // ended
}

TEST(Form1, bindingSendsEachVersionsWindowStatesOnlyWithZoomChecked) {
    struct Case {
        const PowerPointVersion& version;
        bool zoom;
        int appWindowCalls;
        int windowState; // the last one sent
    };
    const Case cases[] = {
        {PowerPoint7, true, 3, 2},
        {PowerPoint8, true, 0, 3},
        {PowerPoint7, false, 1, 0},
        {PowerPoint8, false, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.version.number) + (c.zoom ? " zoom" : ""));
        LoggerFixture f(c.version);
        f.settings.SaveSetting("CuemarkLog", "Options", "ZoomPPT", c.zoom ? "True" : "False");
        f.start();
        EXPECT_TRUE(f.ppt.isVisible());
        EXPECT_EQ(f.ppt.callsOf("AppWindow"), c.appWindowCalls);
        EXPECT_EQ(f.ppt.callsOf("WindowState"), c.zoom ? 2 : 0);
        EXPECT_EQ(f.ppt.windowState(), c.windowState);
    }
}

TEST(Form1, beep2ndIsUsedUpByTheFirstChangeEvenWhenUnchecked) {
    LoggerFixture f;
    f.start();
    f.ppt.startShow(1);
    f.tick(10, 0, 1);
    f.form->mnuBeep2_Click(); // unchecked
    f.ppt.gotoSlide(2);
    f.tick(10, 0, 2);
    f.form->mnuBeep2_Click(); // checked again: the signal is gone
    f.ppt.gotoSlide(3);
    f.tick(10, 0, 3);
    EXPECT_EQ(f.beeps, 1);
    EXPECT_FALSE(f.form->monitor().secondBeepPending());
}

TEST(Form1, closingTheWindow) {
    LoggerFixture f;
    f.start();
    f.form->Left = 1000;
    f.form->Top = 700;
    f.ui.queueAnswer(Mb::No);
    EXPECT_FALSE(f.form->Unload());
    EXPECT_EQ(f.settings.size(), 0u);
    EXPECT_EQ(f.ui.events.back().text, "End Logging?");
    EXPECT_EQ(f.ui.events.back().title, "Exit Logger");
    EXPECT_EQ(f.ui.events.back().style, 260);
    f.clock.set(10, 0, 9);
    f.ui.queueAnswer(Mb::Yes);
    EXPECT_TRUE(f.form->Unload());
    EXPECT_EQ(f.log(), " 0  , Event , 0:00:00 , 10:00:09 AM , Program Stopped\r\n");
    EXPECT_EQ(f.settings.GetSetting("CuemarkLog", "Window", "Left"), "1000");
    EXPECT_EQ(f.settings.GetSetting("CuemarkLog", "Window", "Top"), "700");

    // Without a log open nothing is asked.
    LoggerFixture g;
    g.start(std::nullopt);
    g.ui.clearEvents();
    EXPECT_TRUE(g.form->Unload());
    EXPECT_TRUE(g.ui.events.empty());
    EXPECT_TRUE(g.settings.contains("CuemarkLog", "Window", "Left"));
}

TEST(Form1, theChosenNameGetsTxtOnlyWithoutAnyDot) {
    struct Case {
        std::string chosen;
        std::string logPath;
    };
    LoggerFixture probe;
    const std::string dotted = probe.path("my.files");
    TestFiles::makePath(dotted);
    const Case cases[] = {
        {probe.path("talk"), probe.path("talk.txt")},
        {probe.path("talk.log"), probe.path("talk.log")},
        {dotted + "/talk", dotted + "/talk"},
    };
    for (const Case& c : cases) {
        LoggerFixture f;
        f.start(c.chosen);
        EXPECT_EQ(f.form->logFile().path(), c.logPath);
        EXPECT_EQ(f.form->lblLogFIle.Caption, c.logPath);
        EXPECT_TRUE(TestFiles::exists(c.logPath));
    }
}

// Without an open log nothing polls: a cancelled dialog warns, a file that cannot be
// opened shows its error; Open Log tries again.
TEST(Form1, withoutAnOpenLogTheLoggerStaysIdle) {
    struct Case {
        std::optional<std::string> chosen;
        std::string boxTitle;
    };
    const Case cases[] = {
        {std::nullopt, "Cuemark Logger 8"},
        {"missing/talk.txt", "Cuemark Logger"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.boxTitle);
        LoggerFixture f;
        f.start(c.chosen ? std::optional(f.path(*c.chosen)) : std::nullopt);
        ASSERT_EQ(f.ui.boxTexts().size(), 1u);
        if (!c.chosen)
            EXPECT_EQ(f.ui.boxTexts()[0], "WARNING - NO LOGGING WILL OCCUR");
        else // the box names the file, not only why it failed
            EXPECT_NE(f.ui.boxTexts()[0].find(f.path(*c.chosen)), std::string::npos);
        EXPECT_EQ(f.ui.events.back().title, c.boxTitle);
        EXPECT_EQ(f.form->logFile().path(), "");
        EXPECT_EQ(f.form->lblLogFIle.Caption, "NONE");
        EXPECT_TRUE(f.form->cmdOpenLog.Enabled);
        EXPECT_FALSE(f.form->cmdEnd.Enabled);
        f.ppt.startShow(1);
        f.ppt.resetCalls();
        f.tick(10, 0, 1);
        EXPECT_EQ(f.ppt.calls(), 0);

        f.ui.queueFile(f.path("later.txt"));
        f.form->cmdOpenLog_Click();
        f.tick(10, 0, 2);
        EXPECT_EQ(linesOf(f.log()).size(), 1u);
        EXPECT_FALSE(f.form->cmdOpenLog.Enabled);
        EXPECT_FALSE(f.form->mnuOpenLog.Enabled);
        EXPECT_TRUE(f.form->cmdEnd.Enabled);
    }
}

TEST(Form1, withoutThePresentationProgramTheErrorBoxShowsAndTheWindowStaysUsable) {
    LoggerFixture f;
    f.ppt.setUnavailable(true);
    f.start();
    ASSERT_EQ(f.ui.boxTexts(), Lines{"ActiveX component can't create object"});
    EXPECT_EQ(f.ui.events.back().title, "Cuemark Logger");
    EXPECT_EQ(f.ui.countOf(UiEvent::Kind::FileDialog), 0);
    EXPECT_TRUE(f.form->Timer1.Enabled);
    f.tick(10, 0, 1);
    EXPECT_TRUE(f.form->cmdOpenLog.Enabled);
    f.ppt.setUnavailable(false);
    f.ui.queueFile(f.path("talk.txt"));
    f.form->mnuOpenLog_Click();
    EXPECT_TRUE(f.form->logOpen());
}

TEST(Form1, aClosedPresentationProgramFailsEveryPollSilently) {
    LoggerFixture f;
    f.start();
    f.ppt.startShow(1);
    f.tick(10, 0, 1);
    f.ppt.quit();
    f.tick(10, 0, 2);
    f.tick(10, 0, 3);
    f.endLog(10, 0, 4);
    EXPECT_EQ(linesOf(f.log()).size(), 2u);
    EXPECT_EQ(f.ui.countOf(UiEvent::Kind::MessageBox), 1); // only the End Log question
}

TEST(Form1, optionsAndPosition) {
    // First run with an empty store.
    LoggerFixture f;
    f.start();
    EXPECT_TRUE(f.form->mnuBeep1.Checked && f.form->mnuBeep2.Checked && f.form->mnuZoomPPT.Checked);
    EXPECT_EQ(f.form->Left, (15360 - f.form->Width) / 2);
    EXPECT_EQ(f.form->Top, 576); // 5 % of 11520
    EXPECT_EQ(f.form->Caption, "Cuemark Logger 8");
    f.form->mnuBeep2_Click();
    EXPECT_EQ(f.settings.GetSetting("CuemarkLog", "Options", "Beep2"), "False");
    f.form->mnuBeep2_Click();
    EXPECT_TRUE(f.form->mnuBeep2.Checked);
    EXPECT_EQ(f.settings.GetSetting("CuemarkLog", "Options", "Beep2"), "True");
    f.form->mnuZoomPPT_Click();
    EXPECT_EQ(f.settings.GetSetting("CuemarkLog", "Options", "ZoomPPT"), "False");

    // Stored values, and stored values that do not convert.
    LoggerFixture g;
    g.ui.screenHeight = 11530; // 576.5 rounds to even
    g.settings.SaveSetting("CuemarkLog", "Window", "Left", "1200");
    g.settings.SaveSetting("CuemarkLog", "Window", "Top", "up");
    g.settings.SaveSetting("CuemarkLog", "Options", "Beep1", "False");
    g.settings.SaveSetting("CuemarkLog", "Options", "Beep2", "maybe");
    g.start();
    EXPECT_EQ(g.form->Left, 1200);
    EXPECT_EQ(g.form->Top, 576);
    EXPECT_FALSE(g.form->mnuBeep1.Checked);
    EXPECT_TRUE(g.form->mnuBeep2.Checked);
}

TEST(Form1, aLineThatCannotBeWrittenShowsInTheStatusAndIsNotCounted) {
    SmallDisk disk;
    if (!disk.available())
        GTEST_SKIP() << "needs a small disk to fill";
    LoggerFixture f;
    // A disk that fills up once the log is open: every write fails.
    f.start(disk.path("talk.txt"));
    disk.fill();
    ASSERT_TRUE(f.form->logOpen());
    f.ppt.startShow(1);
    f.tick(10, 0, 1);
    EXPECT_EQ(f.form->lblStatus.Caption.rfind("NOT LOGGED at 10:00:01 AM: ", 0), 0u)
        << f.form->lblStatus.Caption;
    EXPECT_TRUE(f.form->logFile().firstLine());
    f.ppt.endShow();
    f.tick(10, 0, 2);
    EXPECT_FALSE(f.form->monitor().showStopped()); // tried again at the next tick
    EXPECT_EQ(f.ui.countOf(UiEvent::Kind::MessageBox), 0);

    // The closing line fails: the operator is told, the file is closed all the same.
    f.endLog(10, 0, 3);
    const Lines boxes = f.ui.boxTexts();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].rfind("The closing line \"Logging Stopped\" could not be written", 0), 0u);
    EXPECT_FALSE(f.form->logOpen());
    EXPECT_TRUE(f.form->isClosed());
}

TEST(Form1, aGapAcrossMidnightIsTheTimeThatPassed) {
    LoggerFixture f;
    f.start("talk.txt", 23, 59, 0);
    f.ppt.startShow(1);
    f.tick(23, 59, 50);
    f.ppt.gotoSlide(2);
    f.tick(0, 0, 10);
    const Lines lines = linesOf(f.log());
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1].substr(0, 7), " 2.3148");
    EXPECT_EQ(tail(lines[1]), "Slide , 0:00:20 , 12:00:10 AM , C:\\Talks\\q3.ppt , 2 , Agenda");
}

// A line the disk refused is cut off whole, the status says so until a line is written
// again, and the slide still shown is logged at the next poll that can write it.
TEST(Form1, aSlideChangeNotLoggedIsWrittenAtTheNextPollThatCan) {
    LoggerFixture f;
    f.start();
    f.ppt.startShow(1);
    f.tick(10, 0, 1);
    f.ppt.gotoSlide(2);
    {
        TextFile::InjectedFault full(TextFile::Step::Sync, ENOSPC);
        f.tick(10, 0, 2);
        f.tick(10, 0, 3);
    }
    EXPECT_EQ(f.form->lblStatus.Caption.rfind("NOT LOGGED at 10:00:03 AM", 0), 0u);
    f.tick(10, 0, 4);
    EXPECT_EQ(f.form->lblStatus.Caption, "");
    f.tick(10, 0, 5);
    const Lines lines = linesOf(f.log());
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(tail(lines[1]), "Slide , 0:00:03 , 10:00:04 AM , C:\\Talks\\q3.ppt , 2 , Agenda");
}

// A log file deleted, moved or replaced while open is noticed at the next line, and the
// lines go on to the path chosen.
TEST(Form1, aLogFileTakenAwayIsNoticedAndWritingGoesOnAtItsPath) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows keeps an open log in place: it cannot be moved away";
#endif
    LoggerFixture f;
    f.start();
    f.ppt.startShow(1);
    f.tick(10, 0, 1);
    ASSERT_TRUE(TestFiles::rename(f.path("talk.txt"), f.path("moved.txt")));
    f.ppt.gotoSlide(2);
    f.tick(10, 0, 2);
    EXPECT_NE(f.form->lblStatus.Caption.find("logging goes on into " + f.path("talk.txt")),
              std::string::npos)
        << f.form->lblStatus.Caption;
    f.endLog(10, 0, 3);
    EXPECT_EQ(linesOf(f.logOf(f.path("moved.txt"))).size(), 1u);
    const Lines lines = linesOf(f.log());
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(tail(lines[1]), "Event , 0:00:01 , 10:00:03 AM , Logging Stopped");
}

// The presentation program going away is told, and a later poll binds again and follows
// the show now running, into the same log.
TEST(Form1, thePresentationProgramGoingAwayIsToldAndFollowedAgain) {
    struct Case {
        const char* what;
        std::function<void(SubstitutePowerPoint&)> between; // between two polls
        std::string status;
        Lines tails; // of the lines after the first
    };
    const Case cases[] = {
        {"show ended and started again",
         [](SubstitutePowerPoint& ppt) {
             ppt.endShow();
             ppt.startShow(4);
         },
         "The slide show window went away at 10:00:02 AM",
         {"Slide , 0:00:01 , 10:00:02 AM , C:\\Talks\\q3.ppt , 4 , ",
          "Slide , 0:00:02 , 10:00:04 AM , C:\\Talks\\q3.ppt , 5 , Costs, risks"}},
        {"program quit and started again",
         [](SubstitutePowerPoint& ppt) { ppt.quit(); },
         "The presentation program did not answer at 10:00:02 AM",
         {"Event , 0:00:02 , 10:00:03 AM , Slide Show Stopped",
          "Slide , 0:00:01 , 10:00:04 AM , C:\\Talks\\q3.ppt , 5 , Costs, risks"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LoggerFixture f;
        f.start();
        f.ppt.startShow(1);
        f.tick(10, 0, 1);
        c.between(f.ppt);
        f.tick(10, 0, 2);
        EXPECT_EQ(f.form->lblStatus.Caption.rfind(c.status, 0), 0u) << f.form->lblStatus.Caption;
        f.ppt.launch();
        f.tick(10, 0, 3);
        if (!f.ppt.showRunning())
            f.ppt.startShow(5);
        else
            f.ppt.gotoSlide(5);
        f.tick(10, 0, 4);
        const Lines lines = linesOf(f.log());
        ASSERT_EQ(lines.size(), 3u);
        EXPECT_EQ((Lines{tail(lines[1]), tail(lines[2])}), c.tails);
    }
}

// The number logged and the title read are the slide's place in the deck, whatever
// number its first slide shows.
TEST(Form1, slideNumbersAndTitlesAgreeInADeckNotStartingAtOne) {
    LoggerFixture f;
    f.ppt.setDeck("/talks/q.odp", {"One", "Two", "Three"}, 5);
    f.start();
    f.ppt.startShow(1);
    f.tick(10, 0, 1);
    f.ppt.gotoSlide(2);
    f.tick(10, 0, 2);
    f.ppt.endShow();
    f.tick(10, 0, 3);
    f.ppt.startShow(3);
    f.tick(10, 0, 4);
    Lines numbersAndTitles;
    for (const std::string& line : linesOf(f.log())) {
        if (line.find(" , Slide , ") != std::string::npos)
            numbersAndTitles.push_back(line.substr(line.rfind(" , ", line.rfind(" , ") - 1) + 3));
    }
    EXPECT_EQ(numbersAndTitles, (Lines{"1 , One", "2 , Two", "3 , Three"}));
}

TEST(Form1, theWindowOpensCentredOnAnyScreenWidth) {
    for (const int width : {15360, 65536, 115200}) {
        LoggerFixture f;
        f.ui.screenWidth = width;
        f.start();
        EXPECT_EQ(f.form->Left, (width - f.form->Width) / 2) << width;
    }
}

// Where PowerPoint is registered only under its version-free name, each build binds it
// only when the version it reports is one whose members that build calls.
TEST(Form1, theVersionFreeNameIsBoundOnlyForAVersionTheBuildDrives) {
    const std::string cannotCreate = "ActiveX component can't create object";
    const std::vector<std::string> own{"PowerPoint.Application.7", "PowerPoint.Application.8"};
    const std::vector<std::string> versionFree{"PowerPoint.Application"};
    struct Case {
        const PowerPointVersion& build;
        std::vector<std::string> registered;
        std::string version;
        bool ownNameFails; // registered, but the program would not start
        std::string error; // empty: bound
        int versionReads;
    };
    const std::vector<Case> cases = {
        {PowerPoint8, own, "16.0", false, "", 0},
        {PowerPoint7, own, "16.0", false, "", 0},
        {PowerPoint8, versionFree, "16.0", false, "", 1},
        {PowerPoint8, versionFree, "8.0", false, "", 1},
        {PowerPoint7, versionFree, "7.0", false, "", 1},
        {PowerPoint8, versionFree, "7.0", false,
         "PowerPoint.Application.8 is not installed, and the PowerPoint.Application found "
         "(version 7.0) cannot be driven by this logger.",
         1},
        {PowerPoint7, versionFree, "16.0", false,
         "PowerPoint.Application.7 is not installed, and the PowerPoint.Application found "
         "(version 16.0) cannot be driven by this logger.",
         1},
        {PowerPoint8, versionFree, "", false,
         "PowerPoint.Application.8 is not installed, and the PowerPoint.Application found "
         "(version ) cannot be driven by this logger.",
         1},
        {PowerPoint8, {}, "16.0", false, cannotCreate, 0},
        // A registered program that fails to start is reported, not passed over.
        {PowerPoint8,
         {"PowerPoint.Application.8", "PowerPoint.Application"},
         "16.0",
         true,
         "Server execution failed",
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.build.className) + " with " +
                     std::to_string(c.registered.size()) + " names, version " + c.version);
        SubstitutePowerPoint ppt;
        ppt.setClassNames(c.registered);
        ppt.setVersion(c.version);
        AutomationFactory create = ppt.factory();
        if (c.ownNameFails)
            create = [create](const std::string& name) -> AutomationRef {
                if (name == "PowerPoint.Application.8")
                    throw AutomationError("Server execution failed");
                return create(name);
            };
        try {
            const AutomationRef app = withVersionFreeName(create, c.build)(c.build.className);
            EXPECT_EQ(c.error, "");
            EXPECT_EQ(asText(app->get("Version")), c.version);
        } catch (const AutomationError& e) {
            EXPECT_EQ(e.what(), c.error);
        }
        EXPECT_EQ(ppt.callsOf("Version"), c.versionReads + (c.error.empty() ? 1 : 0));
    }
    EXPECT_FALSE(withVersionFreeName({}, PowerPoint8));
}

// A program busy with a dialog turns calls away, wherever in a poll that begins: the polls
// meanwhile write nothing and bind nothing, the status line says busy, and once the
// program answers the slide shown is logged with the time it was seen.
TEST(Form1, aBusyPresentationProgramIsAskedAgainNeverBoundAgain) {
    const struct {
        const char* what;
        int answered; // calls of the poll answered before the spell
    } cases[] = {{"at the count", 0}, {"at the slide", 1}, {"at the title", 4}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        LoggerFixture f;
        f.start();
        f.ppt.startShow(1);
        f.tick(10, 0, 1);
        f.ppt.gotoSlide(2);
        f.ppt.beBusy(c.answered);
        f.tick(10, 0, 2);
        f.tick(10, 0, 3);
        EXPECT_EQ(f.form->lblStatus.Caption,
                  "The presentation program is busy since 10:00:02 AM (Call was rejected by "
                  "callee.): the polls go on asking it.");
        EXPECT_EQ(f.form->monitor().state(), MonitorState::Busy);
        f.ppt.beReady();
        f.tick(10, 0, 4);
        f.ppt.endShow();
        f.tick(10, 0, 5);
        EXPECT_EQ(f.form->lblStatus.Caption,
                  "The presentation program answers again since 10:00:04 AM.");
        const Lines lines = linesOf(f.log());
        ASSERT_EQ(lines.size(), 3u);
        EXPECT_EQ(tail(lines[1]), "Slide , 0:00:03 , 10:00:04 AM , C:\\Talks\\q3.ppt , 2 , Agenda");
        EXPECT_EQ(f.ppt.bindings(), 1);
        EXPECT_GE(f.ppt.rejectedCalls(), 2);
        EXPECT_EQ(f.beeps, 2);
    }
}
