#include "host/devices/win/AtaPassThroughRequest.h"

#include <algorithm>
#include <cstring>

#include "host/devices/AtaRegisterStatus.h"
#include "host/devices/win/ByteImage.h"
#include "host/devices/win/StorageLayouts.h"

namespace host::win_drives {

namespace core = drivekit::core;
namespace ata = drivekit::commands::ata;

namespace {

// Device register bit 6 selects LBA addressing; only the DMA commands here address sectors
// (SMART, IDENTIFY and power commands leave it clear), as on every other path to the disk.
constexpr uint8_t lbaBit = 0x40;

uint16_t flagsOf(const ata::CommandFlags& flags, uint32_t length) {
    uint16_t value = ata_flags::driveReadyRequired;
    if (length != 0 && flags.dataIn) {
        value |= ata_flags::dataIn;
    }
    if (length != 0 && flags.dataOut) {
        value |= ata_flags::dataOut;
    }
    if (flags.extended) {
        value |= ata_flags::command48Bit;
    }
    if (flags.dma) {
        value |= ata_flags::useDma;
    }
    return value;
}

core::Status failure(const std::string& message) {
    core::Status status = core::Status::unexpectedDataLength();
    status.setMessage(message);
    return status;
}

}  // namespace

std::vector<uint8_t> encodeAtaPassThrough(const ata::Command& command, uint32_t length, uint32_t timeoutSeconds,
                                          const core::Payload* dataOut) {
    const bool moves = length != 0 && !command.flags().dataNone;
    AtaPassThroughEx request{};
    request.length = sizeof(AtaPassThroughEx);
    request.ataFlags = flagsOf(command.flags(), moves ? length : 0);
    request.dataTransferLength = moves ? length : 0;
    request.timeOutValue = timeoutSeconds;
    request.dataBufferOffset = moves ? sizeof(AtaPassThroughEx) : 0;
    request.currentTaskFile = command.current();
    if (!command.flags().dma) {
        request.currentTaskFile.device = static_cast<uint8_t>(request.currentTaskFile.device & ~lbaBit);
    }
    if (command.flags().extended) {
        request.previousTaskFile = command.previous();
    }
    std::vector<uint8_t> image(sizeof(AtaPassThroughEx) + (moves ? std::size_t{length} : 0));
    writeAt(image, 0, request);
    if (moves && command.flags().dataOut && dataOut != nullptr && !dataOut->empty()) {
        std::memcpy(image.data() + sizeof(AtaPassThroughEx), dataOut->data(),
                    std::min<std::size_t>(length, dataOut->size()));
    }
    return image;
}

core::Status decodeAtaPassThrough(const std::vector<uint8_t>& output, uint32_t length, bool dataIn,
                                  AtaAnswer& answer) {
    AtaPassThroughEx request{};
    if (!readAt(output, 0, request)) {
        return failure("The ATA pass-through answer holds " + std::to_string(output.size()) +
                       " bytes, fewer than its request structure.");
    }
    answer.registers = request.currentTaskFile;
    if (const core::Status status = devices::ataRegisterStatus(request.currentTaskFile); !status.isSuccess()) {
        return status;
    }
    if (!dataIn || length == 0) {
        return core::Status::success();
    }
    // The driver may say it moved less than asked; never more than the buffer it was given.
    const uint32_t moved = std::min(request.dataTransferLength, length);
    if (request.dataBufferOffset != sizeof(AtaPassThroughEx) ||
        !withinBuffer(request.dataBufferOffset, moved, output.size())) {
        return failure("The ATA pass-through answer places " + std::to_string(moved) + " bytes at offset " +
                       std::to_string(request.dataBufferOffset) + ", outside the " + std::to_string(output.size()) +
                       " bytes it returned.");
    }
    answer.data = core::Payload(output.data() + sizeof(AtaPassThroughEx), moved);
    return core::Status::success();
}

}  // namespace host::win_drives
