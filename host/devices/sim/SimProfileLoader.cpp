#include "host/devices/sim/SimProfileLoader.h"

#include <algorithm>
#include <set>

#include <boost/filesystem.hpp>

#include "host/BoundedFileReader.h"
#include "host/devices/sim/SimAttributeTable.h"
#include "host/devices/sim/SimJsonReader.h"
#include "host/devices/sim/SimReplay.h"

namespace host::sim {

namespace fs = boost::filesystem;
using nlohmann::json;

namespace {

constexpr uint64_t u8Max = 0xFF;
constexpr uint64_t u16Max = 0xFFFF;
constexpr uint64_t u32Max = 0xFFFFFFFF;
constexpr uint64_t u48Max = 0xFFFFFFFFFFFF;
constexpr uint64_t u64Max = ~0ULL;
// The largest telemetry log the drive serves (1 GiB): it is generated piece by piece, so only
// its reader holds it whole.
constexpr uint64_t telemetryBlockLimit = 2097151;
// The largest persistent event log and endurance group event aggregate the drive serves:
// 128 MiB.
constexpr uint64_t largestLogBytes = 128ULL * 1024 * 1024;
// Far above any hand-written profile; keeps a wrong file from being read into memory.
constexpr uint64_t largestProfile = 4 * 1024 * 1024;

const char* const firmwareParameterNames[] = {"product_type", "phys_cap",     "log_cap",      "total_die",
                                              "ftl_cores",    "ch_per_core",  "ce_per_ch",    "die_per_ce",
                                              "reserved",     "limited_mode", "nand_type",    "plns_per_die",
                                              "blks_per_pln"};

void readAttribute(const SimJsonReader& section, const std::string& key, SimProfile& profile) {
    std::optional<drivekit::core::Attribute> definition = SimAttributeTable::find(key);
    if (!definition) {
        section.fail(key, "is not a device attribute");
    }
    drivekit::core::Attribute attribute = *definition;
    const std::string& type = attribute.typeName();
    const json& value = section.at(key);
    if (type == "boolean") {
        attribute.setBool(section.boolOr(key, false));
    } else if (type == "string") {
        attribute.setString(section.stringOr(key, ""));
    } else if (type == "uint8") {
        attribute.setUint8(static_cast<uint8_t>(SimJsonReader::toUnsigned(value, u8Max, section.path(key))));
    } else if (type == "uint16") {
        attribute.setUint16(static_cast<uint16_t>(SimJsonReader::toUnsigned(value, u16Max, section.path(key))));
    } else {
        attribute.setUint32(static_cast<uint32_t>(SimJsonReader::toUnsigned(value, u32Max, section.path(key))));
    }
    profile.attributes.set(attribute);
}

void readAttributes(const SimJsonReader& top, SimProfile& profile) {
    const SimJsonReader section = top.objectAt("attributes");
    const json& object = top.at("attributes");
    for (auto it = object.begin(); it != object.end(); ++it) {
        readAttribute(section, it.key(), profile);
    }
}

void readProtocols(const SimJsonReader& top, SimProfile& profile) {
    for (const json& item : top.arrayAt("protocols")) {
        const std::string name = item.is_string() ? item.get<std::string>() : std::string();
        if (name != "NVME" && name != "ATA" && name != "SMART") {
            top.fail("protocols", "may only hold \"NVME\", \"ATA\" and \"SMART\"");
        }
        profile.protocols.push_back(name);
    }
    if (profile.protocols.empty()) {
        top.fail("protocols", "must name at least one protocol");
    }
}

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

void readNvme(const SimJsonReader& top, SimProfile& profile) {
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
        const SimJsonReader telemetry = nvme.objectAt("telemetry");
        telemetry.allowOnly({"hostInitiated", "controllerInitiated", "changesDuringRead"});
        readTelemetryAreas(telemetry, "hostInitiated", profile.hostTelemetryLastBlocks);
        readTelemetryAreas(telemetry, "controllerInitiated", profile.controllerTelemetryLastBlocks);
        profile.telemetryChangesDuringRead =
            static_cast<uint32_t>(telemetry.unsignedOr("changesDuringRead", u32Max, 0));
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

void readAta(const SimJsonReader& top, SimProfile& profile) {
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

void readHealth(const SimJsonReader& top, SimProfile& profile) {
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

std::optional<uint8_t> optionalByte(const SimJsonReader& entry, const std::string& field) {
    if (!entry.has(field)) {
        return std::nullopt;
    }
    return static_cast<uint8_t>(entry.unsignedAt(field, u8Max));
}

SimFault readFault(const SimJsonReader& entry) {
    entry.allowOnly({"protocol", "opcode", "logId", "cns", "featureId", "offset", "action", "statusCodeType",
                     "statusCode", "bytes", "times"});
    SimFault fault;
    if (entry.has("protocol")) {
        fault.protocol = entry.stringOr("protocol", "");
    }
    fault.opcode = optionalByte(entry, "opcode");
    fault.logId = optionalByte(entry, "logId");
    fault.cns = optionalByte(entry, "cns");
    fault.featureId = optionalByte(entry, "featureId");
    if (entry.has("offset")) {
        fault.offset = entry.unsignedAt("offset", u64Max);
    }
    const std::string action = entry.stringOr("action", "status");
    if (action == "status") {
        fault.action = SimFault::Action::status;
    } else if (action == "shortData") {
        fault.action = SimFault::Action::shortData;
        fault.bytes = entry.unsignedAt("bytes", u32Max);
    } else if (action == "noData") {
        fault.action = SimFault::Action::noData;
    } else if (action == "sizeLimit") {
        fault.action = SimFault::Action::sizeLimit;
        fault.bytes = entry.unsignedAt("bytes", u32Max);
    } else {
        entry.fail("action", "must be \"status\", \"shortData\", \"noData\" or \"sizeLimit\"");
    }
    fault.status.type = static_cast<uint8_t>(entry.unsignedOr("statusCodeType", 7, fault.status.type));
    fault.status.code = static_cast<uint8_t>(entry.unsignedOr("statusCode", u8Max, fault.status.code));
    if (fault.status.isSuccess()) {
        entry.fail("statusCode", "must name a failure (type and code both 0 is success)");
    }
    if (entry.has("times")) {
        fault.times = static_cast<uint32_t>(entry.unsignedAt("times", u32Max));
    }
    return fault;
}

void readFaults(const SimJsonReader& top, SimProfile& profile) {
    if (!top.has("faults")) {
        return;
    }
    for (const json& item : top.arrayAt("faults")) {
        profile.faults.push_back(readFault(SimJsonReader(item, top.path("faults[]"))));
    }
}

void readReplay(const SimJsonReader& top, const std::string& file, SimProfile& profile) {
    if (!top.has("replay")) {
        return;
    }
    fs::path folder(top.stringOr("replay", ""));
    if (folder.is_relative()) {
        folder = fs::absolute(fs::path(file).parent_path()) / folder;
    }
    boost::system::error_code error;
    if (!fs::is_directory(folder, error)) {
        top.fail("replay", "names the folder \"" + folder.string() + "\", which does not exist");
    }
    profile.replayFolder = folder.lexically_normal().string();
    const std::string problem = SimReplay::checkFolder(profile.replayFolder);
    if (!problem.empty()) {
        top.fail("replay", "names a folder where " + problem);
    }
}

// Attributes a host derives from the drive when the profile leaves them out.
void deriveAttributes(SimProfile& profile) {
    const auto active = profile.activeNamespaceIds();
    if (!profile.attributes.contains(definitions::namespaceId().key()) && !active.empty()) {
        drivekit::core::Attribute attribute = definitions::namespaceId();
        attribute.setUint32(active.front());
        profile.attributes.set(attribute);
    }
    if (profile.firmwareSlots.empty()) {
        profile.firmwareSlots.push_back(profile.attributes.readString(definitions::firmware().key()));
    }
    if (!profile.speaks("NVME")) {
        profile.vendorChannel = false;
    }
}

}  // namespace

bool SimProfileLoader::parse(const std::string& text, const std::string& file, SimProfile& profile,
                             std::string& error) {
    json document;
    try {
        document = json::parse(text);
    } catch (const json::exception& e) {
        error = file + ": not valid JSON: " + e.what();
        return false;
    }
    try {
        const SimJsonReader top(document, "");
        top.allowOnly({"path", "attributes", "protocols", "nvme", "ata", "health", "replay", "faults"});
        profile.file = file;
        if (profile.name.empty()) {
            profile.name = file;
        }
        profile.path = top.stringOr("path", "sim:" + profile.name);
        readAttributes(top, profile);
        readProtocols(top, profile);
        readNvme(top, profile);
        readAta(top, profile);
        readHealth(top, profile);
        readFaults(top, profile);
        readReplay(top, file, profile);
        deriveAttributes(profile);
    } catch (const SimProfileError& e) {
        error = file + ": " + e.what();
        return false;
    } catch (const std::exception& e) {
        error = file + ": " + e.what();
        return false;
    }
    return true;
}

std::vector<std::string> SimProfileLoader::builtInNames() {
    return {"varnholt-nvme", "kestrova-nvme", "kestrova-sata", "other-nvme"};
}

std::string SimProfileLoader::builtInFolder() {
    boost::system::error_code error;
    const fs::path executable = fs::read_symlink("/proc/self/exe", error);
    if (!error) {
        const fs::path beside = executable.parent_path() / "profiles";
        if (fs::is_directory(beside, error)) {
            return beside.string();
        }
    }
    return (fs::path(__FILE__).parent_path() / "profiles").string();
}

bool SimProfileLoader::load(const std::string& nameOrPath, SimProfile& profile, std::string& error) {
    const auto names = builtInNames();
    std::string file = nameOrPath;
    profile.name = nameOrPath;
    if (std::find(names.begin(), names.end(), nameOrPath) != names.end()) {
        file = (fs::path(builtInFolder()) / (nameOrPath + ".json")).string();
    }
    const auto contents = BoundedFileReader::read(file, largestProfile);
    if (!contents.error.empty()) {
        error = file + ": cannot read the profile (" + contents.error + ")";
        boost::system::error_code ignored;
        if (nameOrPath.find('/') == std::string::npos && nameOrPath.find(".json") == std::string::npos &&
            !fs::exists(file, ignored)) {
            error += "; built-in profiles are varnholt-nvme, kestrova-nvme, kestrova-sata and other-nvme";
        }
        return false;
    }
    if (contents.longer) {
        error = file + ": the profile is larger than " + std::to_string(largestProfile / (1024 * 1024)) +
                " MiB; a profile is a small JSON file";
        return false;
    }
    const std::string text(contents.bytes.begin(), contents.bytes.end());
    return parse(text, file, profile, error);
}

}  // namespace host::sim
