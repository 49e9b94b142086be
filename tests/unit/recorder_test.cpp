// The talk's recording: the recorder on its own thread, the first line's place, and the
// logger's Record Audio option around them, all with an input the test drives.
#include "audio/recorder.h"
#include "common/textfile.h"
#include "support/loggerfixture.h"
#include "support/smalldisk.h"
#include "support/testfiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

using namespace std::chrono_literals;

namespace {

// What the test makes the input do; shared with every input the factory opens.
struct InputScript {
    std::atomic<bool> gone{false}; // reads and opens fail, as with a microphone pulled out
    std::atomic<bool> hang{false}; // reads wait until released
    std::atomic<int> opens{0};
    std::int16_t level = 1000; // about -30 dBFS
    int channels = 1;
};

// A tenth of a second of a steady level at a time, at the pace of a real input.
class TestInput : public AudioInput {
  public:
    explicit TestInput(std::shared_ptr<InputScript> script) : m_script(std::move(script)) {}
    AudioFormat open(const AudioFormat& wanted) override {
        if (m_script->gone)
            throw AudioInputError("the device was unplugged");
        ++m_script->opens;
        m_format = {wanted.rate, m_script->channels};
        m_next = std::chrono::steady_clock::now();
        return m_format;
    }
    size_t read(std::int16_t* out, size_t maxFrames) override {
        while (m_script->hang)
            std::this_thread::sleep_for(5ms);
        if (m_script->gone)
            throw AudioInputError("the device was unplugged");
        m_next += 100ms;
        std::this_thread::sleep_until(m_next);
        const size_t frames = std::min<size_t>(maxFrames, m_format.rate / 10);
        std::fill(out, out + frames * m_format.channels, m_script->level);
        return frames;
    }
    std::int64_t delayFrames() override { return 0; }

  private:
    std::shared_ptr<InputScript> m_script;
    AudioFormat m_format;
    std::chrono::steady_clock::time_point m_next;
};

AudioInputFactory inputOf(const std::shared_ptr<InputScript>& script) {
    return [script] { return std::make_unique<TestInput>(script); };
}

std::int64_t framesIn(const std::string& wav) {
    return WavReader(wav).frames();
}

template <class Condition> bool waitFor(Condition condition, std::chrono::milliseconds limit = 3s) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(10ms);
    }
    return true;
}

} // namespace

TEST(FirstLineFit, putsTheFirstLineWhereTheWorstChangeLiesClosestToItsPage) {
    // Each line: its poll window on the recording and its whole seconds after the first.
    struct Line {
        std::int64_t from, to, seconds;
    };
    const struct {
        std::vector<Line> lines;
        std::int64_t firstLineMs, worstMs;
    } cases[] = {
        {{{1000, 1500, 0}}, 1250, 250},
        // Polls half a second apart against a clock of whole seconds: two kinds of window.
        {{{1000, 1500, 0}, {4500, 5000, 3}, {8000, 8500, 7}}, 1500, 500},
        {{{1000, 1500, 0}, {4000, 4500, 3}}, 1250, 250},
        // A line whose sound came before the recording began.
        {{{-600, -100, 0}, {2400, 2900, 3}}, -350, 250},
    };
    for (const auto& c : cases) {
        FirstLineFit fit;
        EXPECT_TRUE(fit.empty());
        for (const Line& line : c.lines)
            fit.add(line.from, line.to, line.seconds);
        EXPECT_EQ(fit.firstLineMs(), c.firstLineMs);
        EXPECT_EQ(fit.worstMs(), c.worstMs);
    }
}

