#include "host/redact/RedactCommand.h"

#include <algorithm>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <set>

#include "drivekit/core/Sha256.h"
#include "drivekit/core/WholeFile.h"
#include "host/ExitStatus.h"
#include "host/decode/FileKinds.h"
#include "host/redact/RedactedArchive.h"
#include "host/redact/TextRedactor.h"

namespace host {

namespace {

namespace fs = std::filesystem;

const char* const usage = "usage: ssdtool redact PACKAGE [-output FILE]";

// Far more than a computer's report takes; a longer text file is not a report.
constexpr uint64_t largestTextFile = 16ULL << 20;

// The files of a package that hold text about the computer and the run.
const std::set<std::string>& textFiles() {
    static const std::set<std::string> names{"system_info.log", "incident_report.log", "product.json",
                                             "version.txt", "manifest.json"};
    return names;
}

struct Paths {
    std::string package;
    std::string output;
    std::string map;
};

std::string baseName(const std::string& path) { return path.substr(path.find_last_of('/') + 1); }

// The package's path without its ".zip" or final separator: the copy and the map are named after it.
std::string stem(std::string path) {
    while (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }
    if (!fs::is_directory(path) && path.size() > 4 && path.compare(path.size() - 4, 4, ".zip") == 0) {
        path.resize(path.size() - 4);
    }
    return path;
}

std::string parse(const std::vector<std::string>& arguments, Paths& paths) {
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == "-output" && i + 1 < arguments.size()) {
            paths.output = arguments[++i];
        } else if (arguments[i] == "-output") {
            return "-output needs a value";
        } else if (paths.package.empty() && !arguments[i].empty() && arguments[i][0] != '-') {
            paths.package = arguments[i];
        } else {
            return "unexpected argument '" + printableName(arguments[i]) + "'";
        }
    }
    if (paths.package.empty()) {
        return "no PACKAGE given";
    }
    if (!PackageReader::isPackagePath(paths.package)) {
        return "PACKAGE is a ZIP archive (.zip) or an unpacked folder";
    }
    paths.map = stem(paths.package) + ".redaction-map.json";
    if (paths.output.empty()) {
        paths.output = stem(paths.package) + "-redacted.zip";
    }
    return {};
}

// Neither file may exist: the copy and the map never replace anything, a link or a device included.
std::string takenName(const Paths& paths) {
    for (const std::string& path : {paths.output, paths.map}) {
        std::error_code ignored;
        if (fs::exists(fs::symlink_status(path, ignored))) {
            return path + ": a file of that name exists already";
        }
    }
    return fs::absolute(paths.output) == fs::absolute(paths.map) ? "the copy and the map would have one name"
                                                                 : std::string();
}

struct TextEntry {
    std::size_t index;
    std::string text;
    bool changed = false;
    std::string sha256BeforeRedaction;  // of a changed file
};

// Reads every text file whole; fails on any file of the package that could not be copied.
std::string readTexts(PackageReader& reader, std::vector<TextEntry>& texts) {
    const auto& entries = reader.entries();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::string shown = printableName(entries[i].path);
        if (!entries[i].unreadable.empty()) {
            return shown + ": cannot read it: " + entries[i].unreadable;
        }
        if (textFiles().count(baseName(entries[i].path)) == 0) {
            continue;
        }
        const EntryContents contents = reader.read(i, largestTextFile);
        if (!contents.error.empty()) {
            return shown + ": cannot read it: " + contents.error;
        }
        if (contents.size > largestTextFile) {
            return shown + ": it holds " + std::to_string(contents.size) + " bytes, more than a text file of " +
                   std::to_string(largestTextFile);
        }
        texts.push_back({i, std::string(contents.bytes.begin(), contents.bytes.end()), false, {}});
    }
    return {};
}

