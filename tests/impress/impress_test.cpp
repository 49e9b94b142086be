#include "common/settingsstore.h"
#include "forms/program.h"
#include "logger/form1.h"
#include "logger/impress/impressbinding.h"
#include "logger/loggerclock.h"
#include "logger/loggerprograms.h"
#include "logger/powerpointversion.h"
#include "officefixture.h"
#include "schedule/logreader.h"
#include "testing/scriptedui.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <chrono>
#include <csignal>
#include <functional>
#include <thread>
#include <unistd.h>

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

// The presenter: a program of its own that drives the show (see impressdriver.cpp).
class Presenter {
  public:
    explicit Presenter(const std::string& pipeName) {
        m_driver.start(CUE_IMPRESS_DRIVER, {QString::fromStdString(pipeName)});
        m_driver.waitForStarted();
    }
    ~Presenter() {
        m_driver.closeWriteChannel();
        if (!m_driver.waitForFinished(5000))
            m_driver.kill();
    }
    // Runs one command and waits until the office shows its effect.
    void operator()(const std::string& command) {
        m_driver.write(QByteArray::fromStdString(command + "\n"));
        QByteArray answer;
        while (!answer.endsWith('\n') && m_driver.waitForReadyRead(30000))
            answer += m_driver.readLine();
        if (answer.trimmed() != "ok")
            throw std::runtime_error(command + ": " + answer.toStdString());
    }

  private:
    QProcess m_driver;
};

// One office for the whole run, on a private pipe with a private profile, so the
// operator's own office is never touched.
struct Office {
    QTemporaryDir dir;
    ImpressOptions options = ImpressOptions::defaults();
    std::unique_ptr<ImpressBinding> binding;

    Office() {
        options.pipeName = "cuemark-test-" + std::to_string(getpid());
        options.officeArguments = {"-env:UserInstallation=file://" + profile()};
        // Within one poll interval, with room for a loaded test machine.
        options.callTimeout = 400ms;
        binding = std::make_unique<ImpressBinding>(options);
        binding->create("PowerPoint.Application.8");
    }
    std::string profile() const { return dir.filePath("profile").toStdString(); }
    std::string file(const char* name) const { return dir.filePath(name).toStdString(); }
    pid_t process() const { return officeProcess(profile()); }
};

Office& office() {
    static Office* o = new Office;
    return *o;
}

