#pragma once
// A drive for the Identify tests: answers NVMe Identify from structures a test stores per
// (CNS, NSID), answers the ATA commands of the identify sequence, and notes every command.
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "drivekit/commands/ata/Command.h"
#include "drivekit/commands/nvme/Command.h"
#include "drivekit/core/DeviceAttributes.h"
#include "drivekit/core/HostInterface.h"

namespace identify_test {

namespace core = drivekit::core;

struct SentCommand {
    std::string protocol;
    uint8_t opcode = 0;  // NVMe opcode or ATA command register
    uint8_t cns = 0, csi = 0;
    uint32_t nsid = 0;
};

class FakeIdentifyDrive : public core::Device {
public:
    explicit FakeIdentifyDrive(std::set<std::string> protocols = {"NVME"}) : protocols_(std::move(protocols)) {}

    bool isProtocolSupported(const std::string& protocol) const override { return protocols_.count(protocol) != 0; }

    core::CommandResult sendCommand(core::Command& command, const core::Payload&) override {
        return sendCommand(command);
    }

    core::CommandResult sendCommand(core::Command& command) override {
        SentCommand sent;
        sent.protocol = command.protocol();
        if (const auto* nvme = dynamic_cast<const drivekit::commands::nvme::Command*>(&command)) {
            sent.opcode = nvme->entry().opcode();
            sent.cns = static_cast<uint8_t>(nvme->entry().cdw10 & 0xFF);
            sent.nsid = nvme->entry().nsid;
            sent.csi = static_cast<uint8_t>(nvme->entry().cdw11 >> 24);
        } else if (const auto* ata = dynamic_cast<const drivekit::commands::ata::Command*>(&command)) {
            sent.opcode = ata->current().command;
        }
        sent_.push_back(sent);
        return answer(sent);
    }

    // The structure answered for (cns, nsid); any other NVMe Identify fails.
    void store(uint8_t cns, uint32_t nsid, core::Payload data) { nvme_[{cns, nsid}] = std::move(data); }
    void forget(uint8_t cns, uint32_t nsid) { nvme_.erase({cns, nsid}); }
    // The same structure for (cns, nsid) as 4096 bytes whose first byte is marker.
    void storeMarked(uint8_t cns, uint32_t nsid, uint8_t marker) {
        core::Payload data(4096);
        *data.at(0) = marker;
        store(cns, nsid, data);
    }
    // A namespace list of 4096 bytes holding ids.
    void storeList(uint8_t cns, const std::vector<uint32_t>& ids) {
        core::Payload data(4096);
        for (std::size_t i = 0; i < ids.size(); ++i) {
            *data.safeCast<uint32_t>(static_cast<uint32_t>(i * 4)) = ids[i];
        }
        store(cns, 0, data);
    }
    // ATA commands by command register; an absent one fails.
    void storeAta(uint8_t command, core::Payload data) { ata_[command] = std::move(data); }

    void setBool(const core::Attribute& definition, bool value) { attributes.writeBool(definition, value); }
    void setText(const core::Attribute& key, const std::string& text) { attributes.writeString(key, text); }

    const std::vector<SentCommand>& sent() const { return sent_; }
    std::vector<std::pair<uint8_t, uint32_t>> sentIdentify() const {
        std::vector<std::pair<uint8_t, uint32_t>> pairs;
        for (const auto& command : sent_) {
            if (command.protocol == "NVME") {
                pairs.emplace_back(command.cns, command.nsid);
            }
        }
        return pairs;
    }

private:
    core::CommandResult answer(const SentCommand& sent) const {
        core::CommandResult result;
        const auto nvme = nvme_.find({sent.cns, sent.nsid});
        const auto ata = ata_.find(sent.opcode);
        if (sent.protocol == "NVME" ? nvme == nvme_.end() : ata == ata_.end()) {
            result.status = core::Status(0, 2, "Invalid Field in Command");
        } else {
            result.data = sent.protocol == "NVME" ? nvme->second : ata->second;
        }
        return result;
    }

    std::set<std::string> protocols_;
    std::map<std::pair<uint8_t, uint32_t>, core::Payload> nvme_;
    std::map<uint8_t, core::Payload> ata_;
    std::vector<SentCommand> sent_;
};

}  // namespace identify_test
