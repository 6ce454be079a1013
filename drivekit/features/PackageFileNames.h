#pragma once
// The names a debug-logs package gives the binaries it holds, formatted by the collectors and
// the simulator's replay and parsed again by decode, so that a name is written the same way
// everywhere it is written or read.
#include <cstdint>
#include <string>

namespace drivekit::features {

class PackageFileNames {
public:
    // The numbers of a log page's file (telemetry logs included).
    struct LogPage {
        uint8_t logId = 0;
        uint8_t logSpecificField = 0;
        uint16_t logSpecificId = 0;
    };
    // The numbers of an Identify structure's file.
    struct Identify {
        uint16_t cntid = 0;
        uint8_t cns = 0;
        uint32_t nsid = 0;
        uint16_t nvmSetId = 0;
        uint8_t csi = 0;
    };
    enum class Match { matches, otherName, outOfRange };

    // "lid_0x<LID>_lsp_0x<LSP>_lsi_0x<LSI>.bin": two, two and four lowercase hexadecimal digits.
    static std::string logPage(const LogPage& page);
    // True when the name has that form (digits of either case); page then holds its numbers and
    // is left as it was otherwise.
    static bool parseLogPage(const std::string& name, LogPage& page);
    // The log-specific field the name of a page read with readField carries: a package keeps one
    // file per telemetry log and one for the persistent event log, whatever field read them.
    static uint8_t keptLogSpecificField(uint8_t logId, uint8_t readField);
    // The file of one of the two telemetry logs.
    static std::string telemetryLog(bool hostInitiated);

    // "cntid_<n>_cns_<n>_nsid_<n>_nvmsetid_<n>_csi_<n>.bin", numbers in decimal.
    static std::string identify(const Identify& structure);
    // otherName when the name does not have that form; outOfRange when it does but a number does
    // not fit its field (error says which); matches otherwise, with parsed filled in. One pass
    // over the name: a name of any length is parsed in bounded stack.
    static Match parseIdentify(const std::string& name, Identify& parsed, std::string& error);

    // The package's sub-folders of binaries.
    static constexpr const char* logPagesFolder = "log_pages";
    static constexpr const char* identifyFolder = "identify";
    static constexpr const char* sataLogsFolder = "SATA_logs";

    // The two SMART sectors of a SATA drive.
    static constexpr const char* smartData = "SMART_DATA.bin";
    static constexpr const char* smartThresholds = "SMART_THRESHOLDS.bin";
};

}  // namespace drivekit::features
