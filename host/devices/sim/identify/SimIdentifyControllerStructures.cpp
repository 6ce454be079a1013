// The controller-wide structures beside Identify Controller: NVM sets, domains, endurance
// groups, the controllers of the subsystem, virtualization capabilities, namespace granularity
// and the I/O Command Sets the controller implements.
#include "host/devices/sim/SimAttributeTable.h"
#include "host/devices/sim/SimBytes.h"
#include "host/devices/sim/identify/SimIdentifyStructures.h"

namespace host::sim {

namespace {

constexpr uint32_t listEntriesOffset = 128;  // NVM set and domain lists: a 128-byte header
constexpr uint64_t granularityBytes = 1ull << 30;

SimResponse invalidField() { return SimResponse::nvmeFailure(CompletionStatus::invalidField()); }

uint64_t unallocatedBytes(const SimProfile& profile) {
    const uint64_t allocated = simIdentify::allocatedBytes(profile);
    return profile.capacityBytes > allocated ? profile.capacityBytes - allocated : 0;
}

// A list of 16-bit identifiers with its count in front (controllers, endurance groups).
SimResponse identifierList(uint16_t id, uint16_t from) {
    SimBytes data(SimIdentify::structureSize);
    if (id >= from) {
        data.u16(0, 1);
        data.u16(2, id);
    }
    return SimResponse::withData(data.payload());
}

}  // namespace

namespace simIdentify {

uint16_t enduranceGroupId(const SimProfile& profile) {
    const uint16_t id = profile.attributes.readUint16(definitions::enduranceGroupIdentifier().key());
    return id != 0 ? id : 1;
}

uint64_t allocatedBytes(const SimProfile& profile) {
    uint64_t total = 0;
    for (const auto& ns : profile.namespaces) {
        total += ns.sizeBlocks * ns.blockSize;
    }
    return total;
}

bool managesNamespaces(const SimProfile& profile) {
    return profile.attributes.readBool(definitions::namespaceManagementSupported().key());
}

}  // namespace simIdentify

SimResponse buildNvmSetList(const SimIdentifyRequest& request) {
    SimBytes data(SimIdentify::structureSize);
    data.u8(0, 1);  // one entry
    const uint32_t entry = listEntriesOffset;
    data.u16(entry + 0, simIdentify::nvmSetId);
    data.u16(entry + 2, simIdentify::enduranceGroupId(request.profile));
    data.u32(entry + 8, 800);     // random 4 KiB read typical: 80 us in 100 ns units
    data.u32(entry + 12, 32);     // optimal write size, in logical blocks
    data.u128(entry + 16, request.profile.capacityBytes);
    data.u128(entry + 32, unallocatedBytes(request.profile));
    return SimResponse::withData(data.payload());
}

SimResponse buildCommandSetController(const SimIdentifyRequest& request) {
    if (request.csi != simIdentify::nvmCommandSet) {
        return invalidField();
    }
    SimBytes data(SimIdentify::structureSize);
    data.u8(0, 7);  // verify size limit: 2^7 units of the minimum page size
    data.u8(1, 7);  // write zeroes size limit
    data.u8(2, 7);  // write uncorrectable size limit
    data.u8(3, 0);  // dataset management ranges: no limit reported
    return SimResponse::withData(data.payload());
}

SimResponse buildControllerList(const SimIdentifyRequest& request) {
    if (!simIdentify::managesNamespaces(request.profile)) {
        return invalidField();
    }
    return identifierList(simIdentify::controllerId, request.controllerId);
}

SimResponse buildPrimaryControllerCapabilities(const SimIdentifyRequest&) {
    // No virtualization: no flexible resources, no secondary controllers.
    SimBytes data(SimIdentify::structureSize);
    data.u16(0, simIdentify::controllerId);
    data.u16(2, 0);  // port
    data.u8(4, 0);   // controller resource types
    return SimResponse::withData(data.payload());
}

SimResponse buildSecondaryControllerList(const SimIdentifyRequest&) {
    return SimResponse::withData(SimBytes(SimIdentify::structureSize).payload());  // no entries
}

SimResponse buildNamespaceGranularityList(const SimIdentifyRequest& request) {
    if (!simIdentify::managesNamespaces(request.profile)) {
        return invalidField();
    }
    SimBytes data(SimIdentify::structureSize);
    data.u32(0, 0);  // one descriptor for every format
    data.u8(4, 0);   // number of descriptors, zero based
    data.u64(32, granularityBytes);  // size granularity
    data.u64(40, granularityBytes);  // capacity granularity
    return SimResponse::withData(data.payload());
}

SimResponse buildDomainList(const SimIdentifyRequest& request) {
    SimBytes data(SimIdentify::structureSize);
    data.u8(0, 1);
    const uint32_t entry = listEntriesOffset;
    data.u16(entry + 0, simIdentify::domainId);
    data.u128(entry + 16, request.profile.capacityBytes);
    data.u128(entry + 32, unallocatedBytes(request.profile));
    data.u128(entry + 48, request.profile.capacityBytes);  // largest endurance group capacity
    return SimResponse::withData(data.payload());
}

SimResponse buildEnduranceGroupList(const SimIdentifyRequest& request) {
    // The list starts at the identifier in the NVM Set Identifier field, which the
    // collector leaves at 0.
    return identifierList(simIdentify::enduranceGroupId(request.profile), 0);
}

SimResponse buildCommandSetCombinations(const SimIdentifyRequest&) {
    SimBytes data(SimIdentify::structureSize);
    data.u64(0, 1ull << simIdentify::nvmCommandSet);  // combination 0: the NVM Command Set alone
    return SimResponse::withData(data.payload());
}

}  // namespace host::sim