std::string fileBytes(const std::string& path) {
    QFile file(QString::fromStdString(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
}

// The round trips of reading one slide's title through a version's chain.
std::uint64_t titleReadTrips(const PowerPointVersion& version, int slide) {
    auto app = office().binding->create(version.className);
    auto shape =
        asObject(asObject(app->get("ActivePresentation"))->get("Slides", {std::int16_t(slide)}));
    const auto before = office().binding->roundTrips();
    try {
        const int last = version.titleChainLength() - 1;
        for (int i = 0; i < last; ++i)
            shape = asObject(shape->get(version.titleChain[i]));
        shape->get(version.titleChain[last]);
    } catch (const AutomationError&) {
    }
    return office().binding->roundTrips() - before;
}

// The logger window on a scripted desktop, bound to the office through the binding the
// program uses on Linux, on the computer's clock.
class LoggerRun {
  public:
    LoggerRun(const PowerPointVersion& version, std::string logPath)
        : m_version(version), m_logPath(std::move(logPath)),
          m_ui("Cuemark Logger " + std::to_string(version.number)),
          m_program(loggerEntry(version, nullptr).makeProgram(CUE_RUNTIME_DIR)),
          m_form(m_ui, m_settings, m_program, version,
                 Form1::Seams{office().binding->factory(), m_clock, [] {},
                              office().binding->attachFactory()}) {
        m_ui.queueFile(m_logPath);
        m_form.load();
    }

    bool logging() const { return m_form.logOpen(); }

    // A few ticks of Timer1, as the office settles after a step; a tick the office was too
    // busy for fails, and the next takes it up. Keeps the round trips of the costliest
    // tick, less the title read of a tick that logged a slide.
    void ticks() {
        std::uint64_t most = 0;
        for (int tick = 0; tick < 3; ++tick) {
            const auto logged = fileBytes(m_logPath).size();
            const auto before = office().binding->roundTrips();
            m_form.Timer1_Timer();
            auto trips = office().binding->roundTrips() - before;
            const std::string log = fileBytes(m_logPath);
            if (log.size() > logged && log.find(" , Slide , ", logged) != std::string::npos)
                trips -= titleReadTrips(m_version, m_form.monitor().currentSlide());
            most = std::max(most, trips);
            std::this_thread::sleep_for(50ms);
        }
        pollTrips.push_back(most);
    }

    std::string endLog() {
        m_ui.queueAnswer(Mb::OK);
        m_form.cmdEnd_Click();
        return fileBytes(m_logPath);
    }

    std::vector<std::uint64_t> pollTrips;

  private:
    const PowerPointVersion& m_version;
    std::string m_logPath;
    ScriptedUi m_ui;
    MemorySettingsStore m_settings;
    Program m_program;
    SystemClock m_clock;
    Form1 m_form;
};

struct Expected {
    bool isSlide;
    int slide;
    std::string title;
};

std::vector<Expected> readBack(const std::string& log, const std::string& deckPath) {
    std::vector<Expected> lines;
    LogReader reader(log);
    while (!reader.atEnd()) {
        const LogLine line = reader.next();
        if (line.isSlide) {
            EXPECT_EQ(line.presentationPath, deckPath);
        }
        lines.push_back(
            {line.isSlide, line.slideNumber, line.isSlide ? line.title : line.eventText});
    }
    return lines;
}

bool operator==(const Expected& a, const Expected& b) {
    return a.isSlide == b.isSlide && a.slide == b.slide && a.title == b.title;
}
std::ostream& operator<<(std::ostream& out, const Expected& e) {
    return out << (e.isSlide ? "Slide " : "Event ") << e.slide << " \"" << e.title << "\"";
}

// A stop takes hold when each thread of the process is next scheduled.
bool allThreadsStopped(pid_t pid) {
    const auto deadline = Clock::now() + 5s;
    const QString tasks = "/proc/" + QString::number(pid) + "/task";
    while (Clock::now() < deadline) {
        bool all = true;
        for (const auto& task : QDir(tasks).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            QFile stat(tasks + "/" + task + "/stat");
            if (stat.open(QIODevice::ReadOnly)) {
                const QByteArray line = stat.readAll();
                const int afterName = line.lastIndexOf(')');
                all = all && afterName > 0 && line.mid(afterName + 2, 1) == "T";
            }
        }
        if (all)
            return true;
        std::this_thread::sleep_for(1ms);
    }
    return false;
}

// Whether the slide-show windows give their count within a few seconds: a busy office
// (one just started) may miss a poll or two.
bool answers(AutomationObject& windows) {
    const auto deadline = Clock::now() + 10s;
    while (Clock::now() < deadline) {
        try {
            windows.get("Count");
            return true;
        } catch (const AutomationError&) {
            std::this_thread::sleep_for(100ms);
        }
    }
    return false;
}

} // namespace

// The office of this run started on a fresh profile: binding waited through its first
// start, and the first poll after it answers without a retry.
TEST(ImpressBinding, bindsAnOfficeOnItsFirstStartAndItAnswersAtOnce) {
    auto windows =
        asObject(office().binding->create("PowerPoint.Application.8")->get("SlideShowWindows"));
    EXPECT_NO_THROW(windows->get("Count"));
}

// Ending a bound process never hangs: each run takes the bridge down within its bound
// and leaves main, under a hard timeout per run.
TEST(ImpressBinding, aBoundProcessAlwaysExits) {
    office().binding->create("PowerPoint.Application.8");
    for (int run = 0; run < 5; ++run) {
        SCOPED_TRACE(run);
        QProcess logger;
        logger.start(CUE_IMPRESS_EXIT, {QString::fromStdString(office().options.pipeName),
                                        QString::fromStdString("file://" + office().profile())});
        const bool exited = logger.waitForFinished(20000);
        if (!exited)
            logger.kill();
        ASSERT_TRUE(exited) << "still running after 20 s";
        EXPECT_EQ(logger.readAllStandardOutput().trimmed(), "bound");
        EXPECT_EQ(logger.exitStatus(), QProcess::NormalExit);
        // 3: the office kept its bridge, and the process ended without static teardown.
        EXPECT_TRUE(logger.exitCode() == 0 || logger.exitCode() == 3)
            << logger.exitCode() << " " << logger.readAllStandardError().toStdString();
    }
}

TEST(ImpressBinding, answersOnlyThePowerPointClassNames) {
    EXPECT_THROW(office().binding->create("Word.Application.8"), AutomationError);
    EXPECT_NO_THROW(office().binding->create("PowerPoint.Application.8"));
    EXPECT_NE(office().process(), 0);
}

// The road of a talk: the logger binds first, the deck is opened, its show is started,
// moved forward, back and by a jump, ended and started again at a later slide.
TEST(ImpressBinding, logsATalkThatTheImportReads) {
    const std::vector<std::optional<std::string>> titles = {"Opening", "Method &\nresults", "",
                                                            std::nullopt,
                                                            "Summary \xC3\x9C"
                                                            "ber"};
    const std::string deck = office().file("my talk.fodp");
    {
        QFile f(QString::fromStdString(deck));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray::fromStdString(flatDeck(titles)));
    }
    Presenter presenter(office().options.pipeName);
    presenter("load " + deck);

    for (const PowerPointVersion* version : {&PowerPoint8, &PowerPoint7}) {
        SCOPED_TRACE(version->number);
        LoggerRun logger(*version, office().file(version->number == 8 ? "talk8.txt" : "talk7.txt"));
        ASSERT_TRUE(logger.logging());
        auto step = [&](const std::string& command) {
            if (!command.empty())
                presenter(command);
            logger.ticks();
        };
        for (const char* command : {"", "start", "next", "next", "next", "", "previous", "jump 0",
                                    "end", "", "start page5", "jump 1", "end"})
            step(command);
        const std::string log = logger.endLog();

        const std::vector<Expected> expected = {{true, 1, "Opening"},
                                                {true, 2, "Method & results"},
                                                {true, 3, ""},
                                                {true, 4, "NO TITLE"},
                                                {true, 3, ""},
                                                {true, 1, "Opening"},
                                                {false, 0, "Slide Show Stopped"},
                                                {true, 5,
                                                 "Summary \xC3\x9C"
                                                 "ber"},
                                                {true, 2, "Method & results"},
                                                {false, 0, "Slide Show Stopped"},
                                                {false, 0, "Logging Stopped"}};
        EXPECT_EQ(readBack(log, deck), expected) << log;
        // Two polls cost more, once each: the first sight of an opened deck asks for its
        // interfaces and location, and a show started on a slide not shown before in
        // this session asks for that slide's properties.
        for (size_t poll = 0; poll < logger.pollTrips.size(); ++poll) {
            const bool deckDiscovered = version->number == 8 && poll == 0;
            const bool restartOnNewSlide = version->number == 8 && poll == 10;
            EXPECT_LE(logger.pollTrips[poll], deckDiscovered      ? 6u
                                              : restartOnNewSlide ? 4u
                                                                  : 3u)
                << "poll " << poll;
        }
    }
}

