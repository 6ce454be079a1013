#include "host/decode/PackageDecoder.h"

#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "drivekit/features/decode/XmlTreePrinter.h"
#include "host/decode/EventLogStream.h"
#include "host/decode/FileKinds.h"
#include "host/decode/JsonFormat.h"
#include "host/decode/ManifestCheck.h"
#include "host/ExitStatus.h"

namespace host {

namespace {

using drivekit::core::xml::XmlObject;
using drivekit::features::Json;
using drivekit::features::decode::XmlTreePrinter;
using Result = FileDecode::Result;

constexpr uint64_t largestProductFile = 4096;
constexpr uint8_t persistentEventLogId = 0x0D;

std::string baseName(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The product information file records a product type only for drives of the family with
// the maker's vendor pages; every other drive records 0.
bool productTypeRecorded(PackageReader& reader) {
    const auto& entries = reader.entries();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (baseName(entries[i].path) != "product.json") {
            continue;
        }
        const EntryContents contents = reader.read(i, largestProductFile);
        const auto product = nlohmann::json::parse(contents.bytes.begin(), contents.bytes.end(), nullptr, false);
        return contents.error.empty() && product.is_object() && product.contains("product") &&
               product["product"].is_number_unsigned() && product["product"].get<uint64_t>() != 0;
    }
    return false;
}

struct Listing {
    std::vector<std::pair<std::string, std::string>> textFiles, withoutDecoder, damaged;
    std::size_t files = 0;
    std::size_t decoded = 0;
};

// The first bytes of the file called name in the folder of entry index, when the package
// holds it whole.
std::optional<std::vector<uint8_t>> companionOf(PackageReader& reader, std::size_t index, const std::string& name,
                                                uint64_t keep) {
    const std::string& path = reader.entries()[index].path;
    const std::string folder = path.substr(0, path.size() - baseName(path).size());
    const auto& entries = reader.entries();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].path == folder + name && entries[i].unreadable.empty()) {
            EntryContents contents = reader.read(i, keep);
            if (contents.error.empty()) {
                return std::move(contents.bytes);
            }
        }
    }
    return std::nullopt;
}

FileDecode decodeEntry(PackageReader& reader, std::size_t index, bool makerVendorPages, const std::string& family) {
    const PackageEntry& entry = reader.entries()[index];
    FileNumbers numbers;
    numbers.page.makerVendorPages = makerVendorPages;
    numbers.productFamily = family;
    std::string nameError;
    const FileKind* kind = chooseFileKind(baseName(entry.path), numbers, nameError);
    if (!entry.unreadable.empty()) {
        return {Result::damaged, nullptr, "cannot read it: " + entry.unreadable};
    }
    if (kind == nullptr) {
        return {nameError.empty() ? Result::noDecoder : Result::damaged, nullptr,
                nameError.empty() ? "no decoder for a file of this name" : nameError};
    }
    if (kind->decode == nullptr) {
        return decodeFileBytes(*kind, numbers, {}, 0);
    }
    if (kind->companion != nullptr) {
        numbers.companion = companionOf(reader, index, kind->companion, kind->bytesRead(numbers, {}));
    }
    const auto contents =
        readDecodable<EntryContents>(*kind, numbers, [&](uint64_t keep) { return reader.read(index, keep); });
    if (!contents.error.empty()) {
        return {Result::damaged, nullptr, "cannot read it: " + contents.error};
    }
    return decodeFileBytes(*kind, numbers, contents.bytes, contents.size);
}

// A persistent event log is decoded and printed event by event, never held whole.
bool streamed(PackageReader& reader, std::size_t index, const std::string& shown, const DecodeSettings& settings,
              bool first, std::ostream& out, FileDecode& outcome) {
    FileNumbers numbers;
    std::string nameError;
    const FileKind* kind = chooseFileKind(baseName(reader.entries()[index].path), numbers, nameError);
    return kind != nullptr && kind->decode != nullptr && numbers.page.logId == persistentEventLogId &&
           streamEventLog(reader, index, numbers.page, shown, settings.output, first, out, outcome);
}

const char* resultName(Result result) {
    switch (result) {
        case Result::decoded: return "decoded";
        case Result::report: return "text file";
        case Result::noDecoder: return "no decoder";
        default: return "damaged";
    }
}

// One file's section as an object named by its path: its result, what went wrong or what
// was noted, and the decoded tree.
XmlObject section(const std::string& path, FileDecode& outcome) {
    XmlObject object(path);
    object.addProperty("Result", resultName(outcome.result));
    if (!outcome.message.empty()) {
        object.addProperty(outcome.result == Result::decoded ? "Note" : "Reason", outcome.message);
    }
    if (outcome.tree != nullptr) {
        object.addObject(std::move(outcome.tree));
    }
    return object;
}

