// Transition sounds on Windows: the platform's own asynchronous player.
#include "soundplayer.h"

#include "common/win32text.h"

#include <windows.h>

#include <mmsystem.h>

#include <stdexcept>

namespace {

class WindowsPlayer : public SoundPlayer {
  public:
    ~WindowsPlayer() override { ::PlaySoundW(nullptr, nullptr, 0); }
    void play(const std::string& wavPath) override {
        if (!::PlaySoundW(Win32Text::widen(wavPath).c_str(), nullptr,
                          SND_FILENAME | SND_ASYNC | SND_NODEFAULT))
            throw std::runtime_error(wavPath + " cannot be played");
    }
};

} // namespace

std::unique_ptr<SoundPlayer> SoundPlayer::platform() {
    return std::make_unique<WindowsPlayer>();
}
