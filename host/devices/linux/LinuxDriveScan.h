#pragma once
// Finding this machine's drives in sysfs, without opening any of them (listing needs no
// root): NVMe controllers of /sys/class/nvme and SATA disks behind libata (the /sys/block/sdX
// whose SCSI vendor is "ATA"), NVMe controllers first, each group in the kernel's numbering.
// USB disks are listed too, marked unsupported.
#include <cstdint>
#include <string>
#include <vector>

namespace host::linux_drives {

struct FoundDrive {
    enum class Kind { nvme, sata };
    Kind kind = Kind::nvme;
    std::string name;  // "nvme0", "sda"
    std::string path;  // "/dev/nvme0"
    // As sysfs shows them (a SATA model is cut to 16 characters there; IDENTIFY gives it whole).
    std::string serialNumber;
    std::string modelNumber;
    std::string firmware;
    // NVMe: the controller's lowest namespace id (0 without one) and the largest transfer the
    // kernel takes in one command for it (0 when unknown).
    uint32_t namespaceId = 0;
    uint64_t kernelMaxTransferBytes = 0;
    // The storage driver's module version, or the running kernel's release.
    std::string driverVersion;
    // NVMe: the kernel's admin command time-out (nvme_core's admin_timeout) in seconds, 0 when
    // unknown; a command is never given less, so that the kernel never resets the controller
    // for a command this program still waits for.
    uint32_t adminTimeoutSeconds = 0;
    // SATA: the disk's logical sector size in bytes (512, or 4096 on a 4Kn disk); 0 when unknown.
    uint32_t logicalSectorBytes = 0;
    // How the drive is attached ("pcie", "tcp", "rdma", "fc", "loop"; "sata", "usb") and the
    // controller's state ("live", "resetting", ...), as sysfs says them; empty when unknown.
    std::string transport;
    std::string state;
    // NVMe: a discovery controller of NVMe over Fabrics, which holds no namespace to read.
    bool discovery = false;
    // Why this program does not read the drive ("not supported (USB bridge)"); empty when it does.
    std::string unsupported;
    // False for a drive that "-ssd <index>" does not pick (a fabrics or discovery controller, one
    // that is not live): its path or serial number still selects it.
    bool selectableByIndex = true;
};

// root: the sysfs mount ("/sys"); devRoot: where the device nodes live ("/dev").
std::vector<FoundDrive> scanDrives(const std::string& root = "/sys", const std::string& devRoot = "/dev");

// "nvme2" before "nvme10", "sdz" before "sdaa".
bool kernelNameLess(const std::string& a, const std::string& b);

// How the drive list shows the drive's attachment: "pcie, live", "tcp, live, discovery",
// "usb, not supported (USB bridge)"; empty when sysfs said nothing.
std::string attachmentText(const FoundDrive& drive);

}  // namespace host::linux_drives
