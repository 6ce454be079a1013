#pragma once
// The registries of the persistent event log's structure views, keyed by number: the log
// structures, the event types, the hardware error codes and the sub-structures. They are
// filled once, on first use, and never changed afterwards.
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "drivekit/core/xml/XmlObject.h"
#include "drivekit/features/nvme_get_log/pel/TarnStruct.h"

namespace drivekit::features::nvme_get_log::pel {

// Makes the view of a structure at an offset within a payload.
using StructFactory = std::function<std::unique_ptr<TarnStruct>(const core::Payload&, uint32_t offset)>;

class StructRegistry {
public:
    void add(uint32_t key, StructFactory factory);
    // What create gives for a key that has no entry of its own.
    void setFallback(StructFactory factory);

    bool contains(uint32_t key) const { return factories_.count(key) != 0; }
    std::vector<uint32_t> keys() const;
    // The view registered under key, else the fallback's; null when there is neither.
    std::unique_ptr<TarnStruct> create(uint32_t key, const core::Payload& payload, uint32_t offset) const;
    // Gives sink the fields of that view. False when there is no view for key or the
    // structure runs past the payload.
    bool addTo(features::decode::FieldSink& sink, uint32_t key, const core::Payload& payload, uint32_t offset) const;
    // The same into object, as properties and child objects.
    bool addTo(core::xml::XmlObject& object, uint32_t key, const core::Payload& payload, uint32_t offset) const;

private:
    std::map<uint32_t, StructFactory> factories_;
    StructFactory fallback_;
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
