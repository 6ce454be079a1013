#include "plugins/plugin.debug_logs/debug_logs_common/Telemetry.h"

#include <iostream>
#include <limits>
#include <regex>

#include <boost/algorithm/string/predicate.hpp>
#include <boost/filesystem/operations.hpp>

#include "drivekit/core/DeviceAttributes.h"
#include "drivekit/core/FileReadScope.h"
#include "drivekit/core/StopRequest.h"
#include "drivekit/core/logging/Log.h"
#include "drivekit/features/PackageFileNames.h"
#include "plugins/plugin.debug_logs/debug_logs_common/Console.h"
#include "plugins/plugin.debug_logs/debug_logs_common/FileWriters.h"
#include "plugins/plugin.debug_logs/debug_logs_common/Platform.h"
#include "plugins/plugin.debug_logs/debug_logs_common/ProgressLine.h"
#include "plugins/plugin.debug_logs/debug_logs_common/SavedBinaries.h"

namespace plugin::cli::debug_logs {

using drivekit::core::Device;
using drivekit::core::Status;
using drivekit::core::StopRequest;
namespace fs = boost::filesystem;
namespace deviceAttributes = drivekit::core::attributes;

namespace {

constexpr const char* changedWhileRead = "the telemetry log changed on the drive each time it was read; ";
// The incident report's note under the file's line: the file is named by that line.
const std::string mixedCapturesWarning = std::string(changedWhileRead) + "it may mix two captures.";

// Builds whose number does not fit a 64-bit integer are newer than any threshold.
int64_t buildNumberOf(const std::string& digits) {
    int64_t number = 0;
    for (const char digit : digits) {
        if (number > (std::numeric_limits<int64_t>::max() - (digit - '0')) / 10) {
            return std::numeric_limits<int64_t>::max();
        }
        number = number * 10 + (digit - '0');
    }
    return number;
}

// Whether the drive's storage driver is a Microsoft build too old for data area 4.
bool driverTooOldForDataArea4(const Device& device) {
    if (!boost::iequals(device.attributes.readString(deviceAttributes::driverProvider().key()), "Microsoft")) {
        return false;
    }
    static const std::regex release(R"(^(10\.0\.26100)\.(\d+))");
    const std::string version = device.attributes.readString(deviceAttributes::driverVersion().key());
    std::smatch match;
    if (!std::regex_search(version, match, release)) {
        return false;
    }
    // Shown as the number it is taken for: "01881" is build 1881.
    const int64_t build = buildNumberOf(match[2].str());
    LOG_INFO("Microsoft Driver Build Number: " << build);
    if (build >= Telemetry::firstDataArea4Build) {
        return false;
    }
    printMessage("Microsoft Driver Build Number (" + std::to_string(build) + ") does not support Telemetry DataArea 4",
                 true);
    LOG_INFO("Microsoft Driver Build Number does not support DataArea 4");
    return true;
}

}  // namespace

uint32_t Telemetry::chooseDataArea(const Device& device, bool dataArea4Wanted) {
    uint32_t area = 3;
    if (dataArea4Wanted && !driverTooOldForDataArea4(device)) {
        LOG_INFO("Telemetry Data Area set to 4 based on User input");
        area = 4;
    }
    printMessage("Telemetry Data Area = " + std::to_string(area), true);
    LOG_INFO("Telemetry Data Area = " << area);
    return area;
}

Status Telemetry::saveReport(Status& status, const std::shared_ptr<Device>& device, const std::string& outputPath) {
    LOG_ENTERING();
    outputDirectory_ = filePathIn(outputPath, folderName);
    fileCount = 0;
    failedCount = 0;
    status = Status::success();
    printMessage("Generate " + displayName, true);
    if (!device) {
        status = Status::invalidArguments();
        return status;
    }
    dataArea = chooseDataArea(*device, dataArea4Wanted);

    for (const bool hostInitiated : {true, false}) {
        if (StopRequest::requested()) {
            status = Status::interrupted();
            break;
        }
        drivekit::features::telemetry::Telemetry feature(device, hostInitiated, dataArea);
        // Said once: the next log is asked for the data area that could be read.
        feature.setDataAreaFallback([this](uint32_t area) {
            printMessage("Telemetry Data Area " + std::to_string(dataArea) +
                         " could not be enabled; reading data area " + std::to_string(area));
            dataArea = area;
        });
        const std::string name = drivekit::features::PackageFileNames::telemetryLog(hostInitiated);
        std::string file = name;
        Status outcome;
        if (saveLog(outcome, feature, file).isSuccess()) {
            ++fileCount;
            recordSavedBinary(folderName, name, feature.mayBeInconsistent() ? mixedCapturesWarning : "");
        } else {
            ++failedCount;
        }
        status = outcome;  // the controller-initiated log's outcome is the last one
    }
    printGeneratedTotal(displayName, fileCount, failedCount);
    LOG_EXITING();
    return status;
}

Status Telemetry::saveLog(Status& status, drivekit::features::telemetry::Telemetry& feature, std::string& fileName) {
    // The log is written as it is read, so the folder comes first; one made for a log that
    // could not be read is taken away again.
    boost::system::error_code error;
    const bool madeFolder = !fs::exists(outputDirectory_, error);
    if (madeFolder) {
        fs::create_directories(outputDirectory_, error);
        if (error) {
            LOG_ERROR("Cannot create " << outputDirectory_ << ": " << error.message());
            status = Status::failedToCreateDirectory();
            return status;
        }
    }
    const std::string name = fileName;
    fileName = (fs::path(outputDirectory_) / fileName).string();
    {
        ProgressLine progress(displayName + " " + name, platform::standardErrorIsTerminal(), std::cerr);
        feature.setProgress(progress.callback());
        const drivekit::core::FileReadScope reads(fileName);
        feature.readTelemetryDataToFile(status, fileName);
        feature.setProgress({});
    }
    if (!status.isSuccess() && madeFolder && fs::is_empty(outputDirectory_, error)) {
        fs::remove(outputDirectory_, error);
    }
    if (status == Status::failedToWriteFile()) {
        printMessage("Failed to write telemetry log to " + fileName, true);
        return status;
    }
    if (!status.isSuccess()) {
        // A read that failed prints nothing and leaves no file.
        LOG_INFO(name << ": " << status.message());
        return status;
    }
    printMessage("Successfully wrote telemetry log to " + fileName, true);
    if (feature.mayBeInconsistent()) {
        const std::string warning = "Warning: " + std::string(changedWhileRead) + fileName + " may mix two captures.";
        printMessage(warning);
        LOG_WARNING(warning);
    }
    return status;
}

}  // namespace plugin::cli::debug_logs