XmlObject summary(const Listing& listing) {
    XmlObject object("Summary");
    object.addProperty("Files", std::to_string(listing.files));
    object.addProperty("Decoded", std::to_string(listing.decoded));
    const std::pair<const char*, const std::vector<std::pair<std::string, std::string>>*> groups[] = {
        {"Text files (not binary structures)", &listing.textFiles},
        {"Without a decoder", &listing.withoutDecoder},
        {"Damaged or unreadable", &listing.damaged},
    };
    for (const auto& [title, files] : groups) {
        if (files->empty()) {
            continue;
        }
        auto group = std::make_unique<XmlObject>(title);
        for (const auto& [path, reason] : *files) {
            group->addProperty(path, reason);
        }
        object.addObject(std::move(group));
    }
    return object;
}

void list(Listing& listing, const std::string& path, const FileDecode& outcome) {
    ++listing.files;
    switch (outcome.result) {
        case Result::decoded: ++listing.decoded; break;
        case Result::report: listing.textFiles.emplace_back(path, outcome.message); break;
        case Result::noDecoder: listing.withoutDecoder.emplace_back(path, outcome.message); break;
        case Result::damaged: listing.damaged.emplace_back(path, outcome.message); break;
    }
}

// A file that differs from the manifest is damaged whatever its bytes decode to.
void markDamaged(FileDecode& outcome, const std::string& damage) {
    if (!damage.empty()) {
        outcome.result = Result::damaged;
        outcome.message = damage;
    }
}

}  // namespace

void printSection(const std::string& path, FileDecode& outcome, const std::string& output, bool first,
                  std::ostream& out) {
    if (output == "text") {
        out << (first ? "" : "\n") << "== " << path << " ==\n";
        if (outcome.result != Result::decoded) {
            out << resultName(outcome.result) << ": " << outcome.message << "\n";
        } else if (!outcome.message.empty()) {
            out << "note: " << outcome.message << "\n";
        }
        if (outcome.tree != nullptr) {
            out << XmlTreePrinter::toText(*outcome.tree);
        }
        return;
    }
    const XmlObject object = section(path, outcome);
    if (output == "json") {
        out << (first ? "" : ",\n") << XmlTreePrinter::toJsonTree(object).toString(1);
    } else {
        out << object.serialize() << "\n";
    }
}

std::string renderTree(const XmlObject& tree, const std::string& output) {
    if (output == "json") {
        return JsonFormat::withVersion(XmlTreePrinter::toJson(tree));
    }
    if (output == "xml") {
        return XmlTreePrinter::toXml(tree);
    }
    return XmlTreePrinter::toText(tree);
}

int decodePackage(const std::string& path, const DecodeSettings& settings, std::ostream& out, std::ostream& err) {
    std::string error;
    const auto reader = PackageReader::open(path, settings.limits, error);
    if (reader != nullptr && reader->entries().empty()) {
        error = "it holds no files";
    }
    if (!error.empty()) {
        err << "decode: " << printableName(path) << ": cannot read the package: " << error << "\n";
        return ExitStatus::usage;
    }
    const bool vendorPages =
        settings.makerVendorPages.has_value() ? *settings.makerVendorPages : productTypeRecorded(*reader);
    if (settings.output == "json") {
        out << JsonFormat::withVersion("{\n  \"package\": \"" + Json::escape(printableName(path)) +
                                       "\",\n  \"files\": [\n");
    } else if (settings.output == "xml") {
        out << "<?xml version=\"1.0\" standalone=\"yes\" ?>\n<Package>\n";
    }
    Listing listing;
    const ManifestCheck manifest(*reader);
    // Once the output cannot be written, nothing more is decoded for it.
    for (std::size_t i = 0; i < reader->entries().size() && out; ++i) {
        const std::string shown = printableName(reader->entries()[i].path);
        FileDecode outcome;
        const std::string damage = manifest.damage(i);
        if (!streamed(*reader, i, shown, settings, i == 0, out, outcome)) {
            outcome = decodeEntry(*reader, i, vendorPages, settings.family);
            markDamaged(outcome, damage);
            printSection(shown, outcome, settings.output, i == 0, out);
        }
        markDamaged(outcome, damage);
        list(listing, shown, outcome);
    }
    for (const std::string& gone : manifest.missing()) {
        listing.damaged.emplace_back(printableName(gone),
                                     "missing: the manifest lists it, the package does not hold it");
    }
    const XmlObject totals = summary(listing);
    if (settings.output == "json") {
        out << "\n  ],\n  \"summary\": " << XmlTreePrinter::toJsonTree(totals).toString(1) << "\n}\n";
    } else if (settings.output == "xml") {
        out << totals.serialize() << "\n</Package>\n";
    } else {
        out << "\n" << XmlTreePrinter::toText(totals);
    }
    for (const auto& [file, reason] : listing.damaged) {
        err << "decode: " << printableName(path) << ": " << file << ": " << reason << "\n";
    }
    return listing.damaged.empty() ? ExitStatus::success : ExitStatus::failed;
}

}  // namespace host
