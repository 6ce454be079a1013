#pragma once
// The name a debug-logs package gives one log page (telemetry logs included),
// "lid_0x<LID>_lsp_0x<LSP>_lsi_0x<LSI>.bin" with two, two and four hexadecimal digits.
#include <string>

#include "drivekit/features/nvme_get_log/decode/LogPageDecoder.h"

namespace host {

struct LogPageFileName {
    // True when the name is of this form; the log id, log-specific field and identifier are
    // then filled in and the rest of context is left as it was.
    static bool parse(const std::string& name, drivekit::features::nvme_get_log::decode::PageContext& context);
};

}  // namespace host
