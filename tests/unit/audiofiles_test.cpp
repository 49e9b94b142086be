#include "audio/recordingfiles.h"
#include "support/smalldisk.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <functional>

namespace {

// A sound no two frames of which are alike, so a shifted or torn frame shows.
std::vector<std::int16_t> ramp(const AudioFormat& format, size_t frames, int seed = 0) {
    std::vector<std::int16_t> samples(frames * static_cast<size_t>(format.channels));
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<std::int16_t>((i * 7919 + static_cast<size_t>(seed)) % 65536);
    return samples;
}

std::vector<std::int16_t> readAll(WavReader& reader, size_t piece = 1000) {
    std::vector<std::int16_t> all;
    std::vector<std::int16_t> samples;
    while (reader.read(samples, piece) > 0)
        all.insert(all.end(), samples.begin(), samples.end());
    return all;
}

void writeFile(const std::string& path, const AudioFormat& format,
               const std::vector<std::int16_t>& samples, WavWriter::Intervals intervals = {}) {
    WavWriter writer(path, format, intervals);
    // In uneven pieces, as a capture hands them over.
    const size_t frames = samples.size() / static_cast<size_t>(format.channels);
    for (size_t at = 0; at < frames;) {
        const size_t n = std::min<size_t>(frames - at, 333 + at % 500);
        writer.write(samples.data() + at * static_cast<size_t>(format.channels), n);
        at += n;
    }
    writer.finish();
}

void putU32(std::string& bytes, size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes[at + static_cast<size_t>(i)] = static_cast<char>(value >> (8 * i));
}

TEST(WavFiles, roundTripKeepsEverySampleInEveryFormat) {
    const struct {
        AudioFormat format;
        size_t frames;
    } cases[] = {{{48000, 1}, 0},         {{48000, 1}, 1},
                 {{48000, 1}, 47999},     {{48000, 1}, 48000 * 5 + 3},
                 {{44100, 2}, 44100 * 2}, {{8000, 6}, 12345}};
    for (const auto& c : cases) {
        TempFolder dir;
        const std::string path = dir.filePath("talk.wav");
        const auto samples = ramp(c.format, c.frames);
        writeFile(path, c.format, samples);
        WavReader reader(path);
        EXPECT_EQ(reader.format(), c.format);
        EXPECT_EQ(reader.frames(), static_cast<std::int64_t>(c.frames));
        EXPECT_FALSE(reader.headerWasStale()) << c.frames;
        EXPECT_EQ(readAll(reader, 777), samples) << c.format.rate << " " << c.frames;
        EXPECT_EQ(fileBytes(path).size(), 44 + samples.size() * 2);
        // A reader can start anywhere, and past the end finds nothing.
        reader.seek(static_cast<std::int64_t>(c.frames / 2));
        std::vector<std::int16_t> rest;
        reader.read(rest, c.frames + 1);
        EXPECT_TRUE(
            std::equal(rest.begin(), rest.end(),
                       samples.begin() + static_cast<long>(c.frames / 2) * c.format.channels));
        EXPECT_EQ(reader.read(rest, 10), 0u);
    }
}

TEST(WavFiles, aFileCutAtAnyByteReadsBackItsWholeFrames) {
    TempFolder dir;
    const AudioFormat format{8000, 2};
    const auto samples = ramp(format, 300, 5);
    const std::string whole = dir.filePath("whole.wav");
    // The header's sizes are brought up to date every 64 frames: cut anywhere, it is stale.
    writeFile(whole, format, samples, {64, 128});
    const std::string bytes = fileBytes(whole);
    const std::string cutPath = dir.filePath("cut.wav");
    for (size_t cut = 0; cut <= bytes.size(); ++cut) {
        putFile(cutPath, bytes.substr(0, cut));
        if (cut < 44) {
            EXPECT_THROW(WavReader{cutPath}, FileError) << cut;
            continue;
        }
        WavReader reader(cutPath);
        const size_t frames = (cut - 44) / 4;
        ASSERT_EQ(reader.frames(), static_cast<std::int64_t>(frames)) << cut;
        const auto back = readAll(reader, 7);
        ASSERT_EQ(back, std::vector<std::int16_t>(samples.begin(),
                                                  samples.begin() + static_cast<long>(frames * 2)))
            << cut;
    }
}

TEST(WavFiles, aStaleHeaderStillGivesTheDataToTheEnd) {
    const AudioFormat format{48000, 1};
    const auto samples = ramp(format, 1000);
    const struct {
        const char* what;
        std::function<void(std::string&)> change;
        std::int64_t frames;
        bool stale;
    } cases[] = {
        {"both sizes 0", [](std::string& b) { putU32(b, 4, 0), putU32(b, 40, 0); }, 1000, true},
        {"sizes a second behind", [](std::string& b) { putU32(b, 4, 836), putU32(b, 40, 800); },
         1000, true},
        {"data size past the end", [](std::string& b) { putU32(b, 40, 1u << 30); }, 1000, true},
        {"an odd byte at the end", [](std::string& b) { b += 'x'; }, 1000, true},
        {"a chunk of another program after the sound",
         [](std::string& b) {
             b += std::string("LIST\4\0\0\0abcd", 12);
             putU32(b, 4, static_cast<std::uint32_t>(b.size() - 8));
         },
         1000, false},
        {"sound the header does not count yet, not a chunk",
         [](std::string& b) { b += std::string(200, '\0'); }, 1100, true},
        {"an extensible PCM format",
         [](std::string& b) {
             std::string ext = b.substr(0, 12) + "fmt " + std::string(4, '\0') + b.substr(20, 16) +
                               std::string("\x16\0\x10\0\x04\0\0\0", 8) +
                               std::string("\x01\0\0\0\0\0\x10\0\x80\0\0\xaa\0\x38\x9b\x71", 16);
             putU32(ext, 16, 40);
             ext[20] = '\xfe', ext[21] = '\xff';
             b = ext + b.substr(36);
         },
         1000, true},
    };
    for (const auto& c : cases) {
        TempFolder dir;
        const std::string path = dir.filePath("talk.wav");
        writeFile(path, format, samples);
        std::string bytes = fileBytes(path);
        c.change(bytes);
        putFile(path, bytes);
        WavReader reader(path);
        EXPECT_EQ(reader.frames(), c.frames) << c.what;
        EXPECT_EQ(reader.headerWasStale(), c.stale) << c.what;
        const auto back = readAll(reader);
        EXPECT_TRUE(std::equal(samples.begin(), samples.end(), back.begin())) << c.what;
    }
}

TEST(WavFiles, aWriterStillOpenLeavesAFileThatPlaysToItsLastSeconds) {
    TempFolder dir;
    const std::string path = dir.filePath("talk.wav");
    const AudioFormat format{48000, 1};
    const auto samples = ramp(format, 48000 * 5 / 2);
    WavWriter writer(path, format);
    for (size_t at = 0; at < samples.size(); at += 4800)
        writer.write(samples.data() + at, 4800);
    // As a killed logger leaves it: sizes a second old, the rest of the sound after them.
    WavReader reader(path);
    EXPECT_TRUE(reader.headerWasStale());
    EXPECT_EQ(readAll(reader), samples);
}

TEST(WavFiles, otherFilesAreRefused) {
    TempFolder dir;
    const std::string path = dir.filePath("other.wav");
    writeFile(path, {8000, 1}, ramp({8000, 1}, 10));
    const std::string good = fileBytes(path);
    const struct {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"empty", ""},
        {"text", "Cuemark Recording\r\n"},
        {"no format", good.substr(0, 12) + good.substr(36)},
        {"8-bit", good.substr(0, 34) + std::string("\x08\0", 2) + good.substr(36)},
        {"float", good.substr(0, 20) + std::string("\x03\0", 2) + good.substr(22)},
        {"no channels", good.substr(0, 22) + std::string("\0\0", 2) + good.substr(24)},
        {"a chunk longer than the file", good.substr(0, 16) + "\xff\xff\xff\x0f" + good.substr(20)},
    };
    for (const auto& c : cases) {
        putFile(path, c.bytes);
        EXPECT_THROW(WavReader{path}, FileError) << c.what;
    }
}

