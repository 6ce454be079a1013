#pragma once
// The name a debug-logs package gives one Identify structure,
// "cntid_<n>_cns_<n>_nsid_<n>_nvmsetid_<n>_csi_<n>.bin" with decimal numbers, read by a
// single pass over the name: a name of any length is parsed in bounded stack.
#include <cstdint>
#include <string>

namespace host {

struct IdentifyFileName {
    enum class Match { identify, otherName, outOfRange };

    uint16_t cntid = 0;
    uint8_t cns = 0;
    uint32_t nsid = 0;
    uint16_t nvmSetId = 0;
    uint8_t csi = 0;

    // identify: the numbers are filled in. otherName: the name is not of this form.
    // outOfRange: it is, but a number does not fit its field; error says which.
    static Match parse(const std::string& name, IdentifyFileName& parsed, std::string& error);
};

}  // namespace host
