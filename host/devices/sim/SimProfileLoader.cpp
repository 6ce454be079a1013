#include "host/devices/sim/SimProfileLoader.h"

#include <algorithm>

#include <boost/filesystem.hpp>

#include "host/BoundedFileReader.h"
#include "host/InstallLayout.h"
#include "host/devices/sim/SimAttributeTable.h"
#include "host/devices/sim/SimJsonReader.h"
#include "host/devices/sim/SimProfileAta.h"
#include "host/devices/sim/SimProfileAttributes.h"
#include "host/devices/sim/SimProfileFaults.h"
#include "host/devices/sim/SimProfileNvme.h"
#include "host/devices/sim/SimProfileReplay.h"

namespace host::sim {

namespace fs = boost::filesystem;
using nlohmann::json;

namespace {

// Far above any hand-written profile; keeps a wrong file from being read into memory.
constexpr uint64_t largestProfile = 4 * 1024 * 1024;

// Attributes a host derives from the drive when the profile leaves them out.
void deriveAttributes(SimProfile& profile) {
    const auto active = profile.activeNamespaceIds();
    if (!profile.attributes.contains(definitions::namespaceId().key()) && !active.empty()) {
        drivekit::core::Attribute attribute = definitions::namespaceId();
        attribute.setUint32(active.front());
        profile.attributes.set(attribute);
    }
    if (profile.firmwareSlots.empty()) {
        profile.firmwareSlots.push_back(profile.attributes.readString(definitions::firmware().key()));
    }
    if (!profile.speaks("NVME")) {
        profile.vendorChannel = false;
    }
}

}  // namespace

bool SimProfileLoader::parse(const std::string& text, const std::string& file, SimProfile& profile,
                             std::string& error) {
    json document;
    try {
        document = json::parse(text);
    } catch (const json::exception& e) {
        error = file + ": not valid JSON: " + e.what();
        return false;
    }
    try {
        const SimJsonReader top(document, "");
        top.allowOnly({"path", "attributes", "protocols", "nvme", "ata", "health", "replay", "faults"});
        profile.file = file;
        if (profile.name.empty()) {
            profile.name = file;
        }
        profile.path = top.stringOr("path", "sim:" + profile.name);
        SimProfileAttributes::readAttributes(top, profile);
        SimProfileAttributes::readProtocols(top, profile);
        SimProfileNvme::read(top, profile);
        SimProfileAta::readAta(top, profile);
        SimProfileAta::readHealth(top, profile);
        SimProfileFaults::read(top, profile);
        SimProfileReplay::read(top, file, profile);
        deriveAttributes(profile);
    } catch (const SimProfileError& e) {
        error = file + ": " + e.what();
        return false;
    } catch (const std::exception& e) {
        error = file + ": " + e.what();
        return false;
    }
    return true;
}

std::vector<std::string> SimProfileLoader::builtInNames() {
    return {"varnholt-nvme", "kestrova-nvme", "kestrova-sata", "other-nvme"};
}

std::string SimProfileLoader::builtInFolder() {
    const fs::path installed = InstallLayout::ofThisProgram().profileFolder;
    boost::system::error_code error;
    if (fs::is_directory(installed, error)) {
        return installed.string();
    }
    // A program built outside the tool's folder (a test or a fuzz target) reads the sources'.
    return (fs::path(__FILE__).parent_path() / "profiles").string();
}

bool SimProfileLoader::load(const std::string& nameOrPath, SimProfile& profile, std::string& error) {
    const auto names = builtInNames();
    std::string file = nameOrPath;
    profile.name = nameOrPath;
    if (std::find(names.begin(), names.end(), nameOrPath) != names.end()) {
        file = (fs::path(builtInFolder()) / (nameOrPath + ".json")).string();
    }
    const auto contents = BoundedFileReader::read(file, largestProfile);
    if (!contents.error.empty()) {
        error = file + ": cannot read the profile (" + contents.error + ")";
        boost::system::error_code ignored;
        if (nameOrPath.find('/') == std::string::npos && nameOrPath.find(".json") == std::string::npos &&
            !fs::exists(file, ignored)) {
            error += "; built-in profiles are varnholt-nvme, kestrova-nvme, kestrova-sata and other-nvme";
        }
        return false;
    }
    if (contents.longer) {
        error = file + ": the profile is larger than " + std::to_string(largestProfile / (1024 * 1024)) +
                " MiB; a profile is a small JSON file";
        return false;
    }
    const std::string text(contents.bytes.begin(), contents.bytes.end());
    return parse(text, file, profile, error);
}

}  // namespace host::sim
