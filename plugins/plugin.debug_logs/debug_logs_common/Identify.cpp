#include "plugins/plugin.debug_logs/debug_logs_common/Identify.h"

#include <boost/filesystem/operations.hpp>
#include <boost/format.hpp>

#include "drivekit/core/DeviceAttributes.h"
#include "drivekit/core/FileReadScope.h"
#include "drivekit/core/StopRequest.h"
#include "drivekit/core/WholeFile.h"
#include "drivekit/core/logging/Log.h"
#include "drivekit/features/AttributeDefinitions.h"
#include "drivekit/features/PackageFileNames.h"
#include "drivekit/features/identify/Identify.h"
#include "drivekit/features/identify/nvme/Identify.h"
#include "plugins/plugin.debug_logs/debug_logs_common/Console.h"
#include "plugins/plugin.debug_logs/debug_logs_common/FileWriters.h"
#include "plugins/plugin.debug_logs/debug_logs_common/SavedBinaries.h"

namespace plugin::cli::debug_logs {

using drivekit::core::Payload;
using drivekit::core::Status;
namespace fs = boost::filesystem;
namespace definitions = drivekit::features::definitions;

namespace {

const std::string title = "Identify";
constexpr uint32_t namespaceListBytes = 4096;
constexpr uint32_t namespaceListCapacity = namespaceListBytes / sizeof(uint32_t);

std::string cnsText(uint8_t cns) { return (boost::format("CNS(0x%02X)") % static_cast<unsigned>(cns)).str(); }

}  // namespace

const Identify::NamespaceGroup Identify::activeNamespaces{0x02, {0x00, 0x03, 0x05, 0x08, 0x12}};
const Identify::NamespaceGroup Identify::allocatedNamespaces{0x10, {0x11, 0x1B}};
const std::vector<uint8_t> Identify::controllerWideCns{0x01, 0x04, 0x06, 0x07, 0x13, 0x14, 0x15,
                                                       0x16, 0x17, 0x18, 0x19, 0x1A, 0x1C};

Identify::Identify(std::shared_ptr<drivekit::core::Device> device, const std::string& outputFolder)
    : device_(std::move(device)), outputDirectory_(filePathIn(outputFolder, folderName)) {}

Status Identify::saveReport(Status& status, const std::shared_ptr<drivekit::core::Device>&, const std::string&) {
    status = Status::notImplemented();
    return status;
}

std::vector<uint32_t> Identify::namespaceIds(const Payload& list) {
    std::vector<uint32_t> ids;
    const uint32_t entries = std::min<uint32_t>(list.size() / sizeof(uint32_t), namespaceListCapacity);
    for (uint32_t index = 0; index < entries; ++index) {
        const uint32_t nsid = *list.safeCast<uint32_t>(index * sizeof(uint32_t));
        if (nsid == 0) {
            break;
        }
        ids.push_back(nsid);
    }
    return ids;
}

Status Identify::saveIdentifyLogs(Status& status) {
    LOG_ENTERING();
    printMessage("Generate " + title + " Logs", true, true);
    if (!device_ || !device_->attributes.readBool(drivekit::core::attributes::kestrovaNVMe().key())) {
        printMessage("Identify logs: Skipped, drive not NVMe.", true);
        status = Status::featureNotSupported();
        LOG_INFO("Identify logs skipped: " << status.message());
        return status;
    }
    boost::system::error_code error;
    if (!fs::exists(outputDirectory_, error)) {
        fs::create_directories(outputDirectory_, error);
        if (error) {
            printMessage("Error in creating directory: " + outputDirectory_, true);
            status = Status::failedToCreateDirectory();
            return status;
        }
    }
    collectGroup(activeNamespaces);
    collectGroup(allocatedNamespaces);
    for (const uint8_t cns : controllerWideCns) {
        Payload data;
        collect(cns, 0, data);
    }
    printGeneratedTotal(title, fileCount, failedCount);
    status = Status::success();
    LOG_EXITING();
    return status;
}

void Identify::collectGroup(const NamespaceGroup& group) {
    Payload list;
    if (!collect(group.listCns, 0, list)) {
        return;
    }
    const std::vector<uint32_t> ids = namespaceIds(list);
    // CNS-major: every namespace's structure of one kind before the next kind.
    for (const uint8_t cns : group.perNamespaceCns) {
        for (const uint32_t nsid : ids) {
            Payload data;
            collect(cns, nsid, data);
        }
    }
}

bool Identify::collect(uint8_t cns, uint32_t nsid, Payload& data) {
    // A stopped run sends no further command and counts nothing as failed.
    if (drivekit::core::StopRequest::requested()) {
        return false;
    }
    Status status;
    const drivekit::core::FileReadScope reads(structurePath(cns, nsid));
    if (!identifyOne(status, data, cns, nsid).isSuccess()) {
        ++failedCount;
        return false;
    }
    // A structure that did not reach the package is no generated log, but what the drive
    // answered still stands: a namespace list names the namespaces to read.
    if (saveStructure(data, cns, nsid)) {
        ++fileCount;
    } else {
        ++failedCount;
    }
    return true;
}

Status Identify::identifyOne(Status& status, Payload& data, uint8_t cns, uint32_t nsid) {
    drivekit::core::AttributeCollection attributes;
    attributes.writeUint8(definitions::controllerNamespaceStructure(), cns);
    attributes.writeUint32(definitions::namespaceId(), nsid);
    drivekit::features::identify::Identify identify(device_, attributes);
    // The structures are NVMe's; a drive that answers on an ATA path has none of them.
    if (dynamic_cast<drivekit::features::identify::nvme::Identify*>(identify.implementation()) == nullptr) {
        status = Status::commandSetNotSupported();
    } else if (identify.identify(status).isSuccess()) {
        data = identify.data();
    }
    if (!status.isSuccess()) {
        reportFailure(cns, status);
    }
    return status;
}

void Identify::reportFailure(uint8_t cns, const Status& status) const {
    LOG_DEBUG("Identify " << cnsText(cns) << " failed: " << status.message());
    printMessage("Error in Identify " + cnsText(cns) + ": " + status.message(), true);
}

bool Identify::saveStructure(const Payload& data, uint8_t cns, uint32_t nsid) {
    const std::string path = structurePath(cns, nsid);
    if (data.empty() || !drivekit::core::WholeFile::write(path, data.data(), data.size()).isSuccess()) {
        // The drive answered but nothing usable reached the package: not a generated log, and
        // no empty or partial file is left to be taken for one.
        LOG_DEBUG(Status::unableToCreateFile().message() << " " << path);
        printMessage("Error in writing " + cnsText(cns) + " log to " + path + ".", true);
        return false;
    }
    printMessage("Successfully generated " + cnsText(cns) + " log to " + path + ".", true);
    recordSavedBinary(folderName, fs::path(path).filename().string());
    return true;
}

std::string Identify::structurePath(uint8_t cns, uint32_t nsid) const {
    // The controller, NVM set and command set are always 0.
    const std::string name = drivekit::features::PackageFileNames::identify({0, cns, nsid, 0, 0});
    return (fs::path(outputDirectory_) / name).string();
}

}  // namespace plugin::cli::debug_logs
