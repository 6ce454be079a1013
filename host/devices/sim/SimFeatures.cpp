#include "host/devices/sim/SimFeatures.h"

#include "drivekit/core/logging/Log.h"
#include "host/devices/sim/SimBytes.h"

namespace host::sim {

namespace {

struct FeatureDefault {
    uint8_t id;
    uint32_t value;
    bool saveable;
    bool changeable;
    bool vendorOnly;  // only on drives with the vendor channel
};

// Defaults of the features a drive of this family implements.
const FeatureDefault defaults[] = {
    {0x01, 0x00000003, true, true, false},   // arbitration: burst 8
    {0x02, 0x00000000, true, true, false},   // power management: state 0
    {0x04, 0x00000157, true, true, false},   // temperature threshold: 343 K
    {0x05, 0x00000000, true, true, false},   // error recovery
    {0x06, 0x00000001, true, true, false},   // volatile write cache enabled
    {0x07, 0x003F003F, false, true, false},  // number of queues: 64 + 64
    {0x08, 0x00000000, true, true, false},   // interrupt coalescing
    {0x0A, 0x00000000, true, true, false},   // write atomicity normal
    {0x0B, 0x00000000, true, true, false},   // asynchronous event configuration
    {0x16, 0x00000000, false, true, false},  // host behavior support (data structure)
    {0xD5, 0x00000000, false, true, true},   // timed workload reset
    {0xFA, 0x00000000, false, true, true},   // performance debug capture
};

constexpr uint32_t capabilitySaveable = 1u << 0;
constexpr uint32_t capabilityChangeable = 1u << 2;

enum Select : uint8_t { current = 0, defaultValue = 1, saved = 2, capabilities = 3 };

}  // namespace

void SimFeatures::initialise(const SimProfile& profile, SimDriveState& state) {
    state.features.clear();
    for (const auto& row : defaults) {
        if (row.vendorOnly && !profile.vendorChannel) {
            continue;
        }
        SimFeatureState feature;
        feature.defaultValue = row.value;
        feature.saveable = row.saveable;
        feature.changeable = row.changeable;
        const auto configured = profile.featureValues.find(row.id);
        if (configured != profile.featureValues.end()) {
            feature.defaultValue = configured->second;
        }
        feature.current = feature.saved = feature.defaultValue;
        if (row.id == hostBehaviorSupport) {
            feature.data = SimBytes(hostBehaviorSupportSize).payload();
            feature.hasData = true;
        }
        state.features[row.id] = feature;
    }
}

SimResponse SimFeatures::get(const drivekit::commands::nvme::SubmissionEntry& entry, SimDriveState& state) {
    const auto fid = static_cast<uint8_t>(entry.cdw10 & 0xFF);
    const auto select = static_cast<uint8_t>((entry.cdw10 >> 8) & 0x7);
    const auto found = state.features.find(fid);
    if (found == state.features.end() || select > capabilities) {
        return SimResponse::nvmeFailure(CompletionStatus::invalidField());
    }
    const SimFeatureState& feature = found->second;
    SimResponse response;
    switch (select) {
        case current: response.dw0 = feature.current; break;
        case defaultValue: response.dw0 = feature.defaultValue; break;
        case saved: response.dw0 = feature.saveable ? feature.saved : feature.current; break;
        default:
            response.dw0 = (feature.saveable ? capabilitySaveable : 0) |
                           (feature.changeable ? capabilityChangeable : 0);
            return response;
    }
    if (feature.hasData) {
        response.data = feature.data;
    }
    return response;
}

SimResponse SimFeatures::set(const drivekit::commands::nvme::SubmissionEntry& entry,
                             const drivekit::core::Payload* data, SimDriveState& state) {
    const auto fid = static_cast<uint8_t>(entry.cdw10 & 0xFF);
    const bool save = (entry.cdw10 & 0x80000000u) != 0;
    const auto found = state.features.find(fid);
    if (found == state.features.end()) {
        return SimResponse::nvmeFailure(CompletionStatus::invalidField());
    }
    SimFeatureState& feature = found->second;
    if (!feature.changeable) {
        return SimResponse::nvmeFailure(CompletionStatus::featureNotChangeable());
    }
    if (save && !feature.saveable) {
        return SimResponse::nvmeFailure(CompletionStatus::featureNotSaveable());
    }
    if (feature.hasData) {
        // The structure must arrive whole; a short buffer is a transfer the drive cannot take.
        if (data == nullptr || data->size() < feature.data.size()) {
            return SimResponse::nvmeFailure(CompletionStatus::invalidField());
        }
        feature.data = drivekit::core::Payload(data->data(), feature.data.size());
        LOG_DEBUG("Feature 0x" << std::hex << static_cast<int>(fid) << " data set");
    } else {
        feature.current = entry.cdw11;
    }
    if (save) {
        feature.saved = feature.current;
    }
    SimResponse response;
    response.dw0 = feature.current;
    return response;
}

}  // namespace host::sim
