#include "plugins/plugin.debug_logs/debug_logs_common/PackageGenerator.h"

#include <boost/algorithm/string/predicate.hpp>
#include <boost/filesystem.hpp>
#include <iostream>

#include "drivekit/core/CommandJournal.h"
#include "drivekit/core/StopRequest.h"
#include "drivekit/core/StopSignalScope.h"
#include "drivekit/core/WholeFile.h"
#include "drivekit/core/logging/Log.h"
#include "plugins/plugin.debug_logs/debug_logs_common/Console.h"
#include "plugins/plugin.debug_logs/debug_logs_common/FileWriters.h"
#include "plugins/plugin.debug_logs/debug_logs_common/FolderName.h"
#include "plugins/plugin.debug_logs/debug_logs_common/LocalClock.h"
#include "plugins/plugin.debug_logs/debug_logs_common/Platform.h"
#include "plugins/plugin.debug_logs/debug_logs_common/SavedBinaries.h"
#include "plugins/plugin.debug_logs/debug_logs_common/VersionFile.h"
#include "plugins/plugin.debug_logs/debug_logs_common/ZipArchive.h"

namespace plugin::cli {

namespace fs = boost::filesystem;
using boost::algorithm::iequals;
using drivekit::core::Status;
using drivekit::core::StopRequest;
using drivekit::core::WholeFile;
using namespace debug_logs;

namespace {

// Makes the folder when neither it nor its package exists yet; false (error clear) when the
// name is in use. mkdir is the claim: two runs in the same millisecond never share a folder.
bool claimFolder(const std::string& path, boost::system::error_code& error) {
    if (fs::symlink_status(path + ".zip", error).type() != fs::file_not_found) {
        return false;
    }
    const bool made = fs::create_directory(path, error);
    if (error == boost::system::errc::file_exists) {
        error.clear();  // a file of that name
    }
    return made;
}

}  // namespace

PackageGenerator::PackageGenerator(std::shared_ptr<drivekit::core::Device> device, CollectorTable collectors)
    : device_(std::move(device)), collectors_(std::move(collectors)) {}

Status PackageGenerator::run(Status& status, const std::string& destination, const std::string& logType,
                             int verbosity, bool extended) {
    LOG_ENTERING();
    // From here until the command ends a signal only stops the collecting between commands.
    const drivekit::core::StopSignalScope stopSignals;
    extended_ = extended;
    logType_ = logType.empty() ? "all" : logType;
    if (iequals(logType_, "all")) {
        allTypes_ = true;
    } else if (iequals(logType_, "system")) {
        systemRun_ = true;
        printMessage("");
        printMessage("SYSTEM LOG ");
    }
    setVerbosityLevel(verbosity);
    status = Status::success();
    WholeFile::forgetFailures();
    drivekit::core::CommandJournal::start();
    const std::shared_ptr<void> stopJournal(nullptr, [](void*) { drivekit::core::CommandJournal::stop(); });
    if (!iequals(logType_, "list")) {
        createOutputFolder(status, destination);
        if (!status.isSuccess()) {
            return status;
        }
        drivekit::core::StopSignalScope::setGiveUpLine(interruptedLine() + "\n");
    }
    generate(status);
    if (StopRequest::requested() && !iequals(logType_, "list")) {
        return endInterrupted(status);
    }
    if (!status.isSuccess() || iequals(logType_, "list") || destinationFailed(status)) {
        return status;
    }
    if (device_ && !device_->goneStatus().isSuccess()) {
        return endDriveGone(status);
    }
    if (driveLogFiles_ >= 1 || systemRun_) {
        packageLogs(status, ".zip");
    } else {
        printMessage("");
        printMessage("No package was made: no drive log was collected.");
        printMessage("The files collected are in " + realOutputPath());
        // A drive that the collectors apply to but that gave none of them anything (it fails
        // every command, or it went away) is a failed run; a drive that no collector applies
        // to (another maker's) is not.
        if (collectorsApplied_ >= 1) {
            status = writeFailure_.isSuccess() ? Status::retrieveDataFailed() : writeFailure_;
        }
    }
    return status;
}

Status PackageGenerator::createOutputFolder(Status& status, const std::string& destination) {
    LOG_ENTERING();
    status = Status::success();
    baseFolder_ = destination.empty() ? platform::currentDirectory(status) : platform::nativeDestination(destination);
    if (!status.isSuccess()) {
        return status;
    }
    const std::string serialNumber = device_ ? device_->attributes.readString("SerialNumber") : std::string();
    const std::string stamped = outputFolderName(serialNumber, LocalClock::now());
    boost::system::error_code error;
    std::string failed = baseFolder_;
    if (fs::create_directories(baseFolder_, error), !error) {
        for (int copy = 1; copy <= maxFolderNameCopies; ++copy) {
            folderName_ = copy == 1 ? stamped : stamped + "_" + std::to_string(copy);
            outputPath_ = failed = (fs::path(baseFolder_) / folderName_).string();
            if (claimFolder(outputPath_, error)) {
                return status;
            }
            if (error) {
                break;
            }
        }
    }
    // A destination the user cannot write to is an answer for the user, not a crash.
    const std::string reason =
        error ? error.message() : "every name up to _" + std::to_string(maxFolderNameCopies) + " is in use";
    status = Status::failedToCreateDirectory();
    status.setMessage("Failed to create directory \"" + failed + "\": " + reason + ".");
    LOG_ERROR(status.message());
    return status;
}

Status PackageGenerator::generate(Status& status) {
    LOG_ENTERING();
    status = Status::success();
    generateDriveLogs(status);
    // A stopped run collects nothing more: no general logs, no summary, no report.
    if (StopRequest::requested()) {
        return status;
    }
    if (collectorsRun_ >= 1 || iequals(logType_, "System")) {
        Status general;
        addGeneralLogs(general);
        ++collectorsRun_;
    }
    if (status == Status::notRun()) {
        status = Status::success();
        return status;
    }
    if (collectorsRun_ == 0) {
        printMessage("Log type not found: " + logType_);
        status = Status::notImplemented();
        return status;
    }
    printMessage("SUMMARY", false, true);
    printMessage("Total drive logs generated: " + std::to_string(driveLogFiles_));
    // The manifest covers the report, so the report is written first and names the manifest
    // ahead of it; the manifest is not a drive log and is left out of the total above.
    recordSavedBinary("", Manifest::fileName);
    Status incident;
    SaveIncidentReportLog(incident);
    if (!Manifest(outputPath_, device_.get(), collectorResults_).write()) {
        // The drive's files stand without it, but nobody can check them against it.
        LOG_ERROR("manifest.json not written in " << outputPath_);
        printMessage("Error in writing " + std::string(Manifest::fileName) +
                     ": the package's files cannot be checked against their SHA-256.");
    }
    return status;
}

Status PackageGenerator::generateDriveLogs(Status& status) {
    LOG_ENTERING();
    status = Status::success();
    if (iequals(logType_, "list")) {
        for (const char* line : {"", "Log(type) Options:", "  Identify", "  NvmeLogs", "  System", "  Telemetry"}) {
            printMessage(line);
        }
        status = Status::notRun();
        return status;
    }
    printMessage("");
    printMessage("GENERATE GENERAL LOGS", false, true);
    collectorsRun_ = 0;
    for (const DriveCollector& collector : collectors_.driveCollectors) {
        if (StopRequest::requested()) {
            break;
        }
        if (selects(collector)) {
            runDriveCollector(collector);
        }
    }
    return status;
}

bool PackageGenerator::selects(const DriveCollector& collector) const {
    if (allTypes_) {
        return true;
    }
    for (const std::string& type : collector.logTypes) {
        if (iequals(logType_, type)) {
            return true;
        }
    }
    return false;
}

void PackageGenerator::runDriveCollector(const DriveCollector& collector) {
    ++collectorsRun_;
    const auto instance = collector.create ? collector.create({device_, outputPath_, extended_}) : nullptr;
    if (!instance) {
        LOG_ERROR(collector.title << ": no collector");
        return;
    }
    Status status;
    instance->saveReport(status, device_, outputPath_);
    LOG_DEBUG(collector.title << ": " << status.message());
    collectorResults_.push_back({collector.title, status});
    wholeDriveFiles_ += static_cast<int>(instance->fileCount);
    if (status.isSuccess()) {
        driveLogFiles_ += static_cast<int>(instance->fileCount);
        ++collectorsSucceeded_;
    }
    if (appliesToDrive(status)) {
        ++collectorsApplied_;
    }
    const bool writeFailed = status == Status::failedToWriteFile() || status == Status::unableToCreateFile() ||
                             status == Status::failedToCreateDirectory();
    if (writeFailed && writeFailure_.isSuccess()) {
        writeFailure_ = status;
    }
}

bool PackageGenerator::appliesToDrive(const Status& status) {
    for (const Status& notForThisDrive :
         {Status::featureNotSupported(), Status::featureNotSupportedByDrive(), Status::notKestrovaDrive(),
          Status::commandSetNotSupported(), Status::ocpNotSupported(), Status::smartNotEnabled(),
          Status::raidVolume(), Status::driveDisabled()}) {
        if (status == notForThisDrive) {
            return false;
        }
    }
    return true;
}

Status PackageGenerator::addGeneralLogs(Status& status) {
    LOG_ENTERING();
    status = Status::success();
    printMessage("");
    printMessage("ADD SYSTEM/PRODUCT INFO LOGS", false, true);
    if (collectors_.productInfo) {
        status = runGeneralLog("Product", collectors_.productInfo);
        if (!status.isSuccess()) {
            printMessage("Failed to create product JSON file");
        }
    }
    createVersionFile(status, outputPath_);
    if (!status.isSuccess()) {
        printMessage("Failed to create Version text file");
    }
    runGeneralLog("System Info", collectors_.systemInfo);
    return status;
}

Status PackageGenerator::runGeneralLog(const std::string& title, const CollectorFactory& factory) {
    Status status;
    if (StopRequest::requested()) {
        status = Status::interrupted();
        return status;
    }
    const auto instance = factory ? factory({device_, outputPath_, extended_}) : nullptr;
    if (instance) {
        instance->saveReport(status, device_, outputPath_);
        collectorResults_.push_back({title, status});
    }
    return status;
}

Status PackageGenerator::SaveIncidentReportLog(Status& status) {
    LOG_ENTERING();
    status = Status::success();
    const std::string dashes(40, '-');
    const std::string report = dashes + " Section: Date & Time " + std::string(72, '-') + "\n" +
                               displayTimeStamp(LocalClock::now()) + "\n" + dashes +
                               " Section: Vendor specific binaries " + std::string(52, '-') + "\n" +
                               savedBinariesRecord() + "\n";
    const std::string path = filePathIn(outputPath_, "incident_report.log");
    if (writeTextFile(path, report, false)) {
        LOG_DEBUG("Success in Writing Incident Report Log: " << path);
    }
    return status;
}

Status PackageGenerator::packageLogs(Status& status, const std::string& extension) {
    LOG_ENTERING();
    const std::string archiveName = folderName_ + extension;
    printMessage("");
    printMessage("PACKAGE THE LOGS", false, true);
    std::string problem;
    if (createZipArchive(outputPath_, "*", archiveName, verbosityLevel() >= 1, problem) != 0) {
        if (StopRequest::requested()) {
            return endInterrupted(status);
        }
        printMessage("Failed to create the package: " + problem);
        // Nothing is lost: the folder keeps every collected file, and the user must know where.
        status = Status::failedToWriteFile();
        status.setMessage("Failed to create the package: " + problem + "." + keptFolderSentence());
        LOG_ERROR(status.message());
        return status;
    }
    printMessage("Package Generated: " + archiveName);
    boost::system::error_code error;
    const auto removed = fs::remove_all(outputPath_, error);
    if (error) {
        // The archive is complete; a folder left behind is worth a line, not a failed command.
        printMessage("Failed to remove " + outputPath_ + ": " + error.message());
        LOG_ERROR("remove_all " << outputPath_ << ": " << error.message());
    } else if (removed >= 1 && verbosityLevel() >= 2) {
        printMessage("Cleanup: Removed " + outputPath_);
    }
    return status;
}

bool PackageGenerator::destinationFailed(Status& status) const {
    const WholeFile::Failure failure = WholeFile::firstFailure();
    if (failure.path.empty() && writeFailure_.isSuccess()) {
        return false;
    }
    status = failure.path.empty() ? writeFailure_ : Status::failedToWriteFile();
    const std::string what =
        failure.path.empty() ? status.message() : status.message() + " " + failure.path + ": " + failure.reason + ".";
    // No package from a destination that lost a file: the whole files stay in the folder.
    status.setMessage(what + keptFolderSentence());
    LOG_ERROR(status.message());
    return true;
}

Status PackageGenerator::endDriveGone(Status& status) {
    // Every whole file read before the drive went is worth handing on, whichever collector
    // read it; the run still failed.
    if (wholeDriveFiles_ >= 1 && !packageLogs(status, ".zip").isSuccess()) {
        return status;
    }
    const std::string kept = wholeDriveFiles_ >= 1 ? " The package holds the files read before it went."
                                                   : " No drive file was read; the files collected are in " +
                                                         realOutputPath() + ".";
    status = device_->goneStatus();
    status.setMessage(status.message() + kept);
    LOG_ERROR(status.message());
    return status;
}

std::string PackageGenerator::interruptedLine() const {
    return "Interrupted: the collected files are kept in " + realOutputPath() + ".";
}

std::string PackageGenerator::keptFolderSentence() const {
    return " The collected files are kept in " + realOutputPath() + ".";
}

Status PackageGenerator::endInterrupted(Status& status) const {
    status = Status::interrupted();
    status.setMessage(interruptedLine());
    LOG_WARNING(status.message());
    // Standard error: standard output may be the pipe whose closing stopped the run.
    std::cerr << status.message() << std::endl;
    return status;
}

std::string PackageGenerator::realOutputPath() const {
    boost::system::error_code error;
    const fs::path real = fs::canonical(outputPath_, error);
    return error ? outputPath_ : real.string();
}

}  // namespace plugin::cli
