#include "host/devices/sim/SimulatedDrive.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

#include <boost/date_time/posix_time/posix_time.hpp>

#include "drivekit/commands/ata/Command.h"
#include "drivekit/commands/nvme/Command.h"
#include "drivekit/core/logging/Log.h"
#include "host/decode/PackageReader.h"
#include "host/devices/AdminQueue.h"
#include "host/devices/GoneDevice.h"
#include "host/devices/sim/SimAta.h"
#include "host/devices/sim/SimAttributeTable.h"
#include "host/devices/sim/SimFeatures.h"
#include "host/devices/sim/SimIdentify.h"
#include "host/devices/sim/SimLogPages.h"
#include "host/devices/sim/SimLogSlice.h"
#include "host/devices/sim/SimPackageDrive.h"
#include "host/devices/sim/SimProfileLoader.h"
#include "host/devices/sim/SimTelemetryCaptures.h"
#include "host/devices/sim/SimTrace.h"
#include "host/devices/sim/SimVendorChannel.h"

namespace host::sim {

namespace core = drivekit::core;
namespace nvme = drivekit::commands::nvme;
namespace ata = drivekit::commands::ata;

namespace {

// No transfer larger than this is built, whatever the drive's MDTS says (256 MiB).
constexpr uint64_t transferCeiling = 256ULL << 20;
constexpr uint32_t minimumPageSize = 4096;

uint64_t logPageLength(const nvme::SubmissionEntry& entry) {
    const uint64_t dwords = ((static_cast<uint64_t>(entry.cdw11 & 0xFFFF) << 16) | (entry.cdw10 >> 16)) + 1;
    return dwords * 4;
}

uint64_t logPageOffset(const nvme::SubmissionEntry& entry) {
    return (static_cast<uint64_t>(entry.cdw13) << 32) | entry.cdw12;
}

// The bytes a command moves, as the controller reads it from the command.
uint64_t nvmeTransferLength(const nvme::SubmissionEntry& entry, uint64_t transferBytes) {
    switch (entry.opcode()) {
        case nvme::opcodes::getLogPage: return logPageLength(entry);
        case nvme::opcodes::identify: return SimIdentify::structureSize;
        case nvme::opcodes::vendorReceive: return static_cast<uint64_t>(entry.cdw10) * 4;
        default: return transferBytes;
    }
}

SimCommandFacts nvmeFacts(const nvme::SubmissionEntry& entry, uint64_t length) {
    SimCommandFacts facts;
    facts.protocol = core::protocols::nvme;
    facts.opcode = entry.opcode();
    facts.length = length;
    const auto low = static_cast<uint8_t>(entry.cdw10 & 0xFF);
    switch (entry.opcode()) {
        case nvme::opcodes::getLogPage:
            facts.logId = low;
            facts.offset = logPageOffset(entry);
            break;
        case nvme::opcodes::identify: facts.cns = low; break;
        case nvme::opcodes::getFeatures:
        case nvme::opcodes::setFeatures: facts.featureId = low; break;
        default: break;
    }
    return facts;
}

// The payload cut down to its first count bytes (a fault's short transfer).
core::Payload truncated(const core::Payload& data, uint64_t count) {
    if (count >= data.size()) {
        return data;
    }
    return count == 0 ? core::Payload() : core::Payload(data.data(), count);
}

core::Status ataFailure(const SimResponse& response) {
    core::Status status = core::Status::custom();
    char text[96];
    std::snprintf(text, sizeof(text), "ATA command aborted (status 0x%02X, error 0x%02X).",
                  response.ataOutput.command, response.ataOutput.feature);
    status.setMessage(text);
    return status;
}

SimResponse applyDataFault(SimResponse response, const SimFault* fault) {
    if (fault == nullptr || response.failed()) {
        return response;
    }
    if (fault->action == SimFault::Action::noData) {
        response.data = core::Payload();
    } else if (fault->action == SimFault::Action::shortData) {
        response.data = truncated(response.data, fault->bytes);
    }
    return response;
}

bool removes(const SimFault* fault) { return fault != nullptr && fault->action == SimFault::Action::remove; }

// What a real drive's pass-through answers once its device node is gone.
core::Status removedDriveStatus(const std::string& path, const core::Command& command) {
    return devices::goneDeviceStatus(path, std::strerror(ENODEV), "sending " + command.name());
}

// The drive really takes its time, as a busy one does: a signal can land while it works.
void delayIfAsked(const SimFault* fault) {
    if (fault != nullptr && fault->action == SimFault::Action::delay) {
        std::this_thread::sleep_for(std::chrono::milliseconds(fault->milliseconds));
    }
}

bool failsBeforeRunning(const SimFault* fault) {
    return fault != nullptr &&
           (fault->action == SimFault::Action::status || fault->action == SimFault::Action::sizeLimit);
}

}  // namespace

SimulatedDrive::SimulatedDrive(SimProfile profile)
    : profile_(std::move(profile)),
      replay_(profile_.replayPackage ? SimReplay(profile_.replayPackage) : SimReplay(profile_.replayFolder)),
      faults_(profile_.faults) {
    attributes = profile_.attributes;
    attributes.writeString(definitions::connection(), "simulated");
    queues.push_back(std::make_shared<devices::AdminQueue>());
    SimFeatures::initialise(profile_, state_);
    SimTelemetryCaptures::initialise(profile_, state_);
}

std::string SimulatedDrive::path() const { return profile_.path; }

bool SimulatedDrive::isProtocolSupported(const std::string& protocol) const { return profile_.speaks(protocol); }

core::CommandResult SimulatedDrive::sendCommand(core::Command& command, const core::Payload& data) {
    return execute(command, &data);
}

core::CommandResult SimulatedDrive::sendCommand(core::Command& command) { return execute(command, nullptr); }

core::CommandResult SimulatedDrive::execute(core::Command& command, const core::Payload* data) {
    core::CommandResult result;
    result.startTime = boost::posix_time::microsec_clock::local_time();
    // A refused command never reaches the drive, nor its trace.
    if (result.status = admit(command); !result.status.isSuccess()) {
        result.endTime = result.startTime;
        return result;
    }
    const std::string& protocol = command.protocol();
    const bool known = protocol == core::protocols::nvme || protocol == core::protocols::ata ||
                       protocol == core::protocols::smart;
    if (known && profile_.speaks(protocol) && protocol == core::protocols::nvme) {
        const auto& nvmeCommand = static_cast<const nvme::Command&>(command);
        const uint64_t timeout = commandTimeout();
        const SimResponse response = executeNvme(nvmeCommand.entry(), nvmeCommand.transferBytes, data, timeout);
        if (response.gone) {
            result.status = removedDriveStatus(path(), command);
        } else if (response.timedOut) {
            // No completion arrives within the time-out: no protocol result and no data.
            result.status = core::Status::commandTimedOut();
            LOG_DEBUG("NVMe opcode 0x" << std::hex << int(nvmeCommand.entry().opcode()) << " timed out after "
                                       << std::dec << timeout << " ns");
        } else {
            nvme::CompletionEntry completion{};
            completion.dw0 = response.failed() ? 0 : response.dw0;  // a failed command returns no value
            completion.cid = static_cast<uint16_t>(nvmeCommand.entry().cdw0 >> 16);
            completion.status = response.nvmeStatus.completionField();
            result.protocolResult =
                std::make_unique<core::ProtocolResult>(core::Payload(&completion, sizeof(completion)));
            if (response.failed()) {
                result.status = core::Status::nvmeCommandProblem();
                LOG_DEBUG("NVMe opcode 0x" << std::hex << int(nvmeCommand.entry().opcode()) << " failed: "
                                           << response.nvmeStatus.describe());
            } else {
                result.data = response.data;
            }
        }
        SimTrace::write(SimTrace::nvmeLine(nvmeCommand.entry(), nvmeCommand.transferBytes, timeout, result.status));
    } else if (known && profile_.speaks(protocol)) {
        const auto& ataCommand = static_cast<const ata::Command&>(command);
        const SimResponse response = executeAta(command);
        if (response.gone) {
            result.status = removedDriveStatus(path(), command);
        } else {
            result.protocolResult = std::make_unique<core::ProtocolResult>(
                core::Payload(&response.ataOutput, sizeof(response.ataOutput)));
            if (response.failed()) {
                result.status = ataFailure(response);
            } else {
                result.data = response.data;
            }
        }
        SimTrace::write(SimTrace::ataLine(protocol, ataCommand.current(), ataCommand.transferBlocks, result.status));
    } else {
        // No path to the drive for this protocol: nothing reaches the drive.
        result.status = core::Status::commandSetNotSupported();
        if (protocol == core::protocols::nvme) {
            const auto& nvmeCommand = static_cast<const nvme::Command&>(command);
            SimTrace::write(
                SimTrace::nvmeLine(nvmeCommand.entry(), nvmeCommand.transferBytes, commandTimeout(), result.status));
        } else if (known) {
            const auto& ataCommand = static_cast<const ata::Command&>(command);
            SimTrace::write(
                SimTrace::ataLine(protocol, ataCommand.current(), ataCommand.transferBlocks, result.status));
        } else {
            SimTrace::write(SimTrace::otherLine(protocol, command.name(), result.status));
        }
    }
    result.endTime = boost::posix_time::microsec_clock::local_time();
    return result;
}

uint64_t SimulatedDrive::commandTimeout() const {
    return devices::AdminQueue::timeoutOf(*this);
}

SimResponse SimulatedDrive::executeNvme(const nvme::SubmissionEntry& entry, uint64_t transferBytes,
                                        const core::Payload* data, uint64_t timeoutNanoseconds) {
    const uint64_t length = nvmeTransferLength(entry, transferBytes);
    const SimCommandFacts facts = nvmeFacts(entry, length);
    const SimFault* fault = faults_.take(facts);
    delayIfAsked(fault);
    if (removes(fault)) {
        return SimResponse::removed();
    }
    if (failsBeforeRunning(fault)) {
        return SimResponse::nvmeFailure(fault->status);
    }
    for (const SimSlowCommand& slow : profile_.slowCommands) {
        if (slow.matches(facts) && slow.outlasts(timeoutNanoseconds)) {
            return SimResponse::timeout();
        }
    }
    const uint8_t mdts = profile_.attributes.readUint8(definitions::maximumDataTransferSize().key());
    const uint64_t limit = mdts == 0 || mdts >= 40 ? transferCeiling
                                                   : std::min(transferCeiling, uint64_t{minimumPageSize} << mdts);
    if (length > limit) {
        LOG_DEBUG("Transfer of " << length << " bytes is above the limit of " << limit);
        return SimResponse::nvmeFailure(CompletionStatus::invalidField());
    }
    SimResponse response;
    switch (entry.opcode()) {
        case nvme::opcodes::getLogPage: response = getLogPage(entry); break;
        case nvme::opcodes::identify: response = identify(entry); break;
        case nvme::opcodes::getFeatures: response = SimFeatures::get(entry, state_); break;
        case nvme::opcodes::setFeatures:
            response = SimFeatures::set(entry, data, state_);
            break;
        case nvme::opcodes::vendorSend:
        case nvme::opcodes::vendorReceive:
            if (!profile_.vendorChannel) {
                response = SimResponse::nvmeFailure(CompletionStatus::invalidOpcode());
            } else if (entry.opcode() == nvme::opcodes::vendorSend) {
                response = SimVendorChannel::send(profile_, entry, state_);
            } else {
                response = SimVendorChannel::receive(profile_, entry, state_);
            }
            break;
        default: response = SimResponse::nvmeFailure(CompletionStatus::invalidOpcode()); break;
    }
    return applyDataFault(std::move(response), fault);
}

SimResponse SimulatedDrive::getLogPage(const nvme::SubmissionEntry& entry) {
    const auto logId = static_cast<uint8_t>(entry.cdw10 & 0xFF);
    const auto lsp = static_cast<uint8_t>((entry.cdw10 >> 8) & 0x7F);
    const auto lsi = static_cast<uint16_t>(entry.cdw11 >> 16);
    const uint64_t offset = logPageOffset(entry);
    const uint64_t length = logPageLength(entry);
    if (auto replayed = replay_.logPage(logId, lsp, lsi)) {
        // A package's file holds every byte the tool read of the page: a read past its end asks
        // for bytes the package lost (a cut file), which are not made up as zeros.
        if (replay_.answersAlone() && (offset > replayed->size() || length > replayed->size() - offset)) {
            return SimResponse::nvmeFailure(CompletionStatus::invalidField());
        }
        return cutPage(*replayed, offset, length);
    }
    if (replay_.answersAlone()) {
        return SimResponse::nvmeFailure(CompletionStatus::invalidLogPage());
    }
    // Pages are generated for the command's window every time: they follow the drive's state
    // (telemetry follows Host Behavior Support and its captures) and a large page is never
    // held whole.
    const bool telemetry = SimTelemetryCaptures::isTelemetryLog(logId) && SimLogPages::find(profile_, logId);
    if (telemetry) {
        SimTelemetryCaptures::beforeRead(state_, logId, lsp, offset);
    }
    SimResponse response = SimLogPages::generate({profile_, state_, logId, lsp, lsi, entry.nsid, offset, length});
    if (telemetry && !response.failed()) {
        SimTelemetryCaptures::afterRead(profile_, state_, logId, offset);
    }
    return response;
}

SimResponse SimulatedDrive::identify(const nvme::SubmissionEntry& entry) {
    const auto cns = static_cast<uint8_t>(entry.cdw10 & 0xFF);
    if (auto replayed = replay_.identify(cns, entry.nsid)) {
        return SimResponse::withData(*replayed);
    }
    if (replay_.answersAlone()) {
        return SimResponse::nvmeFailure(CompletionStatus::invalidField());
    }
    const auto key = std::make_tuple(cns, uint32_t{entry.nsid});  // a copy: the entry is packed
    const auto cached = state_.identify.find(key);
    if (cached != state_.identify.end()) {
        return SimResponse::withData(cached->second);
    }
    SimResponse built = SimIdentify::answer({profile_, cns, entry.nsid, static_cast<uint16_t>(entry.cdw10 >> 16),
                                             static_cast<uint8_t>(entry.cdw11 >> 24)});
    if (!built.failed()) {
        state_.identify.emplace(key, built.data);
    }
    return built;
}

SimResponse SimulatedDrive::executeAta(const core::Command& command) {
    const auto& ataCommand = static_cast<const ata::Command&>(command);
    const ata::TaskFile& registers = ataCommand.current();
    SimCommandFacts facts;
    facts.protocol = command.protocol();
    facts.opcode = registers.command;
    if (registers.command == ata::opcodes::smart) {
        facts.featureId = registers.feature;
    }
    facts.length = static_cast<uint64_t>(ataCommand.transferBlocks) * SimAta::sectorSize;
    const SimFault* fault = faults_.take(facts);
    delayIfAsked(fault);
    if (removes(fault)) {
        return SimResponse::removed();
    }
    if (failsBeforeRunning(fault)) {
        return SimResponse::ataAbort();
    }
    // The separate SMART path carries SMART commands only.
    if (command.protocol() == core::protocols::smart && registers.command != ata::opcodes::smart) {
        return SimResponse::ataAbort();
    }
    return applyDataFault(SimAta::execute(profile_, registers, state_, replay_), fault);
}

std::shared_ptr<SimulatedDrive> openSimulatedDrive(const std::string& nameOrPath, std::string& error) {
    SimProfile profile;
    try {
        if (PackageReader::isPackagePath(nameOrPath)) {
            return SimPackageDrive::open(nameOrPath, error);
        }
        if (!SimProfileLoader::load(nameOrPath, profile, error)) {
            return nullptr;
        }
        return std::make_shared<SimulatedDrive>(std::move(profile));
    } catch (const std::exception& e) {
        error = nameOrPath + ": " + e.what();
    } catch (const core::Status& status) {
        error = nameOrPath + ": " + status.message();
    }
    return nullptr;
}

std::vector<std::string> builtInProfileNames() { return SimProfileLoader::builtInNames(); }

void setTraceFile(const std::string& path) { SimTrace::setFile(path); }

}  // namespace host::sim
