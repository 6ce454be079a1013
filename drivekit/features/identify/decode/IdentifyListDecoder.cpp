#include "drivekit/features/identify/decode/IdentifyListDecoder.h"

#include <algorithm>
#include <cstddef>

#include "drivekit/features/decode/FieldFormatter.h"
#include "drivekit/features/decode/FieldRenderer.h"
#include "drivekit/features/identify/decode/IdentifyRecords.h"
#include "drivekit/features/identify/decode/IdentifyTables.h"

namespace drivekit::features::identify::decode {

using core::xml::XmlObject;
using features::decode::FieldFormatter;
using features::decode::FieldRenderer;
using features::decode::LabelStyle;
using features::decode::Rendering;

namespace {

std::string label(uint32_t offset, uint32_t width) {
    return FieldFormatter::position(LabelStyle::bytes, offset, width);
}

// The bytes after the last entry, folded into one row.
void addUnused(XmlObject& list, const core::Payload& payload, uint32_t from) {
    if (from >= payload.size()) {
        return;
    }
    const uint32_t width = payload.size() - from;
    const uint8_t* data = FieldRenderer::bytesAt(payload, from, width);
    FieldRenderer::addField(list, "Unused", FieldFormatter::value(Rendering::reserved, data, width),
                            label(from, width));
}

// Renders fixed-size records from first; stops at count, at the end of the data, or when
// isEnd says a record is the terminator. Returns the offset after the last record rendered.
template <typename Record, typename IsEnd>
uint32_t addRecords(XmlObject& list, const core::Payload& payload, uint32_t first, uint32_t count,
                    const FieldTable& table, const std::string& entryName, IsEnd isEnd) {
    uint32_t at = first;
    for (uint32_t i = 0; i < count; ++i, at += sizeof(Record)) {
        if (FieldRenderer::bytesAt(payload, at, sizeof(Record)) == nullptr) {
            FieldRenderer::addTruncated(list, entryName + " " + std::to_string(i) +
                                                  " does not fit in the data",
                                        label(at, sizeof(Record)));
            break;
        }
        if (isEnd(*payload.safeCast<Record>(at))) {
            break;
        }
        list.addObject(FieldRenderer::renderObject(table, payload, at,
                                                   entryName + " " + std::to_string(i),
                                                   label(at, sizeof(Record))));
    }
    return at;
}

// A count reported by the drive, clamped to what the data can hold; a marker says so.
uint32_t checkedCount(XmlObject& list, uint32_t reported, uint32_t fits, const std::string& what,
                      const std::string& where) {
    if (reported <= fits) {
        return reported;
    }
    FieldRenderer::addTruncated(list,
                                what + " " + std::to_string(reported) + " exceeds the " +
                                    std::to_string(fits) + " entries the data can hold",
                                where);
    return fits;
}

std::unique_ptr<XmlObject> emptyList(const std::string& title, const core::Payload& payload,
                                     uint32_t needed) {
    auto list = std::make_unique<XmlObject>(title);
    if (payload.size() < needed) {
        FieldRenderer::addTruncated(*list,
                                    "the data holds " + std::to_string(payload.size()) +
                                        " bytes, the list header needs " + std::to_string(needed),
                                    label(0, needed));
    }
    return list;
}

// A 16-bit count, then that many 16-bit identifiers (controllers, endurance groups).
std::unique_ptr<XmlObject> identifierList(const std::string& title, const core::Payload& payload,
                                          const std::string& countName,
                                          const std::string& idName) {
    constexpr uint32_t header = sizeof(ControllerListHeader);
    auto list = emptyList(title, payload, header);
    if (payload.size() < header) {
        return list;
    }
    const uint32_t reported = payload.safeCast<ControllerListHeader>()->numberOfIdentifiers;
    FieldRenderer::addField(*list, countName, std::to_string(reported), label(0, header));
    const uint32_t fits = (std::min(payload.size(), nvmeIdentifySize) - header) / sizeof(uint16_t);
    const uint32_t count = checkedCount(*list, reported, fits, countName, label(0, header));
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t at = header + i * sizeof(uint16_t);
        FieldRenderer::addField(*list, idName + " " + std::to_string(i),
                                std::to_string(*payload.safeCast<uint16_t>(at)),
                                label(at, sizeof(uint16_t)));
    }
    addUnused(*list, payload, header + count * sizeof(uint16_t));
    return list;
}

// A 128-byte header whose first byte counts the 128-byte entries that follow it (NVM sets,
// domains).
template <typename Entry>
std::unique_ptr<XmlObject> attributesList(const std::string& title, const core::Payload& payload,
                                          const FieldTable& headerTable,
                                          const FieldTable& entryTable,
                                          const std::string& entryName) {
    constexpr uint32_t header = sizeof(AttributesListHeader);
    auto list = emptyList(title, payload, header);
    if (payload.size() < header) {
        return list;
    }
    FieldRenderer::render(headerTable, payload, 0, *list);
    const uint32_t reported = payload.safeCast<AttributesListHeader>()->numberOfEntries;
    const uint32_t fits = (std::min(payload.size(), nvmeIdentifySize) - header) / sizeof(Entry);
    const uint32_t count =
        checkedCount(*list, reported, fits, std::string(headerTable.fields.front().name), label(0, 1));
    const uint32_t end = addRecords<Entry>(*list, payload, header, count, entryTable, entryName,
                                           [](const Entry&) { return false; });
    addUnused(*list, payload, end);
    return list;
}

}  // namespace

