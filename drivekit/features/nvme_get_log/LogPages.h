#pragma once
// Every page class of the log-page family. Each is built from a drive and an attribute
// collection and fixes its LID, default "NumDWORDs" and display name; each is registered in
// the get-log registry under its registration name.
#include <memory>

#include "drivekit/core/AttributeCollection.h"
#include "drivekit/core/HostInterface.h"
#include "drivekit/features/nvme_get_log/LogPage.h"
#include "drivekit/features/nvme_get_log/NVMeGetLog_EnduranceGroupEvent.h"
#include "drivekit/features/nvme_get_log/NVMeGetLog_EyeOpeningMeasurement.h"
#include "drivekit/features/nvme_get_log/NVMeGetLog_LBAStatusInfo.h"
#include "drivekit/features/nvme_get_log/NVMeGetLog_PerformanceDebugLog.h"
#include "drivekit/features/nvme_get_log/NVMeGetLog_PersistentEventLog.h"
#include "drivekit/features/nvme_get_log/NVMeGetLog_TempStatistics.h"
#include "drivekit/features/nvme_get_log/NVMeGetLog_VUDefectsCount.h"

namespace drivekit::features::nvme_get_log {

// Enters every page class into the get-log registry, once. Every page object's construction
// calls it, so a program that builds any page can find all of them by name.
void registerLogPages();

// A page read by one Get Log Page command of its default size.
#define DK_SIMPLE_LOG_PAGE(Class)                                                                 \
    class Class : public LogPage {                                                                \
    public:                                                                                       \
        static const LogPageInfo info;                                                            \
        Class(std::shared_ptr<core::Device> device, const core::AttributeCollection& attributes) \
            : LogPage(std::move(device), attributes, info) {}                                     \
    };

DK_SIMPLE_LOG_PAGE(NVMeGetLog_SupportedLogPages)
DK_SIMPLE_LOG_PAGE(NVMeGetLog_SMARTHealthLog)
DK_SIMPLE_LOG_PAGE(NVMeGetLog_FirmwareSlotInfo)
DK_SIMPLE_LOG_PAGE(NVMeGetLog_ChangedNamespaceList)
DK_SIMPLE_LOG_PAGE(NVMeGetLog_CommandsEffects)
DK_SIMPLE_LOG_PAGE(NVMeGetLog_DriveSelfTest)
DK_SIMPLE_LOG_PAGE(NVMeGetLog_SupportedFeatureIds)
DK_SIMPLE_LOG_PAGE(NVMeGetLog_MICommandsEffects)
DK_SIMPLE_LOG_PAGE(NVMeGetLog_CommandFeatureLockdown)
DK_SIMPLE_LOG_PAGE(NVMeGetLog_SanitizeStatus)
DK_SIMPLE_LOG_PAGE(NVMeGetLog_OCPSMARTCloud)
DK_SIMPLE_LOG_PAGE(NVMeGetLog_OCPErrorRecovery)
DK_SIMPLE_LOG_PAGE(NVMeGetLog_OCPFirmwareActivationHistory)
DK_SIMPLE_LOG_PAGE(NVMeGetLog_OCPLatencyMonitor)
DK_SIMPLE_LOG_PAGE(NVMeGetLog_OCPDeviceCapabilities)
DK_SIMPLE_LOG_PAGE(NVMeGetLog_OCPUnsupportedRequirements)
DK_SIMPLE_LOG_PAGE(NVMeGetLog_SMARTAttribute)
DK_SIMPLE_LOG_PAGE(NVMeGetLogMarketingDescription)
DK_SIMPLE_LOG_PAGE(NVMeGetLog_PowerUsage)
DK_SIMPLE_LOG_PAGE(NVMeGetLog_VUNandStatistics)
DK_SIMPLE_LOG_PAGE(NVMeGetLog_VUExtendedSmart)

#undef DK_SIMPLE_LOG_PAGE

// Error Information: one 64-byte entry per entry the drive keeps ("NumErrorLogPageEntries",
// zero-based, so one more than its value).
class NVMeGetLog_ErrorInfo : public LogPage {
public:
    static const LogPageInfo info;
    NVMeGetLog_ErrorInfo(std::shared_ptr<core::Device> device, const core::AttributeCollection& attributes);
};

// Endurance Group Information of the drive's endurance group ("EnduranceGroupIdentifier" as
// the log specific identifier).
class NVMeGetLog_EnduranceGroupInfo : public LogPage {
public:
    static const LogPageInfo info;
    NVMeGetLog_EnduranceGroupInfo(std::shared_ptr<core::Device> device, const core::AttributeCollection& attributes);
};

}  // namespace drivekit::features::nvme_get_log
