#include "drivekit/features/AttributeDefinitions.h"

#include <string>

namespace drivekit::features::definitions {

namespace types = core::types;

// Rows: function, key, display name, type, unit. The functions and the lists are generated
// from them. SENSORS marks where the eight temperature sensors stand; temperatureSensor(n)
// builds them from their number.
#define DK_LOG_AND_FEATURE_DEFINITIONS(ROW)                                                    \
    ROW(logName, "LogName", "Log Name", string, "")                                            \
    ROW(logDescription, "LogDescription", "Log Description", string, "")                       \
    ROW(logId, "LogId", "Log Id", uint32, "")                                                  \
    ROW(logSpecificField, "LogSpecificField", "Log Specific Field", uint8, "")                 \
    ROW(logSpecificId, "LogSpecificId", "Log Specific Identifier (LSI)", uint16, "")           \
    ROW(uuidIndex, "UUIDIndex", "UUID Index for NVMe command", uint8, "")                      \
    ROW(namespaceSpecific, "NamespaceSpecific", "Namespace Specific", boolean, "")             \
    ROW(numDwords, "NumDWORDs", "NumDWORDs", uint32, "")                                       \
    ROW(logPageOffset, "LogPageOffset", "Log Page Offset", uint64, "")                         \
    ROW(retainAsynchronousEvent, "RetainAsynchronousEvent", "Retain Asynchronous Event",       \
        boolean, "")                                                                           \
    ROW(includeNVMeSmartHealthLog, "IncludeNVMeSmartHealthLog", "Include NVMe Smart Health Log", \
        boolean, "")                                                                           \
    ROW(file, "File", "File", string, "")                                                      \
    ROW(featureId, "FeatureId", "Feature Id", uint8, "")                                       \
    ROW(featureName, "FeatureName", "Feature Name", string, "")                                \
    ROW(featureDescription, "FeatureDescription", "Feature Description", string, "")           \
    ROW(featureNumDwords, "NumDWORDs", "NumDWORDs", uint16, "")                                \
    ROW(transferBytes, "TransferBytes", "Transfer Bytes", uint32, "")                          \
    ROW(dword11, "DWORD11", "DWORD11", uint32, "")                                             \
    ROW(dword12, "DWORD12", "DWORD12", uint32, "")                                             \
    ROW(dword13, "DWORD13", "DWORD13", uint32, "")                                             \
    ROW(hostBehaviorSupport, "HostBehaviorSupport", "Set Host Behavior Support", boolean, "")  \
    ROW(advancedCommandRetryEnable, "AdvancedCommandRetryEnable",                              \
        "Advanced Command Retry Enable", boolean, "")                                          \
    ROW(extendedTelemetryDataArea4Supported, "ExtendedTelemetryDataArea4Supported",            \
        "Extended Telemetry Data Area 4 Supported", boolean, "")                               \
    ROW(lbaFormatExtensionEnable, "LbaFormatExtensionEnable", "LBA Format Extension Enable",   \
        boolean, "")                                                                           \
    ROW(controllerNamespaceStructure, "ControllerNamespaceStructure",                          \
        "Controller Namespace Structure", uint8, "")                                           \
    ROW(maxFtlCount, "MaxFTLCount", "Max FTL Count", uint32, "")

#define DK_SMART_HEALTH_DEFINITIONS(ROW)                                                       \
    ROW(availableSpare, "AvailableSpare",                                                      \
        "Available Spare Normalized percentage of the remaining spare capacity available",     \
        uint8, "")                                                                             \
    ROW(availableSpareWarning, "AvailableSpareWarning",                                        \
        "Available Spare Space has fallen below the threshold", boolean, "")                   \
    ROW(controllerBusyTime, "ControllerBusyTime", "Controller Busy Time", hexValue, "")        \
    ROW(criticalCompositeTemperatureTime, "CriticalCompositeTemperatureTime",                  \
        "Critical Composite Temperature Time", uint32, "")                                     \
    ROW(criticalWarnings, "CriticalWarnings", "Critical Warnings", uint8, "")                  \
    ROW(dataUnitsRead, "DataUnitsRead", "Data Units Read", hexValue, "")                       \
    ROW(dataUnitsWritten, "DataUnitsWritten", "Data Units Written", hexValue, "")              \
    ROW(hostReadCommands, "HostReadCommands", "Host Read Commands", hexValue, "")              \
    ROW(hostWriteCommands, "HostWriteCommands", "Host Write Commands", hexValue, "")           \
    ROW(mediaErrors, "MediaErrors", "Media Errors", hexValue, "")                              \
    ROW(numErrorInfoLogEntries, "NumErrorInfoLogEntries", "Number of Error Info Log Entries",   \
        hexValue, "")                                                                          \
    ROW(percentageUsed, "PercentageUsed", "Percentage Used", uint8, "")                        \
    ROW(powerCycles, "PowerCycles", "Power Cycles", hexValue, "")                              \
    ROW(powerOnHours, "PowerOnHours", "Power On Hours", hexValue, "")                          \
    ROW(readOnlyWarning, "ReadOnlyWarning", "Media is in a read-only mode", boolean, "")       \
    ROW(reliabilityWarning, "ReliabilityWarning", "Device reliability has degraded", boolean,  \
        "")                                                                                    \
    ROW(temperature, "Temperature", "Temperature", uint16, "Celsius")                          \
    SENSORS                                                                                    \
    ROW(temperatureWarning, "TemperatureWarning",                                              \
        "Temperature has exceeded a critical threshold", boolean, "")                          \
    ROW(unsafeShutdowns, "UnsafeShutdowns", "Unsafe Shutdowns", hexValue, "")                  \
    ROW(volatileMemoryWarning, "VolatileMemoryWarning",                                        \
        "Volatile memory backup device has failed", boolean, "")                               \
    ROW(warningCompositeTemperatureTime, "WarningCompositeTemperatureTime",                    \
        "Warning Composite Temperature Time", uint32, "")                                      \
    ROW(thermalManagementTemperature1TransitionCount,                                          \
        "ThermalManagementTemperature1TransitionCount",                                        \
        "Thermal Management Temperature 1 Transition Count", uint32, "")                       \
    ROW(thermalManagementTemperature2TransitionCount,                                          \
        "ThermalManagementTemperature2TransitionCount",                                        \
        "Thermal Management Temperature 2 Transition Count", uint32, "")                       \
    ROW(totalTimeForThermalManagementTemperature1, "TotalTimeForThermalManagementTemperature1", \
        "Total Time For Thermal Management Temperature 1", uint32, "")                         \
    ROW(totalTimeForThermalManagementTemperature2, "TotalTimeForThermalManagementTemperature2", \
        "Total Time For Thermal Management Temperature 2", uint32, "")

#define DK_DEFINE_FUNCTION(function, key, displayName, type, unit) \
    Attribute function() { return Attribute(key, displayName, types::type, unit); }
#define SENSORS
DK_LOG_AND_FEATURE_DEFINITIONS(DK_DEFINE_FUNCTION)
DK_SMART_HEALTH_DEFINITIONS(DK_DEFINE_FUNCTION)
#undef SENSORS
#undef DK_DEFINE_FUNCTION

Attribute temperatureSensor(unsigned n) {
    const std::string number = std::to_string(n);
    return Attribute("TemperatureSensor" + number, "Temperature Sensor " + number, types::uint16);
}

#define DK_LIST_ENTRY(function, key, displayName, type, unit) list.push_back(function());

std::vector<Attribute> logAndFeatureDefinitions() {
    std::vector<Attribute> list;
    DK_LOG_AND_FEATURE_DEFINITIONS(DK_LIST_ENTRY)
    return list;
}

std::vector<Attribute> smartHealthDefinitions() {
    std::vector<Attribute> list;
    // The sensors keep their place after "Temperature".
#define SENSORS                                                 \
    for (unsigned n = 1; n <= temperatureSensorCount; ++n) {    \
        list.push_back(temperatureSensor(n));                   \
    }
    DK_SMART_HEALTH_DEFINITIONS(DK_LIST_ENTRY)
#undef SENSORS
    return list;
}

#undef DK_LIST_ENTRY
#undef DK_SMART_HEALTH_DEFINITIONS
#undef DK_LOG_AND_FEATURE_DEFINITIONS

}  // namespace drivekit::features::definitions
