#include "drivekit/features/nvme_get_log/LogPages.h"

#include "drivekit/core/DeviceAttributes.h"
#include "drivekit/features/AttributeDefinitions.h"
#include "drivekit/features/Registries.h"

namespace drivekit::features::nvme_get_log {

// The family: class, registration name, display name, LID, default size in bytes, gate.
// Pages that size themselves from the drive start from the size given here.
#define DK_LOG_PAGES(ROW)                                                                                          \
    ROW(NVMeGetLog_SupportedLogPages, "SupportedLogPages", "Supported Log Pages", 0x00, 1024, none)                \
    ROW(NVMeGetLog_ErrorInfo, "ErrorInfo", "Error Information Log", 0x01, 64, none)                               \
    ROW(NVMeGetLog_SMARTHealthLog, "SmartHealthInfo", "SMART and Health Information Log", 0x02, 512, none)        \
    ROW(NVMeGetLog_FirmwareSlotInfo, "FirmwareSlotInfo", "Firmware Slot Info Log", 0x03, 512, none)               \
    ROW(NVMeGetLog_ChangedNamespaceList, "ChangedNamespaceList", "Changed Namespace List", 0x04, 4096, none)      \
    ROW(NVMeGetLog_CommandsEffects, "CommandEffectsLog", "Commands Supported and Effects Log", 0x05, 4096, none)  \
    ROW(NVMeGetLog_DriveSelfTest, "DeviceSelfTestLog", "Device Self-test Log", 0x06, 564, none)                   \
    ROW(NVMeGetLog_EnduranceGroupInfo, "EnduranceGroupInfo", "Endurance Group Information Log", 0x09, 512, none)  \
    ROW(NVMeGetLog_PersistentEventLog, "PersistentEventLog", "Persistent Event Log", 0x0D, 512, none)             \
    ROW(NVMeGetLog_LBAStatusInfo, "LBAStatusInfo", "LBA Status Information Log", 0x0E, 16, none)                  \
    ROW(NVMeGetLog_EnduranceGroupEvent, "EnduranceGroupEvent", "Endurance Group Event Log", 0x0F, 4096, none)     \
    ROW(NVMeGetLog_SupportedFeatureIds, "SupportedFeatureIdentifiers", "Supported Feature Identifiers and Effects", \
        0x12, 1024, none)                                                                                          \
    ROW(NVMeGetLog_MICommandsEffects, "MICommandEffects", "NVMe-MI Commands Supported and Effects Log", 0x13,     \
        4096, none)                                                                                                \
    ROW(NVMeGetLog_CommandFeatureLockdown, "CommandFeatureLockdown", "Command and Feature Lockdown Log", 0x14,    \
        512, none)                                                                                                 \
    ROW(NVMeGetLog_EyeOpeningMeasurement, "EyeOpeningMeasurement", "Eye Opening Measurement Log", 0x19, 64, none) \
    ROW(NVMeGetLog_SanitizeStatus, "SanitizeStatus", "Sanitize Operation Status Information Log", 0x81, 512,      \
        none)                                                                                                      \
    ROW(NVMeGetLog_OCPSMARTCloud, "OCPSMARTCloud", "OCP SMART Cloud Log", 0xC0, 512, ocpSupported)                \
    ROW(NVMeGetLog_OCPErrorRecovery, "OCPErrorRecovery", "OCP Error Recovery Log", 0xC1, 512, ocp1Point0OrGreater) \
    ROW(NVMeGetLog_OCPFirmwareActivationHistory, "OCPFirmwareActivationHistory",                                  \
        "OCP Firmware Activation History Log", 0xC2, 4096, ocp1Point0OrGreater)                                    \
    ROW(NVMeGetLog_OCPLatencyMonitor, "OCPLatencyMonitor", "OCP Latency Monitor Log", 0xC3, 512,                  \
        ocp2Point0OrGreater)                                                                                       \
    ROW(NVMeGetLog_OCPDeviceCapabilities, "OCPDeviceCapabilities", "OCP Device Capabilities Log", 0xC4, 4096,     \
        ocp2Point0OrGreater)                                                                                       \
    ROW(NVMeGetLog_OCPUnsupportedRequirements, "OCPUnsupportedRequirements", "OCP Unsupported Requirements Log",  \
        0xC5, 4096, ocp2Point0OrGreater)                                                                           \
    ROW(NVMeGetLog_TempStatistics, "TemperatureStatistics", "Temp Statistics Log", 0xC5, 112, smi)                \
    ROW(NVMeGetLog_SMARTAttribute, "SmartAttributes", "SMART Attributes", 0xCA, 516, none)                        \
    ROW(NVMeGetLogMarketingDescription, "MarketingDescription", "Marketing Description Log", 0xDD, 512, none)     \
    ROW(NVMeGetLog_PowerUsage, "PowerUsage", "Power Usage Info Log", 0xF2, 16, smi)                               \
    ROW(NVMeGetLog_VUNandStatistics, "NandStats", "VU Nand Statistics Info", 0xF4, 328, none)                     \
    ROW(NVMeGetLog_VUDefectsCount, "DefectsCount", "VU Nand Defects Count", 0xF5, 4, none)                        \
    ROW(NVMeGetLog_PerformanceDebugLog, "PerformanceDebugLog", "Performance Debug Log", 0xFA, 4, none)            \
    ROW(NVMeGetLog_VUExtendedSmart, "ExtendedSmart", "VU Extended Smart Log", 0xFE, 7680, none)

// Constant-initialised, so a page built from another unit's static initialiser finds its row.
#define DK_DEFINE_INFO(Class, name, display, lid, bytes, gate) \
    const LogPageInfo Class::info{name, display, lid, zeroBasedDwords(bytes), LogPageGate::gate};
DK_LOG_PAGES(DK_DEFINE_INFO)
#undef DK_DEFINE_INFO

namespace {

using Factory = std::unique_ptr<NVMeGetLog> (*)(std::shared_ptr<core::Device>, const core::AttributeCollection&);

template <typename Page>
std::unique_ptr<NVMeGetLog> make(std::shared_ptr<core::Device> device, const core::AttributeCollection& attributes) {
    return std::make_unique<Page>(std::move(device), attributes);
}

struct Registration {
    const LogPageInfo* info;
    Factory factory;
};

#define DK_REGISTRATION(Class, ...) {&Class::info, &make<Class>},
const Registration registrations[] = {DK_LOG_PAGES(DK_REGISTRATION)};
#undef DK_REGISTRATION

// The registry is filled when the library starts, as well as on the first page built.
const bool registeredAtStart = (registerLogPages(), true);

}  // namespace

#undef DK_LOG_PAGES

void registerLogPages() {
    static const bool registered = [] {
        auto& registry = GetLogRegistry::instance();
        for (const Registration& entry : registrations) {
            registry.add(entry.info->registrationName, entry.factory);
        }
        return true;
    }();
    static_cast<void>(registered);
    static_cast<void>(registeredAtStart);
}

NVMeGetLog_ErrorInfo::NVMeGetLog_ErrorInfo(std::shared_ptr<core::Device> device,
                                           const core::AttributeCollection& attributes)
    : LogPage(std::move(device), attributes, info) {
    const uint32_t entries =
        (device_ ? device_->attributes.readUint8(core::attributes::numErrorLogPageEntries().key()) : 0) + 1u;
    setTransferBytes(uint64_t{entries} * (info.numDwords + 1) * 4);
}

NVMeGetLog_EnduranceGroupInfo::NVMeGetLog_EnduranceGroupInfo(std::shared_ptr<core::Device> device,
                                                             const core::AttributeCollection& attributes)
    : LogPage(std::move(device), attributes, info) {
    const uint16_t group =
        device_ ? device_->attributes.readUint16(core::attributes::enduranceGroupIdentifier().key()) : 0;
    attributes_.writeUint16(definitions::logSpecificId(), group);
}

}  // namespace drivekit::features::nvme_get_log