TEST(WavFiles, aFullDiskKeepsEveryWholeFrameWrittenAndRefusesMore) {
    SmallDisk disk("64k");
    TempFolder fallback;
    const std::string path = disk.available() ? disk.path("talk.wav") : fallback.filePath("t.wav");
    const AudioFormat format{8000, 1};
    const auto block = ramp(format, 999);
    std::vector<std::int16_t> written;
    WavWriter writer(path, format);
    {
        std::optional<TextFile::InjectedFault> full;
        for (int i = 0; i < 200; ++i) {
            if (!disk.available() && i == 20)
                full.emplace(TextFile::Step::Write, ENOSPC);
            try {
                writer.write(block.data(), block.size());
            } catch (const FileError& e) {
                EXPECT_STREQ(e.what(), std::strerror(ENOSPC));
                break;
            }
            written.insert(written.end(), block.begin(), block.end());
        }
        ASSERT_LT(written.size(), 200 * block.size()) << "the disk never filled";
        EXPECT_THROW(writer.write(block.data(), 1), FileError);
    }
    EXPECT_EQ(writer.frames(), static_cast<std::int64_t>(written.size()));
    WavReader reader(path);
    EXPECT_FALSE(reader.headerWasStale());
    EXPECT_EQ(readAll(reader), written);
}

