#include "drivekit/commands/nvme/GetLogPage.h"

#include "drivekit/commands/nvme/AttributeFields.h"
#include "drivekit/commands/nvme/AttributeKeys.h"
#include "drivekit/commands/nvme/DwordBits.h"

namespace drivekit::commands::nvme {

GetLogPage::GetLogPage() : ReadCommand("GetLogPage") {
    flags().admin = true;
    entry().setOpcode(opcodes::getLogPage);
}

void GetLogPage::setLogId(uint8_t logId) { entry().cdw10 = withBits(entry().cdw10, logId, 0, 8); }

void GetLogPage::setLogSpecificField(uint8_t field) {
    entry().cdw10 = withBits(entry().cdw10, field, 8, 7);
}

void GetLogPage::setRetainAsynchronousEvent(bool retain) {
    entry().cdw10 = withBits(entry().cdw10, retain ? 1 : 0, 15, 1);
}

void GetLogPage::setNumDwords(uint32_t zeroBasedCount) {
    entry().cdw10 = withBits(entry().cdw10, zeroBasedCount & 0xFFFF, 16, 16);
    entry().cdw11 = withBits(entry().cdw11, zeroBasedCount >> 16, 0, 16);
    transferBytes = (static_cast<uint64_t>(zeroBasedCount) + 1) * 4;
}

void GetLogPage::setLogSpecificId(uint16_t id) {
    entry().cdw11 = withBits(entry().cdw11, id, 16, 16);
}

void GetLogPage::setLogPageOffset(uint64_t offset) {
    entry().cdw12 = static_cast<uint32_t>(offset);
    entry().cdw13 = static_cast<uint32_t>(offset >> 32);
}

void GetLogPage::setUuidIndex(uint8_t index) {
    entry().cdw14 = withBits(entry().cdw14, index, 0, 7);
}

uint8_t GetLogPage::logId() const { return static_cast<uint8_t>(getBits(entry().cdw10, 0, 8)); }

uint8_t GetLogPage::logSpecificField() const {
    return static_cast<uint8_t>(getBits(entry().cdw10, 8, 7));
}

bool GetLogPage::retainAsynchronousEvent() const { return getBits(entry().cdw10, 15, 1) != 0; }

uint32_t GetLogPage::numDwords() const {
    return getBits(entry().cdw10, 16, 16) | (getBits(entry().cdw11, 0, 16) << 16);
}

uint16_t GetLogPage::logSpecificId() const {
    return static_cast<uint16_t>(getBits(entry().cdw11, 16, 16));
}

uint64_t GetLogPage::logPageOffset() const {
    return (static_cast<uint64_t>(entry().cdw13) << 32) | entry().cdw12;
}

uint8_t GetLogPage::uuidIndex() const { return static_cast<uint8_t>(getBits(entry().cdw14, 0, 7)); }

core::Status GetLogPage::applyAttributes(const core::AttributeCollection& attributes,
                                         uint8_t uuidIndex) {
    AttributeFields fields(attributes);
    fields.apply(keys::logId, 8, [this](uint64_t v) { setLogId(static_cast<uint8_t>(v)); });
    fields.apply(keys::namespaceId, 32, [this](uint64_t v) { setNamespaceId(static_cast<uint32_t>(v)); });
    fields.apply(keys::numDwords, 32, [this](uint64_t v) { setNumDwords(static_cast<uint32_t>(v)); });
    fields.apply(keys::logPageOffset, 64, [this](uint64_t v) { setLogPageOffset(v); });
    fields.apply(keys::logSpecificField, 7,
                 [this](uint64_t v) { setLogSpecificField(static_cast<uint8_t>(v)); });
    fields.apply(keys::logSpecificId, 16,
                 [this](uint64_t v) { setLogSpecificId(static_cast<uint16_t>(v)); });
    setUuidIndex(uuidIndex);
    if (fields.status().isSuccess() && attributes.contains(keys::retainAsynchronousEvent)) {
        setRetainAsynchronousEvent(attributes.readBool(keys::retainAsynchronousEvent));
    }
    return fields.status();
}

}  // namespace drivekit::commands::nvme
