#include "host/devices/sim/SimVendorChannel.h"

#include <algorithm>
#include <cstring>

#include "drivekit/core/logging/Log.h"
#include "host/devices/sim/SimBytes.h"

namespace host::sim {

bool SimVendorChannel::knows(const SimProfile& profile, uint32_t code) {
    if (profile.replayPackage) {
        return profile.vendorAnswers.count(code) != 0;
    }
    return code == lifeCycleCode || code == firmwareParametersCode;
}

drivekit::core::Payload SimVendorChannel::content(const SimProfile& profile, uint32_t code) {
    if (profile.replayPackage) {
        const auto answer = profile.vendorAnswers.find(code);
        return answer == profile.vendorAnswers.end() ? drivekit::core::Payload() : answer->second;
    }
    if (code == lifeCycleCode) {
        SimBytes data(4);
        data.u32(0, profile.lifeCycleState);
        return data.payload();
    }
    if (code == firmwareParametersCode) {
        SimBytes data(firmwareParametersSize);
        const auto& fields = profile.firmwareParameters.fields;
        for (uint32_t i = 0; i < fields.size(); ++i) {
            data.u32(4 * i, fields[i]);
        }
        data.u32(168, profile.firmwareParameters.numFtlInstances);
        return data.payload();
    }
    return {};
}

SimResponse SimVendorChannel::send(const SimProfile& profile, const drivekit::commands::nvme::SubmissionEntry& entry,
                                   SimDriveState& state) {
    // A descriptor the drive does not understand is refused at once, and it does not
    // replace the one that may be pending.
    if (!knows(profile, entry.cdw12)) {
        return SimResponse::nvmeFailure(CompletionStatus::invalidField());
    }
    state.pendingDescriptor = SimPendingDescriptor{entry.cdw12, static_cast<uint16_t>(entry.cdw13 & 0xFFFF)};
    return {};
}

SimResponse SimVendorChannel::receive(const SimProfile& profile, const drivekit::commands::nvme::SubmissionEntry& entry,
                                      SimDriveState& state) {
    const auto pending = state.pendingDescriptor;
    state.pendingDescriptor.reset();  // one receive per descriptor
    if (!pending || pending->code != entry.cdw12 || pending->sequence != (entry.cdw13 & 0xFFFF)) {
        LOG_DEBUG("Vendor receive without a matching descriptor");
        return SimResponse::nvmeFailure(CompletionStatus::sequenceError());
    }
    const drivekit::core::Payload answer = content(profile, pending->code);
    const uint64_t length = static_cast<uint64_t>(entry.cdw10) * 4;
    SimBytes data(length);
    data.bytes(0, answer.data(), static_cast<uint32_t>(std::min<uint64_t>(answer.size(), length)));
    return SimResponse::withData(data.payload());
}

}  // namespace host::sim
