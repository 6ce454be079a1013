#include "drivekit/features/smart/SmartSectorDecoder.h"

#include <cstdio>

#include "drivekit/features/decode/FieldRenderer.h"
#include "drivekit/features/smart/AtaSmartRecords.h"
#include "drivekit/features/smart/SmartSectors.h"

namespace drivekit::features::smart {

namespace {

using decode::Rendering;

// The data sector's fields around the attribute table.
const decode::FieldTable& dataSectorTable() {
    static const decode::FieldTable table{
        smartDataTitle,
        decode::LabelStyle::bytes,
        smartSectorBytes,
        {
            decode::bytes("Revision", 0, 1, Rendering::hex),
            decode::byte("Off-line Data Collection Status", 362, Rendering::hex),
            decode::byte("Self-test Execution Status", 363, Rendering::hex),
            decode::bits("Self-test Remaining (tenths)", 3, 0),
            decode::bits("Self-test Result", 7, 4),
            decode::bytes("Off-line Data Collection Time (seconds)", 364, 365),
            decode::byte("Off-line Data Collection Capability", 367, Rendering::hex),
            decode::bytes("SMART Capability", 368, 369, Rendering::hex),
            decode::byte("Error Logging Capability", 370, Rendering::hex),
            decode::byte("Short Self-test Polling Time (minutes)", 372),
            decode::byte("Extended Self-test Polling Time (minutes)", 373),
            decode::byte("Conveyance Self-test Polling Time (minutes)", 374),
            decode::bytes("Extended Self-test Polling Time, Word (minutes)", 375, 376),
            decode::byte("Checksum", 511, Rendering::hex),
        },
    };
    return table;
}

// The thresholds sector: one (id, threshold) entry per attribute of the data sector.
const decode::FieldTable& thresholdEntryTable() {
    static const decode::FieldTable table{
        "Threshold Entry",
        decode::LabelStyle::bytes,
        sizeof(AtaThresholdEntry),
        {decode::byte("Attribute ID", 0), decode::byte("Threshold", 1)},
    };
    return table;
}

const decode::FieldTable& thresholdSectorTable() {
    static const decode::FieldTable table{
        smartThresholdsTitle,
        decode::LabelStyle::bytes,
        smartSectorBytes,
        {
            decode::bytes("Revision", 0, 1, Rendering::hex),
            decode::records("Thresholds", "Threshold Entry", 2, sizeof(AtaThresholdEntry), smartEntryCount,
                            thresholdEntryTable()),
            decode::byte("Checksum", 511, Rendering::hex),
        },
    };
    return table;
}

core::Status tooShort(const char* which, const core::Payload& sector) {
    core::Status status = core::Status::unexpectedDataLength();
    status.setMessage(std::string("The SMART ") + which + " sector holds " + std::to_string(sector.size()) +
                      " bytes, not " + std::to_string(smartSectorBytes) + "; it was not decoded.");
    return status;
}

std::string checksumWarning(const char* which, const core::Payload& sector) {
    char text[160];
    std::snprintf(text, sizeof(text),
                  "Warning: the checksum of the SMART %s sector is wrong (0x%02X, expected 0x%02X); "
                  "its values may be corrupt.",
                  which, static_cast<unsigned>(sector.data()[smartSectorBytes - 1]),
                  static_cast<unsigned>(expectedChecksum(sector)));
    return text;
}

}  // namespace

std::unique_ptr<core::xml::XmlObject> decodeSmartSectors(const core::Payload& data, const core::Payload* thresholds,
                                                         const std::string& productFamily, core::Status& status) {
    if (data.size() < smartSectorBytes) {
        status = tooShort("data", data);
        return nullptr;
    }
    if (thresholds != nullptr && thresholds->size() < smartSectorBytes) {
        status = tooShort("thresholds", *thresholds);
        return nullptr;
    }
    auto root = std::make_unique<core::xml::XmlObject>(smartDataTitle);
    decode::FieldRenderer::render(dataSectorTable(), data, 0, *root);
    for (const auto& record : decodeAtaSmartRecords(data, thresholds, AtaSmartRules::forProduct(productFamily))) {
        root->addObject(toXmlObject(record));
    }
    std::string warnings;
    if (!checksumValid(data)) {
        warnings = checksumWarning("data", data);
    }
    if (thresholds != nullptr && !checksumValid(*thresholds)) {
        warnings += (warnings.empty() ? "" : " ") + checksumWarning("thresholds", *thresholds);
    }
    status = core::Status::success();
    if (!warnings.empty()) {
        status = core::Status::custom();
        status.setMessage(warnings);
    }
    return root;
}

std::unique_ptr<core::xml::XmlObject> decodeSmartThresholds(const core::Payload& thresholds, core::Status& status) {
    if (thresholds.size() < smartSectorBytes) {
        status = tooShort("thresholds", thresholds);
        return nullptr;
    }
    auto root = std::make_unique<core::xml::XmlObject>(smartThresholdsTitle);
    decode::FieldRenderer::render(thresholdSectorTable(), thresholds, 0, *root);
    status = core::Status::success();
    if (!checksumValid(thresholds)) {
        status = core::Status::custom();
        status.setMessage(checksumWarning("thresholds", thresholds));
    }
    return root;
}

}  // namespace drivekit::features::smart
