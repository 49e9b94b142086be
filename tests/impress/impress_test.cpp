#include "common/clocktime.h"
#include "logger/impress/impressbinding.h"
#include "logger/presentationlog.h"
#include "officefixture.h"
#include "schedule/logreader.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTime>

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

// The loggers' poll, as the logger window runs it on each tick, written against the
// automation members only; counts the round trips each poll costs.
class PollLoop {
  public:
    PollLoop(ImpressBinding& binding, int version) : m_binding(binding), m_version(version) {
        m_app =
            binding.create(version == 7 ? "PowerPoint.Application.7" : "PowerPoint.Application.8");
        if (version == 7)
            asObject(m_app->get("AppWindow"))->put("Visible", true);
        else
            m_app->put("Visible", true);
        m_windows = asObject(m_app->get("SlideShowWindows"));
    }

    // One tick; false when the poll failed and was abandoned.
    bool tick() {
        const auto before = m_binding.roundTrips();
        m_titleTrips = 0;
        try {
            poll();
        } catch (const AutomationError&) {
            return false;
        }
        pollTrips.push_back(m_binding.roundTrips() - before - m_titleTrips);
        return true;
    }

    bool tickUntilAnswered() {
        for (int attempt = 0; attempt < 10; ++attempt)
            if (tick())
                return true;
        return false;
    }

    void endLogging() { writeEvent(PresentationLog::LoggingStopped); }

    std::string log;
    std::vector<std::uint64_t> pollTrips;

  private:
    void poll() {
        const int n = asInt32(m_windows->get("Count"));
        if (!m_showSeen) {
            if (n == 0)
                return;
            m_showSeen = true;
            m_stopped = false;
            m_current = asInt16(shownSlide("SlideIndex"));
            takePresentation();
            writeSlide();
        } else if (!m_stopped) {
            if (n == 0) {
                writeEvent(PresentationLog::SlideShowStopped);
                m_stopped = true;
                return;
            }
            const int s = asInt16(
                asObject(asObject(m_window->get("View"))->get("Slide"))->get("SlideNumber"));
            if (s != m_current) {
                m_current = s;
                writeSlide();
            }
        } else if (n != 0) {
            m_stopped = false;
            m_current = asInt16(shownSlide("SlideNumber"));
            takePresentation();
            writeSlide();
        }
    }
    AutomationValue shownSlide(const char* member) {
        m_window = asObject(m_windows->get("", {std::int16_t(1)}));
        return asObject(asObject(m_window->get("View"))->get("Slide"))->get(member);
    }
    void takePresentation() {
        m_presentation = asObject(m_app->get("ActivePresentation"));
        m_path = asText(m_presentation->get(m_version == 7 ? "PathName" : "FullName"));
    }
    std::string title() {
        const auto before = m_binding.roundTrips();
        std::string text = PresentationLog::NoTitle;
        try {
            auto o = asObject(m_presentation->get("Slides", {std::int16_t(m_current)}));
            const std::vector<const char*> chain =
                m_version == 7
                    ? std::vector<const char*>{"Objects", "Title", "Text"}
                    : std::vector<const char*>{"Shapes", "Title", "TextFrame", "TextRange", "Text"};
            for (size_t i = 0; i + 1 < chain.size(); ++i)
                o = asObject(o->get(chain[i]));
            text = asText(o->get(chain.back()));
        } catch (const AutomationError&) {
        }
        m_titleTrips += m_binding.roundTrips() - before;
        return text;
    }
    double stamp() {
        const double now =
            ClockTime::fromSeconds(QTime::currentTime().msecsSinceStartOfDay() / 1000);
        const double d = PresentationLog::interval(m_last, now);
        m_last = now;
        m_now = now;
        return d;
    }
    void writeSlide() {
        const double d = stamp();
        log += PresentationLog::slideLine(d, ClockTime::format(m_now), m_path, m_current, title());
    }
    void writeEvent(const char* text) {
        const double d = stamp();
        log += PresentationLog::eventLine(d, ClockTime::format(m_now), text);
    }

    ImpressBinding& m_binding;
    int m_version;
    AutomationRef m_app, m_windows, m_window, m_presentation;
    bool m_showSeen = false, m_stopped = false;
    int m_current = 0;
    std::string m_path;
    std::optional<double> m_last;
    double m_now = 0;
    std::uint64_t m_titleTrips = 0;
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

    for (int version : {8, 7}) {
        SCOPED_TRACE(version);
        PollLoop logger(*office().binding, version);
        auto step = [&](auto action) {
            action();
            ASSERT_TRUE(logger.tickUntilAnswered());
        };
        ASSERT_TRUE(logger.tickUntilAnswered());
        step([&] { presenter("start"); });
        step([&] { presenter("next"); });
        step([&] { presenter("next"); });
        step([&] { presenter("next"); });
        step([] {});
        step([&] { presenter("previous"); });
        step([&] { presenter("jump 0"); });
        step([&] { presenter("end"); });
        step([] {});
        step([&] { presenter("start page5"); });
        step([&] { presenter("jump 1"); });
        step([&] { presenter("end"); });
        logger.endLogging();

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
        EXPECT_EQ(readBack(logger.log, deck), expected) << logger.log;
        // Two polls cost more, once each: the first sight of an opened deck asks for its
        // interfaces and location, and a show started on a slide not shown before in
        // this session asks for that slide's properties.
        for (size_t poll = 0; poll < logger.pollTrips.size(); ++poll) {
            const bool deckDiscovered = version == 8 && poll == 0;
            const bool restartOnNewSlide = version == 8 && poll == 10;
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
