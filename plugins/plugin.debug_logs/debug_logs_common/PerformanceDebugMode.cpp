#include "plugins/plugin.debug_logs/debug_logs_common/PerformanceDebugMode.h"

#include <boost/format.hpp>

#include "drivekit/core/CommandJournal.h"
#include "drivekit/core/logging/Log.h"
#include "drivekit/features/AttributeDefinitions.h"

namespace plugin::cli::debug_logs {

namespace definitions = drivekit::features::definitions;

namespace {
constexpr uint8_t featureId = 0xFA;
constexpr uint32_t modeOn = 0x3F;
}  // namespace

PerformanceDebugMode::PerformanceDebugMode(const std::shared_ptr<drivekit::core::Device>& device)
    : feature_(device, featureId) {
    feature_.attributes().writeUint32(definitions::namespaceId(), 0);
    feature_.attributes().writeUint16(definitions::featureNumDwords(), 0);
    feature_.attributes().writeUint32(definitions::transferBytes(), 0);
    // The mode as the run found it is what is put back; a drive that does not say is put back
    // to off.
    drivekit::core::Status current;
    std::string before;
    if (feature_.sendGetFeature(current).isSuccess()) {
        before_ = feature_.dword0();
        before = (boost::format("0x%x") % before_).str();
    }
    LOG_DEBUG("Get Features 0xFA: " << current.message());
    change_ = drivekit::core::CommandJournal::noteChange({"feature 0xFA, Performance Debug Log mode", before,
                                                          (boost::format("0x%x") % modeOn).str()});
    set(modeOn);
}

// Sent whatever the "on" answered: a drive that took it half-way is still put back.
PerformanceDebugMode::~PerformanceDebugMode() {
    if (set(before_)) {
        drivekit::core::CommandJournal::notePutBack(change_);
    }
}

bool PerformanceDebugMode::set(uint32_t value) {
    feature_.attributes().writeUint32(definitions::dword11(), value);
    // The drive's answer does not change what is read next: a refused switch shows as
    // failed reads of the page itself.
    drivekit::core::Status answer;
    feature_.sendSetFeature(answer);
    LOG_DEBUG("Set Features 0xFA, DWORD11 " << value << ": " << answer.message());
    return answer.isSuccess();
}

}  // namespace plugin::cli::debug_logs
