#pragma once
// A whole NVMe telemetry log, host-initiated (LID 0x07) or controller-initiated (LID 0x08), read
// up to a data area (1 to 4) into one buffer: the first 4096-byte piece with the header, then
// the rest in pieces as large as the drive moves. Data area 4 is switched on through Host
// Behavior Support for the read, and the device's command time-out is at least 60 seconds
// while it lasts; both are put back afterwards. Once read, the header is read again: a log the
// drive replaced meanwhile is read once more. The controller-initiated log is read without a
// log-specific field and with Retain Asynchronous Event set, so that the drive keeps it as it
// is, until the header read that ends a pass read whole.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "drivekit/core/HostInterface.h"
#include "drivekit/core/Payload.h"
#include "drivekit/core/Status.h"
#include "drivekit/core/WholeFile.h"
#include "drivekit/features/nvme_get_log/NVMeGetLog.h"

namespace drivekit::features::telemetry {

class Telemetry : public nvme_get_log::NVMeGetLog {
public:
    using StatusNotification = std::function<void(const core::Status&)>;

    static constexpr uint8_t hostInitiatedLogId = 0x07;
    static constexpr uint8_t controllerInitiatedLogId = 0x08;
    // The first piece: the header and whatever follows it in the same read.
    static constexpr uint32_t firstPieceBytes = 4096;
    // The time-out, in seconds, every command of a read is given at least.
    static constexpr int64_t readTimeoutSeconds = 60;
    // The longest log read into memory, in whole blocks below the most a payload holds. A
    // header that gives more is refused rather than read in part.
    static constexpr uint64_t largestTelemetryBytes = core::largestPayload / 512 * 512;
    // The longest log streamed to a file: the most a header gives (data area 4's last block
    // is 32 bits), 2 TiB.
    static constexpr uint64_t largestStreamedTelemetryBytes = (uint64_t{UINT32_MAX} + 1) * 512;

    // Sends nothing but, for a host-initiated log of the maker's NVMe drive, Supported Log
    // Pages: when the drive can report the extended data areas, the first read asks for a new
    // capture up to the data area, otherwise for a new capture of the standard areas.
    Telemetry(std::shared_ptr<core::Device> device, bool hostInitiated, uint32_t dataArea);

    // The maker's drive on an NVMe path: "Device does not support this command set." without
    // NVMe, "The selected drive does not support this feature." for another maker's drive.
    core::Status canRun(core::Status& status) override;
    // The whole log into the telemetry data; "Failed to retrieve telemetry data." when the
    // drive has no telemetry or any read fails (the data is then empty).
    core::Status readTelemetryData(core::Status& status);
    // The same read, written to the file at path as it arrives instead of being held: memory
    // stays at one piece whatever the log's size. The log goes to "<path>.part" first and takes
    // the name (replacing a file) only when it was read and written whole; otherwise nothing is
    // left behind. "Failed to write to file." when the file could not be written,
    // "Failed to retrieve telemetry data." when the read failed.
    core::Status readTelemetryDataToFile(core::Status& status, const std::string& path);
    // The reads themselves, with Host Behavior Support and the time-out set and put back.
    void retrieveNvmeTelemetry();
    // Reads the log after the first piece up to totalLength bytes into the telemetry data,
    // reusing the buffer of an earlier pass when it is large enough.
    virtual core::Status getTelemetryBody(core::Status& status, uint64_t totalLength);

    // The telemetry data. The base's non-const form is the last command's bytes while a read
    // runs and the telemetry data (or nothing) once it is over; it is what writeBinaryToFile
    // writes.
    using NVMeGetLog::getPayload;
    const core::Payload& getPayload() const override;

    // True after a read whose log kept changing, or whose header could not be read again to
    // check it; the data is complete but may mix two captures.
    bool mayBeInconsistent() const { return mayBeInconsistent_; }
    // Read passes the last readTelemetryData made (1, or 2 when the log changed once).
    unsigned readPasses() const { return readPasses_; }
    // Called with the outcome of every canRun.
    void setStatusNotification(StatusNotification notification) { notification_ = std::move(notification); }

    // Called, before anything is read, when data area 4 was asked for but Host Behavior
    // Support could not switch it on; the read then goes to the data area given.
    using DataAreaFallback = std::function<void(uint32_t dataArea)>;
    void setDataAreaFallback(DataAreaFallback fallback) { dataAreaFallback_ = std::move(fallback); }

    bool hostInitiated() const { return hostInitiated_; }
    uint32_t dataArea() const { return dataArea_; }

private:
    enum class Check { unchanged, changed, unreadable };

    // Passes until the log stays the same or a second pass is done; a log that changes during
    // the second pass too is kept and marked. A first pass that fails after its header is
    // read again when the log changed under it.
    core::Status readConsistentLog(core::Status& status);
    // canRun, then the read when the drive has telemetry. False when canRun refused (status is
    // then its outcome); otherwise status is the read's outcome, "Failed to retrieve telemetry
    // data." for a drive without telemetry.
    bool runRead(core::Status& status);
    // One pass: the header piece (with the log-specific field as it stands), the length the
    // header gives, the body. Keeps the header's data generation number.
    core::Status readPass(core::Status& status);
    // Reads the header block again (no new capture) and compares its data generation number
    // with the pass's, taking the new one. passWhole: the pass read the log whole.
    Check checkGeneration(bool passWhole);
    // The log-specific field of a read's first command: a new capture of the host-initiated
    // log, of the extended data areas when the drive reports them.
    uint8_t firstLsp() const;
    // Sets Retain Asynchronous Event for the commands that follow; never for the
    // host-initiated log.
    void retainNotice(bool retain);
    void forgetLastRead();
    // Data area 3 from now on, with the first read's log-specific field to match.
    void fallBackToDataArea3();
    static bool driveReportsExtendedDataAreas(const std::shared_ptr<core::Device>& device);

    bool hostInitiated_;
    uint32_t dataArea_;
    bool extendedDataAreas_ = false;  // the drive reports the host-initiated extended areas
    core::Payload telemetryData_;
    uint8_t generation_ = 0;
    bool headerRead_ = false;  // the pass's header came back whole
    unsigned readPasses_ = 0;
    bool mayBeInconsistent_ = false;
    StatusNotification notification_;
    DataAreaFallback dataAreaFallback_;
    // Where a streaming read writes each pass; null for a read into the telemetry data.
    core::WholeFile* partFile_ = nullptr;
};

}  // namespace drivekit::features::telemetry