TEST(Recorder, streamsTheInputKeepsAGapInStepAndSaysWhereTheFirstLineIs) {
    TempFolder dir;
    auto script = std::make_shared<InputScript>();
    const RecordingPaths paths = RecordingPaths::besideLog(dir.filePath("talk.txt"));
    Recorder recorder(inputOf(script), paths, {{8000, 1}, 100ms});
    const auto began = std::chrono::steady_clock::now();
    recorder.start();
    ASSERT_TRUE(waitFor([&] { return recorder.positionMs(began).has_value(); }));
    std::this_thread::sleep_for(400ms);
    // The level of the frames since the status was asked last.
    const std::string recording = recordingStatusText(recorder.status());
    EXPECT_EQ(recording.substr(0, 10), "Recording ") << recording;
    EXPECT_EQ(recording.substr(recording.size() - 14), ", input -30 dB") << recording;
    recorder.setFirstLineMs(-40);

    // Pulled out: told, tried again, and the time it was away is silence in the file.
    script->gone = true;
    ASSERT_TRUE(waitFor([&] { return recorder.status().state == Recorder::State::InputLost; }));
    EXPECT_EQ(recordingStatusText(recorder.status()).substr(0, 20), "NOT RECORDING after ");
    std::this_thread::sleep_for(500ms);
    script->gone = false;
    ASSERT_TRUE(waitFor([&] { return recorder.status().state == Recorder::State::Recording; }));
    std::this_thread::sleep_for(300ms);
    const auto position = recorder.positionMs(std::chrono::steady_clock::now());
    EXPECT_EQ(recorder.stop(), "");
    EXPECT_EQ(recorder.status().state, Recorder::State::Finished);
    EXPECT_GE(script->opens, 2);

    // The file's length is the time that passed, gap included, within a piece or two.
    const std::int64_t frames = framesIn(paths.audio);
    ASSERT_TRUE(position);
    EXPECT_NEAR(static_cast<double>(frames) / 8, static_cast<double>(*position), 250.0);
    WavReader reader(paths.audio);
    std::vector<std::int16_t> samples;
    int silent = 0;
    while (reader.read(samples, 800) > 0)
        silent += samples.front() == 0 ? 1 : 0;
    EXPECT_GE(silent, 3) << "tenths of a second of silence where the input was gone";
    const RecordingSync sync = RecordingSync::read(paths.sync);
    EXPECT_EQ(sync.audio, "talk.wav");
    EXPECT_EQ(sync.firstLineMs, -40);
}

TEST(Recorder, aDiskDownToTheLogsRoomOrFullStopsTheRecordingWhole) {
    SmallDisk disk("1m");
    if (!disk.available())
        GTEST_SKIP() << "needs a small disk to fill";
    auto script = std::make_shared<InputScript>();
    script->channels = 2;
    // 192 KB a second against 1 MB, 600 KB of it kept for the log.
    Recorder::Options options{{48000, 2}, 100ms};
    options.reserveBytes = 600u << 10;
    Recorder recorder(inputOf(script), RecordingPaths::besideLog(disk.path("talk.txt")), options);
    recorder.start();
    ASSERT_TRUE(waitFor([&] { return recorder.status().state == Recorder::State::Failed; }, 10s));
    EXPECT_NE(recordingStatusText(recorder.status()).find("kept for the log; logging goes on"),
              std::string::npos)
        << recordingStatusText(recorder.status());
    EXPECT_NE(recorder.stop(), "");
    EXPECT_GT(framesIn(disk.path("talk.wav")), 0);

    // A disk that fills without warning: the file stays readable up to its last frame.
    SmallDisk full("1m");
    Recorder::Options noReserve = options;
    noReserve.reserveBytes = 0;
    Recorder second(inputOf(script), RecordingPaths::besideLog(full.path("talk.txt")), noReserve);
    second.start();
    ASSERT_TRUE(waitFor([&] { return second.positionMs(std::chrono::steady_clock::now()).has_value(); }));
    full.fill();
    ASSERT_TRUE(waitFor([&] { return second.status().state == Recorder::State::Failed; }));
    EXPECT_NE(recordingStatusText(second.status()).find("could not be written"), std::string::npos);
    second.stop();
    EXPECT_NO_THROW(framesIn(full.path("talk.wav")));
}

