#pragma once
// Helpers of the simulated-drive tests: drives from built-in or written profiles, and the
// commands a host sends, built with the command classes.
#include <gtest/gtest.h>

#include <boost/filesystem.hpp>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "drivekit/commands/nvme/AdminCommand.h"
#include "drivekit/commands/nvme/GetLogPage.h"
#include "drivekit/commands/nvme/Identify.h"
#include "drivekit/core/xml/XmlObject.h"
#include "host/devices/sim/SimulatedDrive.h"

namespace sim_test {

namespace fs = boost::filesystem;
namespace core = drivekit::core;
namespace nvme = drivekit::commands::nvme;

inline std::shared_ptr<host::sim::SimulatedDrive> builtIn(const std::string& name) {
    std::string error;
    auto drive = host::sim::openSimulatedDrive(name, error);
    EXPECT_TRUE(drive) << error;
    return drive;
}

// A folder of its own per test, removed afterwards.
class SimFolder : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / fs::unique_path("sim-test-%%%%%%%%");
        fs::create_directories(dir);
    }
    void TearDown() override {
        host::sim::setTraceFile("");
        boost::system::error_code ignored;
        fs::remove_all(dir, ignored);
    }
    fs::path write(const std::string& name, const std::string& text) const {
        const fs::path file = dir / name;
        fs::create_directories(file.parent_path());
        std::ofstream(file.string(), std::ios::binary) << text;
        return file;
    }
    // A drive from a profile written with the given text.
    std::shared_ptr<host::sim::SimulatedDrive> drive(const std::string& json) {
        std::string error;
        auto opened = host::sim::openSimulatedDrive(write("profile.json", json).string(), error);
        EXPECT_TRUE(opened) << error;
        return opened;
    }
    fs::path dir;
};

inline nvme::GetLogPage logPage(uint8_t logId, uint32_t bytes, uint64_t offset = 0, uint8_t lsp = 0,
                                uint16_t lsi = 0) {
    nvme::GetLogPage command;
    command.setLogSpecificId(lsi);
    command.setLogId(logId);
    command.entry().nsid = 0xFFFFFFFF;
    command.setNumDwords(bytes / 4 - 1);
    command.setLogPageOffset(offset);
    command.setLogSpecificField(lsp);
    return command;
}

inline nvme::Identify identify(uint8_t cns, uint32_t nsid = 0) {
    nvme::Identify command;
    command.setCns(cns);
    command.entry().nsid = nsid;
    return command;
}

inline core::CommandResult send(host::sim::SimulatedDrive& drive, core::Command& command) {
    return drive.sendCommand(command, core::Payload());
}
inline core::CommandResult send(host::sim::SimulatedDrive& drive, core::Command&& command) {
    return send(drive, command);
}

// The completion entry the drive returned.
inline nvme::CompletionEntry completion(const core::CommandResult& result) {
    nvme::CompletionEntry entry{};
    if (result.protocolResult && result.protocolResult->data().size() >= sizeof(entry)) {
        entry = *result.protocolResult->data().safeCast<nvme::CompletionEntry>();
    }
    return entry;
}

// Status code type and status code of a completion, as "type/code".
inline std::string nvmeStatus(const core::CommandResult& result) {
    const uint16_t field = completion(result).status;
    return std::to_string((field >> 9) & 0x7) + "/" + std::to_string((field >> 1) & 0xFF);
}

// A field at any offset, copied out: drive data puts its fields at odd offsets.
template <typename T>
T valueAt(const core::Payload& data, uint32_t offset) {
    T value;
    std::memcpy(&value, data.safeCast<T>(offset), sizeof value);
    return value;
}
inline uint32_t u32At(const core::Payload& data, uint32_t offset) { return valueAt<uint32_t>(data, offset); }
inline uint16_t u16At(const core::Payload& data, uint32_t offset) { return valueAt<uint16_t>(data, offset); }

// The value of a property along a path of child objects, {"Event 3", "Event Timestamp", "Synch"};
// "<missing NAME>" when a child on the way is absent.
inline std::string propertyAt(const core::xml::XmlObject& root, const std::vector<std::string>& path) {
    const core::xml::XmlObject* object = &root;
    for (std::size_t i = 0; i + 1 < path.size(); ++i) {
        object = object->object(path[i]);
        if (object == nullptr) {
            return "<missing " + path[i] + ">";
        }
    }
    return object->propertyValue(path.back());
}

}  // namespace sim_test
