#include "drivekit/commands/nvme/CompletionStatus.h"

#include <cstdio>

namespace drivekit::commands::nvme {

uint16_t CompletionStatus::completionField() const {
    if (isSuccess()) {
        return 0;
    }
    constexpr uint16_t doNotRetry = 0x8000;
    return static_cast<uint16_t>(doNotRetry | ((type & 0x7u) << 9) | (static_cast<uint16_t>(code) << 1));
}

namespace {

const char* statusName(uint8_t type, uint8_t code) {
    struct Row {
        uint8_t type;
        uint8_t code;
        const char* name;
    };
    static const Row rows[] = {
        {0x0, 0x00, "Successful Completion"},
        {0x0, 0x01, "Invalid Command Opcode"},
        {0x0, 0x02, "Invalid Field in Command"},
        {0x0, 0x04, "Data Transfer Error"},
        {0x0, 0x06, "Internal Error"},
        {0x0, 0x0B, "Invalid Namespace or Format"},
        {0x0, 0x0C, "Command Sequence Error"},
        {0x1, 0x09, "Invalid Log Page"},
        {0x1, 0x0D, "Feature Identifier Not Saveable"},
        {0x1, 0x0E, "Feature Not Changeable"},
    };
    for (const auto& row : rows) {
        if (row.type == type && row.code == code) {
            return row.name;
        }
    }
    return "Unknown Status";
}

}  // namespace

std::string CompletionStatus::describe() const {
    char text[96];
    std::snprintf(text, sizeof(text), "SCT 0x%X SC 0x%02X (%s)", type, code, statusName(type, code));
    return text;
}

}  // namespace drivekit::commands::nvme
