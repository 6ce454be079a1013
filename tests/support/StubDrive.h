#pragma once
// A drive for tests that only need its attributes: it speaks the protocols it is given and
// answers every command with one fixed status, without data.
#include <set>
#include <string>
#include <utility>

#include "drivekit/core/DeviceAttributes.h"
#include "drivekit/core/HostInterface.h"

namespace test_support {

class StubDrive : public drivekit::core::Device {
public:
    // Stands for every protocol in the constructor's set.
    static inline const std::string anyProtocol = "*";

    explicit StubDrive(std::set<std::string> protocols = {anyProtocol},
                       drivekit::core::Status answer = drivekit::core::Status())
        : protocols_(std::move(protocols)), answer_(std::move(answer)) {}

    StubDrive& withSerialNumber(const std::string& serial) {
        attributes.writeString(drivekit::core::attributes::serialNumber(), serial);
        return *this;
    }
    StubDrive& withModelNumber(const std::string& model) {
        attributes.writeString(drivekit::core::attributes::modelNumber(), model);
        return *this;
    }

    bool isProtocolSupported(const std::string& protocol) const override {
        return protocols_.count(anyProtocol) != 0 || protocols_.count(protocol) != 0;
    }
    drivekit::core::CommandResult sendCommand(drivekit::core::Command&, const drivekit::core::Payload&) override {
        return answer();
    }
    drivekit::core::CommandResult sendCommand(drivekit::core::Command&) override { return answer(); }

private:
    drivekit::core::CommandResult answer() const {
        drivekit::core::CommandResult result;
        result.status = answer_;
        return result;
    }

    std::set<std::string> protocols_;
    drivekit::core::Status answer_;
};

}  // namespace test_support
