// The loggers as the operator meets them on a real (virtual) display, bound to the
// substitute presentation program: the splash, the log dialog, a slide show followed by the
// poll, End Log confirmed; the log they write is one cuebuild reads.
#include "desktop.h"

#include "common/textfile.h"
#include "forms/programregistry.h"
#include "gui/modeltext.h"
#include "gui/qtloggerenvironment.h"
#include "gui/qtprogram.h"
#include "logger/loggerprograms.h"
#include "logger/powerpointversion.h"
#include "qtplatform/qtsettingsstore.h"
#include "support/mainfixture.h"
#include "testing/substitutepowerpoint.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWindow>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>

#include <gtest/gtest.h>

namespace {

// The desktop of the loggers' main() with the substitute in place of the presentation
// program, and the beeps counted.
class SubstituteEnvironment : public LoggerEnvironment {
  public:
    explicit SubstituteEnvironment(SubstitutePowerPoint ppt, int& beeps,
                                   AudioInputFactory input = {})
        : m_ppt(std::move(ppt)), m_beeps(beeps), m_input(std::move(input)) {}
    AudioInputFactory audioInput() override { return m_input; }
    AutomationFactory automation() override {
        return [this](const std::string& className) {
            if (beforeCreate)
                beforeCreate();
            return m_ppt.factory()(className);
        };
    }
    LoggerClock& clock() override { return m_clock; }
    void beep() override { ++m_beeps; }
    std::function<void()> beforeCreate;

  private:
    SubstitutePowerPoint m_ppt;
    QtLoggerClock m_clock;
    int& m_beeps;
    AudioInputFactory m_input;
};

// A microphone that hears a steady hum, a tenth of a second at a time.
class HumInput : public AudioInput {
  public:
    AudioFormat open(const AudioFormat& wanted) override {
        m_next = std::chrono::steady_clock::now();
        return m_format = wanted;
    }
    size_t read(std::int16_t* out, size_t maxFrames) override {
        std::this_thread::sleep_until(m_next += std::chrono::milliseconds(100));
        const size_t frames = std::min<size_t>(maxFrames, m_format.rate / 10);
        std::fill(out, out + frames * m_format.channels, std::int16_t{2000});
        return frames;
    }
    std::int64_t delayFrames() override { return 0; }

  private:
    AudioFormat m_format;
    std::chrono::steady_clock::time_point m_next;
};

// A logger as its main() starts it, with its settings kept in a scratch folder.
struct Cuerec {
    Cuerec(const PowerPointVersion& version, const SubstitutePowerPoint& ppt,
           const QString& settingsDir, AudioInputFactory input = {})
        : settings(ModelText::pathFromQt(settingsDir)),
          entry(loggerEntry(version,
                            [this, ppt, input] {
                                auto environment =
                                    std::make_unique<SubstituteEnvironment>(ppt, beeps, input);
                                // Binding may wait long for the program: the window is painted
                                // before.
                                environment->beforeCreate = [this] {
                                    const QWindow* window = run.view()->windowHandle();
                                    paintedBeforeBinding = window && window->isExposed();
                                };
                                return environment;
                            })),
          run(entry, settings, CUE_RUNTIME_DIR), closed(run.view(), SIGNAL(closed())) {}

    QString label(const char* name) const {
        auto* widget = run.view()->findChild<QLabel*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget ? widget->text() : QString();
    }
    bool shows(const char* name, const QString& text) const {
        return QTest::qWaitFor([&] { return label(name) == text; }, 5000);
    }

    int beeps = 0;
    bool paintedBeforeBinding = false;
    QtSettingsStore settings;
    ProgramEntry entry;
    QtProgramRun run;
    QSignalSpy closed;
};

class CuerecWindow : public ::testing::TestWithParam<const PowerPointVersion*> {};

TEST_P(CuerecWindow, loggingRunOnTheSubstitutePresentationProgram) {
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("Vortrag März"));
    ASSERT_TRUE(QDir().mkpath(folder));
    SubstitutePowerPoint ppt;
    ppt.setDeck(ModelText::pathFromQt(folder + QStringLiteral("/Vortrag 3.ppt")),
                {"Welcome", "Agenda f\xc3\xbcr heute", std::nullopt});

