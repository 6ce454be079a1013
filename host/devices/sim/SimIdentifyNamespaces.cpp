// Identify Namespace (CNS 0x00, 0x11) and the namespace id lists (CNS 0x02, 0x10).
#include <functional>
#include <string>

#include "host/devices/sim/SimAttributeTable.h"
#include "host/devices/sim/SimBytes.h"
#include "host/devices/sim/SimIdentifyBuilders.h"

namespace host::sim {

namespace {

constexpr uint32_t broadcastNamespace = 0xFFFFFFFF;
constexpr uint32_t listCapacity = SimIdentify::structureSize / 4;

// Formats 0 (512-byte blocks) and 1 (4096-byte blocks): LBADS in bits 23:16, relative
// performance in bits 25:24 (0 is best).
constexpr uint32_t format512 = (9u << 16) | (1u << 24);
constexpr uint32_t format4096 = 12u << 16;

void writeFormats(SimBytes& data) {
    data.u8(25, 1);  // two formats, zero based
    data.u32(128, format512);
    data.u32(132, format4096);
}

SimResponse namespaceStructure(const SimProfile& profile, const SimNamespace& ns) {
    SimBytes data(SimIdentify::structureSize);
    data.u64(0, ns.sizeBlocks);   // size
    data.u64(8, ns.sizeBlocks);   // capacity
    data.u64(16, ns.sizeBlocks);  // utilization equals capacity without thin provisioning
    writeFormats(data);
    data.u8(26, ns.blockSize == 4096 ? 1 : 0);
    data.u128(48, ns.sizeBlocks * ns.blockSize);
    // Globally unique ids derived from the vendor, the serial number's hash and the id.
    const uint64_t serialHash = std::hash<std::string>{}(profile.attributes.readString(definitions::serialNumber().key()));
    data.u64(104, serialHash);
    data.u32(112, profile.ieeeOui);
    data.u32(116, ns.id);
    data.u64(120, (static_cast<uint64_t>(profile.ieeeOui) << 40) | (serialHash & 0xFFFFFF00u) | ns.id);
    return SimResponse::withData(data.payload());
}

// The structure shared by all namespaces (NSID all ones): the formats, no sizes.
SimResponse commonNamespaceStructure() {
    SimBytes data(SimIdentify::structureSize);
    writeFormats(data);
    return SimResponse::withData(data.payload());
}

SimResponse zeroFilled() { return SimResponse::withData(SimBytes(SimIdentify::structureSize).payload()); }

SimResponse namespaceList(const std::vector<uint32_t>& ids, uint32_t above) {
    if (above >= broadcastNamespace - 1) {
        return SimResponse::nvmeFailure(CompletionStatus::invalidNamespace());
    }
    SimBytes data(SimIdentify::structureSize);
    uint32_t index = 0;
    for (const uint32_t id : ids) {
        if (id > above && index < listCapacity) {
            data.u32(4 * index++, id);
        }
    }
    return SimResponse::withData(data.payload());
}

bool managesNamespaces(const SimProfile& profile) {
    return profile.attributes.readBool(definitions::namespaceManagementSupported().key());
}

}  // namespace

SimResponse buildIdentifyNamespace(const SimIdentifyRequest& request) {
    if (request.nsid == broadcastNamespace) {
        return commonNamespaceStructure();
    }
    if (!SimIdentify::isValidNamespaceId(request.profile, request.nsid)) {
        return SimResponse::nvmeFailure(CompletionStatus::invalidNamespace());
    }
    const SimNamespace* ns = request.profile.findNamespace(request.nsid);
    if (ns == nullptr || !ns->attached) {
        return zeroFilled();  // an inactive namespace
    }
    return namespaceStructure(request.profile, *ns);
}

SimResponse buildIdentifyAllocatedNamespace(const SimIdentifyRequest& request) {
    if (!managesNamespaces(request.profile)) {
        return SimResponse::nvmeFailure(CompletionStatus::invalidField());
    }
    if (!SimIdentify::isValidNamespaceId(request.profile, request.nsid)) {
        return SimResponse::nvmeFailure(CompletionStatus::invalidNamespace());
    }
    const SimNamespace* ns = request.profile.findNamespace(request.nsid);
    return ns == nullptr ? zeroFilled() : namespaceStructure(request.profile, *ns);
}

SimResponse buildActiveNamespaceList(const SimIdentifyRequest& request) {
    return namespaceList(request.profile.activeNamespaceIds(), request.nsid);
}

SimResponse buildAllocatedNamespaceList(const SimIdentifyRequest& request) {
    if (!managesNamespaces(request.profile)) {
        return SimResponse::nvmeFailure(CompletionStatus::invalidField());
    }
    return namespaceList(request.profile.allocatedNamespaceIds(), request.nsid);
}

}  // namespace host::sim
