#include "recordingfiles.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

constexpr std::int64_t HeaderBytes = 44;
constexpr std::int64_t RiffSizeAt = 4;
constexpr std::int64_t DataSizeAt = 40;
// The largest size a 32-bit field holds; a longer recording keeps it, and a reader takes
// its data to the end of the file.
constexpr std::uint32_t MaxChunkBytes = std::numeric_limits<std::uint32_t>::max();

void putU16(std::string& bytes, std::uint32_t value) {
    bytes += static_cast<char>(value & 0xFF);
    bytes += static_cast<char>((value >> 8) & 0xFF);
}

void putU32(std::string& bytes, std::uint32_t value) {
    putU16(bytes, value & 0xFFFF);
    putU16(bytes, value >> 16);
}

std::uint32_t u16At(const char* p) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(p[0])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(p[1])) << 8;
}

std::uint32_t u32At(const char* p) {
    return u16At(p) | u16At(p + 2) << 16;
}

std::uint32_t clamped(std::int64_t bytes) {
    return static_cast<std::uint32_t>(std::min<std::int64_t>(bytes, MaxChunkBytes));
}

std::string header(const AudioFormat& format, std::int64_t dataBytes) {
    std::string bytes = "RIFF";
    putU32(bytes, clamped(dataBytes + HeaderBytes - 8));
    bytes += "WAVEfmt ";
    putU32(bytes, 16);
    putU16(bytes, 1); // PCM
    putU16(bytes, static_cast<std::uint32_t>(format.channels));
    putU32(bytes, static_cast<std::uint32_t>(format.rate));
    putU32(bytes, static_cast<std::uint32_t>(format.rate * format.bytesPerFrame()));
    putU16(bytes, static_cast<std::uint32_t>(format.bytesPerFrame()));
    putU16(bytes, 16);
    bytes += "data";
    putU32(bytes, clamped(dataBytes));
    return bytes;
}

bool sensible(const AudioFormat& format) {
    return format.rate > 0 && format.rate <= 1'000'000 && format.channels > 0 &&
           format.channels <= 32;
}

[[noreturn]] void notWave(const std::string& why) {
    throw FileError("Not a 16-bit PCM WAVE file: " + why);
}

// Chunks other programs write after the sound; anything else there is taken for sound that
// a stale header does not count yet.
bool knownChunk(const char* id) {
    static const char* const ids[] = {"LIST", "id3 ", "ID3 ", "cue ", "smpl", "fact",
                                      "bext", "JUNK", "PAD ", "inst", "acid", "plst"};
    return std::any_of(std::begin(ids), std::end(ids),
                       [id](const char* known) { return std::memcmp(id, known, 4) == 0; });
}

[[noreturn]] void notSync(const std::string& why) {
    throw FileError(std::string("Not a recording sync file (") + RecordingSync::Header +
                    "): " + why);
}

std::optional<std::int64_t> number(const std::string& text) {
    if (text.empty() || text.size() > 15 ||
        text.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    return std::stoll(text);
}

} // namespace

RecordingPaths RecordingPaths::besideLog(const std::string& logPath) {
    const size_t slash = logPath.find_last_of("/\\");
    const size_t nameAt = slash == std::string::npos ? 0 : slash + 1;
    const std::string folder = logPath.substr(0, nameAt);
    const std::string base = logPath.substr(nameAt, logPath.find('.', nameAt) - nameAt);
    return {folder + base + ".wav", folder + base + ".sync", base + ".wav"};
}

// ---- Writing ----

WavWriter::WavWriter(const std::string& path, AudioFormat format, Intervals intervals)
    : m_file(path), m_format(format), m_intervals(intervals) {
    if (!sensible(format))
        throw FileError("Not a sound format that can be recorded");
    if (m_intervals.header <= 0)
        m_intervals.header = format.rate;
    if (m_intervals.sync <= 0)
        m_intervals.sync = 4LL * format.rate;
    // A file that holds no sound yet is a WAVE file already.
    m_file.append(header(format, 0));
    m_file.sync();
}

