#include "plugins/plugin.debug_logs/debug_logs_common/NVMeLogs.h"

#include <functional>
#include <vector>

#include <boost/filesystem/operations.hpp>
#include <boost/format.hpp>

#include "drivekit/core/DeviceAttributes.h"
#include "drivekit/core/ProductTable.h"
#include "drivekit/core/StopRequest.h"
#include "drivekit/core/logging/Log.h"
#include "drivekit/features/AttributeDefinitions.h"
#include "drivekit/features/PackageFileNames.h"
#include "drivekit/features/nvme_get_log/LogPages.h"
#include "plugins/plugin.debug_logs/debug_logs_common/Console.h"
#include "plugins/plugin.debug_logs/debug_logs_common/FileWriters.h"
#include "plugins/plugin.debug_logs/debug_logs_common/FirmwareParameters.h"
#include "plugins/plugin.debug_logs/debug_logs_common/PerformanceDebugMode.h"
#include "plugins/plugin.debug_logs/debug_logs_common/SavedBinaries.h"

namespace plugin::cli::debug_logs {

using drivekit::core::AttributeCollection;
using drivekit::core::Device;
using drivekit::core::Status;
using drivekit::core::StopRequest;
using drivekit::features::PackageFileNames;
namespace fs = boost::filesystem;
namespace definitions = drivekit::features::definitions;
namespace deviceAttributes = drivekit::core::attributes;
namespace pages = drivekit::features::nvme_get_log;

namespace {

using PageFactory =
    std::function<std::unique_ptr<pages::NVMeGetLog>(const std::shared_ptr<Device>&, const AttributeCollection&)>;

template <typename Page>
PageFactory page() {
    return [](const std::shared_ptr<Device>& device, const AttributeCollection& attributes) {
        return std::make_unique<Page>(device, attributes);
    };
}

// One page of the standard and OCP reading order. A page with log-specific variants is read
// once per value, through the same object.
struct PageRow {
    PageFactory create;
    std::vector<uint8_t> logSpecificFields;
};

// Command and Feature Lockdown: scope (bits 3:0) 0, 2, 3, 4 for each content selection
// (bits 5:4) 0, 1, 2.
std::vector<uint8_t> lockdownVariants() {
    std::vector<uint8_t> variants;
    for (const uint8_t selection : {0, 1, 2}) {
        for (const uint8_t scope : {0, 2, 3, 4}) {
            variants.push_back(static_cast<uint8_t>(selection << 4 | scope));
        }
    }
    return variants;
}

const std::vector<PageRow>& standardPages() {
    static const std::vector<PageRow> rows = {
        {page<pages::NVMeGetLog_SupportedLogPages>(), {}},
        {page<pages::NVMeGetLog_ErrorInfo>(), {}},
        {page<pages::NVMeGetLog_SMARTHealthLog>(), {}},
        {page<pages::NVMeGetLog_FirmwareSlotInfo>(), {}},
        {page<pages::NVMeGetLog_ChangedNamespaceList>(), {}},
        {page<pages::NVMeGetLog_CommandsEffects>(), {}},
        {page<pages::NVMeGetLog_DriveSelfTest>(), {}},
        {page<pages::NVMeGetLog_EnduranceGroupInfo>(), {}},
        {page<pages::NVMeGetLog_PersistentEventLog>(), {}},
        {page<pages::NVMeGetLog_LBAStatusInfo>(), {}},
        {page<pages::NVMeGetLog_EnduranceGroupEvent>(), {}},
        {page<pages::NVMeGetLog_SupportedFeatureIds>(), {}},
        {page<pages::NVMeGetLog_MICommandsEffects>(), {}},
        {page<pages::NVMeGetLog_CommandFeatureLockdown>(), lockdownVariants()},
        {page<pages::NVMeGetLog_EyeOpeningMeasurement>(), {}},
        {page<pages::NVMeGetLog_SanitizeStatus>(), {}},
        {page<pages::NVMeGetLog_SMARTAttribute>(), {}},
        {page<pages::NVMeGetLog_TempStatistics>(), {}},
        {page<pages::NVMeGetLog_OCPSMARTCloud>(), {}},
        {page<pages::NVMeGetLog_OCPErrorRecovery>(), {}},
        {page<pages::NVMeGetLog_OCPFirmwareActivationHistory>(), {}},
        {page<pages::NVMeGetLog_OCPLatencyMonitor>(), {}},
        {page<pages::NVMeGetLog_OCPDeviceCapabilities>(), {}},
        {page<pages::NVMeGetLog_OCPUnsupportedRequirements>(), {}},
    };
    return rows;
}

const std::vector<PageFactory>& vendorPagesBeforeFirmwareParameters() {
    static const std::vector<PageFactory> rows = {
        page<pages::NVMeGetLog_PowerUsage>(),
        page<pages::NVMeGetLog_VUNandStatistics>(),
        page<pages::NVMeGetLog_VUDefectsCount>(),
    };
    return rows;
}

constexpr uint8_t performanceDebugVariants = 6;

uint8_t readLogId(const pages::NVMeGetLog& page) {
    return page.attributes().readUint8(definitions::logId().key());
}

}  // namespace

Status NVMeLogs::saveReport(Status& status, const std::shared_ptr<Device>& device, const std::string& outputPath) {
    LOG_ENTERING();
    status = Status::success();
    if (!device || !device->attributes.readBool(deviceAttributes::kestrovaNVMe().key())) {
        printMessage("NVMe logs: Skipped, drive not NVMe.", true);
        status = Status::featureNotSupported();
        return status;
    }
    outputDirectory_ = filePathIn(outputPath, folderName);
    printMessage("Generate " + displayName, true, true);
    fileCount = 0;
    failedCount = 0;
    boost::system::error_code error;
    if (!fs::exists(outputDirectory_, error)) {
        fs::create_directories(outputDirectory_, error);
        if (error) {
            LOG_ERROR("Cannot create " << outputDirectory_ << ": " << error.message());
            status = Status::failedToCreateDirectory();
            return status;
        }
    }
    saveStandardPages(device);
    if (drivekit::core::products::hasVendorPages(device->attributes.readString(deviceAttributes::product().key()))) {
        status = saveVendorPages(device);
    }
    if (StopRequest::requested()) {
        status = Status::interrupted();
    }
    printGeneratedTotal("NVMe Logs", fileCount, failedCount);
    LOG_EXITING();
    return status;
}

void NVMeLogs::saveStandardPages(const std::shared_ptr<Device>& device) {
    for (const PageRow& row : standardPages()) {
        const auto page = row.create(device, AttributeCollection());
        // Every page is read from its beginning.
        page->attributes().writeUint64(definitions::logPageOffset(), 0);
        if (row.logSpecificFields.empty()) {
            savePage(*page);
            continue;
        }
        for (const uint8_t field : row.logSpecificFields) {
            page->attributes().writeUint8(definitions::logSpecificField(), field);
            savePage(*page);
        }
    }
}

Status NVMeLogs::saveVendorPages(const std::shared_ptr<Device>& device) {
    for (const PageFactory& create : vendorPagesBeforeFirmwareParameters()) {
        savePage(*create(device, AttributeCollection()));
    }
    if (StopRequest::requested()) {
        return Status::interrupted();
    }
    Status parameters;
    utils::InitFWParams(parameters, device);
    if (StopRequest::requested()) {
        return Status::interrupted();
    }
    if (parameters.isSuccess()) {
        savePerformanceDebugLog(device);
    } else {
        printMessage("Unable to Generate Performance Debug Log, LID 0xFA: " + parameters.message(), true);
    }
    pages::NVMeGetLog_VUExtendedSmart extendedSmart(device, AttributeCollection());
    savePage(extendedSmart);
    return parameters;
}

void NVMeLogs::savePerformanceDebugLog(const std::shared_ptr<Device>& device) {
    const PerformanceDebugMode mode(device);
    AttributeCollection attributes;
    attributes.writeUint32(definitions::maxFtlCount(), utils::totalFTLs(*device));
    pages::NVMeGetLog_PerformanceDebugLog page(device, attributes);
    for (uint8_t field = 0; field < performanceDebugVariants; ++field) {
        page.attributes().writeUint8(definitions::logSpecificField(), field);
        savePage(page);
    }
}

void NVMeLogs::savePage(pages::NVMeGetLog& page) {
    // A stopped run reads no further page and says nothing about the pages it left.
    if (StopRequest::requested()) {
        return;
    }
    Status status;
    if (!page.sendCommand(status).isSuccess()) {
        if (status == Status::interrupted()) {
            return;
        }
        printMessage((boost::format("Error extracting NVME Log: 0x%02X; ") % static_cast<unsigned>(readLogId(page)))
                             .str() +
                         status.message(),
                     true);
        ++failedCount;
        return;
    }
    const uint8_t logId = readLogId(page);
    const uint8_t field = page.attributes().readUint8(definitions::logSpecificField().key());
    const std::string name = PackageFileNames::logPage(
        {logId, PackageFileNames::keptLogSpecificField(logId, field),
         page.attributes().readUint16(definitions::logSpecificId().key())});
    const std::string path = (fs::path(outputDirectory_) / name).string();
    if (!page.writeBinaryToFile(path, status).isSuccess()) {
        printMessage("Failed to generated NVME Log: " + name + ". Error: " + status.message(), true);
        ++failedCount;
        return;
    }
    printMessage("Successfully generated NVME Log: " + name + ".", true);
    recordSavedBinary(folderName, name);
    ++fileCount;
}

}  // namespace plugin::cli::debug_logs
