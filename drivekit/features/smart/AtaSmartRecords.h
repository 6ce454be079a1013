#pragma once
// Turns the ATA SMART data and thresholds sectors into attribute records with verdicts: the
// one decoding that the SMART feature and the decode command share.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "drivekit/core/Payload.h"
#include "drivekit/core/ProductTable.h"
#include "drivekit/core/xml/XmlObject.h"

namespace drivekit::features::smart {

inline const std::string passVerdict = "Pass";
inline const std::string failVerdict = "Fail";

// What a drive's product attributes change in the decoding.
struct AtaSmartRules {
    core::products::AtaSmartNaming naming = core::products::AtaSmartNaming::standard;
    bool skipTimedWorkload = false;
    // The host bus adapter reports only the low 24 bits of the power-on hours correctly.
    bool powerOnHoursLow24Bits = false;

    // From the "Product" text through the product table.
    static AtaSmartRules forProduct(const std::string& product, bool lsi = false);
};

struct AtaSmartRecord {
    uint32_t index = 0;  // the entry's position in the sector's table
    uint8_t id = 0;
    std::string name;
    uint16_t flags = 0;
    uint8_t normalized = 0;
    uint8_t worst = 0;
    uint64_t raw = 0;
    // Unset when no thresholds sector was given or it holds no entry for this attribute.
    std::optional<uint8_t> threshold;
    std::string verdict;  // empty without a threshold
};

// "Fail" when the attribute is pre-failure (or the end-to-end error count) and its normalized
// value is not above the threshold, otherwise "Pass".
const std::string& ataVerdict(uint8_t id, uint16_t flags, uint8_t normalized, uint8_t threshold);

// The records of the data sector's table in table order. Unused entries (id 0) are passed
// over, not taken for the end of the table: entries after a gap are still decoded. Each
// threshold is the thresholds sector's entry at the same position when that entry names the
// same id, otherwise the first entry of that id; an attribute whose id appears twice keeps
// its own entry's values. A data sector shorter than 512 bytes gives no records, a shorter
// thresholds sector no thresholds.
std::vector<AtaSmartRecord> decodeAtaSmartRecords(const core::Payload& data, const core::Payload* thresholds,
                                                  const AtaSmartRules& rules);

// The record as an object named after the id: "ID", "Description", "Raw", "Normalized",
// "Worst", "Status", "Threshold", "Action".
std::unique_ptr<core::xml::XmlObject> toXmlObject(const AtaSmartRecord& record);

// The id as two upper-case hexadecimal digits ("09", "C2").
std::string idText(uint8_t id);

}  // namespace drivekit::features::smart
