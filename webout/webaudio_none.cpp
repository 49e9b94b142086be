// A build without an MP3 encoder: it says so, and the operator brings a web form made
// elsewhere.
#include "webaudio.h"

#include <stdexcept>

namespace {

class NoEncoder : public WebAudioEncoder {
  public:
    std::string unavailableReason() const override {
        return "this cuebuild has no MP3 encoder and cannot write the web form of the "
               "recording; put one made elsewhere beside the pages under this name";
    }
    WebAudioReport encode(PcmSource&, int64_t, const ByteSink&) override {
        throw std::runtime_error(unavailableReason());
    }
};

} // namespace

std::unique_ptr<WebAudioEncoder> platformWebAudioEncoder() {
    return std::make_unique<NoEncoder>();
}
