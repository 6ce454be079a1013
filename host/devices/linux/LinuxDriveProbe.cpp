#include "host/devices/linux/LinuxDriveProbe.h"

#include <algorithm>

#include "drivekit/commands/CommandSender.h"
#include "drivekit/commands/ata/IdentifyDevice.h"
#include "drivekit/core/DeviceAttributes.h"
#include "drivekit/core/logging/Log.h"
#include "host/devices/IdentifyFacts.h"
#include "host/devices/MakerAttributes.h"
#include "host/devices/OcpProbe.h"

namespace host::linux_drives {

namespace core = drivekit::core;
namespace ata = drivekit::commands::ata;
namespace attributes = drivekit::core::attributes;
namespace products = drivekit::core::products;

namespace {

constexpr uint8_t cnsNamespace = 0x00;
constexpr uint8_t cnsController = 0x01;
// The Identify Namespace's Endurance Group Identifier.
constexpr uint32_t endgidOffset = 102;

void writeCommon(core::AttributeCollection& out, const FoundDrive& found) {
    out.writeString(attributes::driverProvider(), "Linux");
    out.writeString(attributes::driverVersion(), found.driverVersion);
    out.writeString(attributes::errorString(), "");
    for (const auto& flag : {attributes::raid(), attributes::csmi(), attributes::lsi(),
                             attributes::isCommandPathNVMeMSFT()}) {
        out.writeBool(flag, false);
    }
}

void writeNvme(core::AttributeCollection& out, const devices::NvmeControllerFacts& facts, const FoundDrive& found) {
    facts.writeAttributes(out, devices::transferShift(facts.mdts, found.kernelMaxTransferBytes));
    out.writeUint32(attributes::namespaceId(), found.namespaceId);
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
    devices::NvmeControllerFacts facts;
    core::Status status = devices::identifyStructure(drive, cnsController, 0, data);
    if (!status.isSuccess() || !devices::NvmeControllerFacts::read(data, facts)) {
        return notAnswered(status, drive.path() + " does not answer Identify Controller: ");
    }
    writeCommon(drive.attributes, found);
    drive.attributes.writeString(attributes::connection(), "Linux NVMe");
    writeNvme(drive.attributes, facts, found);
    devices::probeOcp(drive, facts.uuidList);
    core::Payload space;
    if (found.namespaceId != 0 &&
        devices::identifyStructure(drive, cnsNamespace, found.namespaceId, space).isSuccess()) {
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
    devices::AtaIdentifyFacts facts;
    if (!status.isSuccess() || !devices::AtaIdentifyFacts::read(sender.data(), facts)) {
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
