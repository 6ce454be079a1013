#pragma once
// The seam's fake: records every request and plays back the answers queued for it, or hands
// the request to a responder that plays the driver. With neither, the call fails as a driver
// that does not know the request would.
#include <cstring>
#include <deque>
#include <functional>
#include <initializer_list>

#include "host/devices/win/IoControl.h"
#include "host/devices/win/SystemErrorStatus.h"

namespace host::win_drives::testing {

struct RecordedRequest {
    uint32_t controlCode = 0;
    std::vector<uint8_t> input;
    std::size_t outputSize = 0;
};

class FakeIoControl : public IoControl {
public:
    using Responder = std::function<IoAnswer(const RecordedRequest&)>;

    explicit FakeIoControl(std::string path = R"(\\.\PhysicalDrive0)") : path_(std::move(path)) {}

    void queue(std::vector<uint8_t> output) { answers_.push_back({0, std::move(output)}); }
    void refuse(uint32_t systemError) { answers_.push_back({systemError, {}}); }
    void respondWith(Responder responder) { responder_ = std::move(responder); }

    IoAnswer call(uint32_t controlCode, const std::vector<uint8_t>& input, std::size_t outputSize) override {
        requests.push_back({controlCode, input, outputSize});
        IoAnswer answer{system_errors::invalidFunction, {}};
        if (!answers_.empty()) {
            answer = std::move(answers_.front());
            answers_.pop_front();
        } else if (responder_) {
            answer = responder_(requests.back());
        }
        // As DeviceIoControl: never more than the buffer given.
        if (answer.output.size() > outputSize) {
            answer.output.resize(outputSize);
        }
        return answer;
    }
    const std::string& path() const override { return path_; }

    std::vector<RecordedRequest> requests;

private:
    std::string path_;
    std::deque<IoAnswer> answers_;
    Responder responder_;
};

// Little-endian dwords as bytes: how the expected requests are written down, independently of
// the structures that build them.
inline std::vector<uint8_t> dwords(std::initializer_list<uint32_t> values) {
    std::vector<uint8_t> bytes;
    for (const uint32_t value : values) {
        for (int shift = 0; shift < 32; shift += 8) {
            bytes.push_back(static_cast<uint8_t>(value >> shift));
        }
    }
    return bytes;
}

inline void putDword(std::vector<uint8_t>& bytes, std::size_t offset, uint32_t value) {
    const std::vector<uint8_t> le = dwords({value});
    std::memcpy(bytes.data() + offset, le.data(), le.size());
}

}  // namespace host::win_drives::testing
