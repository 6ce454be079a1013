// The Identify decoders: the first byte chooses the CNS (any value: unknown ones must be
// refused cleanly) or, when it is 0xFF, the ATA Identify Device data.
#include "drivekit/features/identify/decode/IdentifyDecoder.h"
#include "fuzz/FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    namespace decode = drivekit::features::identify::decode;
    fuzz::FuzzInput input(data, size);
    const uint8_t cns = input.take();
    drivekit::core::Status status;
    if (cns == 0xFF) {
        fuzz::printAll(decode::decodeAtaIdentifyDevice(input.rest(), status).get());
        return 0;
    }
    fuzz::printAll(decode::decodeNvmeIdentify(cns, input.rest(), status, decode::IdentifyCoverage::package).get());
    return 0;
}
