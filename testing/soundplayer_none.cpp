// A build without a sound library plays no transition sound.
#include "soundplayer.h"

#include <stdexcept>

std::unique_ptr<SoundPlayer> SoundPlayer::platform() {
    throw std::runtime_error("this build plays no sound");
}
