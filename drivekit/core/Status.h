#pragma once
// The outcome of every device command, feature step and file step: a category
// and a code that identify it, and a message that describes it.
#include <cstdint>
#include <memory>
#include <string>

namespace drivekit::core {

namespace xml {
class XmlObject;
}

class Status {
public:
    static constexpr uint32_t coreCategory = 0;
    static constexpr uint32_t featureCategory = 10;
    static constexpr uint32_t registeredCategory = 100;
    static constexpr uint32_t customCategory = 0xFFFF;

    // The success status (0, 0, "Completed successfully.").
    Status();
    Status(uint32_t category, uint32_t code, std::string message);

    uint32_t category() const { return category_; }
    uint32_t code() const { return code_; }
    std::string message() const { return message_; }
    void setMessage(const std::string& message) { message_ = message; }

    bool isSuccess() const;

    // "Category: N\nCode: N\nMessage: text" (no line feed at the end).
    std::string toString() const;
    // Object of category "status" with the properties Category, Code, Message.
    std::unique_ptr<xml::XmlObject> toXmlObject() const;

    // Same category and code; messages are not compared.
    bool operator==(const Status& other) const {
        return code_ == other.code_ && category_ == other.category_;
    }
    bool operator!=(const Status& other) const { return !(*this == other); }

    // Rows of the fixed status table.
    static Status success();
    static Status notRun();
    static Status outOfBounds();
    static Status nvmeCommandProblem();
    static Status commandSetNotSupported();
    static Status invalidArguments();
    static Status rescanFailed();
    static Status invalidAttributeValue();
    static Status noProtocolResult();
    static Status unexpectedDataLength();
    static Status allocationFailed();
    static Status notImplemented();
    // A command the device did not answer within its command queue's time-out.
    static Status commandTimedOut();
    // The run stopped at a stop request (a signal) between two commands.
    static Status interrupted();
    // The drive's device node went away (pulled, reset, unbound); the message names it.
    static Status deviceGone();
    // The operating system refused the command to this user (a missing capability or access
    // right); the message names what is needed.
    static Status accessRefused();
    // The operating system refused the command before it reached the drive, as it does for a
    // transfer larger than it takes; the drive said nothing.
    static Status transferRefused();
    // The operating system could not send the command for another reason; the message keeps
    // the system's own wording.
    static Status systemError();
    static Status notKestrovaDrive();
    static Status driveDisabled();
    static Status featureNotSupportedByDrive();
    static Status raidVolume();
    static Status retrieveDataFailed();
    static Status featureNotSupported();
    static Status noProperties();
    static Status smartNotEnabled();
    static Status unableToCreateFile();
    static Status failedToWriteFile();
    static Status failedToCreateDirectory();
    static Status telemetryRetrievalFailed();
    static Status ocpNotSupported();
    static Status numDwordsNotSpecified();
    static Status uuidNotSupportedButIndexGiven();
    static Status uuidIndexUnavailable();
    static Status uuidIndexUndetermined();
    // (65535, 65535): its text is meant to be replaced with setMessage().
    static Status custom();

    // Registers a status of category 100 on first use; the same text always gets the
    // code it got the first time. Codes are handed out from 1 upwards.
    static Status registered(const std::string& message);
    // "No device selected." (category 100, the first registered status).
    static Status noDeviceSelected();

private:
    uint32_t code_;
    std::string message_;
    uint32_t category_;
};

}  // namespace drivekit::core