// The window states both builds send are taken; what automation would refuse is refused.
TEST(ImpressBinding, takesTheLoggersWindowStatesAndRefusesOtherMembers) {
    auto app = office().binding->create("PowerPoint.Application.7");
    auto appWindow = asObject(app->get("AppWindow"));
    for (AutomationObject* target : {app.get(), appWindow.get()}) {
        for (std::int32_t state : {1, 2, 3, 1})
            EXPECT_NO_THROW(target->put("WindowState", state)) << state;
        for (std::int32_t state : {0, 4})
            EXPECT_THROW(target->put("WindowState", state), AutomationError) << state;
    }
    auto windows = asObject(app->get("SlideShowWindows"));
    auto presentation = asObject(app->get("ActivePresentation"));
    const std::vector<std::function<void()>> refused = {
        [&] { app->get("Presentations"); },
        [&] { app->put("Caption", std::string("talk")); },
        [&] { windows->get("", {std::int16_t(2)}); },
        [&] { asObject(presentation->get("Slides", {std::int16_t(1)}))->get("Layout"); },
        [&] {
            auto slide = asObject(presentation->get("Slides", {std::int16_t(99)}));
            asObject(asObject(slide->get("Objects"))->get("Title"))->get("Text");
        },
    };
    for (size_t i = 0; i < refused.size(); ++i)
        EXPECT_THROW(refused[i](), AutomationError) << "case " << i;
}

// A closed deck is let go: the show of a deck opened after it is seen.
TEST(ImpressBinding, followsADeckOpenedAfterTheWatchedOneClosed) {
    const std::string first = office().file("first.fodp");
    const std::string second = office().file("second.fodp");
    for (const auto& path : {first, second}) {
        QFile f(QString::fromStdString(path));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray::fromStdString(flatDeck({"One", "Two"})));
    }
    auto app = office().binding->create("PowerPoint.Application.8");
    auto windows = asObject(app->get("SlideShowWindows"));
    Presenter presenter(office().options.pipeName);
    auto countAfter = [&](const std::string& command) {
        presenter(command);
        // The first poll after a deck opens only looks at it.
        for (int poll = 0; poll < 2; ++poll)
            try {
                windows->get("Count");
            } catch (const AutomationError&) {
            }
        return asInt32(windows->get("Count"));
    };
    presenter("load " + first);
    EXPECT_EQ(countAfter("start"), 1);
    EXPECT_EQ(countAfter("close"), 0);
    presenter("load " + second);
    EXPECT_EQ(countAfter("start"), 1);
    EXPECT_EQ(asText(asObject(app->get("ActivePresentation"))->get("FullName")), second);
    presenter("end");
    presenter("close");
}

