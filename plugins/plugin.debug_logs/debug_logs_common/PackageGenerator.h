#pragma once
// Carries out one debug-logs command for one drive: the output folder, the drive collectors
// that the log type selects, the general logs, the summary, the incident report and the
// archive.
#include <memory>
#include <string>
#include <vector>

#include "drivekit/core/HostInterface.h"
#include "drivekit/core/Status.h"
#include "plugins/plugin.debug_logs/debug_logs_common/CollectorTable.h"
#include "plugins/plugin.debug_logs/debug_logs_common/Manifest.h"

namespace plugin::cli {

class PackageGenerator {
public:
    explicit PackageGenerator(std::shared_ptr<drivekit::core::Device> device,
                              debug_logs::CollectorTable collectors = debug_logs::defaultCollectorTable());

    // The whole command. verbosity is 0, 1 or 2; an empty log type means "all".
    drivekit::core::Status run(drivekit::core::Status& status, const std::string& destination,
                               const std::string& logType, int verbosity, bool extended);

    // Creates "<serial>_<time>" under the destination (the current directory when empty); a
    // name whose folder or package exists gets "_2", "_3"... so nothing is ever shared.
    drivekit::core::Status createOutputFolder(drivekit::core::Status& status, const std::string& destination);
    // Drive collectors, general logs, summary and incident report.
    drivekit::core::Status generate(drivekit::core::Status& status);
    // The selected drive collectors, or the list of log types ("Not run.").
    drivekit::core::Status generateDriveLogs(drivekit::core::Status& status);
    // Product files, version file and system information.
    drivekit::core::Status addGeneralLogs(drivekit::core::Status& status);
    // Writes "incident_report.log"; always success.
    drivekit::core::Status SaveIncidentReportLog(drivekit::core::Status& status);
    // Packs the output folder into "<folderName><extension>" beside it and removes the folder;
    // an archive of that name that exists already is never replaced.
    // A package that could not be made is a failure naming the kept folder and the reason.
    drivekit::core::Status packageLogs(drivekit::core::Status& status, const std::string& extension);

    const std::string& logType() const { return logType_; }
    const std::string& outputPath() const { return outputPath_; }
    const std::string& folderName() const { return folderName_; }
    const std::string& baseFolder() const { return baseFolder_; }
    int collectorsRun() const { return collectorsRun_; }
    int collectorsSucceeded() const { return collectorsSucceeded_; }
    int driveLogFiles() const { return driveLogFiles_; }

private:
    bool selects(const debug_logs::DriveCollector& collector) const;
    void runDriveCollector(const debug_logs::DriveCollector& collector);
    // False for the outcomes that say the collector has nothing to read on this drive.
    static bool appliesToDrive(const drivekit::core::Status& status);
    drivekit::core::Status runGeneralLog(const std::string& title, const debug_logs::CollectorFactory& factory);
    // True, with status naming the file and the kept folder, when a file of this run could not
    // be written (a full or failing disk), whatever its collector made of it.
    bool destinationFailed(drivekit::core::Status& status) const;
    // The output folder's real path (links and ".." resolved), as the user should look for it.
    std::string realOutputPath() const;
    // " The collected files are kept in <folder>.", the end of a failure message whose folder
    // stays unpacked.
    std::string keptFolderSentence() const;
    // "Interrupted: the collected files are kept in <folder>."
    std::string interruptedLine() const;
    // A stopped run: the folder of whole files stays, unpacked; the line says where it is.
    drivekit::core::Status endInterrupted(drivekit::core::Status& status) const;
    // A drive that went away during the run: the whole files read before are packed, and the
    // run fails naming the drive.
    drivekit::core::Status endDriveGone(drivekit::core::Status& status);

    std::string logType_;
    std::string outputPath_;
    std::string folderName_;
    std::string baseFolder_;
    bool extended_ = false;
    bool allTypes_ = false;
    bool systemRun_ = false;
    int collectorsRun_ = 0;
    int collectorsSucceeded_ = 0;
    // Drive collectors whose outcome was more than "this drive has no such log".
    int collectorsApplied_ = 0;
    // The first collector outcome that was the output folder's fault (a full or read-only
    // disk), which then names the failure rather than the drive.
    drivekit::core::Status writeFailure_ = drivekit::core::Status::success();
    int driveLogFiles_ = 0;
    // Every collector's outcome, for the manifest.
    std::vector<debug_logs::Manifest::CollectorResult> collectorResults_;
    // Files the drive collectors wrote whole, also those of collectors that failed.
    int wholeDriveFiles_ = 0;
    std::shared_ptr<drivekit::core::Device> device_;
    debug_logs::CollectorTable collectors_;
};

}  // namespace plugin::cli
