#include "host/devices/sim/SimProfileNvme.h"

#include <array>
#include <set>

#include "host/devices/sim/SimAttributeTable.h"
#include "host/devices/sim/SimFieldLimits.h"

namespace host::sim {

using nlohmann::json;

namespace {

// The largest telemetry log the drive serves (1 GiB): it is generated piece by piece, so only
// its reader holds it whole.
constexpr uint64_t telemetryBlockLimit = 2097151;
// The largest persistent event log and endurance group event aggregate the drive serves:
// 128 MiB.
constexpr uint64_t largestLogBytes = 128ULL * 1024 * 1024;

const char* const firmwareParameterNames[] = {"product_type", "phys_cap",     "log_cap",      "total_die",
                                              "ftl_cores",    "ch_per_core",  "ce_per_ch",    "die_per_ce",
                                              "reserved",     "limited_mode", "nand_type",    "plns_per_die",
                                              "blks_per_pln"};

void readNamespaces(const SimJsonReader& nvme, SimProfile& profile) {
    std::set<uint32_t> seen;
    for (const json& item : nvme.arrayAt("namespaces")) {
        const SimJsonReader entry(item, nvme.path("namespaces[]"));
        entry.allowOnly({"id", "sizeBlocks", "blockSize", "attached"});
        SimNamespace ns;
        ns.id = static_cast<uint32_t>(entry.unsignedAt("id", 0xFFFFFFFD));
        if (ns.id == 0 || !seen.insert(ns.id).second) {
            entry.fail("id", "must be a distinct id from 1 to 4294967293");
        }
        ns.sizeBlocks = entry.unsignedAt("sizeBlocks", u48Max);
        ns.blockSize = static_cast<uint32_t>(entry.unsignedOr("blockSize", 4096, 512));
        if (ns.blockSize != 512 && ns.blockSize != 4096) {
            entry.fail("blockSize", "must be 512 or 4096");
        }
        ns.attached = entry.boolOr("attached", true);
        profile.namespaces.push_back(ns);
    }
}

void readTelemetryAreas(const SimJsonReader& telemetry, const std::string& field, std::array<uint32_t, 4>& blocks) {
    if (!telemetry.has(field)) {
        return;
    }
    const json& list = telemetry.arrayAt(field);
    if (list.size() != 4) {
        telemetry.fail(field, "must list the last blocks of data areas 1 to 4");
    }
    for (size_t i = 0; i < 4; ++i) {
        blocks[i] = static_cast<uint32_t>(
            SimJsonReader::toUnsigned(list[i], i < 3 ? u16Max : telemetryBlockLimit, telemetry.path(field)));
    }
    // Each data area ends at or after the one before it; area 4 is 0 when absent.
    if (blocks[0] > blocks[1] || blocks[1] > blocks[2] || (blocks[3] != 0 && blocks[3] < blocks[2])) {
        telemetry.fail(field, "must not end a data area before the one before it");
    }
}

void readTelemetry(const SimJsonReader& telemetry, SimProfile& profile) {
    telemetry.allowOnly({"hostInitiated", "controllerInitiated", "changesDuringRead", "pattern"});
    readTelemetryAreas(telemetry, "hostInitiated", profile.hostTelemetryLastBlocks);
    readTelemetryAreas(telemetry, "controllerInitiated", profile.controllerTelemetryLastBlocks);
    profile.telemetryChangesDuringRead = static_cast<uint32_t>(telemetry.unsignedOr("changesDuringRead", u32Max, 0));
    const std::string pattern = telemetry.stringOr("pattern", "repeating");
    if (pattern != "repeating" && pattern != "realistic") {
        telemetry.fail("pattern", "must be \"repeating\" or \"realistic\"");
    }
    profile.realisticTelemetry = pattern == "realistic";
}

void readSlowCommands(const SimJsonReader& nvme, SimProfile& profile) {
    for (const json& item : nvme.arrayAt("slowCommands")) {
        const SimJsonReader entry(item, nvme.path("slowCommands[]"));
        entry.allowOnly({"opcode", "logId", "seconds"});
        SimSlowCommand slow;
        slow.opcode = static_cast<uint8_t>(entry.unsignedAt("opcode", u8Max));
        if (entry.has("logId")) {
            slow.logId = static_cast<uint8_t>(entry.unsignedAt("logId", u8Max));
        }
        slow.seconds = static_cast<uint32_t>(entry.unsignedAt("seconds", u32Max));
        profile.slowCommands.push_back(slow);
    }
}

void readFirmwareParameters(const SimJsonReader& nvme, SimProfile& profile) {
    const SimJsonReader section = nvme.objectAt("firmwareParameters");
    std::set<std::string> allowed(std::begin(firmwareParameterNames), std::end(firmwareParameterNames));
    allowed.insert("num_ftl_instances");
    section.allowOnly(allowed);
    for (size_t i = 0; i < profile.firmwareParameters.fields.size(); ++i) {
        profile.firmwareParameters.fields[i] =
            static_cast<uint32_t>(section.unsignedOr(firmwareParameterNames[i], u32Max, 0));
    }
    profile.firmwareParameters.numFtlInstances = static_cast<uint32_t>(section.unsignedOr("num_ftl_instances", u32Max, 0));
}

void readFeatures(const SimJsonReader& nvme, SimProfile& profile) {
    nvme.objectAt("features");  // must be an object
    const json& object = nvme.at("features");
    for (auto it = object.begin(); it != object.end(); ++it) {
        const uint64_t id = SimJsonReader::toUnsigned(json(it.key()), u8Max, nvme.path("features"));
        profile.featureValues[static_cast<uint8_t>(id)] =
            static_cast<uint32_t>(SimJsonReader::toUnsigned(it.value(), u32Max, nvme.path("features." + it.key())));
    }
}

uint32_t versionFromAttributes(const drivekit::core::AttributeCollection& attributes) {
    if (attributes.readBool(definitions::nvme2Point0OrGreater().key())) return 0x00020000;
    if (attributes.readBool(definitions::nvme1Point4OrGreater().key())) return 0x00010400;
    if (attributes.readBool(definitions::nvme1Point3OrGreater().key())) return 0x00010300;
    if (attributes.readBool(definitions::nvme1Point2OrGreater().key())) return 0x00010200;
    if (attributes.readBool(definitions::nvme1Point1OrGreater().key())) return 0x00010100;
    return 0x00010000;
}

}  // namespace

void SimProfileNvme::read(const SimJsonReader& top, SimProfile& profile) {
    profile.version = versionFromAttributes(profile.attributes);
    profile.vendorChannel = profile.attributes.readBool(definitions::kestrova().key());
    if (!top.has("nvme")) {
        return;
    }
    const SimJsonReader nvme = top.objectAt("nvme");
    nvme.allowOnly({"vendorId", "subsystemVendorId", "ieeeOui", "capacityBytes", "maxNamespaces", "namespaces",
                    "telemetry", "firmwareSlots", "features", "vendorChannel", "lifeCycleState",
                    "firmwareParameters", "persistentEventLogBytes", "enduranceGroupEvents", "slowCommands"});
    profile.vendorId = static_cast<uint16_t>(nvme.unsignedOr("vendorId", u16Max, 0));
    profile.subsystemVendorId = static_cast<uint16_t>(nvme.unsignedOr("subsystemVendorId", u16Max, profile.vendorId));
    profile.ieeeOui = static_cast<uint32_t>(nvme.unsignedOr("ieeeOui", 0xFFFFFF, 0));
    profile.maxNamespaces = static_cast<uint32_t>(nvme.unsignedOr("maxNamespaces", 0xFFFFFFFD, 0));
    if (nvme.has("namespaces")) {
        readNamespaces(nvme, profile);
    }
    if (nvme.has("telemetry")) {
        readTelemetry(nvme.objectAt("telemetry"), profile);
    }
    if (nvme.has("slowCommands")) {
        readSlowCommands(nvme, profile);
    }
    if (nvme.has("firmwareSlots")) {
        for (const json& slot : nvme.arrayAt("firmwareSlots")) {
            if (!slot.is_string() || profile.firmwareSlots.size() == 7) {
                nvme.fail("firmwareSlots", "must be a list of up to 7 texts");
            }
            profile.firmwareSlots.push_back(slot.get<std::string>());
        }
    }
    if (nvme.has("features")) {
        readFeatures(nvme, profile);
    }
    profile.vendorChannel = nvme.boolOr("vendorChannel", profile.vendorChannel);
    profile.lifeCycleState = static_cast<uint32_t>(nvme.unsignedOr("lifeCycleState", u32Max, 0));
    if (nvme.has("firmwareParameters")) {
        readFirmwareParameters(nvme, profile);
    }
    profile.persistentEventLogBytes = nvme.unsignedOr("persistentEventLogBytes", largestLogBytes, 0);
    profile.enduranceGroupEvents =
        nvme.unsignedOr("enduranceGroupEvents", (largestLogBytes - 8) / 2, profile.enduranceGroupEvents);
    uint64_t allocated = 0;
    for (const auto& ns : profile.namespaces) {
        allocated += ns.sizeBlocks * ns.blockSize;
    }
    profile.capacityBytes = nvme.unsignedOr("capacityBytes", u64Max, allocated);
}

}  // namespace host::sim
