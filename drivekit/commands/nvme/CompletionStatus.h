#pragma once
// The status a controller puts in a completion entry: status code type and status code. The
// simulated drive answers with it and the Linux layer names what a real drive answered.
#include <cstdint>
#include <string>

namespace drivekit::commands::nvme {

struct CompletionStatus {
    uint8_t type = 0;
    uint8_t code = 0;

    bool isSuccess() const { return type == 0 && code == 0; }
    // The completion entry's status field: code in bits 8:1, type in 11:9, DNR (bit 15) on
    // every failure because retrying a rejected admin command gives the same answer.
    uint16_t completionField() const;
    // "SCT 0x1 SC 0x09 (Invalid Log Page)".
    std::string describe() const;

    static CompletionStatus success() { return {}; }
    static CompletionStatus invalidOpcode() { return {0x0, 0x01}; }
    static CompletionStatus invalidField() { return {0x0, 0x02}; }
    static CompletionStatus sequenceError() { return {0x0, 0x0C}; }
    static CompletionStatus invalidNamespace() { return {0x0, 0x0B}; }
    static CompletionStatus invalidLogPage() { return {0x1, 0x09}; }
    static CompletionStatus featureNotSaveable() { return {0x1, 0x0D}; }
    static CompletionStatus featureNotChangeable() { return {0x1, 0x0E}; }
};

}  // namespace drivekit::commands::nvme
