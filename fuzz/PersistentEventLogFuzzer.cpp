// The persistent event walk over any bytes.
#include "drivekit/features/nvme_get_log/pel/PersistentEventLogDecoder.h"
#include "fuzz/FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::FuzzInput input(data, size);
    drivekit::core::Status status;
    fuzz::printAll(drivekit::features::nvme_get_log::pel::decodePersistentEventLog(input.rest(), status).get());
    return 0;
}
