#include "drivekit/features/telemetry/Telemetry.h"

#include <algorithm>
#include <optional>

#include "drivekit/core/CommandJournal.h"
#include "drivekit/core/DeviceAttributes.h"
#include "drivekit/core/WholeFile.h"
#include "drivekit/core/logging/Log.h"
#include "drivekit/features/AttributeDefinitions.h"
#include "drivekit/features/nvme_features/NVMeFeature_HostBehaviorSupport.h"
#include "drivekit/features/nvme_get_log/LogPages.h"
#include "drivekit/features/telemetry/TelemetryHeader.h"

namespace drivekit::features::telemetry {

namespace deviceAttributes = core::attributes;

using nvme_features::NVMeFeature_HostBehaviorSupport;

namespace {

#pragma pack(push, 1)
// Supported Log Pages: one 32-bit entry per LID.
struct SupportedLogPagesStructure {
    uint32_t entries[256];
};
#pragma pack(pop)
static_assert(sizeof(SupportedLogPagesStructure) == 1024);

// In the host-initiated telemetry entry: the drive reports data areas beyond the standard ones.
constexpr uint32_t extendedDataAreasBit = 1u << 16;
// The Create bit of the log-specific field: the drive captures new host-initiated data.
constexpr uint8_t createLsp = 1;
// Later reads of the same capture, and every read of the controller-initiated log, whose
// bit 0 is reserved.
constexpr uint8_t sameCaptureLsp = 0;
// Byte 1 of the Host Behavior Support structure.
constexpr uint32_t dataArea4SwitchByte = 1;

bool isMakersNvmeDrive(const core::Device& device) {
    return device.attributes.readBool(deviceAttributes::kestrova().key()) &&
           device.isProtocolSupported(core::protocols::nvme);
}

// Turns the drive's data area 4 on for a read and puts its setting back afterwards. A setting
// that cannot be read or changed leaves data area 4 off (enabled() false): the read then asks
// for no more than data area 3, so that what it keeps is what it asked for.
class DataArea4Switch {
public:
    DataArea4Switch(const std::shared_ptr<core::Device>& device, bool wanted) : device_(device) {
        if (!wanted) {
            return;
        }
        NVMeFeature_HostBehaviorSupport feature(device_);
        core::Status status;
        if (!feature.sendGetFeature(status).isSuccess() || feature.data().size() <= dataArea4SwitchByte) {
            LOG_WARNING("Host Behavior Support not read: " << status.message());
            return;
        }
        core::Payload& data = feature.data();
        if (*data.at(dataArea4SwitchByte) != 0) {
            enabled_ = true;
            return;
        }
        // Put back even when the switch is refused: a command that timed out may have landed.
        asRead_ = core::Payload(data.data(), data.size());
        *data.at(dataArea4SwitchByte) = 1;
        feature.attributes().writeUint32(definitions::transferBytes(), data.size());
        change_ = core::CommandJournal::noteChange({"Host Behavior Support, telemetry data area 4", "0", "1"});
        enabled_ = feature.sendSetFeature(status).isSuccess();
        if (!enabled_) {
            LOG_WARNING("Host Behavior Support not set for data area 4: " << status.message());
        }
    }

    bool enabled() const { return enabled_; }

    ~DataArea4Switch() {
        if (!asRead_) {
            return;
        }
        NVMeFeature_HostBehaviorSupport feature(device_);
        feature.data() = *asRead_;
        feature.attributes().writeUint32(definitions::transferBytes(), asRead_->size());
        core::Status status;
        if (!feature.sendSetFeature(status).isSuccess()) {
            LOG_ERROR("Host Behavior Support not restored: " << status.message());
            return;
        }
        core::CommandJournal::notePutBack(change_);
    }

