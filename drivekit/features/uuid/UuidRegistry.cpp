#include "drivekit/features/uuid/UuidRegistry.h"

#include <map>

#include "drivekit/core/DeviceAttributes.h"
#include "drivekit/core/logging/Log.h"
#include "drivekit/features/AttributeDefinitions.h"
#include "drivekit/features/identify/Identify.h"
#include "drivekit/features/uuid/UuidList.h"

namespace drivekit::features::uuid {

namespace {

constexpr uint8_t cnsUuidList = 0x17;

std::map<std::string, UuidTable>& registry() {
    static std::map<std::string, UuidTable> tables;
    return tables;
}

std::string serialNumberOf(const core::Device& device) {
    return device.attributes.readString(core::attributes::serialNumber().key());
}

// The drive's UUID List; empty when the command failed.
core::Payload readUuidList(const std::shared_ptr<core::Device>& device, core::Status& status) {
    core::AttributeCollection attributes;
    attributes.writeUint8(definitions::controllerNamespaceStructure(), cnsUuidList);
    attributes.writeUint32(definitions::namespaceId(), 0);
    identify::Identify identify(device, attributes);
    return identify.identify(status).isSuccess() ? identify.data() : core::Payload();
}

}  // namespace

void registerSupportedGUIDs(const std::shared_ptr<core::Device>& device) {
    if (!device || !device->attributes.readBool(core::attributes::uuidSupported().key())) {
        return;
    }
    const std::string serialNumber = serialNumberOf(*device);
    if (UuidRegistry::find(serialNumber) != nullptr) {
        return;
    }
    // Logged here so that the records name the registering function.
    core::Status status;
    const core::Payload list = readUuidList(device, status);
    if (status.isSuccess()) {
        LOG_DEBUG("IDENTIFY UUID OK");
    } else {
        LOG_DEBUG("Could not run IDENTIFY UUID");
    }
    // Stored even when empty, so that a drive whose list cannot be read is asked only once.
    UuidRegistry::store(serialNumber, UuidList::parse(list));
}

UuidTable UuidRegistry::tableFor(const std::shared_ptr<core::Device>& device) {
    registerSupportedGUIDs(device);
    const UuidTable* table = device ? find(serialNumberOf(*device)) : nullptr;
    return table ? *table : UuidTable();
}

const UuidTable* UuidRegistry::find(const std::string& serialNumber) {
    const auto found = registry().find(serialNumber);
    return found == registry().end() ? nullptr : &found->second;
}

void UuidRegistry::store(const std::string& serialNumber, UuidTable table) {
    registry()[serialNumber] = std::move(table);
}

}  // namespace drivekit::features::uuid
