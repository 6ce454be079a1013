#pragma once
// What every fuzz target shares: the input taken apart into a few leading choice bytes and
// the structure's bytes, and a log sink that formats every record and drops it, so that the
// decoders' log lines run too.
#include <cstddef>
#include <cstdint>

#include "drivekit/core/Payload.h"
#include "drivekit/core/logging/Log.h"
#include "drivekit/core/xml/XmlObject.h"
#include "drivekit/features/decode/XmlTreePrinter.h"

namespace fuzz {

class FuzzInput {
public:
    FuzzInput(const uint8_t* data, std::size_t size) : data_(data), size_(size) {
        static const bool sinkInstalled = [] {
            drivekit::core::logging::setSink([](drivekit::core::logging::Severity, const std::string&) {});
            return true;
        }();
        (void)sinkInstalled;
    }

    // The next byte, or 0 when the input has run out.
    uint8_t take() {
        if (at_ >= size_) {
            return 0;
        }
        return data_[at_++];
    }
    // Two bytes, low byte first.
    uint16_t take16() {
        const uint8_t low = take();
        return static_cast<uint16_t>(low | take() << 8);
    }

    // The bytes not taken yet, as the payload a decoder receives (an empty payload when none).
    drivekit::core::Payload rest() const {
        return at_ < size_ ? drivekit::core::Payload(data_ + at_, size_ - at_) : drivekit::core::Payload();
    }

private:
    const uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

// The text printer walks the whole tree, so a malformed tree shows up under the sanitizers.
inline void printAll(const drivekit::core::xml::XmlObject* tree) {
    if (tree == nullptr) {
        return;
    }
    using drivekit::features::decode::XmlTreePrinter;
    volatile std::size_t printed = XmlTreePrinter::toText(*tree).size();
    (void)printed;
}

}  // namespace fuzz
