#pragma once
// The parts of a log page that a single field table cannot say: records counted by a field of
// the page, entries shown only when their flag is set, and groups of fields shown as one child.
// Each renders through the field tables' one renderer and checks every count and offset that
// comes from the page against the bytes present before using it.
#include <cstdint>
#include <string>

#include "drivekit/core/Payload.h"
#include "drivekit/core/xml/XmlObject.h"
#include "drivekit/features/decode/FieldTable.h"

namespace drivekit::features::nvme_get_log::decode {

// A run of equal records: where record 0 starts, the record size, how many records the page
// says there are, and the offset its layout (or its own length field) lets them reach.
struct RecordRun {
    uint64_t first = 0;
    uint32_t stride = 0;
    uint64_t reported = 0;
    uint64_t end = 0;
};

// Whether the record at offset in the page is unused (and so not shown).
using UnusedRecord = bool (*)(const core::Payload& page, uint64_t offset);

// How many of run's records both the count and the bytes allow. A count above that adds a
// "Truncated" property to target saying how many were reported and how many fit.
uint64_t boundedCount(const RecordRun& run, const core::Payload& page, const std::string& what,
                      core::xml::XmlObject& target);

// The records of run that the data holds, each a child named entryName + " " + its index,
// skipping those unused says are unused. False when the count was cut.
bool renderRecords(const RecordRun& run, const features::decode::FieldTable& table, const core::Payload& page,
                   const std::string& entryName, core::xml::XmlObject& target, UnusedRecord unused = nullptr);

// count entries of entrySize bytes from first; each whose first byte has a bit of flag set
// becomes a child prefix + index + " (0x" + index in two hexadecimal digits + ")". False
// (with a "Truncated" property) when the entries run past the data.
bool renderFlaggedEntries(const core::Payload& page, uint32_t first, uint32_t entrySize, uint32_t count,
                          uint8_t flag, const features::decode::FieldTable& table, const std::string& prefix,
                          core::xml::XmlObject& target);

// table rendered into a new child called name. When the data ends inside it, target also
// gets the "Truncated" property; returns false then.
bool renderGroup(const features::decode::FieldTable& table, const core::Payload& page, const std::string& name,
                 core::xml::XmlObject& target);

// The end of a page whose own length field (lengthField, at lengthAt) says length bytes: the
// length when it covers at least the header, never past the data. A length past the data adds
// a "Truncated" property.
uint64_t pageEnd(const core::Payload& page, uint64_t length, uint32_t headerBytes, const std::string& lengthField,
                 uint64_t lengthAt, core::xml::XmlObject& target);

// True when width bytes at offset end by end; otherwise a "Truncated" property says that the
// record called name lies past it.
bool fitsBefore(uint64_t offset, uint64_t width, uint64_t end, const std::string& name,
                core::xml::XmlObject& target);

// "Byte 07" or "Bytes 15:08", the label of a field's place.
std::string byteLabel(uint64_t offset, uint64_t width);

// A "Truncated" property saying why, labelled with the bytes concerned.
void markTruncated(core::xml::XmlObject& target, const std::string& reason, uint64_t offset, uint64_t width);

// Little-endian number of width bytes at offset; 0 when they are not all in the page.
uint64_t readNumber(const core::Payload& page, uint64_t offset, uint32_t width);

}  // namespace drivekit::features::nvme_get_log::decode