// The copy's manifest speaks of the copy: each file that redaction changed is listed with its
// new size and SHA-256 and marked as redacted, so that decode finds the copy whole. A file
// that did not match the manifest before is left as listed, so that decode still names it as
// damaged; a manifest that is not a JSON object is left as it was redacted.
void restateManifest(const PackageReader& reader, std::vector<TextEntry>& texts) {
    const auto manifestEntry = std::find_if(texts.begin(), texts.end(), [&](const TextEntry& entry) {
        return baseName(reader.entries()[entry.index].path) == "manifest.json";
    });
    if (manifestEntry == texts.end()) {
        return;
    }
    const std::string& manifestPath = reader.entries()[manifestEntry->index].path;
    const std::string folder = manifestPath.substr(0, manifestPath.size() - baseName(manifestPath).size());
    auto manifest = nlohmann::ordered_json::parse(manifestEntry->text, nullptr, false);
    const auto files = manifest.is_object() ? manifest.find("files") : manifest.end();
    if (files == manifest.end() || !files->is_array()) {
        return;
    }
    for (const TextEntry& entry : texts) {
        const std::string& path = reader.entries()[entry.index].path;
        if (!entry.changed || &entry == &*manifestEntry || path.compare(0, folder.size(), folder) != 0) {
            continue;
        }
        for (auto& file : *files) {
            if (file.is_object() && file.value("path", nlohmann::ordered_json()) == path.substr(folder.size()) &&
                file.value("sha256", nlohmann::ordered_json()) == entry.sha256BeforeRedaction) {
                file["size"] = entry.text.size();
                file["sha256"] = drivekit::core::Sha256::of(entry.text);
                file["redacted"] = true;
            }
        }
    }
    manifestEntry->text = manifest.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

std::string writeCopy(PackageReader& reader, std::vector<TextEntry>& texts, const Paths& paths) {
    RedactedArchive archive;
    std::string error = archive.open(paths.package, fs::is_directory(paths.package), paths.output);
    if (!error.empty()) {
        return paths.output + ": " + error;
    }
    auto text = texts.begin();
    for (std::size_t i = 0; i < reader.entries().size() && error.empty(); ++i) {
        const std::string& name = reader.entries()[i].path;
        if (text != texts.end() && text->index == i) {
            error = archive.addText(name, std::move(text->text));
            ++text;
        } else {
            error = archive.addCopy(name);
        }
        if (!error.empty()) {
            error = printableName(name) + ": " + error;
        }
    }
    if (error.empty()) {
        error = archive.close();
    }
    return error.empty() ? error : "cannot write " + paths.output + ": " + error;
}

std::string writeMap(const TextRedactor& redactor, const Paths& paths) {
    nlohmann::json map = {
        {"package", paths.package}, {"copy", paths.output}, {"placeholders", nlohmann::json::object()}};
    for (const auto& [placeholder, value] : redactor.placeholders()) {
        map["placeholders"][placeholder] = value;
    }
    const std::string text = map.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
    const auto status =
        drivekit::core::WholeFile::write(paths.map, reinterpret_cast<const uint8_t*>(text.data()), text.size());
    return status.isSuccess() ? std::string() : "cannot write " + paths.map + ": " + status.message();
}

int redact(const Paths& paths, const PackageLimits& limits, std::ostream& out, std::ostream& err) {
    const std::string shown = printableName(paths.package);
    std::string error;
    const auto reader = PackageReader::open(paths.package, limits, error);
    if (reader != nullptr && reader->entries().empty()) {
        error = "it holds no files";
    }
    if (!error.empty()) {
        err << "redact: " << shown << ": cannot read the package: " << error << "\n";
        return ExitStatus::usage;
    }
    std::vector<TextEntry> texts;
    error = readTexts(*reader, texts);
    // Every file is learnt from first, so that a value gets its placeholder in every file.
    TextRedactor redactor;
    for (const auto& entry : texts) {
        redactor.learn(entry.text);
    }
    for (auto& entry : texts) {
        std::string redacted = redactor.redact(entry.text);
        entry.changed = redacted != entry.text;
        entry.sha256BeforeRedaction = entry.changed ? drivekit::core::Sha256::of(entry.text) : std::string();
        entry.text = std::move(redacted);
    }
    restateManifest(*reader, texts);
    if (error.empty()) {
        error = writeCopy(*reader, texts, paths);
    }
    if (error.empty()) {
        error = writeMap(redactor, paths);
        if (!error.empty()) {
            std::error_code ignored;
            fs::remove(paths.output, ignored);  // a copy without its map cannot be read back
        }
    }
    if (!error.empty()) {
        err << "redact: " << shown << ": " << error << "\n";
        return ExitStatus::failed;
    }
    out << "Redacted copy: " << paths.output << "\nPlaceholder map (keep it, do not send it): " << paths.map << "\n";
    return ExitStatus::success;
}

}  // namespace

int runRedact(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
              const PackageLimits& limits) {
    Paths paths;
    std::string error = parse(arguments, paths);
    if (!error.empty()) {
        err << "redact: " << error << "; " << usage << "\n";
        return ExitStatus::usage;
    }
    error = takenName(paths);
    if (!error.empty()) {
        err << "redact: " << printableName(error) << "\n";
        return ExitStatus::usage;
    }
    return redact(paths, limits, out, err);
}

}  // namespace host
