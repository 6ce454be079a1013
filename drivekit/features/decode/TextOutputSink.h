#pragma once
// The base of the sinks that write their objects as text into a string the caller takes.
#include <string>

#include "drivekit/features/decode/FieldSink.h"

namespace drivekit::features::decode {

class TextOutputSink : public FieldSink {
public:
    // The top-level objects ended so far; the caller may take and clear it at any time.
    std::string& output() { return output_; }
    // Whether the next top-level object follows others, written here or elsewhere (a sink that
    // separates its top-level objects then separates it too).
    void followOn(bool follows) { firstOutput_ = !follows; }

protected:
    std::string output_;
    bool firstOutput_ = true;
};

}  // namespace drivekit::features::decode
