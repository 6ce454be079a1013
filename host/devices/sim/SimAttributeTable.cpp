#include "host/devices/sim/SimAttributeTable.h"

namespace host::sim {

const std::vector<SimAttributeDefinition>& SimAttributeTable::definitions() {
    static const std::vector<SimAttributeDefinition> rows = {
        {"CSMI", "CSMI", "boolean"},
        {"DriverProvider", "Driver Provider", "string"},
        {"DriverVersion", "Driver Version", "string"},
        {"EnduranceGroupIdentifier", "Endurance Group Identifier", "uint16"},
        {"ErrorString", "Error String", "string"},
        {"Firmware", "Firmware", "string"},
        {"IsCommandPathNVMeMSFT", "Is Command Path NVMe MSFT", "boolean"},
        {"LSI", "LSI", "boolean"},
        {"MaximumDataTransferSize", "Maximum Data Transfer Size", "uint8"},
        {"ModelNumber", "Model Number", "string"},
        {"NamespaceId", "NamespaceId", "uint32"},
        {"NamespaceManagementSupported", "Namespace Management Supported", "boolean"},
        {"NumErrorLogPageEntries", "Number Error Log Page Entries", "uint8"},
        {"NVMe1Point1OrGreater", "NVMe 1.1 or greater", "boolean"},
        {"NVMe1Point2OrGreater", "NVMe 1.2 or greater", "boolean"},
        {"NVMe1Point3OrGreater", "NVMe 1.3 or greater", "boolean"},
        {"NVMe1Point4OrGreater", "NVMe 1.4 or greater", "boolean"},
        {"NVMe2Point0OrGreater", "NVMe 2.0 or greater", "boolean"},
        {"OCP1Point0OrGreater", "OCP 1.0 or Greater", "boolean"},
        {"OCP2Point0OrGreater", "OCP 2.0 or Greater", "boolean"},
        {"OCPSupported", "OCP Supported", "boolean"},
        {"OEM", "OEM", "string"},
        {"Product", "Product", "string"},
        {"RAID", "RAID", "boolean"},
        {"SerialNumber", "Serial Number", "string"},
        {"SMARTEnabled", "SMART Enabled", "boolean"},
        {"SMI", "SMI", "boolean"},
        {"Kestrova", "Kestrova", "boolean"},
        {"KestrovaGen3SATA", "Kestrova Gen3 SATA", "boolean"},
        {"KestrovaNVMe", "Kestrova NVMe", "boolean"},
        {"SupportCommandEffectsLogEnhancements", "Support Command Effects Log Enhancements", "boolean"},
        {"TelemetryLogSupported", "Telemetry Log Supported", "boolean"},
        {"UUIDSupported", "UUID Supported", "boolean"},
    };
    return rows;
}

const SimAttributeDefinition* SimAttributeTable::find(const std::string& key) {
    for (const auto& row : definitions()) {
        if (row.key == key) {
            return &row;
        }
    }
    return nullptr;
}

}  // namespace host::sim