std::unique_ptr<XmlObject> IdentifyListDecoder::namespaceList(const std::string& title,
                                                              const core::Payload& payload) {
    auto list = std::make_unique<XmlObject>(title);
    constexpr uint32_t maximum = nvmeIdentifySize / sizeof(uint32_t);
    const uint32_t entries = std::min<uint32_t>(maximum, payload.size() / sizeof(uint32_t));
    uint32_t i = 0;
    for (; i < entries; ++i) {
        const uint32_t nsid = *payload.safeCast<uint32_t>(i * sizeof(uint32_t));
        if (nsid == 0) {
            break;
        }
        FieldRenderer::addField(*list, "Namespace ID " + std::to_string(i), std::to_string(nsid),
                                label(i * sizeof(uint32_t), sizeof(uint32_t)));
    }
    addUnused(*list, payload, i * sizeof(uint32_t));
    return list;
}

std::unique_ptr<XmlObject> IdentifyListDecoder::controllerList(const std::string& title,
                                                               const core::Payload& payload) {
    return identifierList(title, payload, "Number of Controller Entries", "Controller ID");
}

std::unique_ptr<XmlObject> IdentifyListDecoder::enduranceGroupList(const std::string& title,
                                                                   const core::Payload& payload) {
    return identifierList(title, payload, "Number of Identifiers", "Endurance Group ID");
}

std::unique_ptr<XmlObject> IdentifyListDecoder::descriptorList(const std::string& title,
                                                               const core::Payload& payload) {
    auto list = std::make_unique<XmlObject>(title);
    constexpr uint32_t header = sizeof(NamespaceIdDescriptorHeader);
    uint32_t at = 0;
    for (uint32_t index = 0; at + header <= payload.size(); ++index) {
        const auto& descriptor = *payload.safeCast<NamespaceIdDescriptorHeader>(at);
        if (descriptor.length == 0) {
            break;
        }
        const uint32_t total = header + descriptor.length;
        if (at + total > payload.size()) {
            FieldRenderer::addTruncated(
                *list,
                "descriptor " + std::to_string(index) + " reports " +
                    std::to_string(descriptor.length) + " bytes, only " +
                    std::to_string(payload.size() - at - header) + " remain",
                label(at, header));
            return list;
        }
        auto entry = FieldRenderer::renderObject(namespaceIdDescriptorHeaderTable(), payload, at,
                                                 "Namespace Identification Descriptor " +
                                                     std::to_string(index),
                                                 label(at, total));
        const Rendering rendering =
            descriptor.length == 16 && descriptor.type == 3 ? Rendering::uuid
            : descriptor.length <= 8 && descriptor.type == 4 ? Rendering::decimal
                                                             : Rendering::bytes;
        FieldRenderer::addField(*entry, "Namespace Identifier (NID)",
                                FieldFormatter::value(rendering,
                                                      FieldRenderer::bytesAt(payload, at + header,
                                                                             descriptor.length),
                                                      descriptor.length),
                                label(header, descriptor.length));
        list->addObject(std::move(entry));
        at += total;
    }
    addUnused(*list, payload, at);
    return list;
}

