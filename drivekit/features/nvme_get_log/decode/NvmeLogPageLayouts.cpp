// The standard pages whose entries are listed, counted or nested.
#include <algorithm>
#include <memory>

#include "drivekit/core/HexText.h"
#include "drivekit/features/decode/FieldFormatter.h"
#include "drivekit/features/decode/FieldRenderer.h"
#include "drivekit/features/nvme_get_log/decode/LogPageLayouts.h"
#include "drivekit/features/nvme_get_log/decode/LogPageRecords.h"
#include "drivekit/features/nvme_get_log/decode/LogPageTables.h"

namespace drivekit::features::nvme_get_log::decode::layouts {

using core::xml::XmlObject;
using features::decode::FieldFormatter;
using features::decode::FieldRenderer;
using features::decode::Rendering;

namespace {

constexpr uint32_t flaggedEntries = 256;  // one 4-byte entry per LID, opcode or feature id
constexpr uint32_t entryBytes = 4;
constexpr uint8_t supportedFlag = 0x01;
constexpr uint32_t errorEntryBytes = 64;
constexpr uint32_t selfTestResults = 20;
constexpr uint32_t selfTestResultBytes = 28;
constexpr uint32_t selfTestFirstResult = 4;
constexpr uint8_t selfTestUnusedEntry = 0x0F;
constexpr uint32_t changedNamespaceEntries = 1024;
constexpr uint32_t changedListOverflow = 0xFFFFFFFF;
constexpr uint32_t lbaStatusHeaderBytes = 16;
constexpr uint32_t lbaStatusRecordBytes = 16;
constexpr uint32_t lockdownListStart = 4;
constexpr uint32_t lockdownPageBytes = 512;
constexpr uint32_t eyeHeaderBytes = 64;
constexpr uint32_t eyeDescriptorBytes = 32;
constexpr uint8_t printableEyePresent = 0x01;
constexpr uint8_t eyeDataPresent = 0x02;

void addField(XmlObject& target, const std::string& name, const std::string& value, uint64_t offset,
              uint64_t width) {
    FieldRenderer::addField(target, name, value, byteLabel(offset, width));
}

bool unusedErrorEntry(const core::Payload& page, uint64_t offset) { return readNumber(page, offset, 8) == 0; }

bool unusedSelfTestResult(const core::Payload& page, uint64_t offset) {
    return (readNumber(page, offset, 1) & 0x0F) == selfTestUnusedEntry;
}

std::string lockdownScopeName(uint8_t scope) {
    switch (scope) {
        case 0x0: return "Admin Command Set";
        case 0x2: return "Set Features Feature Identifier";
        case 0x3: return "Management Interface Command Set";
        case 0x4: return "PCIe Command Set";
        default: return "Reserved";
    }
}

std::string lockdownListName(uint8_t contents) {
    switch (contents) {
        case 0: return "Prohibited";
        case 1: return "Supported and able to be prohibited";
        case 2: return "Supported and not able to be prohibited";
        default: return "Reserved";
    }
}

// One eye opening descriptor at offset, its size already checked against end.
void addEyeDescriptor(const core::Payload& page, uint64_t at, uint64_t size, uint32_t index, uint8_t optional,
                      XmlObject& root) {
    auto descriptor = FieldRenderer::renderObject(eyeOpeningDescriptorTable(), page, static_cast<uint32_t>(at),
                                                  "Eye Opening Measurement Descriptor " + std::to_string(index),
                                                  byteLabel(at, size));
    const auto rows = static_cast<uint32_t>(readNumber(page, at + 12, 2));
    const auto columns = static_cast<uint32_t>(readNumber(page, at + 14, 2));
    uint64_t from = at + eyeDescriptorBytes;
    if ((optional & printableEyePresent) != 0 && columns != 0) {
        for (uint32_t row = 0; row < rows; ++row, from += columns) {
            const uint8_t* line = FieldRenderer::bytesAt(page, from, columns);
            if (line == nullptr) {
                break;
            }
            addField(*descriptor, "Printable Eye Row " + std::to_string(row),
                     FieldFormatter::value(Rendering::text, line, columns), from, columns);
        }
    }
    const auto eyeData = static_cast<uint32_t>(readNumber(page, at + 16, 2));
    if ((optional & eyeDataPresent) != 0 && FieldRenderer::bytesAt(page, from, eyeData) != nullptr) {
        addField(*descriptor, "Eye Data",
                 FieldFormatter::value(Rendering::bytes, FieldRenderer::bytesAt(page, from, eyeData), eyeData), from,
                 eyeData);
    }
    root.addObject(std::move(descriptor));
}

}  // namespace

bool supportedLogPages(const PageContext&, const core::Payload& page, XmlObject& root) {
    if (page.size() < flaggedEntries * entryBytes) {
        markTruncated(root, "the page holds " + std::to_string(page.size()) + " bytes; its 256 entries need 1024", 0,
                      flaggedEntries * entryBytes);
        return false;
    }
    return renderFlaggedEntries(page, 0, entryBytes, flaggedEntries, supportedFlag, supportedLogPageEntryTable(),
                                "Log Page ", root);
}

bool errorInformation(const PageContext&, const core::Payload& page, XmlObject& root) {
    const uint32_t whole = page.size() / errorEntryBytes;
    addField(root, "Number of log entries", std::to_string(whole), 0, page.size());
    // A piece of an entry at the end counts as one more entry, which the bound then reports.
    const RecordRun run{0, errorEntryBytes, (uint64_t{page.size()} + errorEntryBytes - 1) / errorEntryBytes,
                        page.size()};
    return renderRecords(run, errorInformationEntryTable(), page, "Error Info Log Entry", root, unusedErrorEntry);
}

bool firmwareSlots(const PageContext& context, const core::Payload& page, XmlObject& root) {
    return FieldRenderer::render(firmwareSlotTable(context.nvme1Point2OrGreater), page, 0, root);
}

bool changedNamespaces(const PageContext&, const core::Payload& page, XmlObject& root) {
    if (page.size() < entryBytes) {
        markTruncated(root, "the page holds no namespace entry", 0, entryBytes);
        return false;
    }
    const uint64_t first = readNumber(page, 0, entryBytes);
    if (first == 0 || first == changedListOverflow) {
        addField(root, "Result",
                 first == 0 ? "Changed Namespace List is empty."
                            : "More than 1024 namespaces have changed attributes since the last time the log page "
                              "was read.",
                 0, entryBytes);
        return true;
    }
    const uint32_t present = std::min(page.size() / entryBytes, changedNamespaceEntries);
    for (uint32_t i = 0; i < present; ++i) {
        const uint64_t id = readNumber(page, uint64_t{i} * entryBytes, entryBytes);
        if (id == 0) {
            return true;
        }
        addField(root, "Namespace ID", std::to_string(id), uint64_t{i} * entryBytes, entryBytes);
    }
    if (present < changedNamespaceEntries) {
        markTruncated(root, "the list has no end inside the page", uint64_t{present} * entryBytes, entryBytes);
        return false;
    }
    return true;
}

bool commandEffects(const PageContext&, const core::Payload& page, XmlObject& root) {
    constexpr uint32_t ioEntries = flaggedEntries * entryBytes;
    return renderFlaggedEntries(page, 0, entryBytes, flaggedEntries, supportedFlag, commandEffectsEntryTable(),
                                "Admin Command ", root) &&
           renderFlaggedEntries(page, ioEntries, entryBytes, flaggedEntries, supportedFlag,
                                commandEffectsEntryTable(), "I/O Command ", root);
}

bool selfTest(const PageContext&, const core::Payload& page, XmlObject& root) {
    if (!FieldRenderer::render(selfTestHeaderTable(), page, 0, root)) {
        return false;
    }
    const RecordRun run{selfTestFirstResult, selfTestResultBytes, selfTestResults,
                        selfTestFirstResult + selfTestResults * selfTestResultBytes};
    return renderRecords(run, selfTestResultTable(), page, "Self Test Result Structure", root, unusedSelfTestResult);
}

bool lbaStatus(const PageContext&, const core::Payload& page, XmlObject& root) {
    if (!FieldRenderer::render(lbaStatusHeaderTable(), page, 0, root)) {
        return false;
    }
    // A page length shorter than its header is not believed; a longer one than the data is
    // decoded as far as the data goes.
    const uint64_t length = readNumber(page, 0, 4);
    const uint64_t end = pageEnd(page, length, lbaStatusHeaderBytes, "LBA Status Log Page Length", 0, root);
    const uint64_t elements = readNumber(page, 4, 4);
    uint64_t at = lbaStatusHeaderBytes;
    for (uint64_t e = 0; e < elements; ++e) {
        const std::string name = "LBA Status Log Namespace Element " + std::to_string(e);
        if (!fitsBefore(at, lbaStatusRecordBytes, end, name, root)) {
            return false;
        }
        auto element = FieldRenderer::renderObject(lbaStatusElementTable(), page, static_cast<uint32_t>(at), name,
                                                   byteLabel(at, lbaStatusRecordBytes));
        const RecordRun ranges{at + lbaStatusRecordBytes, lbaStatusRecordBytes, readNumber(page, at + 4, 4), end};
        const uint64_t kept = boundedCount(ranges, page, "LBA Range Descriptor count", *element);
        renderRecords(RecordRun{ranges.first, ranges.stride, kept, end}, lbaRangeDescriptorTable(), page,
                      "LBA Range Descriptor", *element);
        root.addObject(std::move(element));
        if (kept != ranges.reported) {
            markTruncated(root, name + " has more range descriptors than the page holds", at, lbaStatusRecordBytes);
            return false;
        }
        at = ranges.first + kept * lbaStatusRecordBytes;
    }
    return length <= page.size();
}

bool supportedFeatures(const PageContext&, const core::Payload& page, XmlObject& root) {
    return renderFlaggedEntries(page, 0, entryBytes, flaggedEntries, supportedFlag, supportedFeatureEntryTable(),
                                "Feature Id ", root);
}

bool miCommandEffects(const PageContext&, const core::Payload& page, XmlObject& root) {
    return renderFlaggedEntries(page, 0, entryBytes, flaggedEntries, supportedFlag, miCommandEffectsEntryTable(),
                                "NVMe-MI Command ", root);
}

bool lockdown(const PageContext& context, const core::Payload& page, XmlObject& root) {
    // What the read asked for (its LSP), beside what the page says.
    const uint8_t scope = context.logSpecificField & 0x0F;
    const uint8_t contents = (context.logSpecificField >> 4) & 0x03;
    root.addProperty("Requested Scope", std::to_string(scope) + " (" + lockdownScopeName(scope) + ")");
    root.addProperty("Requested Identifier List", std::to_string(contents) + " (" + lockdownListName(contents) + ")");
    if (!FieldRenderer::render(lockdownHeaderTable(), page, 0, root)) {
        return false;
    }
    const RecordRun list{lockdownListStart, 1, readNumber(page, 3, 1), lockdownPageBytes};
    const uint64_t count = boundedCount(list, page, "Command and Feature Identifier List length", root);
    std::string identifiers;
    for (uint64_t i = 0; i < count; ++i) {
        identifiers += (i == 0 ? "0x" : " 0x") + core::strings::hexByte(static_cast<uint8_t>(
                                                      readNumber(page, lockdownListStart + i, 1)));
    }
    addField(root, "Command and Feature Identifier List (CFIL)", count == 0 ? "none" : identifiers,
             lockdownListStart, count);
    return count == list.reported;
}

bool eyeOpening(const PageContext&, const core::Payload& page, XmlObject& root) {
    if (!FieldRenderer::render(eyeOpeningHeaderTable(), page, 0, root)) {
        return false;
    }
    const uint64_t resultSize = readNumber(page, 4, 4);
    const uint64_t end = pageEnd(page, resultSize, eyeHeaderBytes, "Result Size", 4, root);
    const uint64_t headerSize = std::max<uint64_t>(readNumber(page, 2, 2), eyeHeaderBytes);
    const auto optional = static_cast<uint8_t>(readNumber(page, 10, 1));
    const uint64_t descriptors = readNumber(page, 11, 1) * readNumber(page, 12, 1);
    uint64_t at = headerSize;
    for (uint32_t d = 0; d < descriptors; ++d) {
        const std::string name = "Eye Opening Measurement Descriptor " + std::to_string(d);
        if (!fitsBefore(at, eyeDescriptorBytes, end, name, root)) {
            return false;
        }
        const uint64_t printable =
            (optional & printableEyePresent) != 0 ? readNumber(page, at + 12, 2) * readNumber(page, at + 14, 2) : 0;
        const uint64_t eyeData = (optional & eyeDataPresent) != 0 ? readNumber(page, at + 16, 2) : 0;
        const uint64_t size = eyeDescriptorBytes + printable + eyeData;
        if (at + size > end) {
            markTruncated(root, name + " needs " + std::to_string(size) + " bytes, the page has " +
                                    std::to_string(end - at),
                          at, size);
            return false;
        }
        addEyeDescriptor(page, at, size, d, optional, root);
        at += size;
    }
    return resultSize <= page.size();
}

}  // namespace drivekit::features::nvme_get_log::decode::layouts
