#pragma once
// What the log-page and telemetry end-to-end tests share: the simulated drive's trace, the
// log_pages entries of a package, and the bytes a fresh drive serves.
#include <cstdio>

#include "E2eSupport.h"
#include "drivekit/commands/CommandSender.h"
#include "drivekit/commands/nvme/GetLogPage.h"
#include "drivekit/commands/nvme/SetFeatures.h"
#include "host/devices/sim/SimulatedDrive.h"

namespace e2e {

// One NVMe line of the drive's trace.
struct Traced {
    unsigned opcode = 0;
    uint32_t cdw10 = 0, cdw11 = 0, cdw12 = 0;
    bool ok = false;
};

inline std::vector<Traced> readTrace(const fs::path& file) {
    std::vector<Traced> commands;
    for (const auto& line : lines(readFile(file))) {
        Traced c;
        if (std::sscanf(line.c_str(), "NVME opc=0x%x nsid=0x%*x cdw10=0x%x cdw11=0x%x cdw12=0x%x", &c.opcode, &c.cdw10,
                        &c.cdw11, &c.cdw12) == 4) {
            c.ok = contains(line, "-> 0/0");
            commands.push_back(c);
        }
    }
    return commands;
}

inline std::string hex(unsigned value) {
    char text[8];
    std::snprintf(text, sizeof(text), "0x%02x", value);
    return text;
}

constexpr unsigned getLogPage = 0x02;
constexpr unsigned setFeatures = 0x09;
inline bool isGetLog(const Traced& c, unsigned logId) { return c.opcode == getLogPage && (c.cdw10 & 0xFF) == logId; }
inline bool isSetFeature(const Traced& c, unsigned id) { return c.opcode == setFeatures && (c.cdw10 & 0xFF) == id; }

// The bytes the drive returns to one command, which must succeed.
inline std::string bytesOf(drivekit::core::Device& drive, drivekit::core::Command& command) {
    drivekit::commands::CommandSender sender(drive);
    const auto status = sender.send(command);
    EXPECT_TRUE(status.isSuccess()) << status.message();
    const auto& data = sender.data();
    return data.empty() ? std::string() : std::string(reinterpret_cast<const char*>(data.data()), data.size());
}

// One read of length bytes of a log page from offset on.
inline std::string readLog(drivekit::core::Device& drive, unsigned logId, unsigned lsp, unsigned lsi, uint64_t offset,
                           uint32_t length) {
    drivekit::commands::nvme::GetLogPage command;
    command.setLogId(static_cast<uint8_t>(logId));
    command.setLogSpecificField(static_cast<uint8_t>(lsp));
    command.setLogSpecificId(static_cast<uint16_t>(lsi));
    command.setLogPageOffset(offset);
    command.setNumDwords(length / 4 - 1);
    return bytesOf(drive, command);
}

// Host Behavior Support with data area 4 allowed, as the telemetry reader sets it.
inline void allowDataArea4(drivekit::core::Device& drive) {
    drivekit::commands::nvme::SetFeatures command;
    command.setFeatureId(0x16);
    drivekit::core::Payload data(512);
    *data.at(1) = 1;
    command.setTransferBytes(data.size());
    drivekit::commands::CommandSender sender(drive);
    EXPECT_TRUE(sender.send(command, data).isSuccess());
}

// What a fresh drive of the profile gives to read, after the steps before.
inline std::string served(const std::string& profile, const std::function<std::string(drivekit::core::Device&)>& read,
                          const std::function<void(drivekit::core::Device&)>& before = {}) {
    std::string error;
    const auto drive = host::sim::openSimulatedDrive(profile, error);
    EXPECT_TRUE(drive) << error;
    if (drive && before) {
        before(*drive);
    }
    return drive ? read(*drive) : std::string();
}

// The bytes a fresh drive of the profile serves to one read of length bytes at offset 0.
inline std::string servedPage(const std::string& profile, unsigned logId, unsigned lsp, unsigned lsi, uint32_t length,
                              const std::function<void(drivekit::core::Device&)>& before = {}) {
    return served(profile, [&](auto& drive) { return readLog(drive, logId, lsp, lsi, 0, length); }, before);
}

}  // namespace e2e
