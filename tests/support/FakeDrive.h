#pragma once
// The drive of the unit tests, set up through its members. It serves NVMe Identify structures
// by (CNS, NSID) as stored, log pages by LID in the slices Get Log Page asks for (zero past the
// page's end), Get Features with what Set Features stored, vendor commands through a test's
// function and ATA commands by command register; whatever it does not hold fails as a refused
// field. Limits fail log transfers above a size (as the drive or as the system refusing them)
// or from an offset on, or answer them short. It notes every command.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "drivekit/commands/ata/Command.h"
#include "drivekit/commands/nvme/Command.h"
#include "drivekit/core/DeviceAttributes.h"
#include "drivekit/core/HostInterface.h"
#include "drivekit/features/identify/decode/IdentifyRecords.h"
#include "drivekit/features/uuid/Uuid.h"

namespace test_support {

namespace core = drivekit::core;
namespace nvme = drivekit::commands::nvme;

// A Get Log Page transfer: offset, length and LSP.
struct Read {
    uint64_t offset, bytes;
    uint8_t lsp;
    bool operator==(const Read& o) const { return std::tie(offset, bytes, lsp) == std::tie(o.offset, o.bytes, o.lsp); }
};

inline uint64_t offsetOf(const nvme::SubmissionEntry& entry) {
    return (static_cast<uint64_t>(entry.cdw13) << 32) | entry.cdw12;
}
inline uint64_t bytesOf(const nvme::SubmissionEntry& entry) {
    return ((static_cast<uint64_t>(entry.cdw11 & 0xFFFF) << 16 | entry.cdw10 >> 16) + 1) * 4;
}

// A command queue that only keeps its time-out.
class TimeoutQueue : public core::CommandQueue {
public:
    explicit TimeoutQueue(uint64_t seconds) : nanoseconds_(seconds * 1000000000ULL) {}
    uint64_t timeoutNanoseconds() const override { return nanoseconds_; }
    void setTimeout(uint64_t nanoseconds) override { nanoseconds_ = nanoseconds; }

private:
    uint64_t nanoseconds_;
};

class FakeDrive : public core::Device {
public:
    explicit FakeDrive(std::set<std::string> speaks = {"NVME"}) : protocols(std::move(speaks)) {}

    FakeDrive& withSerialNumber(const std::string& serial) {
        attributes.writeString(core::attributes::serialNumber(), serial);
        return *this;
    }

    bool isProtocolSupported(const std::string& protocol) const override { return protocols.count(protocol) != 0; }
    core::CommandResult sendCommand(core::Command& command) override { return sendCommand(command, {}); }
    core::CommandResult sendCommand(core::Command& command, const core::Payload& buffer) override {
        if (const auto* ataCommand = dynamic_cast<const drivekit::commands::ata::Command*>(&command)) {
            sentAta.push_back(ataCommand->current().command);
            const auto held = ata.find(sentAta.back());
            return held == ata.end() ? refused() : answered(held->second);
        }
        const auto* nvmeCommand = dynamic_cast<const nvme::Command*>(&command);
        if (nvmeCommand == nullptr) {
            return refused(core::Status::commandSetNotSupported());
        }
        const auto& entry = nvmeCommand->entry();
        sent.push_back(entry);
        if (beforeAnswer) {
            beforeAnswer(entry);
        }
        switch (entry.opcode()) {
        case nvme::opcodes::identify: {
            // Copied out first: the command's fields are packed, and a key may not refer to them.
            const uint32_t nsid = entry.nsid;
            const auto held = identify.find({static_cast<uint8_t>(entry.cdw10 & 0xFF), nsid});
            return held == identify.end() ? refused() : answered(held->second);
        }
        case nvme::opcodes::getLogPage:
            return answerLogPage(entry);
        case nvme::opcodes::getFeatures:
        case nvme::opcodes::setFeatures:
            return answerFeature(entry, buffer);
        default:
            return vendor ? vendor(entry) : refused();
        }
    }

    // The NVMe commands sent, as (CNS, NSID): what a drive asked only for Identify was asked.
    std::vector<std::pair<uint8_t, uint32_t>> identified() const {
        std::vector<std::pair<uint8_t, uint32_t>> pairs;
        for (const auto& entry : sent) {
            pairs.emplace_back(static_cast<uint8_t>(entry.cdw10 & 0xFF), entry.nsid);
        }
        return pairs;
    }

    // The Get Log Page commands sent (of one LID, or of all); releasing only: those whose Retain
    // Asynchronous Event is clear.
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

