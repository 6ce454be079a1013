#include "host/devices/win/DeviceDescriptor.h"

#include <algorithm>

#include "host/devices/win/ByteImage.h"
#include "host/devices/win/StorageLayouts.h"

namespace host::win_drives {

namespace core = drivekit::core;

namespace {

core::Status failure(const std::string& message) {
    core::Status status = core::Status::unexpectedDataLength();
    status.setMessage(message);
    return status;
}

std::string trimmed(std::string text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    text.erase(text.begin(), std::find_if_not(text.begin(), text.end(), blank));
    text.erase(std::find_if_not(text.rbegin(), text.rend(), blank).base(), text.end());
    return text;
}

// The string at offset, or a failed status naming field when offset is past the bytes.
core::Status stringAt(const std::vector<uint8_t>& output, uint32_t offset, const char* field, std::string& text) {
    text.clear();
    if (offset == 0) {
        return core::Status::success();
    }
    if (offset < sizeof(StorageDeviceDescriptor) || offset >= output.size()) {
        return failure(std::string("The device descriptor's ") + field + " offset " + std::to_string(offset) +
                       " lies outside the " + std::to_string(output.size()) + " bytes returned.");
    }
    const auto begin = output.begin() + offset;
    text = trimmed(std::string(begin, std::find(begin, output.end(), uint8_t{0})));
    return core::Status::success();
}

}  // namespace

std::vector<uint8_t> deviceDescriptorQuery() {
    std::vector<uint8_t> image;
    // The query's one byte of additional parameters, padded as the structure is.
    writeAt(image, 0, StoragePropertyQueryHeader{static_cast<uint32_t>(StorageProperty::device), standardQuery});
    image.resize(12);
    return image;
}

core::Status decodeDeviceDescriptor(const std::vector<uint8_t>& output, DeviceDescriptor& descriptor) {
    StorageDeviceDescriptor head{};
    if (!readAt(output, 0, head)) {
        return failure("The device descriptor holds " + std::to_string(output.size()) +
                       " bytes, fewer than its fixed part.");
    }
    descriptor.busType = head.busType;
    const struct {
        uint32_t offset;
        const char* field;
        std::string* text;
    } names[] = {{head.vendorIdOffset, "vendor", &descriptor.vendor},
                 {head.productIdOffset, "product", &descriptor.model},
                 {head.productRevisionOffset, "revision", &descriptor.firmware},
                 {head.serialNumberOffset, "serial number", &descriptor.serial}};
    for (const auto& name : names) {
        if (core::Status status = stringAt(output, name.offset, name.field, *name.text); !status.isSuccess()) {
            return status;
        }
    }
    return core::Status::success();
}

}  // namespace host::win_drives
