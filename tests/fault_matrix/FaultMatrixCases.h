#pragma once
// The cases of the fault matrix: the kinds of command a fault-free run sends, read from its
// trace, and the fault actions, each turned into a profile of the built-in drive plus the fault.
#include <regex>

#include "FaultMatrixBaseline.h"

namespace e2e {

// A group of commands one fault matcher selects: the facts a fault can match on.
struct CommandKind {
    std::string name;
    nlohmann::json matcher;
    uint64_t length = 0;  // bytes the first command of the kind transfers
    bool nvme = false;
    bool firstPiece = true;  // not a later piece of a log read in pieces
    bool telemetry = false;
};

struct MatrixCase {
    std::string kind;
    std::string action;
    nlohmann::json profile;
};

// The kinds in the order the run first sends them. A log page read in pieces gives two kinds:
// its first piece (offset 0) and its first later piece, as a fault can match the offset.
inline std::vector<CommandKind> commandKinds(const std::string& trace) {
    const std::regex nvmeLine(R"(^NVME opc=0x(\w+) \S+ cdw10=0x(\w+) \S+ cdw12=0x(\w+) cdw13=0x(\w+) .* len=(\d+) )");
    const std::regex ataLine(R"(^ATA proto=(\w+) cmd=0x(\w+) feature=0x(\w+) .* blocks=(\d+) )");
    std::vector<CommandKind> kinds;
    std::set<std::string> seen;
    for (const auto& line : lines(trace)) {
        std::smatch m;
        CommandKind kind;
        if (std::regex_search(line, m, nvmeLine)) {
            const auto opcode = static_cast<unsigned>(std::stoul(m[1], nullptr, 16));
            const auto low = static_cast<unsigned>(std::stoul(m[2], nullptr, 16) & 0xFF);
            const uint64_t offset = (std::stoull(m[4], nullptr, 16) << 32) | std::stoull(m[3], nullptr, 16);
            kind.nvme = true;
            kind.length = std::stoull(m[5]);
            kind.matcher = {{"protocol", "NVME"}, {"opcode", opcode}};
            kind.name = "NVME " + hex(opcode);
            const char* field = opcode == 0x02 ? "logId" : opcode == 0x06 ? "cns" : opcode == 0x09 || opcode == 0x0a ? "featureId" : nullptr;
            if (field != nullptr) {
                kind.matcher[field] = low;
                kind.name += std::string(" ") + field + " " + hex(low);
            }
            if (opcode == 0x02) {
                kind.telemetry = low == 0x07 || low == 0x08;
                kind.firstPiece = offset == 0;
                const std::string firstKey = kind.name + " later";
                if (!kind.firstPiece && seen.count(firstKey) != 0) {
                    continue;  // only the first later piece: the rest are the same case at another offset
                }
                if (!kind.firstPiece) {
                    seen.insert(firstKey);
                }
                kind.matcher["offset"] = offset;
                kind.name += kind.firstPiece ? " first piece" : " later piece";
            }
        } else if (std::regex_search(line, m, ataLine)) {
            const auto command = static_cast<unsigned>(std::stoul(m[2], nullptr, 16));
            kind.length = std::stoull(m[4]) * 512;
            kind.matcher = {{"protocol", m[1].str()}, {"opcode", command}};
            kind.name = m[1].str() + " " + hex(command);
            if (command == 0xb0) {  // SMART: the feature register says which
                const auto feature = static_cast<unsigned>(std::stoul(m[3], nullptr, 16));
                kind.matcher["featureId"] = feature;
                kind.name += " featureId " + hex(feature);
            }
        } else {
            continue;
        }
        if (seen.insert(kind.name).second) {
            kinds.push_back(kind);
        }
    }
    return kinds;
}

// One fault action: which kinds it applies to and how it changes the profile.
struct FaultAction {
    const char* name;
    std::function<bool(const CommandKind&)> applies;
    std::function<void(nlohmann::json& profile, const CommandKind&)> add;
};

inline nlohmann::json withFields(nlohmann::json object, const nlohmann::json& fields) {
    object.update(fields);
    return object;
}

inline void addFault(nlohmann::json& profile, const nlohmann::json& fault) { profile["faults"].push_back(fault); }

// A fault action on the kind's matcher.
inline FaultAction fault(const char* name, const nlohmann::json& fields,
                         const std::function<bool(const CommandKind&)>& applies = {}) {
    return {name, applies ? applies : [](const CommandKind&) { return true; },
            [fields](nlohmann::json& profile, const CommandKind& kind) {
                addFault(profile, withFields(kind.matcher, fields));
            }};
}

// A fault action whose byte count depends on the kind's length; only for kinds that move
// more bytes than the fault leaves.
inline FaultAction byteFault(const char* name, const char* action, const std::function<uint64_t(uint64_t)>& bytes) {
    return {name, [bytes](const CommandKind& kind) { return kind.length > bytes(kind.length); },
            [action, bytes](nlohmann::json& profile, const CommandKind& kind) {
                addFault(profile, withFields(kind.matcher, {{"action", action}, {"bytes", bytes(kind.length)}}));
            }};
}

inline std::vector<FaultAction> faultActions() {
    std::vector<FaultAction> actions{
        fault("status once", {{"times", 1}}),
        fault("status always", nlohmann::json::object()),
        fault("no data", {{"action", "noData"}}, [](const CommandKind& k) { return k.length > 0; }),
        byteFault("short data 0", "shortData", [](uint64_t) { return 0; }),
        byteFault("short data 1", "shortData", [](uint64_t) { return 1; }),
        byteFault("short data half", "shortData", [](uint64_t length) { return length / 2; }),
        byteFault("size limit", "sizeLimit", [](uint64_t length) { return length / 2; }),
        // The drive takes an hour: longer than any time-out the host sets.
        {"slow command", [](const CommandKind& k) { return k.nvme && k.firstPiece; },
         [](nlohmann::json& profile, const CommandKind& kind) {
             nlohmann::json slow = {{"opcode", kind.matcher["opcode"]}, {"seconds", 3600}};
             if (kind.matcher.contains("logId")) {
                 slow["logId"] = kind.matcher["logId"];
             }
             profile["nvme"]["slowCommands"].push_back(slow);
         }},
    };
    for (const int changes : {1, 2}) {
        actions.push_back({changes == 1 ? "changes while read once" : "changes while read twice",
                           [](const CommandKind& k) { return k.telemetry && k.firstPiece; },
                           [changes](nlohmann::json& profile, const CommandKind&) {
                               profile["nvme"]["telemetry"]["changesDuringRead"] = changes;
                           }});
    }
    actions.push_back(fault("removal", {{"action", "remove"}}));
    return actions;
}

// Every kind with every action that applies to it, kinds first.
inline std::vector<MatrixCase> matrixCases(const std::string& profileName, const std::vector<CommandKind>& kinds) {
    const nlohmann::json base = builtInProfile(profileName);
    std::vector<MatrixCase> cases;
    for (const auto& kind : kinds) {
        for (const auto& action : faultActions()) {
            if (action.applies(kind)) {
                nlohmann::json profile = base;
                action.add(profile, kind);
                cases.push_back({kind.name, action.name, profile});
            }
        }
    }
    return cases;
}

// The fixed sample CTest runs: every seventh case of the list (kinds in the order the run sends
// them, each with its actions); as a kind has seven to ten actions, the sample steps through
// the actions while it walks the whole run.
inline bool inSample(size_t index) { return index % 7 == 0; }

}  // namespace e2e
