#pragma once
// The structure views of the persistent event log: a structure at an offset within a payload
// that adds its fields to an XML object, one property per field. Views are made through
// registries keyed by number, so an event type finds its structure without a switch.
#include <cstdint>
#include <cstddef>
#include <string>

#include "drivekit/core/Payload.h"
#include "drivekit/features/decode/FieldSink.h"

namespace drivekit::features::nvme_get_log::pel {

class TarnStruct {
public:
    // The view of size bytes at offset in payload (shared, not copied). name is the
    // structure's class name, for the log.
    TarnStruct(core::Payload payload, uint32_t offset, uint32_t size, const char* name);
    virtual ~TarnStruct() = default;
    TarnStruct(const TarnStruct&) = delete;
    TarnStruct& operator=(const TarnStruct&) = delete;

    // Gives sink the fields the payload holds (nested structures as child objects), each named
    // by its field name with "_" shown as a space. A structure that runs past the payload gives
    // the fields before the cut and a "Truncated" field.
    virtual void addProperties(features::decode::FieldSink& sink) const = 0;

    // Whether the whole structure lies in the payload; when it does not, logs the payload's
    // out-of-range message (payload size, structure name and size, offset).
    bool fits() const;
    // The bytes the structure spans; for a structure whose length is in its own data, as far
    // as that length reaches (at least its fixed part).
    uint32_t size() const { return size_; }
    uint32_t offset() const { return offset_; }
    const char* name() const { return name_; }
    const core::Payload& payload() const { return payload_; }


protected:
    core::Payload payload_;
    uint32_t offset_;
    uint32_t size_;
    const char* name_;  // a table title or a literal: lives as long as the program
};

}  // namespace drivekit::features::nvme_get_log::pel
