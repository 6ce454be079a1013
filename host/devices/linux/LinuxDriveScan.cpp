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

// A namespace of the controller: "nvme0n1", or "nvme0c0n1" when the kernel shows the
// namespace through its multipath head.
bool isNamespaceOf(const std::string& entry, const std::string& controller) {
    if (!startsWith(entry, controller) || entry.size() == controller.size()) {
        return false;
    }
    const char next = entry[controller.size()];
    return next == 'n' || next == 'c';
}

void addNamespace(const fs::path& root, const fs::path& controller, FoundDrive& drive) {
    for (const auto& entry : entryNames(controller)) {
        if (!isNamespaceOf(entry, drive.name)) {
            continue;
        }
        const auto nsid = static_cast<uint32_t>(readNumber(controller / entry / "nsid"));
        if (nsid == 0) {
            continue;
        }
        drive.namespaceId = nsid;
        uint64_t kb = readNumber(controller / entry / "queue" / "max_hw_sectors_kb");
        if (kb == 0) {
            kb = readNumber(root / "block" / entry / "queue" / "max_hw_sectors_kb");
        }
        drive.kernelMaxTransferBytes = kb * 1024;
        return;
    }
}

void scanNvme(const fs::path& root, const fs::path& devRoot, std::vector<FoundDrive>& drives) {
    const fs::path classFolder = root / "class" / "nvme";
    for (const auto& name : entryNames(classFolder)) {
        if (!startsWith(name, "nvme") || name.size() == 4 ||
            !std::all_of(name.begin() + 4, name.end(), ::isdigit)) {
            continue;
        }
        const fs::path controller = classFolder / name;
        FoundDrive drive;
        drive.name = name;
        drive.path = (devRoot / name).string();
        drive.serialNumber = readAttribute(controller / "serial");
        drive.modelNumber = readAttribute(controller / "model");
        drive.firmware = readAttribute(controller / "firmware_rev");
        drive.driverVersion = driverVersion(root, "nvme");
        addNamespace(root, controller, drive);
        drives.push_back(drive);
    }
}

void scanSata(const fs::path& root, const fs::path& devRoot, std::vector<FoundDrive>& drives) {
    const fs::path blockFolder = root / "block";
    for (const auto& name : entryNames(blockFolder)) {
        const fs::path device = blockFolder / name / "device";
        if (!startsWith(name, "sd") || readAttribute(device / "vendor") != "ATA") {
            continue;
        }
        FoundDrive drive;
        drive.kind = FoundDrive::Kind::sata;
        drive.name = name;
        drive.path = (devRoot / name).string();
        drive.serialNumber = unitSerialNumber(device / "vpd_pg80");
        drive.modelNumber = readAttribute(device / "model");
        drive.firmware = readAttribute(device / "rev");
        drive.driverVersion = driverVersion(root, "libata");
        drives.push_back(drive);
    }
}

}  // namespace

bool kernelNameLess(const std::string& a, const std::string& b) {
    // The kernel numbers drives upwards and names of one kind grow with the number.
    return a.size() != b.size() ? a.size() < b.size() : a < b;
}

std::vector<FoundDrive> scanDrives(const std::string& root, const std::string& devRoot) {
    std::vector<FoundDrive> drives;
    scanNvme(root, devRoot, drives);
    scanSata(root, devRoot, drives);
    LOG_INFO("Found " << drives.size() << " drives in " << root);
    return drives;
}

}  // namespace host::linux_drives
