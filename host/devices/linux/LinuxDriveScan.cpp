#include "host/devices/linux/LinuxDriveScan.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>

#include <sys/utsname.h>

#include <boost/filesystem.hpp>

#include "drivekit/core/TextParsing.h"
#include "drivekit/core/logging/Log.h"

namespace host::linux_drives {

namespace fs = boost::filesystem;

namespace {

// sysfs attributes are small; nothing more than this is read from one.
constexpr std::size_t attributeLimit = 4096;

// The subsystem NQN every NVMe over Fabrics discovery controller reports.
const char* const discoveryNqn = "nqn.2014-08.org.nvmexpress.discovery";

std::string readBounded(const fs::path& file) {
    std::ifstream in(file.string(), std::ios::binary);
    std::string bytes(attributeLimit, '\0');
    in.read(&bytes[0], static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(std::max<std::streamsize>(in.gcount(), 0)));
    return bytes;
}

std::string readAttribute(const fs::path& file) { return drivekit::core::strings::trim(readBounded(file)); }

uint64_t readNumber(const fs::path& file) {
    const std::string text = readAttribute(file);
    if (text.empty() || text.size() > 18 || !std::all_of(text.begin(), text.end(), ::isdigit)) {
        return 0;
    }
    return std::stoull(text);
}

std::vector<std::string> entryNames(const fs::path& folder) {
    std::vector<std::string> names;
    boost::system::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        names.push_back(it->path().filename().string());
    }
    std::sort(names.begin(), names.end(), kernelNameLess);
    return names;
}

bool startsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

std::string kernelRelease() {
    utsname names{};
    return ::uname(&names) == 0 ? names.release : "";
}

std::string driverVersion(const fs::path& root, const std::string& module) {
    const std::string version = readAttribute(root / "module" / module / "version");
    return version.empty() ? kernelRelease() : module + " " + version;
}

// The SCSI unit serial number page: its length in byte 3, the text from byte 4.
std::string unitSerialNumber(const fs::path& file) {
    const std::string page = readBounded(file);
    if (page.size() < 4) {
        return {};
    }
    const std::size_t length = std::min<std::size_t>(static_cast<uint8_t>(page[3]), page.size() - 4);
    return drivekit::core::strings::trim(page.substr(4, length));
}

// A namespace folder of the controller is any child with an nsid: "nvme0n1", or a multipath
// path device "nvme<subsystem>c<controller>n<x>", whose prefix is the subsystem's number,
// not the controller's.
struct NamespaceFolder {
    std::string name;
    uint32_t nsid = 0;
};

NamespaceFolder lowestNamespace(const fs::path& controller) {
    NamespaceFolder lowest;
    for (const auto& entry : entryNames(controller)) {
        const auto nsid = static_cast<uint32_t>(readNumber(controller / entry / "nsid"));
        if (nsid != 0 && (lowest.nsid == 0 || nsid < lowest.nsid)) {
            lowest = {entry, nsid};
        }
    }
    return lowest;
}

// "nvme1c3n2" -> "nvme1n2": the multipath head, which /sys/block shows for a path device.
std::string headName(const std::string& name) {
    const auto c = name.find('c', 4);
    const auto n = name.find('n', 4);
    return c != std::string::npos && n != std::string::npos && c < n ? name.substr(0, c) + name.substr(n) : name;
}

uint64_t queueNumber(const fs::path& root, const fs::path& controller, const std::string& ns, const char* key) {
    for (const auto& queue : {controller / ns / "queue", root / "block" / ns / "queue",
                              root / "block" / headName(ns) / "queue"}) {
        if (const uint64_t value = readNumber(queue / key); value != 0) {
            return value;
        }
    }
    return 0;
}

// The largest transfer the kernel takes in one command: its own limit, and with scattered
// 4 KiB pages no more than one page per segment; this program's buffers are ordinary heap
// memory, so never more than 256 KiB. 0 when sysfs says neither.
uint64_t transferLimit(uint64_t maxHwSectorsKb, uint64_t maxSegments) {
    constexpr uint64_t heapBufferLimit = 256 * 1024;
    constexpr uint64_t pageBytes = 4096;
    if (maxHwSectorsKb == 0 && maxSegments == 0) {
        return 0;
    }
    uint64_t limit = heapBufferLimit;
    if (maxHwSectorsKb != 0) {
        limit = std::min(limit, maxHwSectorsKb * 1024);
    }
    if (maxSegments != 0) {
        limit = std::min(limit, maxSegments * pageBytes);
    }
    return limit;
}

void addNamespace(const fs::path& root, const fs::path& controller, FoundDrive& drive) {
    const NamespaceFolder ns = lowestNamespace(controller);
    if (ns.nsid == 0) {
        return;
    }
    drive.namespaceId = ns.nsid;
    drive.kernelMaxTransferBytes = transferLimit(queueNumber(root, controller, ns.name, "max_hw_sectors_kb"),
                                                 queueNumber(root, controller, ns.name, "max_segments"));
}

// Fabrics and discovery controllers and those the kernel is resetting or removing are listed,
// but "-ssd <index>" does not pick them: a bare index is meant for a local drive in working
// order, and reading one of these by a mistyped number could disturb a remote target or a
// controller in recovery.
bool pickedByIndex(const FoundDrive& drive) {
    return (drive.transport.empty() || drive.transport == "pcie") && (drive.state.empty() || drive.state == "live") &&
           !drive.discovery;
}

// What every listed drive has: its kind, its names and how it identifies itself.
FoundDrive listed(FoundDrive::Kind kind, const std::string& name, const fs::path& devRoot, std::string serialNumber,
                  std::string modelNumber, std::string firmware) {
    FoundDrive drive;
    drive.kind = kind;
    drive.name = name;
    drive.path = (devRoot / name).string();
    drive.serialNumber = std::move(serialNumber);
    drive.modelNumber = std::move(modelNumber);
    drive.firmware = std::move(firmware);
    return drive;
}

void scanNvme(const fs::path& root, const fs::path& devRoot, std::vector<FoundDrive>& drives) {
    const fs::path classFolder = root / "class" / "nvme";
    const auto adminTimeout =
        static_cast<uint32_t>(readNumber(root / "module" / "nvme_core" / "parameters" / "admin_timeout"));
    for (const auto& name : entryNames(classFolder)) {
        if (!startsWith(name, "nvme") || name.size() == 4 ||
            !std::all_of(name.begin() + 4, name.end(), ::isdigit)) {
            continue;
        }
        const fs::path controller = classFolder / name;
        FoundDrive drive = listed(FoundDrive::Kind::nvme, name, devRoot, readAttribute(controller / "serial"),
                                  readAttribute(controller / "model"), readAttribute(controller / "firmware_rev"));
        drive.driverVersion = driverVersion(root, "nvme");
        drive.adminTimeoutSeconds = adminTimeout;
        drive.transport = readAttribute(controller / "transport");
        drive.state = readAttribute(controller / "state");
        drive.discovery = readAttribute(controller / "subsysnqn") == discoveryNqn;
        drive.selectableByIndex = pickedByIndex(drive);
        addNamespace(root, controller, drive);
        drives.push_back(drive);
    }
}

// Whether the disk hangs below a USB controller: its resolved sysfs path runs through one.
bool underUsb(const fs::path& device) {
    boost::system::error_code error;
    const fs::path resolved = fs::canonical(device, error);
    return !error && resolved.string().find("/usb") != std::string::npos;
}

// SATA disks behind libata (SCSI vendor "ATA"), and USB disks, which are listed but not read:
// a USB bridge does not pass every ATA command through. Other SCSI disks are left out.
void scanSata(const fs::path& root, const fs::path& devRoot, std::vector<FoundDrive>& drives) {
    const fs::path blockFolder = root / "block";
    for (const auto& name : entryNames(blockFolder)) {
        const fs::path device = blockFolder / name / "device";
        if (!startsWith(name, "sd")) {
            continue;
        }
        const bool ata = readAttribute(device / "vendor") == "ATA";
        const bool usb = underUsb(device);
        if (!ata && !usb) {
            continue;
        }
        FoundDrive drive = listed(FoundDrive::Kind::sata, name, devRoot, unitSerialNumber(device / "vpd_pg80"),
                                  readAttribute(device / "model"), readAttribute(device / "rev"));
        drive.driverVersion = driverVersion(root, "libata");
        drive.logicalSectorBytes =
            static_cast<uint32_t>(readNumber(blockFolder / name / "queue" / "logical_block_size"));
        drive.transport = usb ? "usb" : "sata";
        if (!ata) {
            drive.unsupported = "not supported (USB bridge)";
        }
        drives.push_back(drive);
    }
}

}  // namespace

bool kernelNameLess(const std::string& a, const std::string& b) {
    // The kernel numbers drives upwards and names of one kind grow with the number.
    return a.size() != b.size() ? a.size() < b.size() : a < b;
}

std::string attachmentText(const FoundDrive& drive) {
    std::string text;
    for (const std::string& part : {drive.transport, drive.state, std::string(drive.discovery ? "discovery" : ""),
                                    drive.unsupported}) {
        if (!part.empty()) {
            text += (text.empty() ? "" : ", ") + part;
        }
    }
    return text;
}

std::vector<FoundDrive> scanDrives(const std::string& root, const std::string& devRoot) {
    std::vector<FoundDrive> drives;
    scanNvme(root, devRoot, drives);
    scanSata(root, devRoot, drives);
    LOG_INFO("Found " << drives.size() << " drives in " << root);
    return drives;
}

}  // namespace host::linux_drives
