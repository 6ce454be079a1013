#include "drivekit/features/smart/AtaSmartRecords.h"

#include <algorithm>
#include <cstdio>

#include "drivekit/features/smart/SmartAttributeNames.h"
#include "drivekit/features/smart/SmartSectors.h"

namespace drivekit::features::smart {

namespace {

constexpr uint8_t powerOnHoursId = 0x09;
constexpr uint64_t low24Bits = 0xFFFFFF;

bool isTimedWorkload(uint8_t id) {
    return std::find(std::begin(timedWorkloadIds), std::end(timedWorkloadIds), id) != std::end(timedWorkloadIds);
}

std::optional<uint8_t> thresholdFor(const AtaSmartThresholdSector& sector, uint32_t index, uint8_t id) {
    if (sector.entries[index].id == id) {
        return sector.entries[index].threshold;
    }
    for (const auto& entry : sector.entries) {
        if (entry.id == id) {
            return entry.threshold;
        }
    }
    return std::nullopt;
}

std::string hexWord(uint16_t value) {
    char text[8];
    std::snprintf(text, sizeof(text), "0x%04X", static_cast<unsigned>(value));
    return text;
}

}  // namespace

AtaSmartRules AtaSmartRules::forProduct(const std::string& product, bool lsi) {
    AtaSmartRules rules;
    rules.naming = core::products::ataSmartNaming(product);
    rules.skipTimedWorkload = core::products::skipsTimedWorkloadAttributes(product);
    rules.powerOnHoursLow24Bits = lsi;
    return rules;
}

std::string idText(uint8_t id) {
    char text[4];
    std::snprintf(text, sizeof(text), "%02X", static_cast<unsigned>(id));
    return text;
}

const std::string& ataVerdict(uint8_t id, uint16_t flags, uint8_t normalized, uint8_t threshold) {
    const bool watched = (flags & preFailureFlag) != 0 || id == endToEndErrorId;
    return watched && normalized <= threshold ? failVerdict : passVerdict;
}

std::vector<AtaSmartRecord> decodeAtaSmartRecords(const core::Payload& data, const core::Payload* thresholds,
                                                  const AtaSmartRules& rules) {
    std::vector<AtaSmartRecord> records;
    if (data.size() < smartSectorBytes) {
        return records;
    }
    if (thresholds != nullptr && thresholds->size() < smartSectorBytes) {
        thresholds = nullptr;
    }
    const auto* sector = data.safeCast<AtaSmartDataSector>();
    const AtaSmartThresholdSector* limits =
        thresholds != nullptr ? thresholds->safeCast<AtaSmartThresholdSector>() : nullptr;
    for (uint32_t index = 0; index < smartEntryCount; ++index) {
        const AtaSmartEntry& entry = sector->entries[index];
        if (entry.id == 0 || (rules.skipTimedWorkload && isTimedWorkload(entry.id))) {
            continue;
        }
        AtaSmartRecord record;
        record.index = index;
        record.id = entry.id;
        record.name = ataAttributeName(entry.id, rules.naming);
        record.flags = entry.flags;
        record.normalized = entry.normalized;
        record.worst = entry.worst;
        record.raw = rawValue(entry);
        if (rules.powerOnHoursLow24Bits && entry.id == powerOnHoursId) {
            record.raw &= low24Bits;
        }
        if (limits != nullptr) {
            record.threshold = thresholdFor(*limits, index, entry.id);
        }
        if (record.threshold) {
            record.verdict = ataVerdict(entry.id, entry.flags, entry.normalized, *record.threshold);
        }
        records.push_back(std::move(record));
    }
    return records;
}

std::unique_ptr<core::xml::XmlObject> toXmlObject(const AtaSmartRecord& record) {
    auto object = std::make_unique<core::xml::XmlObject>(idText(record.id));
    object->addProperty("ID", idText(record.id));
    object->addProperty("Description", record.name);
    object->addProperty("Raw", std::to_string(record.raw));
    object->addProperty("Normalized", std::to_string(record.normalized));
    object->addProperty("Worst", std::to_string(record.worst));
    object->addProperty("Status", hexWord(record.flags));
    object->addProperty("Threshold", record.threshold ? std::to_string(*record.threshold) : "-");
    object->addProperty("Action", record.verdict.empty() ? "-" : record.verdict);
    return object;
}

}  // namespace drivekit::features::smart
