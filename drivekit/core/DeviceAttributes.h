#pragma once
// Definitions of the attributes a host fills in a drive's collection. Each function returns
// a fresh attribute (key, display name, type, no value); query collections through them
// rather than through literal keys.
#include <vector>

#include "drivekit/core/Attribute.h"

namespace drivekit::core::attributes {

// How the host reaches the drive: "simulated", "Linux NVMe", "Linux SATA".
Attribute connection();
Attribute csmi();
Attribute driverProvider();
Attribute driverVersion();
Attribute enduranceGroupIdentifier();
Attribute errorString();
Attribute firmware();
Attribute isCommandPathNVMeMSFT();
Attribute lsi();
Attribute maximumDataTransferSize();
Attribute modelNumber();
Attribute namespaceId();
Attribute namespaceManagementSupported();
Attribute numErrorLogPageEntries();
Attribute nvme1Point1OrGreater();
Attribute nvme1Point2OrGreater();
Attribute nvme1Point3OrGreater();
Attribute nvme1Point4OrGreater();
Attribute nvme2Point0OrGreater();
Attribute ocp1Point0OrGreater();
Attribute ocp2Point0OrGreater();
Attribute ocpSupported();
Attribute oem();
Attribute product();
Attribute raid();
Attribute serialNumber();
Attribute smartEnabled();
Attribute smi();
Attribute kestrova();
Attribute kestrovaGen3SATA();
Attribute kestrovaNVMe();
Attribute supportCommandEffectsLogEnhancements();
Attribute telemetryLogSupported();
Attribute uuidSupported();

// Every definition above, in the order listed.
std::vector<Attribute> deviceAttributeDefinitions();

}  // namespace drivekit::core::attributes
