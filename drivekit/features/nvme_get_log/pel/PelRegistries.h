#pragma once
// The registries of the persistent event log's structure views, keyed by number: the log
// structures, the event types, the hardware error codes and the sub-structures. They are
// filled once, on first use, and never changed afterwards.
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "drivekit/core/xml/XmlObject.h"
#include "drivekit/features/nvme_get_log/pel/TarnStruct.h"

namespace drivekit::features::nvme_get_log::pel {

// Makes the view of a structure at an offset within a payload.
using StructFactory = std::unique_ptr<TarnStruct> (*)(const core::Payload&, uint32_t offset);
// Gives a sink the fields of the view of a structure at an offset within a payload, the view
// made on the stack: false when the structure runs past the payload.
using StructRenderer = bool (*)(features::decode::FieldSink&, const core::Payload&, uint32_t offset);

// How to make the view of one structure, either way.
struct StructEntry {
    StructFactory make = nullptr;
    StructRenderer render = nullptr;
};

template <typename View>
StructEntry structEntry() {
    return {[](const core::Payload& payload, uint32_t offset) -> std::unique_ptr<TarnStruct> {
                return std::make_unique<View>(payload, offset);
            },
            [](features::decode::FieldSink& sink, const core::Payload& payload, uint32_t offset) {
                const View view(payload, offset);
                view.addProperties(sink);
                return view.fits();
            }};
}

class StructRegistry {
public:
    void add(uint32_t key, StructEntry entry);
    // What create gives for a key that has no entry of its own.
    void setFallback(StructEntry entry);

    bool contains(uint32_t key) const { return entries_.count(key) != 0; }
    std::vector<uint32_t> keys() const;
    // The view registered under key, else the fallback's; null when there is neither.
    std::unique_ptr<TarnStruct> create(uint32_t key, const core::Payload& payload, uint32_t offset) const;
    // Gives sink the fields of that view. False when there is no view for key or the
    // structure runs past the payload.
    bool addTo(features::decode::FieldSink& sink, uint32_t key, const core::Payload& payload, uint32_t offset) const;
    // The same into object, as properties and child objects.
    bool addTo(core::xml::XmlObject& object, uint32_t key, const core::Payload& payload, uint32_t offset) const;

private:
    // The entry of a key, found where the fallback is when there is none.
    const StructEntry& entryOf(uint32_t key) const;

    std::map<uint32_t, StructEntry> entries_;
    StructEntry fallback_;
};

namespace logStructure {
constexpr uint32_t header = 1;
constexpr uint32_t eventHeader = 2;
}  // namespace logStructure

namespace subStructure {
constexpr uint32_t controllerResetInformation = 1;
constexpr uint32_t setFeatureCommandDwords = 2;
constexpr uint32_t setFeatureCompletionDword0 = 3;
constexpr uint32_t vendorDescriptor = 4;
constexpr uint32_t vendorDescriptorTcg = 5;
}  // namespace subStructure

const StructRegistry& logStructures();
const StructRegistry& eventTypes();
// Codes without an entry of their own give the PCIe error information.
const StructRegistry& hardwareErrorCodes();
const StructRegistry& subStructures();

}  // namespace drivekit::features::nvme_get_log::pel
