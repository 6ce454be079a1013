#include "drivekit/features/nvme_get_log/decode/LogPageRecords.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "drivekit/core/LittleEndian.h"
#include "drivekit/core/logging/Log.h"
#include "drivekit/features/decode/FieldFormatter.h"
#include "drivekit/features/decode/FieldRenderer.h"

namespace drivekit::features::nvme_get_log::decode {

using core::xml::XmlObject;
using features::decode::FieldFormatter;
using features::decode::FieldRenderer;
using features::decode::FieldTable;
using features::decode::LabelStyle;

namespace {

std::string indexName(const std::string& prefix, uint32_t index) {
    char hex[16];
    std::snprintf(hex, sizeof(hex), "%02X", index);
    return prefix + std::to_string(index) + " (0x" + hex + ")";
}

}  // namespace

std::string byteLabel(uint64_t offset, uint64_t width) {
    return FieldFormatter::position(LabelStyle::bytes, static_cast<uint32_t>(std::min<uint64_t>(offset, UINT32_MAX)),
                                    static_cast<uint32_t>(std::min<uint64_t>(width, UINT32_MAX)));
}

uint64_t pageEnd(const core::Payload& page, uint64_t length, uint32_t headerBytes, const std::string& lengthField,
                 uint64_t lengthAt, XmlObject& target) {
    if (length > page.size()) {
        markTruncated(target,
                      lengthField + " is " + std::to_string(length) + " bytes, the data holds " +
                          std::to_string(page.size()),
                      lengthAt, 4);
    }
    return length < headerBytes ? page.size() : std::min<uint64_t>(length, page.size());
}

bool fitsBefore(uint64_t offset, uint64_t width, uint64_t end, const std::string& name, XmlObject& target) {
    if (offset + width <= end) {
        return true;
    }
    markTruncated(target, name + " lies past the end of the page", offset, width);
    return false;
}

void markTruncated(XmlObject& target, const std::string& reason, uint64_t offset, uint64_t width) {
    LOG_DEBUG("Log page cut short: " << reason);
    FieldRenderer::addTruncated(target, reason, byteLabel(offset, width));
}

uint64_t readNumber(const core::Payload& page, uint64_t offset, uint32_t width) {
    const uint8_t* data = FieldRenderer::bytesAt(page, offset, width);
    return data == nullptr ? 0 : core::readLittleEndian(data, width);
}

uint64_t boundedCount(const RecordRun& run, const core::Payload& page, const std::string& what, XmlObject& target) {
    const uint64_t end = std::min<uint64_t>(run.end, page.size());
    const uint64_t fits = run.stride == 0 || end <= run.first ? 0 : (end - run.first) / run.stride;
    if (run.reported <= fits) {
        return run.reported;
    }
    markTruncated(target,
                  what + ": " + std::to_string(run.reported) + " reported, the data holds " + std::to_string(fits),
                  run.first, static_cast<uint64_t>(run.stride) * (fits + 1));
    return fits;
}

bool renderRecords(const RecordRun& run, const FieldTable& table, const core::Payload& page,
                   const std::string& entryName, XmlObject& target, UnusedRecord unused) {
    const uint64_t count = boundedCount(run, page, entryName + " count", target);
    for (uint64_t i = 0; i < count; ++i) {
        const uint64_t at = run.first + i * run.stride;
        if (unused != nullptr && unused(page, at)) {
            continue;
        }
        // Every record ends inside the page, whose size is 32-bit.
        target.addObject(FieldRenderer::renderObject(table, page, static_cast<uint32_t>(at),
                                                     entryName + " " + std::to_string(i), byteLabel(at, run.stride)));
    }
    return count == run.reported;
}

bool renderFlaggedEntries(const core::Payload& page, uint32_t first, uint32_t entrySize, uint32_t count, uint8_t flag,
                          const FieldTable& table, const std::string& prefix, XmlObject& target) {
    for (uint32_t i = 0; i < count; ++i) {
        const uint64_t at = first + uint64_t{i} * entrySize;
        const uint8_t* entry = FieldRenderer::bytesAt(page, at, entrySize);
        if (entry == nullptr) {
            markTruncated(target, "the data ends before " + indexName(prefix, i), at, entrySize);
            return false;
        }
        if ((entry[0] & flag) != 0) {
            target.addObject(FieldRenderer::renderObject(table, page, static_cast<uint32_t>(at), indexName(prefix, i),
                                                         byteLabel(at, entrySize)));
        }
    }
    return true;
}

bool renderGroup(const FieldTable& table, const core::Payload& page, const std::string& name, XmlObject& target) {
    auto group = std::make_unique<XmlObject>(name);
    const bool complete = FieldRenderer::render(table, page, 0, *group);
    target.addObject(std::move(group));
    if (!complete) {
        markTruncated(target, "the data ends inside " + name, 0, page.size());
    }
    return complete;
}

}  // namespace drivekit::features::nvme_get_log::decode