    Desktop desktop;
    Cuerec app(*GetParam(), ppt, dir.filePath(QStringLiteral("settings")));
    desktop.expectSelfClosing();
    desktop.expectFileDialog(folder + QStringLiteral("/talk log"));
    ASSERT_TRUE(app.run.start());
    ASSERT_TRUE(desktop.settle());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(app.run.view()));
    const QString log = folder + QStringLiteral("/talk log.txt");
    EXPECT_EQ(app.label("lblLogFIle"), log);
    EXPECT_TRUE(app.paintedBeforeBinding);

    // The operator runs the show; a poll sees each slide shown and logs it at once.
    const auto logLines = [&] {
        const std::string bytes = TextFile::readAll(ModelText::pathFromQt(log));
        return std::count(bytes.begin(), bytes.end(), '\n');
    };
    const auto waitForLines = [&](long lines) {
        return QTest::qWaitFor([&] { return logLines() == lines; }, 5000);
    };
    ppt.startShow(1);
    ASSERT_TRUE(waitForLines(1));
    ppt.gotoSlide(2);
    ASSERT_TRUE(waitForLines(2));
    ppt.gotoSlide(3);
    ASSERT_TRUE(waitForLines(3));
    ppt.endShow();
    ASSERT_TRUE(waitForLines(4));
    // The window shows the presentation and, once the show ended, the last slide.
    EXPECT_TRUE(app.shows("lblSlideNum", QStringLiteral("3")));
    EXPECT_EQ(app.label("lblPPTFile"), folder + QStringLiteral("/Vortrag 3.ppt"));

    // End Log, confirmed: the closing line is written and the logger ends.
    desktop.expectBox(QMessageBox::Ok);
    QTest::mouseClick(app.run.view()->findChild<QPushButton*>(QStringLiteral("cmdEnd")),
                      Qt::LeftButton);
    ASSERT_TRUE(desktop.settle());
    EXPECT_EQ(desktop.boxes().value(0), QStringLiteral("End Logging and Exit?"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return app.closed.count() == 1; }, 5000));

    // The post-processor reads what the logger wrote.
    MainFixture cuebuild;
    cuebuild.start();
    cuebuild.ui.queueFile(ModelText::pathFromQt(log));
    cuebuild.main->mnuRdLog_Click();
    EXPECT_TRUE(cuebuild.ui.boxTexts().empty());
    ASSERT_EQ(cuebuild.main->schedule().RowCount(), 4);
    EXPECT_EQ(cuebuild.main->Grid1.TextMatrix(1, ScheduleColumn::Title), "Welcome");
    EXPECT_EQ(cuebuild.main->Grid1.TextMatrix(2, ScheduleColumn::Title), "Agenda f\xc3\xbcr heute");
    EXPECT_EQ(cuebuild.main->Grid1.TextMatrix(3, ScheduleColumn::Title), "NO TITLE");
    EXPECT_EQ(cuebuild.main->Grid1.TextMatrix(4, ScheduleColumn::Title), "BREAK");
}

// Record Audio on the desktop: the menu offers it, the status line shows the recording
// and its level, and the sound lies beside the log once End Log is confirmed.
TEST(CuerecDesktop, recordsTheTalkBesideTheLogAndShowsItsLevel) {
    QTemporaryDir dir;
    SubstitutePowerPoint ppt;
    ppt.setDeck("C:\\Talks\\q3.ppt", {"Welcome", "Agenda"});
    Desktop desktop;
    Cuerec app(PowerPoint8, ppt, dir.filePath(QStringLiteral("settings")),
               [] { return std::make_unique<HumInput>(); });
    app.settings.SaveSetting("CuemarkLog", "Options", "RecordAudio", "True");
    desktop.expectSelfClosing();
    desktop.expectFileDialog(dir.filePath(QStringLiteral("talk.txt")));
    ASSERT_TRUE(app.run.start());
    ASSERT_TRUE(desktop.settle());
    auto* record = app.run.view()->findChild<QAction*>(QStringLiteral("mnuRecord"));
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->text().remove('&'), QStringLiteral("Record Audio"));
    EXPECT_TRUE(record->isChecked());
    ppt.startShow(1);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return app.label("lblStatus").endsWith(QStringLiteral(", input -24 dB")); }, 5000))
        << app.label("lblStatus").toStdString();

    desktop.expectBox(QMessageBox::Ok);
    QTest::mouseClick(app.run.view()->findChild<QPushButton*>(QStringLiteral("cmdEnd")),
                      Qt::LeftButton);
    ASSERT_TRUE(desktop.settle());
    ASSERT_TRUE(QTest::qWaitFor([&] { return app.closed.count() == 1; }, 5000));
    const std::string wav = ModelText::pathFromQt(dir.filePath(QStringLiteral("talk.wav")));
    EXPECT_GT(WavReader(wav).frames(), 0);
    EXPECT_TRUE(RecordingSync::read(ModelText::pathFromQt(dir.filePath(QStringLiteral("talk.sync"))))
                    .firstLineMs);
}

INSTANTIATE_TEST_SUITE_P(BothLoggers, CuerecWindow, ::testing::Values(&PowerPoint7, &PowerPoint8),
                         [](const auto& info) {
                             return "cuerec" + std::to_string(info.param->number);
                         });

} // namespace
