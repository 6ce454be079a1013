#include "host/decode/FileKinds.h"

#include <cstdio>
#include <vector>

#include "drivekit/core/Status.h"
#include "drivekit/features/decode/FieldRenderer.h"
#include "drivekit/features/identify/decode/IdentifyDecoder.h"
#include "drivekit/features/identify/decode/IdentifyRecords.h"
#include "drivekit/features/identify/decode/IdentifyTables.h"
#include "drivekit/features/telemetry/TelemetryHeader.h"
#include "drivekit/features/smart/SmartSectorDecoder.h"
#include "drivekit/features/smart/SmartSectors.h"
#include "drivekit/features/telemetry/Telemetry.h"
#include "drivekit/features/telemetry/decode/TelemetryLogDecoder.h"

namespace host {

namespace {

namespace identify = drivekit::features::identify::decode;
namespace pages = drivekit::features::nvme_get_log::decode;
namespace smart = drivekit::features::smart;
using drivekit::core::Payload;
using drivekit::core::Status;
using drivekit::core::xml::XmlObject;
using drivekit::features::PackageFileNames;
using NameMatch = FileKind::NameMatch;
using Result = FileDecode::Result;

using drivekit::features::telemetry::Telemetry;

std::string hex(unsigned value, int digits) {
    char text[16];
    std::snprintf(text, sizeof(text), "0x%0*X", digits, value);
    return text;
}

FileDecode decoded(std::unique_ptr<XmlObject> tree) { return {Result::decoded, std::move(tree), {}}; }

FileDecode failed(Result result, const std::string& message, std::unique_ptr<XmlObject> tree = nullptr) {
    return {result, std::move(tree), message};
}

bool endsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// True when a decoder marked where the data ran out.
bool cutShort(const XmlObject& tree) {
    std::vector<const drivekit::core::xml::XmlElement*> found;
    constexpr unsigned deepest = 64;
    tree.find(found, "Property", "name", drivekit::features::decode::FieldRenderer::truncatedName, deepest);
    return !found.empty();
}

uint64_t nothing(const FileNumbers&, const Payload&) { return 0; }

// Telemetry logs: the header block, the body counted.

// A log page's numbers go into the page context; the rest of it is left as it was.
NameMatch matchLogPage(const std::string& name, FileNumbers& numbers, std::string&) {
    PackageFileNames::LogPage page;
    if (!PackageFileNames::parseLogPage(name, page)) {
        return NameMatch::otherName;
    }
    numbers.page.logId = page.logId;
    numbers.page.logSpecificField = page.logSpecificField;
    numbers.page.logSpecificId = page.logSpecificId;
    return NameMatch::matches;
}

NameMatch matchTelemetry(const std::string& name, FileNumbers& numbers, std::string& error) {
    const bool telemetry = matchLogPage(name, numbers, error) == NameMatch::matches &&
                           (numbers.page.logId == Telemetry::hostInitiatedLogId ||
                            numbers.page.logId == Telemetry::controllerInitiatedLogId);
    return telemetry ? NameMatch::matches : NameMatch::otherName;
}

uint64_t telemetryHeaderBytes(const FileNumbers&, const Payload&) {
    return drivekit::features::telemetry::telemetryBlockBytes;
}

FileDecode decodeTelemetry(const FileNumbers& numbers, const Payload& data, uint64_t fileBytes) {
    Status status;
    auto tree = drivekit::features::telemetry::decode::decodeTelemetryLog(numbers.page.logId, data, fileBytes, status);
    return status.isSuccess() ? decoded(std::move(tree)) : failed(Result::damaged, status.message(), std::move(tree));
}

// Log pages, chosen by the numbers of the name.

uint64_t logPageBytes(const FileNumbers& numbers, const Payload& head) {
    return pages::logPageBytesUsed(numbers.page, head);
}

std::string pageName(const pages::PageContext& page) {
    return "log page " + hex(page.logId, 2) + " (LSP " + hex(page.logSpecificField, 2) + ", LSI " +
           hex(page.logSpecificId, 4) + ")";
}

FileDecode decodeLogPageFile(const FileNumbers& numbers, const Payload& data, uint64_t fileBytes) {
    const pages::PageContext& page = numbers.page;
    if (!pages::hasLogPageDecoder(page)) {
        return failed(Result::noDecoder, "no decoder for " + pageName(page));
    }
    if (fileBytes == 0) {
        return failed(Result::damaged, "the file is empty");
    }
    Status status;
    auto tree = pages::decodeLogPage(page, data, status);
    if (tree == nullptr || status == Status::notImplemented()) {
        return failed(Result::noDecoder, "no decoder for " + pageName(page));
    }
    return logPageOutcome(page, std::move(tree), status, data.size());
}

}  // namespace

FileDecode logPageOutcome(const pages::PageContext& page, std::unique_ptr<XmlObject> tree, const Status& status,
                          uint64_t dataBytes) {
    if (!status.isSuccess()) {
        return failed(Result::damaged, status.message(), std::move(tree));
    }
    if (cutShort(*tree)) {
        return failed(Result::damaged, "the " + pageName(page) + " is cut short (" + std::to_string(dataBytes) +
                                           " bytes)", std::move(tree));
    }
    return decoded(std::move(tree));
}

void noteRestIgnored(FileDecode& outcome, uint64_t structureBytes, uint64_t fileBytes) {
    if (outcome.result == Result::decoded && structureBytes != 0 && fileBytes > structureBytes) {
        outcome.message = "the file is longer than the " + std::to_string(structureBytes) +
                          "-byte structure; the rest was ignored";
    }
}

namespace {

// Identify structures.

NameMatch matchNvmeIdentify(const std::string& name, FileNumbers& numbers, std::string& error) {
    switch (PackageFileNames::parseIdentify(name, numbers.identify, error)) {
        case PackageFileNames::Match::matches:
            return NameMatch::matches;
        case PackageFileNames::Match::outOfRange:
            return NameMatch::outOfRange;
        default:
            return NameMatch::otherName;
    }
}

uint64_t nvmeIdentifyBytes(const FileNumbers&, const Payload&) { return identify::nvmeIdentifySize; }

FileDecode fromIdentify(std::unique_ptr<XmlObject> tree, const Status& status) {
    if (!status.isSuccess() || tree == nullptr) {
        return failed(Result::damaged, status.message());
    }
    return decoded(std::move(tree));
}

FileDecode decodeNvmeIdentifyFile(const FileNumbers& numbers, const Payload& data, uint64_t) {
    const uint8_t cns = numbers.identify.cns;
    const auto coverage = identify::IdentifyCoverage::package;
    if (!identify::hasNvmeIdentifyDecoder(cns, coverage)) {
        return failed(Result::noDecoder, "no decoder for the Identify structure with CNS " +
                                             std::to_string(cns) + " (" + hex(cns, 2) + ")");
    }
    Status status;
    auto tree = identify::decodeNvmeIdentify(cns, data, status, coverage);
    return fromIdentify(std::move(tree), status);
}

NameMatch matchAtaIdentify(const std::string& name, FileNumbers&, std::string&) {
    return name == "ata_identify_device.bin" ? NameMatch::matches : NameMatch::otherName;
}

uint64_t ataIdentifyBytes(const FileNumbers&, const Payload&) { return identify::ataIdentifyDeviceTable().size; }

FileDecode decodeAtaIdentifyFile(const FileNumbers&, const Payload& data, uint64_t) {
    Status status;
    auto tree = identify::decodeAtaIdentifyDevice(data, status);
    return fromIdentify(std::move(tree), status);
}

// SMART sectors of a SATA drive: the data sector, read with the thresholds sector beside it.

NameMatch matchSmartData(const std::string& name, FileNumbers&, std::string&) {
    return name == PackageFileNames::smartData ? NameMatch::matches : NameMatch::otherName;
}

NameMatch matchSmartThresholds(const std::string& name, FileNumbers&, std::string&) {
    return name == PackageFileNames::smartThresholds ? NameMatch::matches : NameMatch::otherName;
}

uint64_t smartSectorSize(const FileNumbers&, const Payload&) { return smart::smartSectorBytes; }

// A wrong checksum still shows the values, as damaged: they may be corrupt.
FileDecode fromSmart(std::unique_ptr<XmlObject> tree, const Status& status) {
    if (tree == nullptr) {
        return failed(Result::damaged, status.message());
    }
    if (!status.isSuccess()) {
        return failed(Result::damaged, status.message(), std::move(tree));
    }
    return decoded(std::move(tree));
}

FileDecode decodeSmartData(const FileNumbers& numbers, const Payload& data, uint64_t) {
    Status status;
    if (numbers.companion.has_value()) {
        const Payload thresholds(numbers.companion->data(), numbers.companion->size());
        return fromSmart(smart::decodeSmartSectors(data, &thresholds, numbers.productFamily, status), status);
    }
    return fromSmart(smart::decodeSmartSectors(data, nullptr, numbers.productFamily, status), status);
}

FileDecode decodeSmartThresholds(const FileNumbers&, const Payload& data, uint64_t) {
    Status status;
    return fromSmart(smart::decodeSmartThresholds(data, status), status);
}

// Text files of a package: the incident report, product and version files, system information.

NameMatch matchTextFile(const std::string& name, FileNumbers&, std::string&) {
    return endsWith(name, ".log") || endsWith(name, ".txt") || endsWith(name, ".json") ? NameMatch::matches
                                                                                      : NameMatch::otherName;
}

const std::vector<FileKind>& fileKinds() {
    static const std::vector<FileKind> rows{
        // Before the log pages: the telemetry logs share their names' form.
        {"telemetry log", matchTelemetry, telemetryHeaderBytes, false, decodeTelemetry},
        {"log page", matchLogPage, logPageBytes, true, decodeLogPageFile},
        {"Identify structure", matchNvmeIdentify, nvmeIdentifyBytes, true, decodeNvmeIdentifyFile},
        {"ATA Identify Device data", matchAtaIdentify, ataIdentifyBytes, true, decodeAtaIdentifyFile},
        {"SMART data sector", matchSmartData, smartSectorSize, true, decodeSmartData, PackageFileNames::smartThresholds},
        {"SMART thresholds sector", matchSmartThresholds, smartSectorSize, true, decodeSmartThresholds},
        {"text file", matchTextFile, nothing, true, nullptr},
    };
    return rows;
}

}  // namespace

const FileKind* chooseFileKind(const std::string& name, FileNumbers& numbers, std::string& error) {
    error.clear();
    for (const auto& row : fileKinds()) {
        const auto match = row.match(name, numbers, error);
        if (match != NameMatch::otherName) {
            return match == NameMatch::matches ? &row : nullptr;
        }
    }
    return nullptr;
}

FileDecode decodeFileBytes(const FileKind& kind, const FileNumbers& numbers, const std::vector<uint8_t>& data,
                           uint64_t fileBytes) {
    if (kind.decode == nullptr) {
        return failed(Result::report, "a " + std::string(kind.what) + ", not a binary structure");
    }
    const Payload payload = data.empty() ? Payload() : Payload(data.data(), data.size());
    FileDecode outcome = kind.decode(numbers, payload, fileBytes);
    if (kind.restIgnored) {
        noteRestIgnored(outcome, kind.bytesRead(numbers, payload), fileBytes);
    }
    return outcome;
}

std::string printableName(const std::string& name) {
    constexpr std::size_t longest = 200;
    std::string shown;
    for (std::size_t i = 0; i < name.size() && i < longest; ++i) {
        const auto c = static_cast<unsigned char>(name[i]);
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            shown += static_cast<char>(c);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof(escaped), "\\x%02X", c);
            shown += escaped;
        }
    }
    if (name.size() > longest) {
        shown += "... (" + std::to_string(name.size()) + " characters)";
    }
    return shown;
}

}  // namespace host
