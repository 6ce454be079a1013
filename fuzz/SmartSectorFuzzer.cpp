// The SMART sector decoders: the first byte chooses the decode (the data sector alone, with the
// thresholds sector, or the thresholds sector alone) and the product family whose names apply;
// then the data sector's bytes (up to 512) and the thresholds sector's (the rest).
#include <string>

#include "drivekit/core/ProductTable.h"
#include "drivekit/features/smart/SmartSectorDecoder.h"
#include "fuzz/FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::FuzzInput input(data, size);
    const uint8_t choice = input.take();
    namespace families = drivekit::core::products::families;
    const std::string* const products[] = {&families::varnholt, &families::kestrova, &families::aldermoor,
                                           &families::hesketh, &families::corriden};
    const std::string product = (choice >> 2) < 5 ? *products[choice >> 2] : std::string("Other");
    const drivekit::core::Payload rest = input.rest();
    const uint64_t dataBytes = rest.size() < 512 ? rest.size() : 512;
    const drivekit::core::Payload sector(rest.data(), dataBytes);
    const drivekit::core::Payload thresholds(rest.data() + dataBytes, rest.size() - dataBytes);
    drivekit::core::Status status;
    switch (choice & 3) {
        case 0: fuzz::printAll(drivekit::features::smart::decodeSmartSectors(sector, nullptr, product, status).get()); break;
        case 1: fuzz::printAll(drivekit::features::smart::decodeSmartThresholds(sector, status).get()); break;
        default:
            fuzz::printAll(drivekit::features::smart::decodeSmartSectors(sector, &thresholds, product, status).get());
    }
    return 0;
}
