#include "host/devices/OcpProbe.h"

#include "drivekit/commands/CommandSender.h"
#include "drivekit/commands/nvme/GetLogPage.h"
#include "drivekit/commands/nvme/Identify.h"
#include "drivekit/core/DeviceAttributes.h"
#include "drivekit/features/uuid/UuidList.h"

namespace host::devices {

namespace core = drivekit::core;
namespace nvme = drivekit::commands::nvme;
namespace attributes = drivekit::core::attributes;

namespace {

constexpr uint8_t cnsUuidList = 0x17;
constexpr uint8_t supportedLogPagesId = 0x00;
constexpr uint32_t supportedLogPagesBytes = 1024;
constexpr uint8_t ocpSmartCloudLogId = 0xC0;
constexpr uint32_t ocpSmartCloudBytes = 512;
// The SMART / Health Cloud log's version: 3 in OCP 1.0, 4 from OCP 2.0 on.
constexpr uint32_t ocpLogVersionOffset = 494;
constexpr uint16_t ocpLogVersion2 = 4;
// The OCP Cloud SSD UUID, as the UUID List stores it.
const drivekit::features::uuid::Uuid ocpUuid = {0xc1, 0x94, 0xd5, 0x5b, 0xe0, 0x94, 0x47, 0x94,
                                                0xa2, 0x1d, 0x29, 0x99, 0x8f, 0x56, 0xbe, 0x6f};

core::Status getLogPage(core::Device& drive, uint8_t logId, uint32_t bytes, uint8_t uuidIndex, core::Payload& data) {
    nvme::GetLogPage command;
    command.setLogId(logId);
    command.setNamespaceId(0xFFFFFFFF);
    command.setNumDwords(bytes / 4 - 1);
    command.setUuidIndex(uuidIndex);
    drivekit::commands::CommandSender sender(drive);
    const core::Status status = sender.send(command, core::Payload());
    data = sender.data();
    return status.isSuccess() ? sender.requireData(bytes) : status;
}

// The index of the OCP UUID in the drive's UUID List, 0 when it has none.
uint8_t ocpUuidIndex(core::Device& drive) {
    core::Payload list;
    if (!identifyStructure(drive, cnsUuidList, 0, list).isSuccess()) {
        return 0;
    }
    const auto table = drivekit::features::uuid::UuidList::parse(list);
    const auto found = table.find(ocpUuid);
    return found == table.end() ? 0 : found->second;
}

bool listsOcpPage(core::Device& drive) {
    core::Payload pages;
    if (!getLogPage(drive, supportedLogPagesId, supportedLogPagesBytes, 0, pages).isSuccess()) {
        return false;
    }
    // One dword per log id; bit 0 says the page is supported.
    return (*pages.safeCast<uint32_t>(ocpSmartCloudLogId * 4) & 1u) != 0;
}

}  // namespace

core::Status identifyStructure(core::Device& drive, uint8_t cns, uint32_t nsid, core::Payload& data) {
    nvme::Identify command;
    command.setCns(cns);
    command.setNamespaceId(nsid);
    drivekit::commands::CommandSender sender(drive);
    const core::Status status = sender.send(command);
    data = sender.data();
    return status.isSuccess() ? sender.requireData(nvme::Identify::structureBytes) : status;
}

void probeOcp(core::Device& drive, bool uuidList) {
    const uint8_t uuidIndex = uuidList ? ocpUuidIndex(drive) : 0;
    const bool supported = uuidIndex != 0 || listsOcpPage(drive);
    drive.attributes.writeBool(attributes::ocpSupported(), supported);
    drive.attributes.writeBool(attributes::ocp1Point0OrGreater(), supported);
    core::Payload log;
    const bool version2 = supported &&
                          getLogPage(drive, ocpSmartCloudLogId, ocpSmartCloudBytes, uuidIndex, log).isSuccess() &&
                          *log.safeCast<uint16_t>(ocpLogVersionOffset) >= ocpLogVersion2;
    drive.attributes.writeBool(attributes::ocp2Point0OrGreater(), version2);
}

}  // namespace host::devices
