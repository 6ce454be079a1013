// The telemetry log decoder: the first byte chooses the log (host- or controller-initiated),
// the next four give the log's size in blocks (what a package's file size says, which the
// header may contradict); the rest is the header block.
#include "drivekit/features/telemetry/decode/TelemetryLogDecoder.h"
#include "fuzz/FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::FuzzInput input(data, size);
    const uint8_t logId = (input.take() & 1) != 0 ? 0x08 : 0x07;
    const uint64_t low = input.take16();
    const uint64_t blocks = low | static_cast<uint64_t>(input.take16()) << 16;
    drivekit::core::Status status;
    auto tree = drivekit::features::telemetry::decode::decodeTelemetryLog(logId, input.rest(), blocks * 512, status);
    fuzz::printAll(tree.get());
    return 0;
}
