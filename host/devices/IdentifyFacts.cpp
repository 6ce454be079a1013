#include "host/devices/IdentifyFacts.h"

#include <algorithm>

#include "drivekit/core/DeviceAttributes.h"
#include "drivekit/core/TextParsing.h"
#include "drivekit/features/identify/IdentifyControllerBits.h"

namespace host::devices {

namespace core = drivekit::core;
namespace identify = drivekit::features::identify;
namespace attributes = drivekit::core::attributes;

namespace {

std::string fieldText(const char* field, std::size_t width) {
    const std::string text(field, std::find(field, field + width, '\0'));
    return core::strings::trim(text);
}

constexpr uint32_t ataSectorSize = 512;

uint16_t ataWord(const core::Payload& data, uint32_t word) { return *data.safeCast<uint16_t>(word * 2); }

// ATA strings hold two characters a word, the first in the high byte.
std::string ataString(const core::Payload& data, uint32_t firstWord, uint32_t words) {
    std::string text;
    for (uint32_t word = firstWord; word < firstWord + words; ++word) {
        const uint16_t value = ataWord(data, word);
        text += static_cast<char>(value >> 8);
        text += static_cast<char>(value & 0xFF);
    }
    return fieldText(text.c_str(), text.size());
}

// A word of the command set words is valid when bit 14 is set and bit 15 clear.
bool validCommandSetWord(uint16_t value) { return (value & 0xC000) == 0x4000; }

constexpr uint32_t smallestTransferBytes = 4096;

}  // namespace

bool NvmeControllerFacts::read(const core::Payload& data, NvmeControllerFacts& facts) {
    if (data.size() < sizeof(IdentifyControllerHead)) {
        return false;
    }
    const auto& head = *data.safeCast<IdentifyControllerHead>();
    facts.pciVendorId = head.vid;
    facts.serialNumber = fieldText(head.sn, sizeof(head.sn));
    facts.modelNumber = fieldText(head.mn, sizeof(head.mn));
    facts.firmware = fieldText(head.fr, sizeof(head.fr));
    facts.mdts = head.mdts;
    facts.majorVersion = static_cast<uint16_t>(head.ver >> 16);
    facts.minorVersion = static_cast<uint8_t>(head.ver >> 8);
    facts.uuidList = (head.ctratt & identify::ctrattUuidList) != 0;
    facts.namespaceManagement = (head.oacs & identify::oacsNamespaceManagement) != 0;
    facts.telemetry = (head.lpa & identify::lpaTelemetry) != 0;
    facts.errorLogEntries = head.elpe;
    return true;
}

bool NvmeControllerFacts::atLeast(uint16_t major, uint8_t minor) const {
    const uint16_t knownMajor = majorVersion == 0 ? 1 : majorVersion;
    return knownMajor > major || (knownMajor == major && minorVersion >= minor);
}

void NvmeControllerFacts::writeAttributes(core::AttributeCollection& out, uint8_t maxTransferShift) const {
    out.writeString(attributes::serialNumber(), serialNumber);
    out.writeString(attributes::modelNumber(), modelNumber);
    out.writeString(attributes::firmware(), firmware);
    out.writeUint8(attributes::maximumDataTransferSize(), maxTransferShift);
    out.writeUint8(attributes::numErrorLogPageEntries(), errorLogEntries);
    out.writeBool(attributes::telemetryLogSupported(), telemetry);
    out.writeBool(attributes::uuidSupported(), uuidList);
    out.writeBool(attributes::namespaceManagementSupported(), namespaceManagement);
    out.writeBool(attributes::nvme1Point1OrGreater(), atLeast(1, 1));
    out.writeBool(attributes::nvme1Point2OrGreater(), atLeast(1, 2));
    out.writeBool(attributes::nvme1Point3OrGreater(), atLeast(1, 3));
    out.writeBool(attributes::nvme1Point4OrGreater(), atLeast(1, 4));
    out.writeBool(attributes::nvme2Point0OrGreater(), atLeast(2, 0));
    out.writeBool(attributes::smartEnabled(), true);  // the SMART / Health log is mandatory
}

bool AtaIdentifyFacts::read(const core::Payload& data, AtaIdentifyFacts& facts) {
    // Word 0 bit 15 set marks a device that is not an ATA device.
    if (data.size() < ataSectorSize || (ataWord(data, 0) & 0x8000) != 0) {
        return false;
    }
    facts.serialNumber = ataString(data, 10, 10);
    facts.firmware = ataString(data, 23, 4);
    facts.modelNumber = ataString(data, 27, 20);
    const uint16_t supported = ataWord(data, 82);
    const uint16_t enabled = ataWord(data, 85);
    // Words 82 and 85 are valid when word 83 says so.
    const bool valid = validCommandSetWord(ataWord(data, 83));
    facts.smartSupported = valid && (supported & 1u) != 0;
    facts.smartEnabled = facts.smartSupported && (enabled & 1u) != 0;
    // Word 106 is valid when bit 14 is set and bit 15 clear.
    const uint16_t sectorSizes = ataWord(data, 106);
    const uint32_t words = ataWord(data, 117) | uint32_t{ataWord(data, 118)} << 16;
    const bool longSectors = (sectorSizes & 0xC000) == 0x4000 && (sectorSizes & 0x1000) != 0;
    // A size the disk reports that no disk has is not believed.
    facts.logicalSectorBytes = longSectors && words >= 256 && words <= 32768 ? words * 2 : ataSectorSize;
    return true;
}

uint8_t transferShift(uint8_t mdts, uint64_t kernelMaxBytes) {
    uint8_t kernelShift = 0;
    if (kernelMaxBytes >= smallestTransferBytes) {
        while ((uint64_t{smallestTransferBytes} << (kernelShift + 1)) <= kernelMaxBytes && kernelShift < 63) {
            ++kernelShift;
        }
    }
    if (mdts == 0) {
        return kernelShift;
    }
    if (kernelMaxBytes < smallestTransferBytes) {
        return mdts;
    }
    return std::min(mdts, kernelShift);
}

}  // namespace host::devices