TEST(Form1Recording, theOptionIsOfferedOnlyWhereTheDesktopCanRecordAndIsOffAtFirst) {
    LoggerFixture without;
    EXPECT_FALSE(without.form->mnuRecord);

    auto script = std::make_shared<InputScript>();
    LoggerFixture f(PowerPoint8, inputOf(script));
    ASSERT_TRUE(f.form->mnuRecord);
    EXPECT_EQ(f.form->mnuRecord->Caption, "Record Audio");
    const auto& options = f.form->mnuOptions.items();
    EXPECT_EQ(options.back(), &*f.form->mnuRecord) << "beside the beep options";
    f.start();
    EXPECT_FALSE(f.form->mnuRecord->Checked);
    EXPECT_FALSE(f.form->recorder());
    EXPECT_FALSE(TextFile::exists(f.path("talk.wav")));
    f.form->mnuRecord_Click();
    EXPECT_EQ(f.settings.GetSetting("CuemarkLog", "Options", "RecordAudio"), "True");
    EXPECT_FALSE(f.form->recorder()) << "from the next log on";
}

TEST(Form1Recording, recordsFromTheLogsOpeningToItsClosingLineWithoutHoldingUpAPoll) {
    auto script = std::make_shared<InputScript>();
    LoggerFixture f(PowerPoint8, inputOf(script));
    f.settings.SaveSetting("CuemarkLog", "Options", "RecordAudio", "True");
    f.start();
    ASSERT_TRUE(f.form->recorder());
    ASSERT_TRUE(waitFor([&] {
        return f.form->recorder()->positionMs(std::chrono::steady_clock::now()).has_value();
    }));
    f.ppt.startShow(1);
    f.tick(10, 0, 1);
    EXPECT_EQ(f.form->lblStatus.Caption.substr(0, 10), "Recording ");

    // An input that hangs holds up no poll, and the log goes on.
    script->hang = true;
    f.ppt.gotoSlide(2);
    const auto before = std::chrono::steady_clock::now();
    f.tick(10, 0, 3);
    EXPECT_LT(std::chrono::steady_clock::now() - before, 250ms);
    script->hang = false;
    // A microphone pulled out: the status line says so beside the log's own notices.
    script->gone = true;
    ASSERT_TRUE(
        waitFor([&] { return f.form->recorder()->status().state == Recorder::State::InputLost; }));
    f.ppt.gotoSlide(3);
    f.tick(10, 0, 5);
    EXPECT_EQ(f.form->lblStatus.Caption.substr(0, 14), "NOT RECORDING ");
    const std::string log = f.log();
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 3) << log;
    script->gone = false;
    f.endLog(10, 0, 7);
    EXPECT_TRUE(f.form->isClosed());
    const RecordingSync sync = RecordingSync::read(f.path("talk.sync"));
    ASSERT_TRUE(sync.firstLineMs);
    EXPECT_GT(framesIn(f.path("talk.wav")), 0);

    // The log opened again: the recording stays unless the operator says otherwise.
    const std::string kept = fileBytes(f.path("talk.wav"));
    LoggerFixture again(PowerPoint8, inputOf(script));
    again.settings.SaveSetting("CuemarkLog", "Options", "RecordAudio", "True");
    again.ui.queueAnswer(Mb::No);
    again.start(f.path("talk.txt"));
    ASSERT_EQ(again.ui.boxTexts().size(), 1u);
    EXPECT_EQ(again.ui.boxTexts()[0].rfind("A recording of this log is already there:", 0), 0u);
    EXPECT_FALSE(again.form->recorder());
    EXPECT_EQ(again.form->lblStatus.Caption.rfind("Not recording: ", 0), 0u);
    again.endLog(10, 1, 0);
    EXPECT_EQ(fileBytes(f.path("talk.wav")), kept);
}
