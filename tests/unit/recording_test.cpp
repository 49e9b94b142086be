#include "audio/recordingfiles.h"
#include "common/clocktime.h"
#include "schedule/recording.h"
#include "support/mainfixture.h"
#include "webout/webaudio.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <thread>

namespace {

using Lines = std::vector<std::string>;
const std::string DefaultAudio = "pnm://audio.cuemark.example/presentations/stockholder_1.ra";

// The five-line sample log: rows of 5, 7, 27 and 10 seconds.
std::string sampleLog() {
    return fileBytes(CUE_SOURCE_DIR "/tests/samples/q3.txt");
}

// What the logger leaves beside a log when it records: the sound and its sync file.
struct Recorded {
    std::optional<std::int64_t> firstLineMs = 2345;
    bool wav = true;
    std::string syncAudio = "q3.wav";
    std::string syncBytes; // when set, the sync file holds these bytes instead
};

void record(MainFixture& f, const Recorded& r, double seconds = 1) {
    if (r.wav) {
        WavWriter wav(f.path("q3.wav"), AudioFormat{8000, 1});
        std::vector<std::int16_t> samples(static_cast<size_t>(8000 * seconds));
        for (size_t i = 0; i < samples.size(); ++i)
            samples[i] = static_cast<std::int16_t>((i % 40) * 200 - 4000);
        wav.write(samples.data(), samples.size());
        wav.finish();
    }
    if (!r.syncBytes.empty())
        f.writeFile("q3.sync", r.syncBytes);
    else
        RecordingSync{r.syncAudio, AudioFormat{8000, 1}, r.firstLineMs}.write(f.path("q3.sync"));
}

struct ImportRig : MainFixture {
    ImportRig() {
        start();
        ui.clearEvents();
    }
    void import() {
        ui.queueFile(path("q3.txt"));
        main->mnuRdLog_Click();
    }
    Lines column(int col) const {
        Lines out;
        for (int r = 1; r <= main->schedule().RowCount(); ++r)
            out.push_back(main->Grid1.TextMatrix(r, col));
        return out;
    }
};

} // namespace

