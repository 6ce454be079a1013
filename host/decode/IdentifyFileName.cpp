#include "host/decode/IdentifyFileName.h"

#include <array>

namespace host {

namespace {

struct Field {
    const char* prefix;
    const char* name;
    unsigned bits;
};

constexpr std::array<Field, 5> fields{{{"cntid_", "CNTID", 16},
                                       {"_cns_", "CNS", 8},
                                       {"_nsid_", "NSID", 32},
                                       {"_nvmsetid_", "NVM Set Identifier", 16},
                                       {"_csi_", "CSI", 8}}};
const std::string suffix = ".bin";

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// A long number is shown by its start and its length, so that the message stays one short line.
std::string shown(const std::string& digits) {
    constexpr std::size_t longest = 20;
    return digits.size() <= longest
               ? digits
               : digits.substr(0, longest) + "... (" + std::to_string(digits.size()) + " digits)";
}

}  // namespace

IdentifyFileName::Match IdentifyFileName::parse(const std::string& name, IdentifyFileName& parsed,
                                                std::string& error) {
    std::array<uint64_t, fields.size()> values{};
    std::string tooWide;
    std::size_t at = 0;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const std::string prefix = fields[i].prefix;
        if (name.compare(at, prefix.size(), prefix) != 0) {
            return Match::otherName;
        }
        at += prefix.size();
        const std::size_t first = at;
        const uint64_t maximum = (uint64_t{1} << fields[i].bits) - 1;
        bool fits = true;
        for (; at < name.size() && isDigit(name[at]); ++at) {
            values[i] = values[i] * 10 + static_cast<uint64_t>(name[at] - '0');
            fits = fits && values[i] <= maximum;
            values[i] = fits ? values[i] : maximum;  // never grows past the field, so never wraps
        }
        if (at == first) {
            return Match::otherName;
        }
        if (!fits && tooWide.empty()) {
            tooWide = std::string(fields[i].name) + " " + shown(name.substr(first, at - first)) +
                      " in the name does not fit its " + std::to_string(fields[i].bits) + "-bit field";
        }
    }
    if (name.compare(at, std::string::npos, suffix) != 0) {
        return Match::otherName;
    }
    if (!tooWide.empty()) {
        error = tooWide;
        return Match::outOfRange;
    }
    parsed.cntid = static_cast<uint16_t>(values[0]);
    parsed.cns = static_cast<uint8_t>(values[1]);
    parsed.nsid = static_cast<uint32_t>(values[2]);
    parsed.nvmSetId = static_cast<uint16_t>(values[3]);
    parsed.csi = static_cast<uint8_t>(values[4]);
    return Match::identify;
}

}  // namespace host
