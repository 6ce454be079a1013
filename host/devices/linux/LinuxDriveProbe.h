#pragma once
// Fills an opened drive's attributes from its Identify data, a few reads it answers and
// sysfs: what the collectors ask of a drive (serial number, model, transfer size, telemetry,
// UUID list, OCP, SMART, driver) and whether it is one of the maker's.
#include <string>

#include "drivekit/core/AttributeCollection.h"
#include "drivekit/core/Status.h"
#include "host/devices/linux/LinuxAtaDrive.h"
#include "host/devices/linux/LinuxDriveScan.h"
#include "host/devices/linux/LinuxNvmeDrive.h"

namespace host::linux_drives {

// Fails only when the drive does not answer Identify Controller; the other reads only add
// what they find.
drivekit::core::Status probeNvme(LinuxNvmeDrive& drive, const FoundDrive& found);
// Fails only when the drive does not answer IDENTIFY DEVICE.
drivekit::core::Status probeSata(LinuxAtaDrive& drive, const FoundDrive& found);

}  // namespace host::linux_drives
