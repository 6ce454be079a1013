#pragma once
// Everything a simulated drive is made from: its device attributes, protocols, content,
// replay folder and faults. Loaded from a JSON profile.
#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "drivekit/core/AttributeCollection.h"
#include "drivekit/core/Payload.h"
#include "host/devices/sim/SimFault.h"
#include "host/devices/sim/SimSlowCommand.h"

namespace host::sim {

class SimPackage;

struct SimNamespace {
    uint32_t id = 1;
    uint64_t sizeBlocks = 0;
    uint32_t blockSize = 512;  // 512 or 4096
    bool attached = true;
};

struct SimSmartAttribute {
    uint8_t id = 0;
    uint16_t flags = 0;
    uint8_t value = 100;
    uint8_t worst = 100;
    uint64_t raw = 0;
    uint8_t threshold = 0;
};

// Health figures shared by the NVMe SMART / health page and the ATA SMART attributes.
struct SimHealth {
    uint16_t temperatureKelvin = 308;
    uint64_t powerOnHours = 0;
    uint64_t powerCycles = 0;
    uint64_t unsafeShutdowns = 0;
    uint8_t percentageUsed = 0;
    uint8_t availableSpare = 100;
    uint8_t availableSpareThreshold = 10;
    uint8_t criticalWarning = 0;
    uint64_t dataUnitsRead = 0;
    uint64_t dataUnitsWritten = 0;
    uint64_t mediaErrors = 0;
    uint64_t errorLogEntries = 0;
};

// The firmware parameter record's named fields, in record order.
struct SimFirmwareParameters {
    std::array<uint32_t, 13> fields{};  // product_type .. blks_per_pln
    uint32_t numFtlInstances = 0;
};

struct SimProfile {
    std::string name;  // built-in name or profile path
    std::string file;  // the file it was read from
    std::string path;  // the drive's path ("sim:<name>" unless given)

    drivekit::core::AttributeCollection attributes;
    std::vector<std::string> protocols;

    // NVMe controller
    uint16_t vendorId = 0;
    uint16_t subsystemVendorId = 0;
    uint32_t version = 0x00010400;  // VER register: major 31:16, minor 15:8
    uint32_t ieeeOui = 0;
    uint64_t capacityBytes = 0;  // total NVM capacity
    uint32_t maxNamespaces = 0;  // NN; at least the highest namespace id
    std::vector<SimNamespace> namespaces;
    std::array<uint32_t, 4> hostTelemetryLastBlocks{};
    std::array<uint32_t, 4> controllerTelemetryLastBlocks{};
    // A telemetry log's generation goes up right after the first body piece of the first N
    // passes that read its body (a fault: the log changes under its reader).
    uint32_t telemetryChangesDuringRead = 0;
    // The telemetry data areas hold records like a firmware dump's, which deflate only halves,
    // instead of a repeating pattern that it shrinks fifty-fold.
    bool realisticTelemetry = false;
    std::vector<SimSlowCommand> slowCommands;
    std::vector<std::string> firmwareSlots;  // slot 1 first; the first is active
    std::map<uint8_t, uint32_t> featureValues;
    bool vendorChannel = false;
    uint32_t lifeCycleState = 0;
    SimFirmwareParameters firmwareParameters;
    // Sizes of the large log pages: the persistent event log's target length in bytes (0:
    // one event of each type) and the endurance group event aggregate's entry count.
    uint64_t persistentEventLogBytes = 0;
    uint64_t enduranceGroupEvents = 3000;

    // ATA
    uint64_t ataCapacityBlocks = 0;
    std::vector<SimSmartAttribute> smartAttributes;

    SimHealth health;
    std::string replayFolder;  // absolute; empty without replay
    // A package the drive answers from alone: what it does not hold, the drive does not have.
    std::shared_ptr<SimPackage> replayPackage;
    // The vendor channel's answers by code, as the package's manifest recorded them; a
    // replayed drive knows no other code.
    std::map<uint32_t, drivekit::core::Payload> vendorAnswers;
    std::vector<SimFault> faults;

    bool speaks(const std::string& protocol) const;
    // Active (attached) namespace ids, ascending.
    std::vector<uint32_t> activeNamespaceIds() const;
    // Allocated namespace ids (attached or not), ascending.
    std::vector<uint32_t> allocatedNamespaceIds() const;
    const SimNamespace* findNamespace(uint32_t id) const;
};

}  // namespace host::sim