TEST(RecordingSync, writesTheKnownLinesAndReadsThemBack) {
    const struct {
        RecordingSync sync;
        std::string text;
    } cases[] = {
        {{"lecture6.wav", {48000, 1}, 2345},
         "Cuemark Recording\r\naudio lecture6.wav\r\nrate 48000\r\nchannels 1\r\n"
         "first-line-ms 2345\r\n"},
        {{"my talk \xe9.wav", {44100, 2}, 0},
         "Cuemark Recording\r\naudio my talk \xe9.wav\r\nrate 44100\r\nchannels 2\r\n"
         "first-line-ms 0\r\n"},
        {{"b.wav", {48000, 1}, std::nullopt},
         "Cuemark Recording\r\naudio b.wav\r\nrate 48000\r\nchannels 1\r\n"},
    };
    for (const auto& c : cases) {
        TempFolder dir;
        const std::string path = dir.filePath("b.sync");
        c.sync.write(path);
        EXPECT_EQ(fileBytes(path), c.text);
        const RecordingSync back = RecordingSync::read(path);
        EXPECT_EQ(back.audio, c.sync.audio);
        EXPECT_EQ(back.format, c.sync.format);
        EXPECT_EQ(back.firstLineMs, c.sync.firstLineMs);
    }
    EXPECT_THROW((RecordingSync{"two\nlines.wav", {}, 1}.text()), FileError);
}

TEST(RecordingSync, readsLinesItKnowsAndRefusesOtherFiles) {
    const std::string head = "Cuemark Recording\n";
    const struct {
        std::string text;
        std::optional<std::int64_t> firstLineMs; // when read
        bool refused;
    } cases[] = {
        {head + "audio a.wav\nrate 8000\nchannels 1\nfirst-line-ms 12\n", 12, false},
        {head + "\r\nnew-key what\naudio a.wav\nrate 8000\nchannels 1\nfirst-line-ms 7", 7, false},
        {head + "audio a.wav\nrate 8000\nchannels 1\n", std::nullopt, false},
        {"Cuemark Grid File\naudio a.wav\nrate 8000\nchannels 1\n", std::nullopt, true},
        {"", std::nullopt, true},
        {head + "audio a.wav\nchannels 1\n", std::nullopt, true},
        {head + "audio a.wav\nrate 0\nchannels 1\n", std::nullopt, true},
        {head + "audio a.wav\nrate 8000\nchannels 1\nfirst-line-ms -5\n", -5, false},
        {head + "audio a.wav\nrate 8000\nchannels 1\nfirst-line-ms -\n", std::nullopt, true},
        {head + "audio a.wav\nrate 8000\nchannels 1\nfirst-line-ms --5\n", std::nullopt, true},
        {head + "audio a.wav\nrate 8000\nchannels 1\nfirst-line-ms 1.5\n", std::nullopt, true},
        {head + "audio \nrate 8000\nchannels 1\n", std::nullopt, true},
        {head + "audio a.wav\nrate 8000\nchannels 99\n", std::nullopt, true},
    };
    for (const auto& c : cases) {
        LineReader lines = LineReader::fromBytes(c.text);
        if (c.refused) {
            EXPECT_THROW(RecordingSync::parse(lines), FileError) << c.text;
            continue;
        }
        const RecordingSync sync = RecordingSync::parse(lines);
        EXPECT_EQ(sync.audio, "a.wav");
        EXPECT_EQ(sync.format, (AudioFormat{8000, 1}));
        EXPECT_EQ(sync.firstLineMs, c.firstLineMs) << c.text;
    }
}

TEST(RecordingPaths, areNamedAfterTheLogUpToItsFirstDot) {
    const struct {
        const char* log;
        const char* audio;
        const char* sync;
        const char* name;
    } cases[] = {
        {"/talks/lecture6.txt", "/talks/lecture6.wav", "/talks/lecture6.sync", "lecture6.wav"},
        {"lecture", "lecture.wav", "lecture.sync", "lecture.wav"},
        {"C:\\my.files\\talk", "C:\\my.files\\talk.wav", "C:\\my.files\\talk.sync", "talk.wav"},
        {"d/q3.2024.log.txt", "d/q3.wav", "d/q3.sync", "q3.wav"},
    };
    for (const auto& c : cases) {
        const RecordingPaths paths = RecordingPaths::besideLog(c.log);
        EXPECT_EQ(paths.audio, c.audio);
        EXPECT_EQ(paths.sync, c.sync);
        EXPECT_EQ(paths.audioName, c.name);
    }
}

} // namespace
