#pragma once
// A drive for the log-page tests: serves stored pages by LID in the slices Get Log Page asks
// for (zero past the page's end), answers Identify UUID List from a stored structure and Get
// Features with what Set Features stored, can fail transfers above a size (as the drive or as
// the system refusing them) or offsets from a point on, and notes every command.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "drivekit/commands/nvme/Command.h"
#include "drivekit/core/DeviceAttributes.h"
#include "drivekit/core/HostInterface.h"
#include "drivekit/features/identify/decode/IdentifyRecords.h"
#include "drivekit/features/uuid/Uuid.h"

namespace log_page_test {

namespace core = drivekit::core;
namespace nvme = drivekit::commands::nvme;

struct Read {
    uint64_t offset, bytes;
    uint8_t lsp;
    bool operator==(const Read& o) const { return std::tie(offset, bytes, lsp) == std::tie(o.offset, o.bytes, o.lsp); }
};

// A command queue that only keeps its time-out.
class TimeoutQueue : public core::CommandQueue {
public:
    explicit TimeoutQueue(uint64_t seconds) : nanoseconds_(seconds * 1000000000ULL) {}
    uint64_t timeoutNanoseconds() const override { return nanoseconds_; }
    void setTimeout(uint64_t nanoseconds) override { nanoseconds_ = nanoseconds; }

private:
    uint64_t nanoseconds_;
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
    core::CommandResult sendCommand(core::Command& command, const core::Payload& buffer) override {
        const auto& entry = dynamic_cast<nvme::Command&>(command).entry();
        sent.push_back(entry);
        if (beforeAnswer) {
            beforeAnswer(entry);
        }
        core::CommandResult result;
        if (entry.opcode() == nvme::opcodes::getFeatures || entry.opcode() == nvme::opcodes::setFeatures) {
            return answerFeature(entry, buffer);
        }
        const core::Payload* source = entry.opcode() == nvme::opcodes::identify ? &uuidList : nullptr;
        const uint64_t offset = entry.opcode() == nvme::opcodes::getLogPage ? offsetOf(entry) : 0;
        uint64_t bytes = entry.opcode() == nvme::opcodes::getLogPage ? bytesOf(entry) : 4096;
        if (entry.opcode() == nvme::opcodes::getLogPage) {
            const auto page = pages.find(static_cast<uint8_t>(entry.cdw10 & 0xFF));
            source = page == pages.end() ? nullptr : &page->second;
        }
        if (entry.opcode() == nvme::opcodes::getLogPage && bytes > refuseAbove) {
            result.status = core::Status::transferRefused();
            return result;
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

    // The Get Log Page commands sent (of one LID, or of all), as offset, length and LSP; releasing
    // only: those whose Retain Asynchronous Event is clear.
    std::vector<Read> reads(int logId = -1, bool releasingOnly = false) const {
        std::vector<Read> list;
        for (const auto& entry : sent) {
            if (entry.opcode() == nvme::opcodes::getLogPage && (logId < 0 || (entry.cdw10 & 0xFF) == unsigned(logId)) &&
                !(releasingOnly && (entry.cdw10 & 0x8000) != 0)) {
                list.push_back({offsetOf(entry), bytesOf(entry), static_cast<uint8_t>((entry.cdw10 >> 8) & 0x7F)});
            }
        }
        return list;
    }

    // Features by identifier: Get Features answers a copy, at most featureAnswerLimit bytes
    // (fails when absent), Set Features stores a copy of the bytes sent; both complete with the
    // last Dword 11 set.
    core::CommandResult answerFeature(const nvme::SubmissionEntry& entry, const core::Payload& buffer) {
        core::CommandResult result;
        const uint8_t fid = entry.cdw10 & 0xFF;
        if (entry.opcode() == nvme::opcodes::setFeatures) {
            features[fid] = buffer.empty() ? core::Payload() : core::Payload(buffer.data(), buffer.size());
            featureValues[fid] = entry.cdw11;
        } else if (features.count(fid) == 0) {
            result.status = core::Status(0, 2, "Invalid Field in Command");
            return result;
        } else {
            const auto& held = features[fid];
            result.data = core::Payload(held.data(), std::min<uint64_t>(held.size(), featureAnswerLimit));
        }
        nvme::CompletionEntry completion{};
        completion.dw0 = featureValues[fid];
        result.protocolResult = std::make_unique<core::ProtocolResult>(core::Payload(&completion, sizeof(completion)));
        return result;
    }

    std::map<uint8_t, core::Payload> pages;
    std::map<uint8_t, core::Payload> features;
    std::map<uint8_t, uint32_t> featureValues;
    core::Payload uuidList;
    std::vector<nvme::SubmissionEntry> sent;
    // Called with every command before it is answered; a test changes the drive here.
    std::function<void(const nvme::SubmissionEntry&)> beforeAnswer;
    uint64_t rejectAbove = UINT64_MAX;  // the drive's own failure
    uint64_t refuseAbove = UINT64_MAX;  // the system's refusal
    uint64_t failFrom = UINT64_MAX;
    uint64_t answerLimit = UINT64_MAX;
    uint64_t featureAnswerLimit = UINT64_MAX;
    bool nvmeDrive = true;
};

template <typename T>
void put(core::Payload& page, uint32_t offset, T value) {
    std::memcpy(page.at(offset), &value, sizeof value);
}

// size bytes counting up, so that a misplaced piece shows, with header fields written over
// them by fill.
inline core::Payload pageOf(uint32_t size, const std::function<void(core::Payload&)>& fill = {}) {
    core::Payload page(size);
    for (uint32_t i = 0; i < size; ++i) {
        *page.at(i) = static_cast<uint8_t>(i % 251 + 1);
    }
    if (fill) {
        fill(page);
    }
    return page;
}

// A UUID List structure holding ids in order, each with the vendor association (not part of
// the UUID).
inline core::Payload uuidListOf(const std::vector<drivekit::features::uuid::Uuid>& ids) {
    using drivekit::features::identify::decode::UuidListStructure;
    core::Payload data(sizeof(UuidListStructure));
    for (std::size_t i = 0; i < ids.size(); ++i) {
        auto& entry = data.safeCast<UuidListStructure>()->entries[i];
        entry.association = 0x01;
        std::copy(ids[i].begin(), ids[i].end(), entry.uuid);
    }
    return data;
}

// The first count bytes of a payload (fewer when it is shorter).
inline std::vector<uint8_t> bytes(const core::Payload& payload, uint64_t count) {
    return std::vector<uint8_t>(payload.data(), payload.data() + std::min<uint64_t>(count, payload.size()));
}

}  // namespace log_page_test
