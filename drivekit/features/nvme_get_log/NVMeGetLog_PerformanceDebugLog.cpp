#include "drivekit/features/nvme_get_log/NVMeGetLog_PerformanceDebugLog.h"

#include <iostream>
#include <string>

#include "drivekit/core/logging/Log.h"
#include "drivekit/features/AttributeDefinitions.h"

namespace drivekit::features::nvme_get_log {

namespace {

// What the drive answers when the count or version is not one the page knows: one dword.
constexpr uint32_t fallbackDwords = 1;
constexpr uint32_t versionDwords = 1;

struct LspSize {
    uint8_t lsp;
    uint32_t dwords;
};
const LspSize fixedSizes[] = {{0, 1217}, {1, 1217}, {3, 1217}, {5, 512}};
constexpr uint8_t perFtlLsp = 4;
constexpr uint8_t debugHistoryLsp = 2;

// Dword counts for drives of 2 and of 4 FTLs.
struct FtlSizes {
    uint32_t twoFtls;
    uint32_t fourFtls;
};
constexpr FtlSizes perFtlSizes{227, 453};

struct DebugHistoryVersion {
    uint16_t major;
    uint16_t minor;
    FtlSizes sizes;
};
const DebugHistoryVersion debugHistoryVersions[] = {
    {1, 0, {1603, 3205}}, {1, 1, {1003, 2005}}, {1, 2, {1023, 2045}}, {2, 0, {1343, 2685}}};

#pragma pack(push, 1)
struct DebugHistoryVersionField {
    uint16_t major;
    uint16_t minor;
};
#pragma pack(pop)
static_assert(sizeof(DebugHistoryVersionField) == 4);

uint32_t forFtlCount(const FtlSizes& sizes, uint32_t ftlCount) {
    return ftlCount == 2 ? sizes.twoFtls : ftlCount == 4 ? sizes.fourFtls : fallbackDwords;
}

}  // namespace

NVMeGetLog_PerformanceDebugLog::NVMeGetLog_PerformanceDebugLog(std::shared_ptr<core::Device> device,
                                                               const core::AttributeCollection& attributes)
    : LogPage(std::move(device), attributes, info),
      maxFtlCount_(attributes.readUint32(definitions::maxFtlCount().key())) {
    LOG_DEBUG("maxFTLCount = " << maxFtlCount_);
}

core::Status NVMeGetLog_PerformanceDebugLog::debugHistoryDwords(core::Status& status, uint32_t& dwords) {
    core::Payload data;
    if (!readHeader(status, data, versionDwords * 4, sizeof(DebugHistoryVersionField)).isSuccess()) {
        return status;
    }
    const auto& field = *data.safeCast<DebugHistoryVersionField>();
    const std::string version = std::to_string(field.major) + "." + std::to_string(field.minor);
    LOG_DEBUG("LSP 2; Debug History Version is " << version);
    dwords = fallbackDwords;
    for (const auto& known : debugHistoryVersions) {
        if (known.major == field.major && known.minor == field.minor) {
            dwords = forFtlCount(known.sizes, maxFtlCount_);
            return status;
        }
    }
    std::cout << "UNKNOWN version for Log Specific Field 2; version : " << version << std::endl;
    return status;
}

core::Status NVMeGetLog_PerformanceDebugLog::sendCommand(core::Status& status) {
    LOG_ENTERING();
    const uint8_t lsp = attributes_.readUint8(definitions::logSpecificField().key());
    uint32_t dwords = 0;
    for (const auto& size : fixedSizes) {
        dwords = size.lsp == lsp ? size.dwords : dwords;
    }
    if (lsp == perFtlLsp) {
        dwords = forFtlCount(perFtlSizes, maxFtlCount_);
    } else if (lsp == debugHistoryLsp && !debugHistoryDwords(status, dwords).isSuccess()) {
        return finish(status);
    }
    if (dwords == 0) {
        // Nothing is read, so nothing of an earlier read may pass for this one's data.
        std::cout << "Unsupported Log Specific Field : " << static_cast<unsigned>(lsp) << std::endl;
        status = core::Status::invalidArguments();
        return finish(status);
    }
    setOffset(0);
    setTransferBytes(uint64_t{dwords} * 4);
    return NVMeGetLog::sendCommand(status);
}

}  // namespace drivekit::features::nvme_get_log