WavWriter::~WavWriter() {
    if (!m_file.isOpen())
        return;
    try {
        refreshHeader();
        m_file.close();
    } catch (const FileError&) {
    }
}

void WavWriter::refreshHeader() {
    const std::string bytes = header(m_format, m_frames * m_format.bytesPerFrame());
    m_file.writeAt(RiffSizeAt, std::string_view(bytes).substr(RiffSizeAt, 4));
    m_file.writeAt(DataSizeAt, std::string_view(bytes).substr(DataSizeAt, 4));
    m_framesAtHeader = m_frames;
}

void WavWriter::fail() {
    // The header counts what did reach the file, where the disk still lets it be written.
    try {
        refreshHeader();
        m_file.sync();
    } catch (const FileError&) {
    }
}

void WavWriter::write(const std::int16_t* samples, size_t frames) {
    if (!m_failure.empty())
        throw FileError(m_failure);
    const size_t count = frames * static_cast<size_t>(m_format.channels);
    m_bytes.resize(count * 2);
    for (size_t i = 0; i < count; ++i) {
        const auto value = static_cast<std::uint16_t>(samples[i]);
        m_bytes[2 * i] = static_cast<char>(value & 0xFF);
        m_bytes[2 * i + 1] = static_cast<char>(value >> 8);
    }
    try {
        m_file.append(m_bytes);
        m_frames += static_cast<std::int64_t>(frames);
        if (m_frames - m_framesAtHeader >= m_intervals.header)
            refreshHeader();
        if (m_frames - m_framesAtSync >= m_intervals.sync) {
            m_file.sync();
            m_framesAtSync = m_frames;
        }
    } catch (const FileError& e) {
        m_failure = e.what();
        fail();
        throw;
    }
}

void WavWriter::finish() {
    if (!m_file.isOpen())
        return;
    std::string failure;
    try {
        refreshHeader();
        m_file.sync();
    } catch (const FileError& e) {
        failure = e.what();
    }
    try {
        m_file.close();
    } catch (const FileError& e) {
        if (failure.empty())
            failure = e.what();
    }
    if (!failure.empty())
        throw FileError(failure);
}

// ---- Reading ----

WavReader::WavReader(const std::string& path) : m_file(path) {
    const std::int64_t size = m_file.size();
    char head[12];
    if (m_file.readAt(0, head, 12) < 12 || std::memcmp(head, "RIFF", 4) != 0 ||
        std::memcmp(head + 8, "WAVE", 4) != 0)
        notWave("no RIFF WAVE header");
    const std::int64_t riffBytes = u32At(head + 4);
    bool haveFormat = false;
    std::int64_t at = 12;
    std::int64_t declared = -1;
    while (declared < 0) {
        char chunk[8];
        if (m_file.readAt(at, chunk, 8) < 8)
            notWave(haveFormat ? "no sound data" : "no format");
        const std::int64_t bytes = u32At(chunk + 4);
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            char fmt[40] = {};
            const size_t got = m_file.readAt(at + 8, fmt, std::min<std::int64_t>(bytes, 40));
            if (bytes < 16 || got < 16)
                notWave("a format chunk too short");
            const std::uint32_t tag = u16At(fmt);
            // The extensible form names PCM in the first two bytes of its subformat.
            const bool pcm = tag == 1 || (tag == 0xFFFE && got >= 26 && u16At(fmt + 24) == 1);
            m_format.channels = static_cast<int>(u16At(fmt + 2));
            m_format.rate = static_cast<int>(u32At(fmt + 4));
            if (!pcm || u16At(fmt + 14) != 16 || !sensible(m_format) ||
                u16At(fmt + 12) != static_cast<std::uint32_t>(m_format.bytesPerFrame()))
                notWave("a format other than 16-bit PCM");
            haveFormat = true;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            if (!haveFormat)
                notWave("sound data before the format");
            declared = bytes;
            m_dataStart = at + 8;
            break;
        }
        at += 8 + bytes + (bytes & 1);
        if (at > size)
            notWave("a chunk longer than the file");
    }
    const std::int64_t available = size - m_dataStart;
    std::int64_t dataBytes = declared;
    if (declared == 0 || declared > available) {
        dataBytes = available;
    } else if (declared < available) {
        char next[4];
        const std::int64_t nextAt = m_dataStart + declared + (declared & 1);
        if (m_file.readAt(nextAt, next, 4) < 4 || !knownChunk(next))
            dataBytes = available;
    }
    m_stale = dataBytes != declared || (dataBytes == available && riffBytes != size - 8);
    m_frames = dataBytes / m_format.bytesPerFrame();
}

