#pragma once
// The status a controller puts in a completion entry: status code type and status code.
#include <cstdint>
#include <string>

namespace host::sim {

struct SimNvmeStatus {
    uint8_t type = 0;
    uint8_t code = 0;

    bool isSuccess() const { return type == 0 && code == 0; }
    // The completion entry's status field: code in bits 8:1, type in 11:9, DNR (bit 15) on
    // every failure because retrying a rejected admin command gives the same answer.
    uint16_t completionField() const;
    // "SCT 0x1 SC 0x09 (Invalid Log Page)".
    std::string describe() const;

    static SimNvmeStatus success() { return {}; }
    static SimNvmeStatus invalidOpcode() { return {0x0, 0x01}; }
    static SimNvmeStatus invalidField() { return {0x0, 0x02}; }
    static SimNvmeStatus sequenceError() { return {0x0, 0x0C}; }
    static SimNvmeStatus invalidNamespace() { return {0x0, 0x0B}; }
    static SimNvmeStatus invalidLogPage() { return {0x1, 0x09}; }
    static SimNvmeStatus featureNotSaveable() { return {0x1, 0x0D}; }
    static SimNvmeStatus featureNotChangeable() { return {0x1, 0x0E}; }
};

}  // namespace host::sim
