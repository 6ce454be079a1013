#include "host/devices/sim/SimProfileAta.h"

#include <set>

#include "host/devices/sim/SimFieldLimits.h"

namespace host::sim {

using nlohmann::json;

void SimProfileAta::readAta(const SimJsonReader& top, SimProfile& profile) {
    if (!top.has("ata")) {
        return;
    }
    const SimJsonReader ata = top.objectAt("ata");
    ata.allowOnly({"capacityBlocks", "smartAttributes"});
    profile.ataCapacityBlocks = ata.unsignedOr("capacityBlocks", u48Max, 0);
    if (!ata.has("smartAttributes")) {
        return;
    }
    std::set<uint8_t> seen;
    for (const json& item : ata.arrayAt("smartAttributes")) {
        const SimJsonReader entry(item, ata.path("smartAttributes[]"));
        entry.allowOnly({"id", "flags", "value", "worst", "raw", "threshold"});
        SimSmartAttribute attribute;
        attribute.id = static_cast<uint8_t>(entry.unsignedAt("id", u8Max));
        if (attribute.id == 0 || !seen.insert(attribute.id).second) {
            entry.fail("id", "must be a distinct id from 1 to 255");
        }
        attribute.flags = static_cast<uint16_t>(entry.unsignedOr("flags", u16Max, 0));
        attribute.value = static_cast<uint8_t>(entry.unsignedOr("value", u8Max, 100));
        attribute.worst = static_cast<uint8_t>(entry.unsignedOr("worst", u8Max, attribute.value));
        attribute.raw = entry.unsignedOr("raw", u48Max, 0);
        attribute.threshold = static_cast<uint8_t>(entry.unsignedOr("threshold", u8Max, 0));
        profile.smartAttributes.push_back(attribute);
    }
    if (profile.smartAttributes.size() > 30) {
        ata.fail("smartAttributes", "holds more than the 30 entries of a SMART sector");
    }
}

void SimProfileAta::readHealth(const SimJsonReader& top, SimProfile& profile) {
    if (!top.has("health")) {
        return;
    }
    const SimJsonReader health = top.objectAt("health");
    health.allowOnly({"temperatureKelvin", "powerOnHours", "powerCycles", "unsafeShutdowns", "percentageUsed",
                      "availableSpare", "availableSpareThreshold", "criticalWarning", "dataUnitsRead",
                      "dataUnitsWritten", "mediaErrors", "errorLogEntries"});
    SimHealth& h = profile.health;
    h.temperatureKelvin = static_cast<uint16_t>(health.unsignedOr("temperatureKelvin", u16Max, h.temperatureKelvin));
    h.powerOnHours = health.unsignedOr("powerOnHours", u48Max, 0);
    h.powerCycles = health.unsignedOr("powerCycles", u48Max, 0);
    h.unsafeShutdowns = health.unsignedOr("unsafeShutdowns", u48Max, 0);
    h.percentageUsed = static_cast<uint8_t>(health.unsignedOr("percentageUsed", u8Max, 0));
    h.availableSpare = static_cast<uint8_t>(health.unsignedOr("availableSpare", 100, h.availableSpare));
    h.availableSpareThreshold =
        static_cast<uint8_t>(health.unsignedOr("availableSpareThreshold", 100, h.availableSpareThreshold));
    h.criticalWarning = static_cast<uint8_t>(health.unsignedOr("criticalWarning", u8Max, 0));
    h.dataUnitsRead = health.unsignedOr("dataUnitsRead", u64Max, 0);
    h.dataUnitsWritten = health.unsignedOr("dataUnitsWritten", u64Max, 0);
    h.mediaErrors = health.unsignedOr("mediaErrors", u64Max, 0);
    h.errorLogEntries = health.unsignedOr("errorLogEntries", u64Max, 0);
}

}  // namespace host::sim
