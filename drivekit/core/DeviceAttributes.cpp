#include "drivekit/core/DeviceAttributes.h"

namespace drivekit::core::attributes {

// One row per definition: function, key, display name, type. Both the functions and the
// list are generated from these rows.
#define DK_DEVICE_ATTRIBUTES(ROW)                                                              \
    ROW(connection, "Connection", "Connection", string)                                        \
    ROW(csmi, "CSMI", "CSMI", boolean)                                                         \
    ROW(driverProvider, "DriverProvider", "Driver Provider", string)                           \
    ROW(driverVersion, "DriverVersion", "Driver Version", string)                              \
    ROW(enduranceGroupIdentifier, "EnduranceGroupIdentifier", "Endurance Group Identifier",    \
        uint16)                                                                                \
    ROW(errorString, "ErrorString", "Error String", string)                                    \
    ROW(firmware, "Firmware", "Firmware", string)                                              \
    ROW(isCommandPathNVMeMSFT, "IsCommandPathNVMeMSFT", "Is Command Path NVMe MSFT", boolean)  \
    ROW(lsi, "LSI", "LSI", boolean)                                                            \
    ROW(maximumDataTransferSize, "MaximumDataTransferSize", "Maximum Data Transfer Size", uint8) \
    ROW(modelNumber, "ModelNumber", "Model Number", string)                                    \
    ROW(namespaceId, "NamespaceId", "NamespaceId", uint32)                                     \
    ROW(namespaceManagementSupported, "NamespaceManagementSupported",                          \
        "Namespace Management Supported", boolean)                                             \
    ROW(numErrorLogPageEntries, "NumErrorLogPageEntries", "Number Error Log Page Entries", uint8) \
    ROW(nvme1Point1OrGreater, "NVMe1Point1OrGreater", "NVMe 1.1 or greater", boolean)         \
    ROW(nvme1Point2OrGreater, "NVMe1Point2OrGreater", "NVMe 1.2 or greater", boolean)         \
    ROW(nvme1Point3OrGreater, "NVMe1Point3OrGreater", "NVMe 1.3 or greater", boolean)         \
    ROW(nvme1Point4OrGreater, "NVMe1Point4OrGreater", "NVMe 1.4 or greater", boolean)         \
    ROW(nvme2Point0OrGreater, "NVMe2Point0OrGreater", "NVMe 2.0 or greater", boolean)         \
    ROW(ocp1Point0OrGreater, "OCP1Point0OrGreater", "OCP 1.0 or Greater", boolean)            \
    ROW(ocp2Point0OrGreater, "OCP2Point0OrGreater", "OCP 2.0 or Greater", boolean)            \
    ROW(ocpSupported, "OCPSupported", "OCP Supported", boolean)                                \
    ROW(oem, "OEM", "OEM", string)                                                             \
    ROW(product, "Product", "Product", string)                                                 \
    ROW(raid, "RAID", "RAID", boolean)                                                         \
    ROW(serialNumber, "SerialNumber", "Serial Number", string)                                 \
    ROW(smartEnabled, "SMARTEnabled", "SMART Enabled", boolean)                                \
    ROW(smi, "SMI", "SMI", boolean)                                                            \
    ROW(kestrova, "Kestrova", "Kestrova", boolean)                                             \
    ROW(kestrovaGen3SATA, "KestrovaGen3SATA", "Kestrova Gen3 SATA", boolean)                   \
    ROW(kestrovaNVMe, "KestrovaNVMe", "Kestrova NVMe", boolean)                                \
    ROW(supportCommandEffectsLogEnhancements, "SupportCommandEffectsLogEnhancements",          \
        "Support Command Effects Log Enhancements", boolean)                                   \
    ROW(telemetryLogSupported, "TelemetryLogSupported", "Telemetry Log Supported", boolean)    \
    ROW(uuidSupported, "UUIDSupported", "UUID Supported", boolean)

#define DK_DEFINE_FUNCTION(function, key, displayName, type) \
    Attribute function() { return Attribute(key, displayName, types::type); }
DK_DEVICE_ATTRIBUTES(DK_DEFINE_FUNCTION)
#undef DK_DEFINE_FUNCTION

std::vector<Attribute> deviceAttributeDefinitions() {
#define DK_LIST_ENTRY(function, key, displayName, type) function(),
    return {DK_DEVICE_ATTRIBUTES(DK_LIST_ENTRY)};
#undef DK_LIST_ENTRY
}

#undef DK_DEVICE_ATTRIBUTES

}  // namespace drivekit::core::attributes
