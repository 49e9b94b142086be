#pragma once

#include <memory>
#include <string>

// Plays a slide's transition sound through the machine's default output, as a
// presentation program does when its show reaches the slide: at once, without waiting for
// it to end; a new sound cuts the one still playing. The substitute presentation program
// uses it, so a scripted talk is heard by a logger that records.
class SoundPlayer {
  public:
    virtual ~SoundPlayer() = default;
    // A 16-bit PCM WAVE file. Throws std::runtime_error when it cannot be played.
    virtual void play(const std::string& wavPath) = 0;

    // This platform's player.
    static std::unique_ptr<SoundPlayer> platform();
};
