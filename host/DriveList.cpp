#include "host/DriveList.h"

#include <algorithm>
#include <cctype>
#include <iomanip>

#include "drivekit/core/logging/Log.h"
#include "host/cli/TextTable.h"
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
    add({std::move(device), std::move(path), std::move(open)});
}

void DriveList::add(Entry entry) { entries_.push_back(std::move(entry)); }

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

const DriveList::Entry* DriveList::byIndex(const std::string& selector) const {
    if (isIndex(selector)) {
        const auto index = std::stoul(selector);
        if (index < entries_.size()) {
            return &entries_[index];
        }
    }
    return nullptr;
}

const DriveList::Entry* DriveList::select(const std::string& selector, std::string& error) const {
    const Entry* chosen = byIndex(selector);
    if (chosen != nullptr && !chosen->selectableByIndex) {
        const std::string attached = chosen->attachment.empty() ? "" : ", " + chosen->attachment;
        error = "Drive " + selector + " (" + chosen->path + attached +
                ") is not picked by index; select it by path or serial number: -ssd " + chosen->path;
        return nullptr;
    }
    for (auto entry = entries_.begin(); chosen == nullptr && entry != entries_.end(); ++entry) {
        if (attributeText(*entry->device, "SerialNumber") == selector || entry->path == selector) {
            chosen = &*entry;
        }
    }
    if (chosen == nullptr) {
        error = entries_.empty() ? "No drive found." : "No drive matches -ssd " + selector + ".";
    } else if (!chosen->unsupported.empty()) {
        error = chosen->path + " is " + chosen->unsupported + "; this program does not read it.";
        chosen = nullptr;
    }
    return chosen;
}

std::string DriveList::indexNotice(const std::string& selector) const {
    const Entry* entry = byIndex(selector);
    if (entry == nullptr || !entry->selectableByIndex || !entry->unsupported.empty()) {
        return {};
    }
    return "drive " + selector + " is " + entry->path + " (serial " + attributeText(*entry->device, "SerialNumber") +
           ", model " + attributeText(*entry->device, "ModelNumber") + ")";
}

std::string DriveList::serialNumberOf(const drivekit::core::Device& device) {
    return attributeText(device, "SerialNumber");
}

std::string DriveList::modelOf(const drivekit::core::Device& device) { return attributeText(device, "ModelNumber"); }

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
    // Simulated drives have no attachment: their table keeps its five columns.
    const bool attachments = std::any_of(entries_.begin(), entries_.end(),
                                         [](const Entry& entry) { return !entry.attachment.empty(); });
    std::vector<cli::TextTable::Row> rows{{"Index", "Serial Number", "Model", "Path", "Protocol"}};
    if (attachments) {
        rows[0].push_back("Attached");
    }
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const auto& device = *entries_[i].device;
        rows.push_back({std::to_string(i), attributeText(device, "SerialNumber"),
                        attributeText(device, "ModelNumber"), entries_[i].path, protocolOf(device)});
        if (attachments) {
            rows.back().push_back(entries_[i].attachment);
        }
    }
    cli::TextTable::print(rows, out);
}

}  // namespace host
