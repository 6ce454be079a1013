// The cloud SSD pages and the maker's pages whose layout is more than one table.
#include <memory>

#include "drivekit/core/HexText.h"
#include "drivekit/core/xml/XmlProperty.h"
#include "drivekit/features/decode/FieldRenderer.h"
#include "drivekit/features/nvme_get_log/decode/LogPageLayouts.h"
#include "drivekit/features/nvme_get_log/decode/LogPageRecords.h"
#include "drivekit/features/nvme_get_log/decode/LogPageTables.h"

namespace drivekit::features::nvme_get_log::decode::layouts {

using core::xml::XmlObject;
using features::decode::FieldRenderer;

namespace {

constexpr uint32_t throttlingStatusAt = 97;
constexpr uint32_t firmwareHistoryFirst = 8;
constexpr uint32_t firmwareHistoryEntryBytes = 64;
constexpr uint32_t firmwareHistoryEntries = 20;
constexpr uint32_t powerStateDescriptorsAt = 16;
constexpr uint32_t powerStateDescriptors = 128;
constexpr uint8_t powerStateValid = 0x80;
constexpr uint32_t unsupportedFirst = 16;
constexpr uint32_t unsupportedEntryBytes = 16;
constexpr uint32_t unsupportedEnd = 4064;
constexpr uint32_t smartAttributesFirst = 4;
constexpr uint32_t smartAttributeBytes = 12;
constexpr uint32_t smartAttributesEnd = 516;

const char* throttlingName(uint8_t status) {
    switch (status) {
        case 0: return "Unthrottled";
        case 1: return "First Level Throttle";
        case 2: return "Second Level Throttle";
        case 3: return "Third Level Throttle";
        default: return "Reserved";
    }
}

// The throttling group: the event count, then the current status as two hexadecimal digits
// described by its name.
bool addThrottling(const core::Payload& page, XmlObject& root) {
    auto group = std::make_unique<XmlObject>(ocpThrottlingTable().title);
    bool complete = FieldRenderer::render(ocpThrottlingTable(), page, 0, *group);
    if (complete && FieldRenderer::bytesAt(page, throttlingStatusAt, 1) != nullptr) {
        const auto status = static_cast<uint8_t>(readNumber(page, throttlingStatusAt, 1));
        group->addProperty("Current Throttling Status", core::strings::hexByte(status))
            .setAttribute(core::xml::keys::description, throttlingName(status));
    } else if (complete) {
        FieldRenderer::addTruncated(*group, "the data ends before Current Throttling Status", "Byte 97");
        complete = false;
    }
    root.addObject(std::move(group));
    if (!complete) {
        markTruncated(root, "the data ends inside Thermal Throttling Status and Count", throttlingStatusAt - 1, 2);
    }
    return complete;
}

bool unusedSmartAttribute(const core::Payload& page, uint64_t offset) { return readNumber(page, offset, 1) == 0; }

}  // namespace

bool ocpSmartCloud(const PageContext&, const core::Payload& page, XmlObject& root) {
    // Plain fields go on the root, grouped ones (a title) into a child, in page order.
    struct Part {
        const FieldTable& (*table)();
        bool grouped;
    };
    const Part parts[] = {
        {ocpSmartCountersTable, false}, {ocpBadUserBlocksTable, true}, {ocpBadSystemBlocksTable, true},
        {ocpErrorCountsTable, false},   {ocpEndToEndTable, true},      {ocpDataPercentTable, false},
        {ocpEraseCountsTable, true},
    };
    for (const Part& part : parts) {
        const FieldTable& table = part.table();
        const bool complete = part.grouped ? renderGroup(table, page, table.title, root)
                                           : FieldRenderer::render(table, page, 0, root);
        if (!complete) {
            return false;
        }
    }
    return addThrottling(page, root) && FieldRenderer::render(ocpSmartRestTable(), page, 0, root);
}

bool ocpFirmwareHistory(const PageContext&, const core::Payload& page, XmlObject& root) {
    if (!FieldRenderer::render(ocpFirmwareHistoryHeaderTable(), page, 0, root)) {
        return false;
    }
    const RecordRun run{firmwareHistoryFirst, firmwareHistoryEntryBytes, readNumber(page, 4, 4),
                        firmwareHistoryFirst + firmwareHistoryEntries * firmwareHistoryEntryBytes};
    return renderRecords(run, ocpFirmwareHistoryEntryTable(), page, "Firmware Activation History Entry", root) &&
           FieldRenderer::render(ocpLargePageTrailerTable(), page, 0, root);
}

bool ocpDeviceCapabilities(const PageContext&, const core::Payload& page, XmlObject& root) {
    return FieldRenderer::render(ocpDeviceCapabilitiesTable(), page, 0, root) &&
           renderFlaggedEntries(page, powerStateDescriptorsAt, 1, powerStateDescriptors, powerStateValid,
                                ocpPowerStateDescriptorTable(), "DSSD Power State ", root) &&
           FieldRenderer::render(ocpLargePageTrailerTable(), page, 0, root);
}

bool ocpUnsupportedRequirements(const PageContext&, const core::Payload& page, XmlObject& root) {
    if (!FieldRenderer::render(ocpUnsupportedHeaderTable(), page, 0, root)) {
        return false;
    }
    const RecordRun run{unsupportedFirst, unsupportedEntryBytes, readNumber(page, 0, 2), unsupportedEnd};
    return renderRecords(run, ocpUnsupportedEntryTable(), page, "Unsupported Requirement", root) &&
           FieldRenderer::render(ocpLargePageTrailerTable(), page, 0, root);
}

bool smartAttributes(const PageContext&, const core::Payload& page, XmlObject& root) {
    if (!FieldRenderer::render(smartAttributesHeaderTable(), page, 0, root)) {
        return false;
    }
    const RecordRun run{smartAttributesFirst, smartAttributeBytes, readNumber(page, 2, 2), smartAttributesEnd};
    return renderRecords(run, smartAttributeEntryTable(), page, "SMART Attribute", root, unusedSmartAttribute);
}

}  // namespace drivekit::features::nvme_get_log::decode::layouts