TEST(RecordingBesideLog, FillsTheAudioUrlAndAppliesTheOffsetOnce) {
    struct Case {
        const char* what;
        std::optional<Recorded> recorded;
        const char* resume; // the resume file's length of row 1, or none
        const char* tapeLateTyped;
        const char* audioUrl;
        Lines starts;
    };
    const Lines logStarts = {"00:00:00", "00:00:05", "00:00:12", "00:00:39"};
    const std::vector<Case> cases = {
        {"no recording", std::nullopt, nullptr, "00:00:00", DefaultAudio.c_str(), logStarts},
        {"a recording",
         Recorded{},
         nullptr,
         "00:00:00",
         "q3.ra.mp3",
         {"00:00:02", "00:00:07", "00:00:14", "00:00:41"}},
        {"under a second", Recorded{999}, nullptr, "00:00:00", "q3.ra.mp3", logStarts},
        {"a Tape Late typed before",
         Recorded{},
         nullptr,
         "00:00:03",
         "q3.ra.mp3",
         {"00:00:02", "00:00:07", "00:00:14", "00:00:41"}},
        {"no first line yet", Recorded{std::nullopt}, nullptr, "00:00:00", DefaultAudio.c_str(),
         logStarts},
        {"the sound is missing", Recorded{2345, false}, nullptr, "00:00:00", DefaultAudio.c_str(),
         logStarts},
        {"the sync names another sound", Recorded{2345, true, "other.wav"}, nullptr, "00:00:00",
         DefaultAudio.c_str(), logStarts},
        {"not a sync file", Recorded{2345, true, "q3.wav", "Cuemark Grid File\r\n"}, nullptr,
         "00:00:00", DefaultAudio.c_str(), logStarts},
        // The resume file's Update takes the pending offset: once, on its saved length.
        {"a resume file",
         Recorded{},
         " 4.62962962962963E-05 ",
         "00:00:00",
         "saved.ra.mp3",
         {"00:00:02", "00:00:06", "00:00:13", "00:00:40"}},
        {"a resume file, no recording",
         std::nullopt,
         " 4.62962962962963E-05 ",
         "00:00:00",
         "saved.ra.mp3",
         {"00:00:00", "00:00:04", "00:00:11", "00:00:38"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ImportRig f;
        f.writeFile("q3.txt", sampleLog());
        if (c.recorded)
            record(f, *c.recorded);
        if (c.resume)
            f.writeFile("q3.urs", f.path("q3.txt") + "\r\nsaved.ra.mp3\r\nhttp://a/b/\r\n" +
                                      c.resume + "\r\n");
        f.main->txtTapeLate.Text = c.tapeLateTyped;
        f.import();
        EXPECT_TRUE(f.ui.boxTexts().empty());
        EXPECT_EQ(f.main->txtAudioURL.Text, c.audioUrl);
        EXPECT_EQ(f.column(ScheduleColumn::Start), c.starts);
        // Spent: a later Update does not shift the schedule again.
        EXPECT_EQ(f.main->txtTapeEarly.Text, "00:00:00");
        EXPECT_EQ(f.main->txtTapeLate.Text, c.recorded ? "00:00:00" : c.tapeLateTyped);
        // Nothing was edited: closing writes the resume file and asks nothing.
        EXPECT_FALSE(f.main->schedule().ScheduleEdited());
        EXPECT_FALSE(f.main->schedule().FirstRowEdited());
    }
}

// The resume file written on closing carries row 1's length, not its Start: the log read
// again with it is shifted by the recording's offset once, as the first time.
TEST(RecordingBesideLog, ALogReadAgainWithItsResumeFileIsShiftedOnce) {
    ImportRig first;
    first.writeFile("q3.txt", sampleLog());
    record(first, Recorded{});
    first.import();
    ASSERT_TRUE(first.main->Unload());
    ASSERT_TRUE(TestFiles::exists(first.path("q3.urs")));

    auto again = std::make_unique<Main>(first.ui, first.settings, first.program);
    again->load();
    first.ui.queueFile(first.path("q3.txt"));
    again->mnuRdLog_Click();
    EXPECT_EQ(again->txtAudioURL.Text, "q3.ra.mp3");
    EXPECT_EQ(again->Grid1.TextMatrix(1, ScheduleColumn::Start), "00:00:02");
    EXPECT_EQ(again->Grid1.TextMatrix(2, ScheduleColumn::Start), "00:00:07");
}

TEST(WebFormToWrite, OnlyWhenTheUrlNamesItAndNoNewerOneIsThere) {
    struct Case {
        const char* what;
        const char* audioUrl;
        const char* existing; // "older" or "newer" than the recording, or none
        bool written;
    };
    for (const Case& c : std::vector<Case>{
             {"named, none there", "q3.ra.mp3", nullptr, true},
             {"named, an older one", "q3.ra.mp3", "older", true},
             {"named, a newer one", "q3.ra.mp3", "newer", false},
             {"another URL", "http://a/q3.ra.mp3", nullptr, false},
             {"a RealAudio URL", "pnm://a/q3.ra", nullptr, false},
         }) {
        SCOPED_TRACE(c.what);
        MainFixture f;
        f.writeFile("q3.txt", sampleLog());
        const std::string target = f.path("q3.ra.mp3");
        const auto stamp = [&](const std::string& path, int secondsFromNow) {
            std::filesystem::last_write_time(path, std::filesystem::file_time_type::clock::now() +
                                                       std::chrono::seconds(secondsFromNow));
        };
        record(f, Recorded{});
        if (c.existing) {
            f.writeFile("q3.ra.mp3", "made before");
            stamp(target, std::string(c.existing) == "newer" ? 5 : -5);
        }
        const std::optional<WebFormJob> job =
            webFormToWrite(f.path("q3.txt"), c.audioUrl, f.path(""));
        EXPECT_EQ(job.has_value(), c.written);
        if (job) {
            EXPECT_EQ(job->target, target);
            EXPECT_EQ(job->recordingPath, f.path("q3.wav"));
            EXPECT_EQ(job->cutMs, 345);
        }
    }
}

TEST(WriteAll, WritesTheWebFormBesideThePagesAndReportsAFailureKeepingTheRest) {
    struct Case {
        const char* what;
        const char* wavBytes; // the recording damaged, or a good one when none
        const char* box;
    };
    for (const Case& c : std::vector<Case>{
             {"a good recording", nullptr, nullptr},
             {"a damaged recording", "RIFF", "is not"},
         }) {
        SCOPED_TRACE(c.what);
        ImportRig f;
        f.writeFile("q3.txt", sampleLog());
        record(f, Recorded{}, 3);
        f.import();
        if (c.wavBytes)
            f.writeFile("q3.wav", c.wavBytes);
        f.ui.clearEvents();
        f.main->mnuWrtAll_Click();

        const Lines boxes = f.ui.boxTexts();
        // The audio URL ends in ".mp3": the usual warning, then the web form's own box.
        ASSERT_GE(boxes.size(), 1u);
        EXPECT_EQ(boxes[0], "Audio file doesn't have .ra extension");
        EXPECT_TRUE(TestFiles::exists(f.path("sld004.htm")));
        EXPECT_TRUE(TestFiles::exists(f.path("cevents.txt")));
        if (c.box) {
            ASSERT_EQ(boxes.size(), 2u);
            EXPECT_NE(boxes[1].find("q3.wav' "), std::string::npos) << boxes[1];
            EXPECT_EQ(f.ui.events.back().title, "Open File");
            EXPECT_FALSE(TestFiles::exists(f.path("q3.ra.mp3")));
        } else {
            EXPECT_EQ(boxes.size(), 1u);
            EXPECT_GT(fileBytes(f.path("q3.ra.mp3")).size(), 1000u);
            EXPECT_EQ(f.ui.busyChanges % 2, 0);
        }
    }
}
