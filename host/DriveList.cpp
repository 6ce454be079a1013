#include "host/DriveList.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <iomanip>

#include "drivekit/core/logging/Log.h"
#include "host/devices/sim/SimulatedDrive.h"

namespace host {

namespace {

bool isIndex(const std::string& text) {
    return !text.empty() && text.size() < 10 &&
           std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c) != 0; });
}

std::string attributeText(const drivekit::core::Device& device, const char* key) {
    return device.attributes.readString(key);
}

}  // namespace

void DriveList::add(std::shared_ptr<drivekit::core::Device> device, std::string path,
                    std::function<OpenOutcome()> open) {
    entries_.push_back({std::move(device), std::move(path), std::move(open)});
}

void DriveList::addLinux(const std::string& root, const std::string& devRoot) {
    for (auto& drive : linux_drives::findLinuxDrives(root, devRoot)) {
        add(std::move(drive.device), std::move(drive.path), std::move(drive.open));
    }
}

std::string DriveList::addSimulated(const std::vector<std::string>& profiles) {
    for (const auto& profile : profiles) {
        const std::string name = profile.empty() ? sim::defaultProfileName : profile;
        std::string error;
        auto drive = sim::openSimulatedDrive(name, error);
        if (!drive) {
            return error.empty() ? "Cannot open the simulated drive " + name : error;
        }
        LOG_INFO("Simulated drive " << entries_.size() << ": " << drive->path());
        const std::string path = drive->path();
        add(std::move(drive), path);
    }
    return {};
}

const DriveList::Entry* DriveList::select(const std::string& selector, std::string& error) const {
    if (isIndex(selector)) {
        const auto index = std::stoul(selector);
        if (index < entries_.size()) {
            return &entries_[index];
        }
    }
    for (const auto& entry : entries_) {
        if (attributeText(*entry.device, "SerialNumber") == selector || entry.path == selector) {
            return &entry;
        }
    }
    error = entries_.empty() ? "No drive found." : "No drive matches -ssd " + selector + ".";
    return nullptr;
}

std::string DriveList::protocolOf(const drivekit::core::Device& device) {
    if (device.isProtocolSupported("NVME")) {
        return "NVMe";
    }
    if (device.isProtocolSupported("ATA")) {
        return "ATA";
    }
    return "unknown";
}

void DriveList::print(std::ostream& out) const {
    if (entries_.empty()) {
        out << "No drives found.\n";
        return;
    }
    using Row = std::array<std::string, 5>;
    std::vector<Row> rows{{"Index", "Serial Number", "Model", "Path", "Protocol"}};
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const auto& device = *entries_[i].device;
        rows.push_back({std::to_string(i), attributeText(device, "SerialNumber"),
                        attributeText(device, "ModelNumber"), entries_[i].path, protocolOf(device)});
    }
    std::array<std::size_t, 5> widths{};
    for (const auto& row : rows) {
        for (std::size_t column = 0; column < row.size(); ++column) {
            widths[column] = std::max(widths[column], row[column].size());
        }
    }
    for (const auto& row : rows) {
        std::string line;
        for (std::size_t column = 0; column < row.size(); ++column) {
            line += row[column];
            if (column + 1 < row.size()) {
                line += std::string(widths[column] - row[column].size() + 2, ' ');
            }
        }
        out << line << '\n';
    }
}

}  // namespace host
