#include "drivekit/features/PackageFileNames.h"

#include <array>
#include <cstdio>

#include "drivekit/features/nvme_get_log/NVMeGetLog_PersistentEventLog.h"
#include "drivekit/features/telemetry/Telemetry.h"

namespace drivekit::features {

namespace {

using telemetry::Telemetry;

const std::string binary = ".bin";

// The log-specific field of the read that a telemetry log's file is named after: the host-
// initiated log's first read asks for a new capture.
constexpr uint8_t hostTelemetryField = 0x01;

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

struct HexPart {
    const char* prefix;
    std::size_t digits;
};
constexpr std::array<HexPart, 3> logPageParts{{{"lid_0x", 2}, {"_lsp_0x", 2}, {"_lsi_0x", 4}}};

struct DecimalPart {
    const char* prefix;
    const char* name;
    unsigned bits;
};
constexpr std::array<DecimalPart, 5> identifyParts{{{"cntid_", "CNTID", 16},
                                                    {"_cns_", "CNS", 8},
                                                    {"_nsid_", "NSID", 32},
                                                    {"_nvmsetid_", "NVM Set Identifier", 16},
                                                    {"_csi_", "CSI", 8}}};

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// A long number is shown by its start and its length, so that the message stays one short line.
std::string shown(const std::string& digits) {
    constexpr std::size_t longest = 20;
    return digits.size() <= longest ? digits
                                    : digits.substr(0, longest) + "... (" + std::to_string(digits.size()) + " digits)";
}

// Reads one decimal part at `at`; values never grow past the field, so they never wrap.
bool readDecimal(const std::string& name, std::size_t& at, const DecimalPart& part, uint64_t& value,
                 std::string& tooWide) {
    const std::string prefix = part.prefix;
    if (name.compare(at, prefix.size(), prefix) != 0) {
        return false;
    }
    at += prefix.size();
    const std::size_t first = at;
    const uint64_t maximum = (uint64_t{1} << part.bits) - 1;
    bool fits = true;
    for (; at < name.size() && isDigit(name[at]); ++at) {
        value = value * 10 + static_cast<uint64_t>(name[at] - '0');
        fits = fits && value <= maximum;
        value = fits ? value : maximum;
    }
    if (!fits && tooWide.empty()) {
        tooWide = std::string(part.name) + " " + shown(name.substr(first, at - first)) +
                  " in the name does not fit its " + std::to_string(part.bits) + "-bit field";
    }
    return at > first;
}

}  // namespace

std::string PackageFileNames::logPage(const LogPage& page) {
    char name[40];
    std::snprintf(name, sizeof(name), "lid_0x%02x_lsp_0x%02x_lsi_0x%04x.bin", unsigned{page.logId},
                  unsigned{page.logSpecificField}, unsigned{page.logSpecificId});
    return name;
}

bool PackageFileNames::parseLogPage(const std::string& name, LogPage& page) {
    std::array<uint32_t, logPageParts.size()> values{};
    std::size_t at = 0;
    for (std::size_t i = 0; i < logPageParts.size(); ++i) {
        const std::string prefix = logPageParts[i].prefix;
        if (name.compare(at, prefix.size(), prefix) != 0 || name.size() - at - prefix.size() < logPageParts[i].digits) {
            return false;
        }
        at += prefix.size();
        for (std::size_t d = 0; d < logPageParts[i].digits; ++d, ++at) {
            const int digit = hexDigit(name[at]);
            if (digit < 0) {
                return false;
            }
            values[i] = values[i] * 16 + static_cast<uint32_t>(digit);
        }
    }
    if (name.compare(at, std::string::npos, binary) != 0) {
        return false;
    }
    page = {static_cast<uint8_t>(values[0]), static_cast<uint8_t>(values[1]), static_cast<uint16_t>(values[2])};
    return true;
}

uint8_t PackageFileNames::keptLogSpecificField(uint8_t logId, uint8_t readField) {
    if (logId == Telemetry::hostInitiatedLogId) {
        return hostTelemetryField;
    }
    const bool plainRead = logId == Telemetry::controllerInitiatedLogId ||
                           logId == nvme_get_log::NVMeGetLog_PersistentEventLog::info.logId;
    return plainRead ? 0 : readField;
}

std::string PackageFileNames::telemetryLog(bool hostInitiated) {
    const uint8_t logId = hostInitiated ? Telemetry::hostInitiatedLogId : Telemetry::controllerInitiatedLogId;
    return logPage({logId, keptLogSpecificField(logId, 0), 0});
}

std::string PackageFileNames::identify(const Identify& structure) {
    return "cntid_" + std::to_string(structure.cntid) + "_cns_" + std::to_string(structure.cns) + "_nsid_" +
           std::to_string(structure.nsid) + "_nvmsetid_" + std::to_string(structure.nvmSetId) + "_csi_" +
           std::to_string(structure.csi) + binary;
}

PackageFileNames::Match PackageFileNames::parseIdentify(const std::string& name, Identify& parsed,
                                                        std::string& error) {
    std::array<uint64_t, identifyParts.size()> values{};
    std::string tooWide;
    std::size_t at = 0;
    for (std::size_t i = 0; i < identifyParts.size(); ++i) {
        if (!readDecimal(name, at, identifyParts[i], values[i], tooWide)) {
            return Match::otherName;
        }
    }
    if (name.compare(at, std::string::npos, binary) != 0) {
        return Match::otherName;
    }
    if (!tooWide.empty()) {
        error = tooWide;
        return Match::outOfRange;
    }
    parsed = {static_cast<uint16_t>(values[0]), static_cast<uint8_t>(values[1]), static_cast<uint32_t>(values[2]),
              static_cast<uint16_t>(values[3]), static_cast<uint8_t>(values[4])};
    return Match::matches;
}

}  // namespace drivekit::features
