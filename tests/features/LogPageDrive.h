#pragma once
// A drive for the log-page tests: serves stored pages by LID in the slices Get Log Page asks
// for (zero past the page's end), answers Identify UUID List from a stored structure, can
// refuse transfers above a size or offsets from a point on, and notes every command.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "drivekit/commands/nvme/Command.h"
#include "drivekit/core/DeviceAttributes.h"
#include "drivekit/core/HostInterface.h"

namespace log_page_test {

namespace core = drivekit::core;
namespace nvme = drivekit::commands::nvme;

struct Read {
    uint64_t offset;
    uint64_t bytes;
    uint8_t lsp;
    bool operator==(const Read& other) const {
        return offset == other.offset && bytes == other.bytes && lsp == other.lsp;
    }
};

inline uint64_t offsetOf(const nvme::SubmissionEntry& entry) {
    return (static_cast<uint64_t>(entry.cdw13) << 32) | entry.cdw12;
}
inline uint64_t bytesOf(const nvme::SubmissionEntry& entry) {
    return ((static_cast<uint64_t>(entry.cdw11 & 0xFFFF) << 16 | entry.cdw10 >> 16) + 1) * 4;
}

class LogPageDrive : public core::Device {
public:
    // The maker's NVMe drive; serial numbers keep the process-wide UUID registry apart.
    explicit LogPageDrive(const std::string& serial = "LOG-PAGES") {
        attributes.writeBool(core::attributes::kestrova(), true);
        attributes.writeString(core::attributes::serialNumber(), serial);
    }

    bool isProtocolSupported(const std::string& protocol) const override { return nvmeDrive && protocol == "NVME"; }
    core::CommandResult sendCommand(core::Command& command) override { return sendCommand(command, {}); }
    core::CommandResult sendCommand(core::Command& command, const core::Payload&) override {
        const auto& entry = dynamic_cast<nvme::Command&>(command).entry();
        sent.push_back(entry);
        core::CommandResult result;
        const core::Payload* source = entry.opcode() == nvme::opcodes::identify ? &uuidList : nullptr;
        const uint64_t offset = entry.opcode() == nvme::opcodes::getLogPage ? offsetOf(entry) : 0;
        uint64_t bytes = entry.opcode() == nvme::opcodes::getLogPage ? bytesOf(entry) : 4096;
        if (entry.opcode() == nvme::opcodes::getLogPage) {
            const auto page = pages.find(static_cast<uint8_t>(entry.cdw10 & 0xFF));
            source = page == pages.end() ? nullptr : &page->second;
        }
        if (source == nullptr || source->empty() || offset >= source->size() || bytes > rejectAbove ||
            offset >= failFrom) {
            result.status = core::Status(0, 2, "Invalid Field in Command");
            return result;
        }
        bytes = std::min(bytes, answerLimit);
        core::Payload data(bytes);
        std::memcpy(data.data(), source->data() + offset, std::min<uint64_t>(bytes, source->size() - offset));
        result.data = data;
        return result;
    }

    // The Get Log Page commands sent, as offset, length and LSP.
    std::vector<Read> reads() const {
        std::vector<Read> list;
        for (const auto& entry : sent) {
            if (entry.opcode() == nvme::opcodes::getLogPage) {
                list.push_back({offsetOf(entry), bytesOf(entry), static_cast<uint8_t>((entry.cdw10 >> 8) & 0x7F)});
            }
        }
        return list;
    }

    std::map<uint8_t, core::Payload> pages;
    core::Payload uuidList;
    std::vector<nvme::SubmissionEntry> sent;
    uint64_t rejectAbove = UINT64_MAX;
    uint64_t failFrom = UINT64_MAX;
    uint64_t answerLimit = UINT64_MAX;
    bool nvmeDrive = true;
};

}  // namespace log_page_test