size_t WavReader::read(std::vector<std::int16_t>& samples, size_t maxFrames) {
    const auto frames = static_cast<size_t>(
        std::min<std::int64_t>(static_cast<std::int64_t>(maxFrames), m_frames - m_position));
    const size_t frameBytes = static_cast<size_t>(m_format.bytesPerFrame());
    m_bytes.resize(frames * frameBytes);
    const size_t got = m_file.readAt(m_dataStart + m_position * m_format.bytesPerFrame(),
                                     m_bytes.data(), m_bytes.size());
    const size_t whole = got / frameBytes;
    samples.resize(whole * static_cast<size_t>(m_format.channels));
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<std::int16_t>(u16At(m_bytes.data() + 2 * i));
    m_position += static_cast<std::int64_t>(whole);
    return whole;
}

void WavReader::seek(std::int64_t frame) {
    m_position = std::clamp<std::int64_t>(frame, 0, m_frames);
}

// ---- The sync file ----

std::string RecordingSync::text() const {
    if (audio.find_first_of("\r\n") != std::string::npos)
        throw FileError("The recording's name " + audio + " holds a line break");
    std::string bytes = std::string(Header) + "\r\n";
    bytes += "audio " + audio + "\r\n";
    bytes += "rate " + std::to_string(format.rate) + "\r\n";
    bytes += "channels " + std::to_string(format.channels) + "\r\n";
    if (firstLineMs)
        bytes += "first-line-ms " + std::to_string(*firstLineMs) + "\r\n";
    return bytes;
}

void RecordingSync::write(const std::string& path) const {
    TextFile::writeAtomically(path, text());
}

RecordingSync RecordingSync::read(const std::string& path) {
    LineReader lines(path);
    return parse(lines);
}

RecordingSync RecordingSync::parse(LineReader& lines) {
    if (lines.atEnd() || lines.next() != Header)
        notSync("the first line is not the header");
    RecordingSync sync;
    bool haveAudio = false;
    bool haveRate = false;
    bool haveChannels = false;
    while (!lines.atEnd()) {
        const int lineNumber = lines.lineNumber();
        const std::string line = lines.next();
        if (line.empty())
            continue;
        const size_t blank = line.find(' ');
        const std::string key = line.substr(0, blank);
        const std::string value = blank == std::string::npos ? "" : line.substr(blank + 1);
        const auto bad = [&] { notSync("line " + std::to_string(lineNumber) + ": " + line); };
        if (key == "audio") {
            if (value.empty())
                bad();
            sync.audio = value;
            haveAudio = true;
        } else if (key == "rate" || key == "channels") {
            const auto n = number(value);
            if (!n || *n <= 0 || *n > 1'000'000)
                bad();
            (key == "rate" ? sync.format.rate : sync.format.channels) = static_cast<int>(*n);
            (key == "rate" ? haveRate : haveChannels) = true;
        } else if (key == "first-line-ms") {
            // Before the recording's first frame when the input opened late.
            const bool before = !value.empty() && value[0] == '-';
            sync.firstLineMs = number(before ? value.substr(1) : value);
            if (!sync.firstLineMs)
                bad();
            if (before)
                sync.firstLineMs = -*sync.firstLineMs;
        }
    }
    if (!haveAudio || !haveRate || !haveChannels)
        notSync("the audio, rate or channels line is missing");
    if (!sensible(sync.format))
        notSync("a sound format that cannot be recorded");
    return sync;
}
