// The log-page entry point: the first five bytes are the page's context (log id, log-specific
// field, log-specific identifier, and a byte whose bits say whether the drive serves the
// maker's vendor pages and reports NVMe 1.2 or later); the rest is the page.
#include "drivekit/features/nvme_get_log/decode/LogPageDecoder.h"
#include "fuzz/FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    namespace decode = drivekit::features::nvme_get_log::decode;
    fuzz::FuzzInput input(data, size);
    decode::PageContext context;
    context.logId = input.take();
    context.logSpecificField = input.take();
    context.logSpecificId = input.take16();
    const uint8_t flags = input.take();
    context.makerVendorPages = (flags & 1) != 0;
    context.nvme1Point2OrGreater = (flags & 2) != 0;
    drivekit::core::Status status;
    if (decode::hasLogPageDecoder(context)) {
        fuzz::printAll(decode::decodeLogPage(context, input.rest(), status).get());
    }
    return 0;
}
