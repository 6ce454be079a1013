#pragma once
// The device attributes a host fills, with their display names and types, and the keys the
// simulated drive reads back when it builds its structures.
#include <string>
#include <vector>

namespace host::sim {

namespace attributeKeys {
inline const std::string serialNumber = "SerialNumber";
inline const std::string modelNumber = "ModelNumber";
inline const std::string firmware = "Firmware";
inline const std::string product = "Product";
inline const std::string kestrova = "Kestrova";
inline const std::string kestrovaNvme = "KestrovaNVMe";
inline const std::string kestrovaGen3Sata = "KestrovaGen3SATA";
inline const std::string namespaceId = "NamespaceId";
inline const std::string maximumDataTransferSize = "MaximumDataTransferSize";
inline const std::string numErrorLogPageEntries = "NumErrorLogPageEntries";
inline const std::string namespaceManagementSupported = "NamespaceManagementSupported";
inline const std::string telemetryLogSupported = "TelemetryLogSupported";
inline const std::string uuidSupported = "UUIDSupported";
inline const std::string ocpSupported = "OCPSupported";
inline const std::string smartEnabled = "SMARTEnabled";
inline const std::string nvme1Point1 = "NVMe1Point1OrGreater";
inline const std::string nvme1Point2 = "NVMe1Point2OrGreater";
inline const std::string nvme1Point3 = "NVMe1Point3OrGreater";
inline const std::string nvme1Point4 = "NVMe1Point4OrGreater";
inline const std::string nvme2Point0 = "NVMe2Point0OrGreater";
}  // namespace attributeKeys

struct SimAttributeDefinition {
    std::string key;
    std::string displayName;
    std::string typeName;  // "string", "boolean", "uint8", "uint16" or "uint32"
};

class SimAttributeTable {
public:
    static const std::vector<SimAttributeDefinition>& definitions();
    static const SimAttributeDefinition* find(const std::string& key);
};

}  // namespace host::sim
