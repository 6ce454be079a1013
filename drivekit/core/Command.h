#pragma once
// Base of every request to a drive: the protocol path it takes and the operation's name.
#include <memory>
#include <string>

#include "drivekit/core/xml/XmlObject.h"

namespace drivekit::core {

namespace protocols {
inline const std::string nvme = "NVME";
inline const std::string ata = "ATA";
inline const std::string smart = "SMART";
}  // namespace protocols

class Command {
public:
    Command(std::string protocol, std::string name)
        : protocol_(std::move(protocol)), name_(std::move(name)) {}
    virtual ~Command() = default;

    // A plain command of the protocol's base class with the same name and fields.
    virtual std::unique_ptr<Command> clone() const = 0;
    // Multi-line dump for verbose logs.
    virtual std::string toString() const = 0;
    virtual std::unique_ptr<xml::XmlObject> toXmlObject() const = 0;
    virtual void copyBaseFields(const Command& other) {
        protocol_ = other.protocol_;
        name_ = other.name_;
    }

    std::string name() const { return name_; }
    const std::string& protocol() const { return protocol_; }

protected:
    Command(const Command&) = default;
    Command& operator=(const Command&) = default;
    void setProtocol(std::string protocol) { protocol_ = std::move(protocol); }

private:
    std::string protocol_;
    std::string name_;
};

}  // namespace drivekit::core
