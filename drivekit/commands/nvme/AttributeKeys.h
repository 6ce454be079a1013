#pragma once
// Keys of the feature attributes from which the NVMe admin commands take their dwords.
// They match the definitions of the features layer; the commands layer keeps its own copy
// because it must not depend on the features.
#include <string>

namespace drivekit::commands::nvme::keys {

inline const std::string logId = "LogId";
inline const std::string logSpecificField = "LogSpecificField";
inline const std::string retainAsynchronousEvent = "RetainAsynchronousEvent";
inline const std::string numDwords = "NumDWORDs";
inline const std::string logSpecificId = "LogSpecificId";
inline const std::string logPageOffset = "LogPageOffset";
inline const std::string namespaceId = "NamespaceId";
inline const std::string controllerNamespaceStructure = "ControllerNamespaceStructure";
inline const std::string csi = "CSI";
inline const std::string featureId = "FeatureId";
inline const std::string select = "Select";
inline const std::string save = "Save";
inline const std::string dword11 = "DWORD11";
inline const std::string dword12 = "DWORD12";
inline const std::string dword13 = "DWORD13";
inline const std::string transferBytes = "TransferBytes";

}  // namespace drivekit::commands::nvme::keys
