// A build without a sound input library: the logger cannot record, and says so.
#include "audio/audioinput.h"

AudioInputFactory platformAudioInput() {
    return {};
}
