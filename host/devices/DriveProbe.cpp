#include "host/devices/DriveProbe.h"

#include "drivekit/commands/CommandSender.h"
#include "drivekit/commands/ata/IdentifyDevice.h"
#include "drivekit/core/DeviceAttributes.h"
#include "drivekit/core/logging/Log.h"
#include "host/devices/IdentifyFacts.h"
#include "host/devices/MakerAttributes.h"
#include "host/devices/OcpProbe.h"

namespace host::devices {

namespace core = drivekit::core;
namespace ata = drivekit::commands::ata;
namespace attributes = drivekit::core::attributes;
namespace products = drivekit::core::products;

namespace {

constexpr uint8_t cnsNamespace = 0x00;
constexpr uint8_t cnsController = 0x01;
// The Identify Namespace's Endurance Group Identifier.
constexpr uint32_t endgidOffset = 102;

void writeCommon(core::AttributeCollection& out, const PlatformFacts& facts) {
    out.writeString(attributes::connection(), facts.connection);
    out.writeString(attributes::driverProvider(), facts.driverProvider);
    out.writeString(attributes::driverVersion(), facts.driverVersion);
    out.writeString(attributes::errorString(), "");
    for (const auto& flag : {attributes::raid(), attributes::csmi(), attributes::lsi()}) {
        out.writeBool(flag, false);
    }
    out.writeBool(attributes::isCommandPathNVMeMSFT(), facts.commandPathMicrosoft);
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

core::Status probeNvme(core::Device& drive, const std::string& path, const PlatformFacts& platform) {
    core::Payload data;
    NvmeControllerFacts facts;
    core::Status status = identifyStructure(drive, cnsController, 0, data);
    if (!status.isSuccess() || !NvmeControllerFacts::read(data, facts)) {
        return notAnswered(status, path + " does not answer Identify Controller: ");
    }
    writeCommon(drive.attributes, platform);
    facts.writeAttributes(drive.attributes, transferShift(facts.mdts, platform.maxTransferBytes));
    drive.attributes.writeUint32(attributes::namespaceId(), platform.namespaceId);
    probeOcp(drive, facts.uuidList);
    core::Payload space;
    if (platform.namespaceId != 0 &&
        identifyStructure(drive, cnsNamespace, platform.namespaceId, space).isSuccess()) {
        drive.attributes.writeUint16(attributes::enduranceGroupIdentifier(), *space.safeCast<uint16_t>(endgidOffset));
    }
    LOG_INFO(path << ": " << facts.modelNumber << " vendor 0x" << std::hex << facts.pciVendorId << std::dec
                  << ", NVMe " << facts.majorVersion << "." << int(facts.minorVersion) << ", MDTS " << int(facts.mdts)
                  << ", platform limit " << platform.maxTransferBytes << " bytes");
    applyMakerAttributes(drive.attributes, products::Bus::nvme, facts.pciVendorId, "");
    return core::Status::success();
}

core::Status probeSata(core::Device& drive, AtaDisk& disk, const std::string& path, const PlatformFacts& platform) {
    ata::IdentifyDevice command;
    drivekit::commands::CommandSender sender(drive);
    core::Status status = sender.send(command);
    AtaIdentifyFacts facts;
    if (!status.isSuccess() || !AtaIdentifyFacts::read(sender.data(), facts)) {
        return notAnswered(status, path + " does not answer IDENTIFY DEVICE: ");
    }
    writeCommon(drive.attributes, platform);
    drive.attributes.writeString(attributes::serialNumber(), facts.serialNumber);
    drive.attributes.writeString(attributes::modelNumber(), facts.modelNumber);
    drive.attributes.writeString(attributes::firmware(), facts.firmware);
    drive.attributes.writeBool(attributes::smartEnabled(), facts.smartEnabled);
    for (const auto& flag : {attributes::telemetryLogSupported(), attributes::uuidSupported(),
                             attributes::ocpSupported(), attributes::namespaceManagementSupported()}) {
        drive.attributes.writeBool(flag, false);
    }
    disk.setSmartSupported(facts.smartSupported);
    // The platform may know the sector size even when IDENTIFY DEVICE leaves it out.
    disk.setLogicalSectorBytes(platform.logicalSectorBytes != 0 ? platform.logicalSectorBytes
                                                                : facts.logicalSectorBytes);
    applyMakerAttributes(drive.attributes, products::Bus::sata, 0, "");
    return core::Status::success();
}

}  // namespace host::devices
