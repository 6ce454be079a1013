#include "drivekit/core/Status.h"

#include <map>
#include <mutex>

#include "drivekit/core/xml/XmlObject.h"
#include "drivekit/core/xml/XmlProperty.h"

namespace drivekit::core {

Status::Status() : Status(coreCategory, 0, "Completed successfully.") {}

Status::Status(uint32_t category, uint32_t code, std::string message)
    : code_(code), message_(std::move(message)), category_(category) {}

bool Status::isSuccess() const { return *this == Status(); }

std::string Status::toString() const {
    return "Category: " + std::to_string(category_) + "\nCode: " + std::to_string(code_) +
           "\nMessage: " + message_;
}

std::unique_ptr<xml::XmlObject> Status::toXmlObject() const {
    auto object = std::make_unique<xml::XmlObject>();
    object->setAttribute(xml::keys::category, "status");
    object->addProperty("Category", std::to_string(category_));
    object->addProperty("Code", std::to_string(code_));
    object->addProperty("Message", message_);
    return object;
}

Status Status::success() { return Status(); }
Status Status::notRun() { return {coreCategory, 1, "Not run."}; }
Status Status::outOfBounds() { return {coreCategory, 14, "Request is out of bounds."}; }
Status Status::nvmeCommandProblem() { return {coreCategory, 25, "NVMe command reported a problem."}; }
Status Status::commandSetNotSupported() {
    return {coreCategory, 35, "Device does not support this command set."};
}
Status Status::invalidArguments() { return {coreCategory, 36, "Invalid arguments."}; }
Status Status::rescanFailed() { return {coreCategory, 39, "System rescan failed."}; }
Status Status::invalidAttributeValue() {
    return {coreCategory, 40, "Invalid value type provided for the attribute."};
}
Status Status::noProtocolResult() {
    return {coreCategory, 48, "No protocol result data was returned from the driver."};
}
Status Status::unexpectedDataLength() {
    return {coreCategory, 49, "The IO command passed, but did not return the expected amount of data."};
}
Status Status::allocationFailed() {
    return {coreCategory, 87, "Unable to allocate memory. NULL pointer was given."};
}
Status Status::notImplemented() { return {coreCategory, 93, "Not implemented."}; }
Status Status::commandTimedOut() { return {coreCategory, 94, "The command timed out."}; }
Status Status::interrupted() { return {coreCategory, 95, "Interrupted."}; }
Status Status::deviceGone() { return {coreCategory, 96, "The drive is gone."}; }
Status Status::accessRefused() { return {coreCategory, 97, "Access to the drive was refused."}; }
Status Status::transferRefused() { return {coreCategory, 98, "The system refused the command's transfer."}; }
Status Status::systemError() { return {coreCategory, 99, "The system could not send the command."}; }
Status Status::notKestrovaDrive() { return {featureCategory, 1, "Drive is not a Kestrova SSD."}; }
Status Status::driveDisabled() {
    return {featureCategory, 2, "Selected drive is in a disable logical state."};
}
Status Status::featureNotSupportedByDrive() {
    return {featureCategory, 3, "The selected drive does not support this feature."};
}
Status Status::raidVolume() {
    return {featureCategory, 11,
            "This feature cannot run on a RAID volume. Select a specific RAID member to run this "
            "feature."};
}
Status Status::retrieveDataFailed() {
    return {featureCategory, 33, "Failed to retrieve data from selected drive."};
}
Status Status::featureNotSupported() { return {featureCategory, 34, "Feature is not supported."}; }
Status Status::noProperties() {
    return {featureCategory, 38, "No properties specified for this feature."};
}
Status Status::smartNotEnabled() { return {featureCategory, 60, "SMART is not enabled."}; }
Status Status::unableToCreateFile() { return {featureCategory, 104, "Unable to create file."}; }
Status Status::failedToWriteFile() { return {featureCategory, 168, "Failed to write to file."}; }
Status Status::failedToCreateDirectory() {
    return {featureCategory, 194, "Failed to create directory."};
}
Status Status::telemetryRetrievalFailed() {
    return {featureCategory, 200, "Failed to retrieve telemetry data."};
}
Status Status::ocpNotSupported() {
    return {featureCategory, 254,
            "Open Compute Project NVMe Cloud SSD Specification not supported on this drive."};
}
Status Status::numDwordsNotSpecified() {
    return {featureCategory, 274, "Failed to specify number of dwords."};
}
Status Status::uuidNotSupportedButIndexGiven() {
    return {featureCategory, 282, "UUID Not supported, but UUID index specified."};
}
Status Status::uuidIndexUnavailable() {
    return {featureCategory, 283, "Unable to retrieve UUID index."};
}
Status Status::uuidIndexUndetermined() {
    return {featureCategory, 284, "Unable to retrieve log data. UUID index cannot be determined."};
}
Status Status::custom() {
    return {customCategory, 0xFFFF,
            "Custom modifiable error message to be set by developer using setMessage()"};
}

Status Status::registered(const std::string& message) {
    static std::mutex guard;
    static std::map<std::string, uint32_t> codes;
    static uint32_t lastCode = 0;
    std::lock_guard<std::mutex> lock(guard);
    auto found = codes.find(message);
    if (found == codes.end()) {
        found = codes.emplace(message, ++lastCode).first;
    }
    return {registeredCategory, found->second, message};
}

Status Status::noDeviceSelected() {
    static const Status status = registered("No device selected.");
    return status;
}

}  // namespace drivekit::core
