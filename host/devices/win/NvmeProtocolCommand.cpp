#include "host/devices/win/NvmeProtocolCommand.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "host/devices/win/ByteImage.h"
#include "host/devices/win/StorageLayouts.h"

namespace host::win_drives {

namespace core = drivekit::core;
namespace nvme = drivekit::commands::nvme;

namespace {

constexpr uint32_t commandOffset = sizeof(StorageProtocolCommand);
constexpr uint32_t dataOffset = commandOffset + protocol_command::nvmeCommandLength;

// The driver's return statuses that this program names.
const char* returnStatusName(uint32_t status) {
    switch (status) {
        case 0x00: return "pending";
        case 0x02: return "error";
        case 0x03: return "invalid request";
        case 0x04: return "no device";
        case 0x05: return "busy";
        case 0x06: return "data overrun";
        case 0x07: return "insufficient resources";
        case 0x08: return "throttled";
        case 0xFF: return "not supported";
        default: return "unknown";
    }
}

std::string hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof(text), "0x%X", value);
    return text;
}

core::Status withMessage(core::Status status, const std::string& message) {
    status.setMessage(message);
    return status;
}

}  // namespace

std::vector<uint8_t> encodeProtocolCommand(const nvme::SubmissionEntry& entry, const ProtocolTransfer& transfer,
                                           uint32_t timeoutSeconds, const core::Payload* dataOut) {
    StorageProtocolCommand head{};
    head.version = protocol_command::structureVersion;
    head.length = storageProtocolCommandSize;
    head.protocolType = static_cast<uint32_t>(ProtocolType::nvme);
    head.flags = protocol_command::adapterRequest;
    head.commandLength = protocol_command::nvmeCommandLength;
    head.timeOutValue = timeoutSeconds;
    head.commandSpecific = protocol_command::nvmeAdminCommand;
    if (transfer.dataIn) {
        head.dataFromDeviceTransferLength = transfer.length;
        head.dataFromDeviceBufferOffset = dataOffset;
    } else if (transfer.dataOut) {
        head.dataToDeviceTransferLength = transfer.length;
        head.dataToDeviceBufferOffset = dataOffset;
    }
    const bool moves = transfer.dataIn || transfer.dataOut;
    std::vector<uint8_t> image(dataOffset + (moves ? std::size_t{transfer.length} : 0));
    writeAt(image, 0, head);
    writeAt(image, commandOffset, entry);
    if (transfer.dataOut && dataOut != nullptr && !dataOut->empty()) {
        const std::size_t copied = std::min<std::size_t>(transfer.length, dataOut->size());
        std::memcpy(image.data() + dataOffset, dataOut->data(), copied);
    }
    return image;
}

core::Status decodeProtocolCommand(const std::vector<uint8_t>& output, const ProtocolTransfer& transfer,
                                   ProtocolAnswer& answer) {
    StorageProtocolCommand head{};
    if (!readAt(output, 0, head)) {
        return withMessage(core::Status::unexpectedDataLength(),
                           "The protocol command's answer holds " + std::to_string(output.size()) +
                               " bytes, fewer than its head.");
    }
    if (head.returnStatus != protocol_command::statusSuccess) {
        core::Status status =
            head.returnStatus == 0xFF ? core::Status::commandSetNotSupported() : core::Status::nvmeCommandProblem();
        return withMessage(status, status.message() + " The storage driver answered " +
                                       returnStatusName(head.returnStatus) + " (" + hex(head.returnStatus) +
                                       ", error code " + hex(head.errorCode) + ").");
    }
    answer.fixedReturnData = head.fixedProtocolReturnData;
    if (!transfer.dataIn || transfer.length == 0) {
        return core::Status::success();
    }
    const uint32_t moved = head.dataFromDeviceTransferLength;
    if (moved > transfer.length || !withinBuffer(head.dataFromDeviceBufferOffset, moved, output.size()) ||
        head.dataFromDeviceBufferOffset < dataOffset) {
        return withMessage(core::Status::unexpectedDataLength(),
                           "The protocol command's answer places " + std::to_string(moved) + " bytes at offset " +
                               std::to_string(head.dataFromDeviceBufferOffset) + ", outside the " +
                               std::to_string(output.size()) + " bytes it returned for " +
                               std::to_string(transfer.length) + " asked.");
    }
    answer.data = core::Payload(output.data() + head.dataFromDeviceBufferOffset, moved);
    return core::Status::success();
}

}  // namespace host::win_drives