    std::set<std::string> protocols;
    std::map<std::pair<uint8_t, uint32_t>, core::Payload> identify;  // by CNS and NSID
    std::map<uint8_t, core::Payload> pages;
    std::map<uint8_t, core::Payload> features;
    std::map<uint8_t, uint32_t> featureValues;  // the Dword 11 Set Features left, completed back
    std::map<uint8_t, core::Payload> ata;       // by command register
    // Answers the NVMe commands of no other kind; unset, they fail.
    std::function<core::CommandResult(const nvme::SubmissionEntry&)> vendor;
    // Called with every NVMe command before it is answered; a test changes the drive here.
    std::function<void(const nvme::SubmissionEntry&)> beforeAnswer;
    std::vector<nvme::SubmissionEntry> sent;
    std::vector<uint8_t> sentAta;
    uint64_t rejectAbove = UINT64_MAX;  // the drive's own failure
    uint64_t refuseAbove = UINT64_MAX;  // the system's refusal
    uint64_t failFrom = UINT64_MAX;
    uint64_t answerLimit = UINT64_MAX;
    uint64_t featureAnswerLimit = UINT64_MAX;

private:
    static core::CommandResult answered(const core::Payload& data, const core::Status& status = core::Status()) {
        core::CommandResult result;
        result.data = data;
        result.status = status;
        return result;
    }
    static core::CommandResult refused(const core::Status& status = core::Status(0, 2, "Invalid Field in Command")) {
        return answered({}, status);
    }

    core::CommandResult answerLogPage(const nvme::SubmissionEntry& entry) const {
        const auto page = pages.find(static_cast<uint8_t>(entry.cdw10 & 0xFF));
        const uint64_t offset = offsetOf(entry), length = bytesOf(entry);
        if (length > refuseAbove) {
            return refused(core::Status::transferRefused());
        }
        if (page == pages.end() || offset >= page->second.size() || length > rejectAbove || offset >= failFrom) {
            return refused();
        }
        core::Payload data(std::min(length, answerLimit));
        const uint64_t held = page->second.size() - offset;
        std::memcpy(data.data(), page->second.data() + offset, std::min<uint64_t>(data.size(), held));
        return answered(data);
    }

    // Both complete with the last Dword 11 set.
    core::CommandResult answerFeature(const nvme::SubmissionEntry& entry, const core::Payload& buffer) {
        const uint8_t fid = entry.cdw10 & 0xFF;
        core::CommandResult result;
        if (entry.opcode() == nvme::opcodes::setFeatures) {
            features[fid] = buffer.empty() ? core::Payload() : core::Payload(buffer.data(), buffer.size());
            featureValues[fid] = entry.cdw11;
        } else if (features.count(fid) == 0) {
            return refused();
        } else {
            const auto& held = features[fid];
            result.data = core::Payload(held.data(), std::min<uint64_t>(held.size(), featureAnswerLimit));
        }
        nvme::CompletionEntry completion{};
        completion.dw0 = featureValues[fid];
        result.protocolResult = std::make_unique<core::ProtocolResult>(core::Payload(&completion, sizeof(completion)));
        return result;
    }
};

// The maker's NVMe drive; serial numbers keep the process-wide UUID registry apart.
inline std::shared_ptr<FakeDrive> makersDrive(const std::string& serial = "MAKERS") {
    auto drive = std::make_shared<FakeDrive>();
    drive->withSerialNumber(serial).attributes.writeBool(core::attributes::kestrova(), true);
    return drive;
}

template <typename T>
void put(core::Payload& data, uint32_t offset, T value) {
    std::memcpy(data.at(offset), &value, sizeof value);
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

// The first count bytes of a payload (fewer when it is shorter).
inline std::vector<uint8_t> bytes(const core::Payload& payload, uint64_t count = UINT64_MAX) {
    return std::vector<uint8_t>(payload.data(), payload.data() + std::min<uint64_t>(count, payload.size()));
}

// An Identify structure of 4096 bytes whose first byte is marker.
inline core::Payload marked(uint8_t marker) {
    core::Payload data(4096);
    *data.at(0) = marker;
    return data;
}

// A namespace list of 4096 bytes holding ids.
inline core::Payload namespaceListOf(const std::vector<uint32_t>& ids) {
    core::Payload data(4096);
    for (std::size_t i = 0; i < ids.size(); ++i) {
        put(data, static_cast<uint32_t>(i * 4), ids[i]);
    }
    return data;
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

}  // namespace test_support
