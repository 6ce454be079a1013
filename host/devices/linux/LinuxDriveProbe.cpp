#include "host/devices/linux/LinuxDriveProbe.h"

#include <algorithm>

#include "drivekit/commands/CommandSender.h"
#include "drivekit/commands/ata/IdentifyDevice.h"
#include "drivekit/commands/nvme/GetLogPage.h"
#include "drivekit/commands/nvme/Identify.h"
#include "drivekit/core/DeviceAttributes.h"
#include "drivekit/core/logging/Log.h"
#include "drivekit/features/uuid/UuidList.h"
#include "host/devices/MakerAttributes.h"
#include "host/devices/linux/IdentifyFacts.h"

namespace host::linux_drives {

namespace core = drivekit::core;
namespace nvme = drivekit::commands::nvme;
namespace ata = drivekit::commands::ata;
namespace attributes = drivekit::core::attributes;
namespace products = drivekit::core::products;

namespace {

constexpr uint8_t cnsNamespace = 0x00;
constexpr uint8_t cnsController = 0x01;
constexpr uint8_t cnsUuidList = 0x17;
constexpr uint8_t supportedLogPagesId = 0x00;
constexpr uint32_t supportedLogPagesBytes = 1024;
constexpr uint8_t ocpSmartCloudLogId = 0xC0;
constexpr uint32_t ocpSmartCloudBytes = 512;
// The SMART / Health Cloud log's version: 3 in OCP 1.0, 4 from OCP 2.0 on.
constexpr uint32_t ocpLogVersionOffset = 494;
constexpr uint16_t ocpLogVersion2 = 4;
// The Identify Namespace's Endurance Group Identifier.
constexpr uint32_t endgidOffset = 102;
// The OCP Cloud SSD UUID, as the UUID List stores it.
const drivekit::features::uuid::Uuid ocpUuid = {0xc1, 0x94, 0xd5, 0x5b, 0xe0, 0x94, 0x47, 0x94,
                                                0xa2, 0x1d, 0x29, 0x99, 0x8f, 0x56, 0xbe, 0x6f};

core::Status identify(core::Device& drive, uint8_t cns, uint32_t nsid, core::Payload& data) {
    nvme::Identify command;
    command.setCns(cns);
    command.setNamespaceId(nsid);
    drivekit::commands::CommandSender sender(drive);
    const core::Status status = sender.send(command);
    data = sender.data();
    return status.isSuccess() ? sender.requireData(nvme::Identify::structureBytes) : status;
}

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
    if (!identify(drive, cnsUuidList, 0, list).isSuccess()) {
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

void writeCommon(core::AttributeCollection& out, const FoundDrive& found) {
    out.writeString(attributes::driverProvider(), "Linux");
    out.writeString(attributes::driverVersion(), found.driverVersion);
    out.writeString(attributes::errorString(), "");
    for (const auto& flag : {attributes::raid(), attributes::csmi(), attributes::lsi(),
                             attributes::isCommandPathNVMeMSFT()}) {
        out.writeBool(flag, false);
    }
}

void writeNvme(core::AttributeCollection& out, const NvmeControllerFacts& facts, const FoundDrive& found) {
    out.writeString(attributes::serialNumber(), facts.serialNumber);
    out.writeString(attributes::modelNumber(), facts.modelNumber);
    out.writeString(attributes::firmware(), facts.firmware);
    out.writeUint32(attributes::namespaceId(), found.namespaceId);
    out.writeUint8(attributes::maximumDataTransferSize(), transferShift(facts.mdts, found.kernelMaxTransferBytes));
    out.writeUint8(attributes::numErrorLogPageEntries(), facts.errorLogEntries);
    out.writeBool(attributes::telemetryLogSupported(), facts.telemetry);
    out.writeBool(attributes::uuidSupported(), facts.uuidList);
    out.writeBool(attributes::namespaceManagementSupported(), facts.namespaceManagement);
    out.writeBool(attributes::nvme1Point1OrGreater(), facts.atLeast(1, 1));
    out.writeBool(attributes::nvme1Point2OrGreater(), facts.atLeast(1, 2));
    out.writeBool(attributes::nvme1Point3OrGreater(), facts.atLeast(1, 3));
    out.writeBool(attributes::nvme1Point4OrGreater(), facts.atLeast(1, 4));
    out.writeBool(attributes::nvme2Point0OrGreater(), facts.atLeast(2, 0));
    out.writeBool(attributes::smartEnabled(), true);  // the SMART / Health log is mandatory
}

// Why the drive could not be opened for use; a refused permission says what is needed and no
// more.
core::Status notAnswered(const core::Status& status, const std::string& prefix) {
    if (status == core::Status::accessRefused()) {
        return status;
    }
    core::Status failed = status.isSuccess() ? core::Status::unexpectedDataLength() : status;
    failed.setMessage(prefix + failed.message());
    return failed;
}

}  // namespace

core::Status probeNvme(LinuxNvmeDrive& drive, const FoundDrive& found) {
    core::Payload data;
    NvmeControllerFacts facts;
    core::Status status = identify(drive, cnsController, 0, data);
    if (!status.isSuccess() || !NvmeControllerFacts::read(data, facts)) {
        return notAnswered(status, drive.path() + " does not answer Identify Controller: ");
    }
    writeCommon(drive.attributes, found);
    drive.attributes.writeString(attributes::connection(), "Linux NVMe");
    writeNvme(drive.attributes, facts, found);
    probeOcp(drive, facts.uuidList);
    core::Payload space;
    if (found.namespaceId != 0 && identify(drive, cnsNamespace, found.namespaceId, space).isSuccess()) {
        drive.attributes.writeUint16(attributes::enduranceGroupIdentifier(), *space.safeCast<uint16_t>(endgidOffset));
    }
    LOG_INFO(drive.path() << ": " << facts.modelNumber << " vendor 0x" << std::hex << facts.pciVendorId << std::dec
                          << ", NVMe " << facts.majorVersion << "." << int(facts.minorVersion) << ", MDTS "
                          << int(facts.mdts) << ", kernel limit " << found.kernelMaxTransferBytes << " bytes");
    devices::applyMakerAttributes(drive.attributes, products::Bus::nvme, facts.pciVendorId, "");
    return core::Status::success();
}

core::Status probeSata(LinuxAtaDrive& drive, const FoundDrive& found) {
    ata::IdentifyDevice command;
    drivekit::commands::CommandSender sender(drive);
    core::Status status = sender.send(command);
    AtaIdentifyFacts facts;
    if (!status.isSuccess() || !AtaIdentifyFacts::read(sender.data(), facts)) {
        return notAnswered(status, drive.path() + " does not answer IDENTIFY DEVICE: ");
    }
    writeCommon(drive.attributes, found);
    drive.attributes.writeString(attributes::connection(), "Linux SATA");
    drive.attributes.writeString(attributes::serialNumber(), facts.serialNumber);
    drive.attributes.writeString(attributes::modelNumber(), facts.modelNumber);
    drive.attributes.writeString(attributes::firmware(), facts.firmware);
    drive.attributes.writeBool(attributes::smartEnabled(), facts.smartEnabled);
    for (const auto& flag : {attributes::telemetryLogSupported(), attributes::uuidSupported(),
                             attributes::ocpSupported(), attributes::namespaceManagementSupported()}) {
        drive.attributes.writeBool(flag, false);
    }
    drive.setSmartSupported(facts.smartSupported);
    // sysfs knows the sector size even when IDENTIFY DEVICE leaves it out.
    drive.setLogicalSectorBytes(found.logicalSectorBytes != 0 ? found.logicalSectorBytes : facts.logicalSectorBytes);
    devices::applyMakerAttributes(drive.attributes, products::Bus::sata, 0, "");
    return core::Status::success();
}

}  // namespace host::linux_drives
