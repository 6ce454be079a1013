#include "drivekit/features/nvme_get_log/decode/LogPageDecoder.h"

#include <algorithm>
#include <array>

#include "drivekit/core/logging/Log.h"
#include "drivekit/core/xml/XmlElement.h"
#include "drivekit/features/decode/FieldRenderer.h"
#include "drivekit/features/nvme_get_log/NVMeGetLog.h"
#include "drivekit/features/nvme_get_log/decode/LogPageLayouts.h"
#include "drivekit/features/nvme_get_log/decode/LogPageRecords.h"
#include "drivekit/features/nvme_get_log/decode/LogPageTables.h"
#include "drivekit/features/nvme_get_log/pel/PersistentEventLogDecoder.h"
#include "drivekit/features/smart/NvmeSmartHealth.h"

namespace drivekit::features::nvme_get_log::decode {

using core::xml::XmlObject;
using features::decode::FieldRenderer;

namespace {

constexpr uint32_t temperatureStatisticsBytes = 112;

// Which of the pages that share a LID this context holds.
using Applies = bool (*)(const PageContext& context, const core::Payload& page);

bool temperatureAtC5(const PageContext& context, const core::Payload& page) {
    return context.temperatureStatistics || (!context.makerVendorPages && page.size() == temperatureStatisticsBytes);
}

// Decoders that live with their own feature, taking the page and reporting their status.
using OwnDecoder = std::unique_ptr<XmlObject> (*)(const core::Payload& page, core::Status& status);

std::unique_ptr<XmlObject> namedRoot(const std::string& name) {
    auto root = std::make_unique<XmlObject>(name);
    root->setAttribute(core::xml::keys::key, name);
    return root;
}

// How much of a page its decoder can use: a fixed size (0: the size of the page's field table,
// or nothing without one), or for a page that states its own length (lengthWidth bytes at
// lengthAt), that length up to `bytes`.
struct PageSize {
    uint64_t bytes = 0;
    uint8_t lengthAt = 0;
    uint8_t lengthWidth = 0;
};

// The collector keeps at most 256 error entries of 64 bytes.
constexpr uint64_t errorLogCeiling = 256 * 64;
constexpr uint64_t largest = NVMeGetLog::largestLogBytes;

// How a page's fields are found: one table, a layout of several parts, a decoder of its own,
// or (none of them) no fields at all.
struct PageRoute {
    uint8_t logId;
    Applies applies;  // null: every page at the LID
    const char* root;
    PageSize size;
    const FieldTable& (*table)();
    layouts::Layout layout;
    OwnDecoder own = nullptr;
};

// First match wins. Telemetry (0x07, 0x08) is decoded by the decode command, not here.
const std::array<PageRoute, 31>& routes() {
    using namespace layouts;
    static const std::array<PageRoute, 31> rows{{
        {0x00, nullptr, "Supported Log Pages (Log ID = 0)", {1024}, nullptr, supportedLogPages},
        {0x01, nullptr, "Error Information Log", {errorLogCeiling}, nullptr, errorInformation},
        {0x02, nullptr, "SMART and Health Information", {smart::nvmeSmartHealthBytes}, nullptr, nullptr,
         smart::decodeNvmeSmartHealth},
        {0x03, nullptr, "Firmware Slot Info", {512}, nullptr, firmwareSlots},
        {0x04, nullptr, "Changed Namespace List (Log ID = 4)", {4096}, nullptr, changedNamespaces},
        {0x05, nullptr, "Commands Effects Log (Log ID = 5)", {4096}, nullptr, commandEffects},
        {0x06, nullptr, "Device Self-Test Log", {564}, nullptr, selfTest},
        {0x09, nullptr, "Endurance Group Information Log", {}, enduranceGroupInformationTable, nullptr},
        {0x0D, nullptr, "Persistent Event Log", {largest, 8, 8}, nullptr, nullptr, pel::decodePersistentEventLog},
        {0x0E, nullptr, "LBA Status Information Log", {largest, 0, 4}, nullptr, lbaStatus},
        {0x0F, nullptr, "Endurance Group Event Log : NO PARSER", {}, nullptr, nullptr},
        {0x12, nullptr, "Supported Feature Identifiers and Effects (Log ID = 18)", {1024}, nullptr, supportedFeatures},
        {0x13, nullptr, "NVMe-MI Commands Supported and Effects Log (Log ID = 19)", {1024}, nullptr, miCommandEffects},
        {0x14, nullptr, "Command and Feature Lockdown Log", {512}, nullptr, lockdown},
        {0x19, nullptr, "Eye Opening Measurement Log Header", {largest, 4, 4}, nullptr, eyeOpening},
        {0x81, nullptr, "Sanitize Operation Status Information", {}, sanitizeStatusTable, nullptr},
        {0xC0, nullptr, "SMART Cloud Log", {512}, nullptr, ocpSmartCloud},
        {0xC1, nullptr, "OCP Error Recovery Log", {}, ocpErrorRecoveryTable, nullptr},
        {0xC2, nullptr, "OCP Firmware Activation History Log", {4096}, nullptr, ocpFirmwareHistory},
        {0xC3, nullptr, "OCP Latency Monitor Log", {}, ocpLatencyMonitorTable, nullptr},
        {0xC4, nullptr, "OCP Device Capabilities Log", {4096}, nullptr, ocpDeviceCapabilities},
        {0xC5, temperatureAtC5, "Temp Statistics", {}, temperatureStatisticsTable, nullptr},
        {0xC5, nullptr, "OCP Unsupported Requirements Log", {4096}, nullptr, ocpUnsupportedRequirements},
        {0xCA, nullptr, "SMART Attributes", {516}, nullptr, smartAttributes},
        {0xD5, nullptr, "Temp Statistics", {}, temperatureStatisticsTable, nullptr},
        {0xDD, nullptr, "Marketing Description Log", {}, marketingDescriptionTable, nullptr},
        {0xF2, nullptr, "Power Usage Info (Log ID = 242)", {}, powerUsageTable, nullptr},
        {0xF4, nullptr, "VU Nand Statistics Info (Log ID = 0xF4)", {}, nullptr, nullptr},
        {0xF5, nullptr, "Nand Defects Count (Log ID = 0xF5)", {}, nullptr, nullptr},
        {0xFA, nullptr, "Perfomance Debug Log - No Parser", {}, nullptr, nullptr},
        {0xFE, nullptr, "VU Extended Smart Log (Log ID = 0xFE)", {}, nullptr, nullptr},
    }};
    return rows;
}

const PageRoute* findRoute(const PageContext& context, const core::Payload& page) {
    for (const PageRoute& row : routes()) {
        if (row.logId == context.logId && (row.applies == nullptr || row.applies(context, page))) {
            return &row;
        }
    }
    return nullptr;
}

}  // namespace

bool hasLogPageDecoder(const PageContext& context) { return findRoute(context, core::Payload()) != nullptr; }

uint64_t logPageBytesUsed(const PageContext& context, const core::Payload& head) {
    const PageRoute* route = findRoute(context, head);
    if (route == nullptr) {
        return 0;
    }
    const PageSize& size = route->size;
    if (size.lengthWidth == 0) {
        return size.bytes != 0 ? size.bytes : route->table != nullptr ? route->table().size : 0;
    }
    if (head.size() < uint64_t{size.lengthAt} + size.lengthWidth) {
        return std::max<uint64_t>(head.size(), logPageHeadBytes);
    }
    // A stated length shorter than the head already read does not hide the head.
    const uint64_t stated = readNumber(head, size.lengthAt, size.lengthWidth);
    return std::max<uint64_t>(head.size(), std::min(stated, size.bytes));
}

std::unique_ptr<XmlObject> decodeLogPage(const PageContext& context, const core::Payload& page,
                                         core::Status& status) {
    const PageRoute* route = findRoute(context, page);
    if (route == nullptr) {
        LOG_DEBUG("No decoder for log page " << static_cast<unsigned>(context.logId));
        status = core::Status::notImplemented();
        return nullptr;
    }
    if (route->own != nullptr) {
        return route->own(page, status);
    }
    auto root = namedRoot(route->root);
    status = core::Status::success();
    if (page.empty()) {
        return root;
    }
    const bool complete = route->table != nullptr ? FieldRenderer::render(route->table(), page, 0, *root)
                          : route->layout != nullptr ? route->layout(context, page, *root)
                                                     : true;
    if (!complete) {
        LOG_DEBUG(route->root << " is cut short at " << page.size() << " bytes");
    }
    return root;
}

}  // namespace drivekit::features::nvme_get_log::decode