// A stopped office must not hold the logger window: the call fails within its bound, the
// next ones at once, and calls work again once the office runs on.
TEST(ImpressBinding, stoppedOfficeFailsAPollWithinItsBound) {
    auto app = office().binding->create("PowerPoint.Application.8");
    auto windows = asObject(app->get("SlideShowWindows"));
    ASSERT_TRUE(answers(*windows));
    const pid_t pid = office().process();
    ASSERT_NE(pid, 0);

    ASSERT_EQ(kill(pid, SIGSTOP), 0);
    ASSERT_TRUE(allThreadsStopped(pid));
    for (int poll = 0; poll < 3; ++poll) {
        const auto begin = Clock::now();
        EXPECT_THROW(windows->get("Count"), AutomationError);
        EXPECT_LT(Clock::now() - begin, 500ms);
    }
    ASSERT_EQ(kill(pid, SIGCONT), 0);

    EXPECT_TRUE(answers(*windows));
}

// After the office quits, calls fail; the next binding starts it again.
TEST(ImpressBinding, quitOfficeFailsCallsUntilTheNextBinding) {
    auto app = office().binding->create("PowerPoint.Application.7");
    auto windows = asObject(app->get("SlideShowWindows"));
    Presenter(office().options.pipeName)("quit");

    const auto deadline = Clock::now() + 20s;
    bool failed = false;
    while (!failed && Clock::now() < deadline) {
        try {
            windows->get("Count");
            std::this_thread::sleep_for(100ms);
        } catch (const AutomationError&) {
            failed = true;
        }
    }
    ASSERT_TRUE(failed);
    while (office().process() != 0 && Clock::now() < deadline)
        std::this_thread::sleep_for(100ms);

    auto again = office().binding->create("PowerPoint.Application.7");
    EXPECT_TRUE(answers(*asObject(again->get("SlideShowWindows"))));
    Presenter(office().options.pipeName)("quit");
}

// The logger binds again only an office that is gone: a stopped one is busy, and asked
// again by the next poll through the objects it holds.
TEST(ImpressBinding, aStoppedOfficeIsBusyAndAQuitOneIsGone) {
    // An office an earlier test let quit may still be going.
    for (const auto deadline = Clock::now() + 20s;
         office().process() != 0 && Clock::now() < deadline;)
        std::this_thread::sleep_for(100ms);
    auto app = office().binding->create("PowerPoint.Application.8");
    auto windows = asObject(app->get("SlideShowWindows"));
    ASSERT_TRUE(answers(*windows));
    const auto kindOfCount = [&windows] {
        try {
            windows->get("Count");
        } catch (const AutomationError& e) {
            return e.kind();
        }
        return AutomationError::Kind::Refused; // answered: no kind to tell
    };
    const pid_t pid = office().process();
    ASSERT_EQ(kill(pid, SIGSTOP), 0);
    ASSERT_TRUE(allThreadsStopped(pid));
    EXPECT_EQ(kindOfCount(), AutomationError::Kind::Busy);
    ASSERT_EQ(kill(pid, SIGCONT), 0);
    ASSERT_TRUE(answers(*windows));

    Presenter(office().options.pipeName)("quit");
    AutomationError::Kind kind = AutomationError::Kind::Refused;
    for (const auto deadline = Clock::now() + 20s;
         kind == AutomationError::Kind::Refused && Clock::now() < deadline;
         std::this_thread::sleep_for(100ms))
        kind = kindOfCount();
    EXPECT_EQ(kind, AutomationError::Kind::Gone);
}

namespace {

// A screen of its own: a show needs one, and a display chosen by the server itself
// cannot collide with another test's.
class VirtualDisplay {
  public:
    VirtualDisplay() {
        // No reset when the last client goes: an office restarting itself (its first
        // start, or one quit and started again) would find the server resetting.
        m_server.start(CUE_XVFB, {"-displayfd", "1", "-screen", "0", "1280x1024x24", "-nolisten",
                                  "tcp", "-noreset"});
        QByteArray number;
        while (!number.endsWith('\n') && m_server.waitForReadyRead(10000))
            number += m_server.readAllStandardOutput();
        if (number.trimmed().isEmpty())
            throw std::runtime_error("Xvfb did not start");
        qputenv("DISPLAY", ":" + number.trimmed());
    }
    ~VirtualDisplay() {
        m_server.terminate();
        m_server.waitForFinished(5000);
    }

  private:
    QProcess m_server;
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    VirtualDisplay display;
    const int failed = RUN_ALL_TESTS();
    // The office goes before its screen does.
    office().binding.reset();
    if (office().process() != 0) {
        try {
            Presenter(office().options.pipeName)("quit");
        } catch (const std::exception&) {
            // An office that no longer listens goes with its screen.
        }
    }
    return failed;
}
