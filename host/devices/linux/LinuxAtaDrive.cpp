#include "host/devices/linux/LinuxAtaDrive.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>

#include <scsi/sg.h>

#include "drivekit/commands/ata/Command.h"
#include "host/devices/AtaRegisterStatus.h"
#include "host/devices/GoneDevice.h"
#include "host/devices/linux/AtaPassThrough.h"

namespace host::linux_drives {

namespace core = drivekit::core;
namespace ata = drivekit::commands::ata;

namespace {

// SCSI host and driver codes of the SG_IO header that this program tells apart.
constexpr uint16_t hostNoConnect = 0x01;
constexpr uint16_t hostTimeOut = 0x03;
constexpr uint16_t hostBadTarget = 0x04;
constexpr uint16_t driverTimeOut = 0x06;
// Sense keys that do not mean a failure, and "ATA pass through information available".
constexpr uint8_t noSense = 0x0;
constexpr uint8_t recoveredError = 0x1;
constexpr uint8_t ataInformationAvailable = 0x1D;

core::Status failure(const std::string& message) {
    core::Status status = core::Status::custom();
    status.setMessage(message);
    return status;
}

std::string hex2(unsigned value) {
    char text[8];
    std::snprintf(text, sizeof(text), "0x%02X", value & 0xFFu);
    return text;
}

core::Status transportStatus(const sg_io_hdr& header, const std::string& name, const std::string& path) {
    if (header.host_status == hostTimeOut || (header.driver_status & 0x0F) == driverTimeOut) {
        core::Status status = core::Status::commandTimedOut();
        status.setMessage(name + " on " + path + " did not complete within the command time-out.");
        return status;
    }
    if (header.host_status == hostNoConnect || header.host_status == hostBadTarget) {
        return devices::goneDeviceStatus(path, "no connection to the disk", "sending " + name);
    }
    if (header.host_status != 0) {
        return failure(name + " on " + path + " failed in the transport (host status " + hex2(header.host_status) +
                       ").");
    }
    return core::Status::success();
}

// The outcome the sense data and the SCSI status give.
core::Status commandStatus(const sg_io_hdr& header, const std::optional<AtaSense>& sense, const std::string& name,
                           const std::string& path) {
    if (sense && sense->registers) {
        if (core::Status aborted = devices::ataRegisterStatus(*sense->registers); !aborted.isSuccess()) {
            return aborted;
        }
    }
    if (sense) {
        const bool informational = sense->senseKey == noSense || sense->senseKey == recoveredError ||
                                   (sense->asc == 0 && sense->ascq == ataInformationAvailable);
        if (!informational) {
            return failure(name + " refused by " + path + " (sense key " + hex2(sense->senseKey) + ", ASC " +
                           hex2(sense->asc) + ", ASCQ " + hex2(sense->ascq) + ").");
        }
        return core::Status::success();
    }
    if (header.status != 0) {
        return failure(name + " on " + path + " ended with SCSI status " + hex2(header.status) + " and no sense data.");
    }
    return core::Status::success();
}

}  // namespace

core::CommandResult LinuxAtaDrive::execute(core::Command& command, const core::Payload* data) {
    core::CommandResult result;
    const auto& ataCommand = static_cast<const ata::Command&>(command);
    const ata::CommandFlags& flags = ataCommand.flags();
    uint64_t length = 0;
    result.status = transferLength(ataCommand, command.protocol(), std::numeric_limits<uint32_t>::max(), length);
    if (!result.status.isSuccess()) {
        return result;
    }
    core::Payload buffer = length == 0 ? core::Payload() : core::Payload(length);
    if (buffer.size() != length) {
        // Never a smaller buffer than the disk is told to move.
        result.status = core::Status::allocationFailed();
        return result;
    }
    if (flags.dataOut && data != nullptr && !data->empty() && length != 0) {
        std::memcpy(buffer.data(), data->data(), std::min<uint64_t>(length, data->size()));
    }
    Cdb16 cdb = ataPassThroughCdb(ataCommand);
    uint8_t senseBytes[32] = {};
    sg_io_hdr header{};
    header.interface_id = 'S';
    header.cmd_len = static_cast<unsigned char>(cdb.size());
    header.cmdp = cdb.data();
    header.mx_sb_len = sizeof(senseBytes);
    header.sbp = senseBytes;
    header.dxfer_direction = length == 0 ? SG_DXFER_NONE : (flags.dataIn ? SG_DXFER_FROM_DEV : SG_DXFER_TO_DEV);
    header.dxfer_len = static_cast<unsigned>(length);
    header.dxferp = length == 0 ? nullptr : buffer.data();
    header.timeout = timeoutMilliseconds();

    const int answer = passThrough().call(SG_IO, &header);
    std::optional<AtaSense> sense;
    if (answer < 0) {
        result.status = errnoStatus(-answer, {path(), Request::sgIo, command.name(), length});
    } else if (result.status = transportStatus(header, command.name(), path()); result.status.isSuccess()) {
        sense = decodeAtaSense(senseBytes, std::min<std::size_t>(header.sb_len_wr, sizeof(senseBytes)));
        result.status = commandStatus(header, sense, command.name(), path());
    }
    if (sense && sense->registers) {
        result.protocolResult = std::make_unique<core::ProtocolResult>(
            core::Payload(&*sense->registers, sizeof(ata::TaskFile)));
    }
    if (result.status.isSuccess() && flags.dataIn && length != 0) {
        // What did not arrive is not handed on as data.
        const auto residue = static_cast<uint64_t>(std::max(header.resid, 0));
        result.data = residue >= length ? core::Payload() : buffer;
        if (residue != 0 && residue < length) {
            result.data = core::Payload(buffer.data(), length - residue);
        }
    }
    return result;
}

}  // namespace host::linux_drives
