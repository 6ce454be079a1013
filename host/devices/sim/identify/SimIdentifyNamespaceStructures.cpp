// The per-namespace structures beside Identify Namespace: identification descriptors, the
// I/O Command Set specific and independent namespace data, and the attached controllers.
#include "host/devices/sim/SimAttributeTable.h"
#include "host/devices/sim/SimBytes.h"
#include "host/devices/sim/SimIdentifyBuilders.h"
#include "host/devices/sim/identify/SimIdentifyStructures.h"

namespace host::sim {

namespace {

constexpr uint32_t broadcastNamespace = 0xFFFFFFFF;

// Namespace Identifier Types of the descriptor list.
constexpr uint8_t descriptorEui64 = 0x1;
constexpr uint8_t descriptorNguid = 0x2;
constexpr uint8_t descriptorCsi = 0x4;
// Where Identify Namespace keeps the namespace's globally unique identifiers.
constexpr uint32_t nguidOffset = 104;
constexpr uint32_t eui64Offset = 120;

SimResponse zeroFilled() { return SimResponse::withData(SimBytes(SimIdentify::structureSize).payload()); }

SimResponse invalidNamespace() { return SimResponse::nvmeFailure(CompletionStatus::invalidNamespace()); }
SimResponse invalidField() { return SimResponse::nvmeFailure(CompletionStatus::invalidField()); }

// What a per-namespace request names: an id outside the controller's range, or a namespace
// that may not exist (unallocated) or not be attached here (inactive).
struct NamedNamespace {
    bool valid = false;
    const SimNamespace* allocated = nullptr;

    const SimNamespace* active() const { return allocated != nullptr && allocated->attached ? allocated : nullptr; }
};

NamedNamespace lookUp(const SimIdentifyRequest& request) {
    NamedNamespace named;
    named.valid = SimIdentify::isValidNamespaceId(request.profile, request.nsid);
    named.allocated = named.valid ? request.profile.findNamespace(request.nsid) : nullptr;
    return named;
}

// The NVM Command Set's namespace data: no storage tags, no protection information, and the
// extended format of each LBA format plain (no storage tag, 16-bit guard).
SimResponse nvmNamespaceData(const SimNamespace* ns) {
    SimBytes data(SimIdentify::structureSize);
    if (ns != nullptr) {
        data.u64(0, 0);  // logical block storage tag mask
        data.u8(8, 0);   // protection information capabilities
        data.u32(12, 0);  // extended LBA format 0 (512-byte blocks)
        data.u32(16, 0);  // extended LBA format 1 (4096-byte blocks)
    }
    return SimResponse::withData(data.payload());
}

void copyIdentifier(SimBytes& list, uint32_t& at, uint8_t type, const drivekit::core::Payload& from,
                    uint32_t offset, uint8_t length) {
    list.u8(at, type);
    list.u8(at + 1, length);
    list.bytes(at + 4, from.at(offset), length);
    at += 4 + length;
}

}  // namespace

SimResponse buildNamespaceIdDescriptors(const SimIdentifyRequest& request) {
    const NamedNamespace named = lookUp(request);
    if (!named.valid) {
        return invalidNamespace();
    }
    if (named.active() == nullptr) {
        return zeroFilled();
    }
    // The same identifiers the namespace's own Identify Namespace data reports.
    const SimResponse identify = buildIdentifyNamespace({request.profile, 0x00, request.nsid, 0, 0});
    if (identify.failed() || identify.data.size() < SimIdentify::structureSize) {
        return identify;
    }
    SimBytes list(SimIdentify::structureSize);
    uint32_t at = 0;
    copyIdentifier(list, at, descriptorEui64, identify.data, eui64Offset, 8);
    copyIdentifier(list, at, descriptorNguid, identify.data, nguidOffset, 16);
    list.u8(at, descriptorCsi);
    list.u8(at + 1, 1);
    list.u8(at + 4, simIdentify::nvmCommandSet);
    return SimResponse::withData(list.payload());
}

SimResponse buildCommandSetNamespace(const SimIdentifyRequest& request) {
    if (request.csi != simIdentify::nvmCommandSet) {
        return invalidField();
    }
    const NamedNamespace named = lookUp(request);
    return named.valid ? nvmNamespaceData(named.active()) : invalidNamespace();
}

SimResponse buildCommandSetAllocatedNamespace(const SimIdentifyRequest& request) {
    if (request.csi != simIdentify::nvmCommandSet || !simIdentify::managesNamespaces(request.profile)) {
        return invalidField();
    }
    const NamedNamespace named = lookUp(request);
    return named.valid ? nvmNamespaceData(named.allocated) : invalidNamespace();
}

SimResponse buildIndependentNamespace(const SimIdentifyRequest& request) {
    if (request.nsid == broadcastNamespace) {
        return zeroFilled();
    }
    const NamedNamespace named = lookUp(request);
    if (!named.valid) {
        return invalidNamespace();
    }
    SimBytes data(SimIdentify::structureSize);
    if (named.active() != nullptr) {
        data.u8(0, 0x00);  // namespace features: nothing optional
        data.u8(1, 0x00);  // private namespace
        data.u8(3, 0x80);  // format progress indicator supported, no format running
        data.u16(10, simIdentify::nvmSetId);
        data.u16(12, simIdentify::enduranceGroupId(request.profile));
        data.u8(14, 0x01);  // namespace ready
    }
    return SimResponse::withData(data.payload());
}

SimResponse buildAttachedControllerList(const SimIdentifyRequest& request) {
    if (!simIdentify::managesNamespaces(request.profile)) {
        return invalidField();
    }
    const NamedNamespace named = lookUp(request);
    if (!named.valid) {
        return invalidNamespace();
    }
    SimBytes data(SimIdentify::structureSize);
    if (named.active() != nullptr && simIdentify::controllerId >= request.controllerId) {
        data.u16(0, 1);
        data.u16(2, simIdentify::controllerId);
    }
    return SimResponse::withData(data.payload());
}

SimResponse buildCommandSetActiveNamespaceList(const SimIdentifyRequest& request) {
    return request.csi == simIdentify::nvmCommandSet ? buildActiveNamespaceList(request) : invalidField();
}

SimResponse buildCommandSetAllocatedNamespaceList(const SimIdentifyRequest& request) {
    return request.csi == simIdentify::nvmCommandSet ? buildAllocatedNamespaceList(request) : invalidField();
}

}  // namespace host::sim
