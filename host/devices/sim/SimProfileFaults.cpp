#include "host/devices/sim/SimProfileFaults.h"

#include <optional>

#include "host/devices/sim/SimFieldLimits.h"

namespace host::sim {

using nlohmann::json;

namespace {

// A minute: long enough for any test, short enough that a typo cannot hang a run for good.
constexpr uint64_t maxDelayMilliseconds = 60000;

std::optional<uint8_t> optionalByte(const SimJsonReader& entry, const std::string& field) {
    if (!entry.has(field)) {
        return std::nullopt;
    }
    return static_cast<uint8_t>(entry.unsignedAt(field, u8Max));
}

SimFault readFault(const SimJsonReader& entry) {
    entry.allowOnly({"protocol", "opcode", "logId", "cns", "featureId", "offset", "action", "statusCodeType",
                     "statusCode", "bytes", "times", "afterCommands", "milliseconds"});
    SimFault fault;
    if (entry.has("protocol")) {
        fault.protocol = entry.stringOr("protocol", "");
    }
    fault.opcode = optionalByte(entry, "opcode");
    fault.logId = optionalByte(entry, "logId");
    fault.cns = optionalByte(entry, "cns");
    fault.featureId = optionalByte(entry, "featureId");
    if (entry.has("offset")) {
        fault.offset = entry.unsignedAt("offset", u64Max);
    }
    const std::string action = entry.stringOr("action", "status");
    if (action == "status") {
        fault.action = SimFault::Action::status;
    } else if (action == "shortData") {
        fault.action = SimFault::Action::shortData;
        fault.bytes = entry.unsignedAt("bytes", u32Max);
    } else if (action == "noData") {
        fault.action = SimFault::Action::noData;
    } else if (action == "sizeLimit") {
        fault.action = SimFault::Action::sizeLimit;
        fault.bytes = entry.unsignedAt("bytes", u32Max);
    } else if (action == "remove") {
        fault.action = SimFault::Action::remove;
        fault.afterCommands = entry.unsignedOr("afterCommands", u64Max, 0);
    } else if (action == "delay") {
        fault.action = SimFault::Action::delay;
        fault.milliseconds = static_cast<uint32_t>(entry.unsignedAt("milliseconds", maxDelayMilliseconds));
    } else {
        entry.fail("action", "must be \"status\", \"shortData\", \"noData\", \"sizeLimit\", \"remove\" or \"delay\"");
    }
    fault.status.type = static_cast<uint8_t>(entry.unsignedOr("statusCodeType", 7, fault.status.type));
    fault.status.code = static_cast<uint8_t>(entry.unsignedOr("statusCode", u8Max, fault.status.code));
    if (fault.status.isSuccess()) {
        entry.fail("statusCode", "must name a failure (type and code both 0 is success)");
    }
    if (entry.has("times")) {
        fault.times = static_cast<uint32_t>(entry.unsignedAt("times", u32Max));
    }
    return fault;
}

}  // namespace

void SimProfileFaults::read(const SimJsonReader& top, SimProfile& profile) {
    if (!top.has("faults")) {
        return;
    }
    for (const json& item : top.arrayAt("faults")) {
        profile.faults.push_back(readFault(SimJsonReader(item, top.path("faults[]"))));
    }
}

}  // namespace host::sim
