#include "plugins/plugin.debug_logs/debug_logs_common/Manifest.h"

#include <algorithm>
#include <boost/filesystem.hpp>

#include "drivekit/core/CommandJournal.h"
#include "drivekit/core/DeviceAttributes.h"
#include "drivekit/core/HexText.h"
#include "drivekit/core/Sha256.h"
#include "plugins/plugin.debug_logs/debug_logs_common/FileWriters.h"
#include "plugins/plugin.debug_logs/debug_logs_common/PluginVersion.h"

namespace plugin::cli::debug_logs {

namespace fs = boost::filesystem;
using drivekit::core::CommandJournal;
using drivekit::features::Json;
namespace deviceAttributes = drivekit::core::attributes;

namespace {

Json arrayOf(const std::string& key) {
    Json node(key);
    node.setType(Json::array);
    return node;
}

Json commandNode(const CommandJournal::Command& command) {
    Json node;
    node["protocol"].setString(command.protocol);
    node["name"].setString(command.name);
    for (const auto& [name, value] : command.fields) {
        node[name].setUnsigned(value);
    }
    node["status"].setString(command.status);
    node["microseconds"].setUnsigned(command.microseconds);
    return node;
}

// The commands that read each file, by its path inside the folder; a file written more than
// once keeps every read.
std::vector<std::pair<std::string, std::vector<CommandJournal::Command>>> readsByFile(const fs::path& folder) {
    std::vector<std::pair<std::string, std::vector<CommandJournal::Command>>> reads;
    const std::string prefix = folder.generic_string() + "/";
    for (const auto& file : CommandJournal::files()) {
        const std::string path = fs::absolute(file.path).generic_string();
        if (path.compare(0, prefix.size(), prefix) == 0) {
            reads.emplace_back(path.substr(prefix.size()), file.commands);
        }
    }
    return reads;
}

}  // namespace

Manifest::Manifest(std::string folder, const drivekit::core::Device* device, std::vector<CollectorResult> collectors)
    : folder_(std::move(folder)), device_(device), collectors_(std::move(collectors)) {}

std::string Manifest::text() const {
    Json root;
    root.append(tool());
    root.append(drive());
    root.append(files());
    root.append(collectors());
    root.append(changes());
    root.append(vendorReads());
    return root.toString() + "\n";
}

bool Manifest::write() const { return writeTextFile(filePathIn(folder_, fileName), text(), false); }

Json Manifest::tool() const {
    Json node("tool");
    node["version"].setString(pluginVersion);
#ifdef _WIN32
    node["platform"].setString("windows");
#else
    node["platform"].setString("linux");
#endif
    return node;
}

Json Manifest::drive() const {
    Json node("drive");
    if (device_ == nullptr) {
        return node;
    }
    const auto& attributes = device_->attributes;
    node["serial"].setString(attributes.readString(deviceAttributes::serialNumber().key()));
    node["model"].setString(attributes.readString(deviceAttributes::modelNumber().key()));
    node["firmware"].setString(attributes.readString(deviceAttributes::firmware().key()));
    const bool nvme = device_->isProtocolSupported(drivekit::core::protocols::nvme);
    node["protocol"].setString(nvme ? "NVMe" : "ATA");
    node["connection"].setString(attributes.readString(deviceAttributes::connection().key()));
    return node;
}

Json Manifest::files() const {
    Json list = arrayOf("files");
    const fs::path folder = fs::absolute(folder_);
    const auto reads = readsByFile(folder);
    std::vector<std::string> paths;
    boost::system::error_code error;
    for (fs::recursive_directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const std::string path = it->path().lexically_relative(folder).generic_string();
        if (fs::is_regular_file(it->symlink_status()) && path != fileName) {
            paths.push_back(path);
        }
    }
    std::sort(paths.begin(), paths.end());
    for (const std::string& path : paths) {
        Json entry;
        entry["path"].setString(path);
        entry["size"].setUnsigned(fs::file_size(folder / path, error));
        entry["sha256"].setString(drivekit::core::Sha256::ofFile((folder / path).string()));
        Json& commands = entry["commands"];
        commands.setType(Json::array);
        for (const auto& [written, byCommands] : reads) {
            for (const auto& command : written == path ? byCommands : std::vector<CommandJournal::Command>{}) {
                commands.append(commandNode(command));
            }
        }
        list.append(entry);
    }
    return list;
}

Json Manifest::collectors() const {
    Json list = arrayOf("collectors");
    for (const CollectorResult& collector : collectors_) {
        Json entry;
        entry["name"].setString(collector.title);
        entry["result"].setString(collector.result.isSuccess() ? "success" : collector.result.message());
        list.append(entry);
    }
    return list;
}

Json Manifest::changes() {
    Json list = arrayOf("driveChanges");
    for (const auto& change : CommandJournal::changes()) {
        Json entry;
        entry["what"].setString(change.what);
        // A setting the run changed without reading it first has no value before.
        if (!change.before.empty()) {
            entry["before"].setString(change.before);
        }
        entry["set"].setString(change.set);
        entry["putBack"].setBool(change.putBack);
        list.append(entry);
    }
    return list;
}

Json Manifest::vendorReads() {
    Json list = arrayOf("vendorReads");
    for (const auto& read : CommandJournal::vendorReads()) {
        Json entry;
        entry["code"].setUnsigned(read.code);
        entry["status"].setString(read.status);
        entry["microseconds"].setUnsigned(read.microseconds);
        entry["data"].setString(drivekit::core::strings::hexBytes(read.data.data(), read.data.size()));
        list.append(entry);
    }
    return list;
}

}  // namespace plugin::cli::debug_logs
