// The web form of the logger's recording, written as the presentation's other files are.
#include "webaudio.h"

#include "audio/recordingfiles.h"
#include "webout/outputerror.h"
#include "webout/pagefiles.h"

#include <algorithm>
#include <cstring>

namespace {

// The logger's recording, read through its own reader, after `lead` frames of silence.
class WavSource : public PcmSource {
  public:
    explicit WavSource(const std::string& path) : m_reader(path) {}
    void setLead(int64_t frames) { m_lead = std::max<int64_t>(frames, 0); }
    int rate() const override { return m_reader.format().rate; }
    int channels() const override { return m_reader.format().channels; }
    void seek(int64_t frame) override {
        m_at = std::clamp<int64_t>(frame, 0, m_lead + m_reader.frames());
        m_reader.seek(std::max<int64_t>(m_at - m_lead, 0));
    }
    size_t read(int16_t* out, size_t maxFrames) override {
        const size_t channels = static_cast<size_t>(this->channels());
        if (m_at < m_lead) {
            const auto frames =
                static_cast<size_t>(std::min<int64_t>(m_lead - m_at, static_cast<int64_t>(maxFrames)));
            std::fill(out, out + frames * channels, int16_t{0});
            m_at += static_cast<int64_t>(frames);
            return frames;
        }
        const size_t frames = m_reader.read(m_block, maxFrames);
        std::memcpy(out, m_block.data(), m_block.size() * sizeof(int16_t));
        m_at += static_cast<int64_t>(frames);
        return frames;
    }

  private:
    WavReader m_reader;
    std::vector<int16_t> m_block;
    int64_t m_lead = 0;
    int64_t m_at = 0;
};

} // namespace

WebAudioReport writeWebAudio(WriteBatch& batch, WebAudioEncoder& encoder,
                             const std::string& recordingPath, std::int64_t cutMs,
                             const std::string& outputPath) {
    std::unique_ptr<WavSource> source;
    try {
        source = std::make_unique<WavSource>(recordingPath);
    } catch (const FileError& e) {
        throw OutputError(recordingPath, e.what());
    }
    // Its time tells whether it is up to date with the recording: an equal one is written
    // anew too.
    OutputFile file(batch, outputPath, WriteBatch::Same::Replace);
    WebAudioReport report;
    try {
        // A negative cut is silence put before the recording: its first slide came first.
        const int64_t cutFrames = cutMs * source->rate() / 1000;
        source->setLead(-cutFrames);
        report = encoder.encode(*source, std::max<int64_t>(cutFrames, 0),
                                [&](std::string_view bytes) { file.write(bytes); });
    } catch (const OutputError&) {
        throw;
    } catch (const FileError& e) {
        throw OutputError(recordingPath, e.what());
    } catch (const std::runtime_error& e) {
        throw OutputError(outputPath, e.what());
    }
    file.commit();
    return report;
}