    DataArea4Switch(const DataArea4Switch&) = delete;
    DataArea4Switch& operator=(const DataArea4Switch&) = delete;

private:
    std::shared_ptr<core::Device> device_;
    std::optional<core::Payload> asRead_;  // set when the drive's setting was changed
    size_t change_ = 0;
    bool enabled_ = false;
};

// Gives the device's commands at least the read's time-out and puts the old one back. A device
// without command queues (-1) is left alone; a longer time-out is kept.
class TimeoutRaise {
public:
    TimeoutRaise(core::Device& device, int64_t seconds) : device_(device), old_(device.commandTimeoutSeconds()) {
        raised_ = old_ >= 0 && old_ < seconds;
        if (raised_) {
            device_.setCommandTimeoutSeconds(static_cast<uint64_t>(seconds));
        }
    }
    ~TimeoutRaise() {
        if (raised_) {
            device_.setCommandTimeoutSeconds(static_cast<uint64_t>(old_));
        }
    }
    TimeoutRaise(const TimeoutRaise&) = delete;
    TimeoutRaise& operator=(const TimeoutRaise&) = delete;

private:
    core::Device& device_;
    int64_t old_;
    bool raised_ = false;
};

}  // namespace

Telemetry::Telemetry(std::shared_ptr<core::Device> device, bool hostInitiated, uint32_t dataArea)
    : NVMeGetLog(std::move(device), hostInitiated ? hostInitiatedLogId : controllerInitiatedLogId,
                 firstPieceBytes / 4 - 1,
                 hostInitiated ? "Telemetry Host-Initiated" : "Telemetry Controller-Initiated", {}),
      hostInitiated_(hostInitiated),
      dataArea_(dataArea) {
    retainNotice(true);
    extendedDataAreas_ = hostInitiated_ && driveReportsExtendedDataAreas(device_);
    attributes_.writeUint8(definitions::logSpecificField(), firstLsp());
}

uint8_t Telemetry::firstLsp() const {
    if (!hostInitiated_) {
        return sameCaptureLsp;
    }
    return static_cast<uint8_t>(extendedDataAreas_ ? dataArea_ * 2 + createLsp : createLsp);
}

void Telemetry::retainNotice(bool retain) {
    attributes_.writeBool(definitions::retainAsynchronousEvent(), retain && !hostInitiated_);
}

bool Telemetry::driveReportsExtendedDataAreas(const std::shared_ptr<core::Device>& device) {
    // A drive the read would refuse is sent nothing.
    if (!device || !isMakersNvmeDrive(*device)) {
        return false;
    }
    nvme_get_log::NVMeGetLog_SupportedLogPages page(device, {});
    core::Status status;
    if (!page.sendCommand(status).isSuccess()) {
        LOG_DEBUG("Supported Log Pages not read: " << status.message());
        return false;
    }
    const core::Payload& data = page.getPayload();
    if (data.size() < sizeof(SupportedLogPagesStructure)) {
        LOG_WARNING("Supported Log Pages came back with " << data.size() << " bytes");
        return false;
    }
    return (data.safeCast<SupportedLogPagesStructure>()->entries[hostInitiatedLogId] & extendedDataAreasBit) != 0;
}

core::Status Telemetry::canRun(core::Status& status) {
    if (!device_ || !device_->isProtocolSupported(core::protocols::nvme)) {
        status = core::Status::commandSetNotSupported();
    } else if (!device_->attributes.readBool(deviceAttributes::kestrova().key())) {
        status = core::Status::featureNotSupportedByDrive();
    } else {
        status = core::Status::success();
    }
    finish(status);
    if (notification_) {
        notification_(status);
    }
    return status;
}

const core::Payload& Telemetry::getPayload() const { return telemetryData_; }

bool Telemetry::runRead(core::Status& status) {
    if (!canRun(status).isSuccess()) {
        return false;
    }
    forgetLastRead();
    status = core::Status::telemetryRetrievalFailed();
    if (device_->attributes.readBool(deviceAttributes::telemetryLogSupported().key())) {
        retrieveNvmeTelemetry();
        status = status_;
    }
    return true;
}

core::Status Telemetry::readTelemetryData(core::Status& status) {
    LOG_ENTERING();
    if (!runRead(status)) {
        return status;
    }
    if (status != core::Status::interrupted()) {
        status = telemetryData_.empty() ? core::Status::telemetryRetrievalFailed() : core::Status::success();
    }
    return finish(status);
}

core::Status Telemetry::readTelemetryDataToFile(core::Status& status, const std::string& path) {
    LOG_ENTERING();
    core::WholeFile file(path);
    partFile_ = &file;
    const bool ran = runRead(status);
    partFile_ = nullptr;
    if (!ran) {
        return status;
    }
    if (status.isSuccess() && !file.commit().isSuccess()) {
        LOG_ERROR("Could not write " << path << ": " << file.failure());
        status = core::Status::failedToWriteFile();
    } else if (!status.isSuccess() && status != core::Status::failedToWriteFile() &&
               status != core::Status::interrupted()) {
        status = core::Status::telemetryRetrievalFailed();
    }
    return finish(status);
}

// A log read before is let go before a new one takes memory.
void Telemetry::forgetLastRead() {
    telemetryData_ = core::Payload();
    payload_ = core::Payload();
    readPasses_ = 0;
    mayBeInconsistent_ = false;
}

void Telemetry::retrieveNvmeTelemetry() {
    LOG_ENTERING();
    LOG_INFO("DataArea requested for Telemetry:" << dataArea_);
    forgetLastRead();
    core::Status status = core::Status::invalidArguments();
    if (device_) {
        // The time-out is raised first and put back last: Host Behavior Support's commands
        // around the read, its put-back too, take as long as the read's own.
        const TimeoutRaise timeout(*device_, readTimeoutSeconds);
        const DataArea4Switch dataArea4(device_, dataArea_ == 4);
        if (dataArea_ == 4 && !dataArea4.enabled()) {
            fallBackToDataArea3();
        }
        readConsistentLog(status);
    }
    // The written file is the payload: it is the whole log or nothing.
    if (status.isSuccess()) {
        payload_ = telemetryData_;
    } else {
        telemetryData_ = core::Payload();
        payload_ = core::Payload();
    }
    finish(status);
    LOG_INFO("Read Telemetry Status: " << status.message());
}

void Telemetry::fallBackToDataArea3() {
    LOG_WARNING("Telemetry data area 4 could not be enabled; reading data area 3");
    dataArea_ = 3;
    if (dataAreaFallback_) {
        dataAreaFallback_(dataArea_);
    }
}

core::Status Telemetry::readConsistentLog(core::Status& status) {
    attributes_.writeUint8(definitions::logSpecificField(), firstLsp());
    for (unsigned pass = 1;; ++pass) {
        const bool read = readPass(status).isSuccess();
        if (status == core::Status::interrupted()) {
            return status;
        }
        // A first pass whose body failed is checked too: a drive refuses the rest of a log
        // that it replaced meanwhile by a shorter one.
        if (!read && (pass > 1 || !headerRead_)) {
            return status;
        }
        const uint8_t before = generation_;
        const Check check = checkGeneration(read);
        if (check == Check::changed && pass == 1) {
            LOG_INFO("The telemetry log changed while it was read (data generation number "
                     << unsigned{before} << " became " << unsigned{generation_} << "); reading it again");
            continue;
        }
        if (!read || check == Check::unchanged) {
            return status;
        }
        mayBeInconsistent_ = true;
        LOG_WARNING((check == Check::changed ? "The telemetry log changed again while it was read again"
                                             : "The telemetry header could not be read again after the log")
                    << "; the log may be inconsistent");
        return status;
    }
}

core::Status Telemetry::readPass(core::Status& status) {
    headerRead_ = false;
    if (stopped(status)) {
        return status;
    }
    ++readPasses_;
    setOffset(0);
    setTransferBytes(firstPieceBytes);
    const bool captures = hostInitiated_ && (attributes_.readUint8(definitions::logSpecificField().key()) & createLsp);
    if (!sendCommand(status).isSuccess()) {
        return status;
    }
    if (captures) {
        // The drive's previous host-initiated data is gone for good: nothing can put it back.
        core::CommandJournal::noteChange({"host-initiated telemetry capture", "", "new capture"});
    }
    if (payload_.size() < sizeof(TelemetryHeader)) {
        LOG_ERROR("The drive returned " << payload_.size() << " bytes of the telemetry header");
        status = core::Status::unexpectedDataLength();
        return finish(status);
    }
    // Pieces after the first start on a dword, as the drive's log offsets must.
    if (payload_.size() % 4 != 0) {
        payload_ = core::Payload(payload_.data(), payload_.size() / 4 * 4);
    }
    const auto& header = *payload_.safeCast<TelemetryHeader>();
    generation_ = dataGenerationNumber(header, hostInitiated_);
    headerRead_ = true;
    const uint64_t headerLength = (lastBlock(header, dataArea_) + 1) * telemetryBlockBytes;
    const uint64_t total = std::max<uint64_t>(payload_.size(), headerLength);
    LOG_DEBUG("Total Log Size: " << total);
    // A log streamed to a file holds one piece in memory whatever its length.
    const uint64_t largest = partFile_ != nullptr ? largestStreamedTelemetryBytes : largestTelemetryBytes;
    if (total > largest) {
        LOG_ERROR("The telemetry header gives a log of " << total << " bytes, above the largest read of "
                                                         << largest << " bytes");
        status = core::Status::retrieveDataFailed();
        return finish(status);
    }
    return getTelemetryBody(status, total);
}

Telemetry::Check Telemetry::checkGeneration(bool passWhole) {
    attributes_.writeUint8(definitions::logSpecificField(), sameCaptureLsp);
    core::Payload header;
    core::Status status;
    // The controller-initiated log's notice is let go by the check that ends a pass read
    // whole, and by nothing else: when the log is unchanged that check is the read's last
    // command, so the log stays latched until it is whole. A log that changed under a
    // retained notice was not latched by it, so the pass that follows loses nothing.
    retainNotice(!passWhole);
    const bool read = readHeader(status, header, sizeof(TelemetryHeader), sizeof(TelemetryHeader)).isSuccess();
    retainNotice(true);
    if (!read) {
        LOG_WARNING("Telemetry header not read again: " << status.message());
        return Check::unreadable;
    }
    const uint8_t now = dataGenerationNumber(*header.safeCast<TelemetryHeader>(), hostInitiated_);
    if (now == generation_) {
        return Check::unchanged;
    }
    generation_ = now;
    return Check::changed;
}

core::Status Telemetry::getTelemetryBody(core::Status& status, uint64_t totalLength) {
    LOG_ENTERING();
    // The following commands read the capture the first command made.
    attributes_.writeUint8(definitions::logSpecificField(), sameCaptureLsp);
    core::Payload firstPiece = payload_;
    if (partFile_ != nullptr) {
        const uint64_t start = std::min<uint64_t>(firstPiece.size(), totalLength);
        // Each pass starts the file again from nothing; the pieces come in order.
        if (!partFile_->open() || !partFile_->append(firstPiece.data(), start)) {
            LOG_ERROR(partFile_->failure());
            status = core::Status::failedToWriteFile();
            return finish(status);
        }
        return streamByChunks(status, start, totalLength, [this](uint64_t, const uint8_t* bytes, uint64_t count) {
            return partFile_->append(bytes, count);
        });
    }
    // An earlier pass's buffer is reused when the log fits in it, and let go before a larger
    // one is taken: one log never holds twice its size.
    if (!telemetryData_.empty() && telemetryData_.size() >= totalLength) {
        telemetryData_.truncate(totalLength);
    } else {
        telemetryData_ = core::Payload();
        telemetryData_ = core::Payload(totalLength);
        if (telemetryData_.empty()) {
            status = core::Status::allocationFailed();
            return finish(status);
        }
    }
    return getByChunks(status, firstPiece, telemetryData_);
}

}  // namespace drivekit::features::telemetry