std::unique_ptr<XmlObject> IdentifyListDecoder::uuidList(const std::string& title,
                                                         const core::Payload& payload) {
    constexpr uint32_t header = offsetof(UuidListStructure, entries);
    auto list = emptyList(title, payload, header);
    if (payload.size() < header) {
        return list;
    }
    FieldRenderer::addField(*list, "Reserved",
                            FieldFormatter::value(Rendering::reserved,
                                                  FieldRenderer::bytesAt(payload, 0, header), header),
                            label(0, header));
    const uint32_t fits = std::min<uint32_t>(uuidListEntries, (payload.size() - header) / sizeof(UuidListEntry));
    const uint32_t end = addRecords<UuidListEntry>(
        *list, payload, header, fits, uuidListEntryTable(), "UUID List Entry",
        [](const UuidListEntry& entry) {
            return std::all_of(std::begin(entry.uuid), std::end(entry.uuid),
                               [](uint8_t b) { return b == 0; });
        });
    addUnused(*list, payload, end);
    return list;
}

std::unique_ptr<XmlObject> IdentifyListDecoder::secondaryControllerList(
    const std::string& title, const core::Payload& payload) {
    constexpr uint32_t header = sizeof(SecondaryControllerListHeader);
    auto list = emptyList(title, payload, header);
    if (payload.size() < header) {
        return list;
    }
    const uint32_t reported = payload.safeCast<SecondaryControllerListHeader>()->numberOfIdentifiers;
    FieldRenderer::addField(*list, "Number of Identifiers", std::to_string(reported), label(0, 1));
    FieldRenderer::addField(*list, "Reserved",
                            FieldFormatter::value(Rendering::reserved,
                                                  FieldRenderer::bytesAt(payload, 1, header - 1),
                                                  header - 1),
                            label(1, header - 1));
    const uint32_t fits = (std::min(payload.size(), nvmeIdentifySize) - header) /
                          sizeof(SecondaryControllerEntry);
    const uint32_t count =
        checkedCount(*list, reported, fits, "Number of Identifiers", label(0, 1));
    const uint32_t end = addRecords<SecondaryControllerEntry>(
        *list, payload, header, count, secondaryControllerEntryTable(),
        "Secondary Controller Entry", [](const SecondaryControllerEntry&) { return false; });
    addUnused(*list, payload, end);
    return list;
}

std::unique_ptr<XmlObject> IdentifyListDecoder::commandSetVectors(const std::string& title,
                                                                  const core::Payload& payload) {
    auto list = std::make_unique<XmlObject>(title);
    const uint32_t fits =
        std::min(payload.size(), nvmeIdentifySize) / sizeof(CommandSetVector);
    const uint32_t end = addRecords<CommandSetVector>(
        *list, payload, 0, fits, commandSetVectorTable(), "Command Set Vector",
        [](const CommandSetVector& vector) { return vector.commandSets == 0; });
    addUnused(*list, payload, end);
    return list;
}

std::unique_ptr<XmlObject> IdentifyListDecoder::nvmSetList(const std::string& title,
                                                           const core::Payload& payload) {
    return attributesList<NvmSetAttributesEntry>(title, payload, nvmSetListHeaderTable(),
                                                 nvmSetAttributesEntryTable(),
                                                 "NVM Set Attributes Entry");
}

std::unique_ptr<XmlObject> IdentifyListDecoder::domainList(const std::string& title,
                                                           const core::Payload& payload) {
    return attributesList<DomainAttributesEntry>(title, payload, domainListHeaderTable(),
                                                 domainAttributesEntryTable(),
                                                 "Domain Attributes Entry");
}

}  // namespace drivekit::features::identify::decode
