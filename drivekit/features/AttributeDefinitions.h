#pragma once
// Attribute definitions shared by the get-log and get/set-feature families and by the NVMe
// SMART / Health data. Each function returns a fresh attribute with no value.
#include <vector>

#include "drivekit/core/Attribute.h"
#include "drivekit/core/DeviceAttributes.h"

namespace drivekit::features::definitions {

using core::Attribute;
// The namespace a command addresses is the drive's own attribute.
using core::attributes::namespaceId;

// Get-log and feature families.
Attribute logName();
Attribute logDescription();
Attribute logId();
Attribute logSpecificField();
Attribute logSpecificId();
Attribute uuidIndex();
Attribute namespaceSpecific();
Attribute numDwords();  // "NumDWORDs" of a log page: uint32
Attribute logPageOffset();
Attribute retainAsynchronousEvent();
Attribute includeNVMeSmartHealthLog();
Attribute file();
Attribute featureId();
Attribute featureName();
Attribute featureDescription();
Attribute featureNumDwords();  // "NumDWORDs" of a feature: uint16
Attribute transferBytes();
Attribute dword11();
Attribute dword12();
Attribute dword13();
Attribute hostBehaviorSupport();
Attribute advancedCommandRetryEnable();
Attribute extendedTelemetryDataArea4Supported();
Attribute lbaFormatExtensionEnable();
Attribute controllerNamespaceStructure();
Attribute maxFtlCount();  // the drive's total FTL count, for the Performance Debug Log page

// NVMe SMART / Health data.
Attribute availableSpare();
Attribute availableSpareWarning();
Attribute controllerBusyTime();
Attribute criticalCompositeTemperatureTime();
Attribute criticalWarnings();
Attribute dataUnitsRead();
Attribute dataUnitsWritten();
Attribute hostReadCommands();
Attribute hostWriteCommands();
Attribute mediaErrors();
Attribute numErrorInfoLogEntries();
Attribute percentageUsed();
Attribute powerCycles();
Attribute powerOnHours();
Attribute readOnlyWarning();
Attribute reliabilityWarning();
Attribute temperature();  // in "Celsius"
// "TemperatureSensor<n>" for the sensors 1 to 8.
Attribute temperatureSensor(unsigned n);
Attribute temperatureWarning();
Attribute unsafeShutdowns();
Attribute volatileMemoryWarning();
Attribute warningCompositeTemperatureTime();
Attribute thermalManagementTemperature1TransitionCount();
Attribute thermalManagementTemperature2TransitionCount();
Attribute totalTimeForThermalManagementTemperature1();
Attribute totalTimeForThermalManagementTemperature2();

constexpr unsigned temperatureSensorCount = 8;

// Every get-log and feature definition, in the order above.
std::vector<Attribute> logAndFeatureDefinitions();
// Every SMART / Health definition, the eight sensors in place of temperatureSensor(n).
std::vector<Attribute> smartHealthDefinitions();

}  // namespace drivekit::features::definitions
