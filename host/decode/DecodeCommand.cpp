#include "host/decode/DecodeCommand.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "drivekit/core/ProductTable.h"
#include "host/BoundedFileReader.h"
#include "host/ExitStatus.h"
#include "host/decode/FileKinds.h"
#include "host/decode/PackageDecoder.h"

namespace host {

namespace {

namespace products = drivekit::core::products;
using Result = FileDecode::Result;

const char* const usage = "usage: ssdtool decode FILE|PACKAGE [-output text|json|xml] [-family NAME]";

struct Arguments {
    std::string file;
    DecodeSettings settings;
};

std::string lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string familyNames() {
    std::string names;
    for (const auto& row : products::productTable()) {
        if (names.find(row.family) == std::string::npos) {
            names += (names.empty() ? "" : ", ") + row.family;
        }
    }
    return names;
}

// Empty text on success, otherwise what is wrong with the command line.
std::string parse(const std::vector<std::string>& arguments, Arguments& parsed) {
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string option = lowered(arguments[i]);
        if (option == "-output" || option == "-family" || option == "-product") {
            if (i + 1 >= arguments.size()) {
                return option + " needs a value";
            }
            const std::string& value = arguments[++i];
            if (option == "-product") {
                // The older name of -family for the SMART sectors: any product name, since
                // the attribute names also know families that the product table does not list.
                parsed.settings.family = value;
                continue;
            }
            if (option == "-family") {
                if (products::findFamily(value) == nullptr) {
                    return "-family expects one of " + familyNames() + ", not '" + printableName(value) + "'";
                }
                parsed.settings.makerVendorPages = products::hasVendorPages(value);
                parsed.settings.family = value;
                continue;
            }
            parsed.settings.output = lowered(value);
            if (parsed.settings.output != "text" && parsed.settings.output != "json" &&
                parsed.settings.output != "xml") {
                return "-output expects text, json or xml, not '" + printableName(value) + "'";
            }
        } else if (parsed.file.empty() && !arguments[i].empty() && arguments[i][0] != '-') {
            parsed.file = arguments[i];
        } else {
            return "unexpected argument '" + printableName(arguments[i]) + "'";
        }
    }
    return parsed.file.empty() ? "no FILE given" : std::string();
}

int decodeOneFile(const Arguments& parsed, std::ostream& out, std::ostream& err) {
    const std::string& shown = parsed.file;
    const std::string name = std::filesystem::path(parsed.file).filename().string();
    FileNumbers numbers;
    numbers.page.makerVendorPages = parsed.settings.makerVendorPages.value_or(false);
    numbers.productFamily = parsed.settings.family;
    std::string nameError;
    const FileKind* kind = chooseFileKind(name, numbers, nameError);
    if (kind == nullptr) {
        err << "decode: " << shown << ": " << (nameError.empty() ? "no decoder for a file of this name" : nameError)
            << "\n";
        return ExitStatus::failed;
    }
    FileDecode outcome;
    if (kind->decode == nullptr) {
        outcome = decodeFileBytes(*kind, numbers, {}, 0);
    } else {
        // The file that the kind reads beside this one (the SMART thresholds), when it is there.
        if (kind->companion != nullptr) {
            const auto companion = std::filesystem::path(parsed.file).parent_path() / kind->companion;
            std::error_code ignored;
            if (std::filesystem::exists(companion, ignored)) {
                auto beside = BoundedFileReader::read(companion.string(), kind->bytesRead(numbers, {}));
                if (!beside.error.empty()) {
                    err << "decode: " << companion.string() << ": cannot read the file: " << beside.error << "\n";
                    return ExitStatus::failed;
                }
                numbers.companion = std::move(beside.bytes);
            }
        }
        const auto contents = readDecodable<BoundedFileReader::Contents>(
            *kind, numbers, [&](uint64_t keep) { return BoundedFileReader::read(parsed.file, keep); });
        if (!contents.error.empty()) {
            err << "decode: " << shown << ": cannot read the file: " << contents.error << "\n";
            return ExitStatus::failed;
        }
        outcome = decodeFileBytes(*kind, numbers, contents.bytes,
                                  std::max<uint64_t>(contents.size, contents.bytes.size()));
    }
    if (outcome.tree != nullptr) {
        out << renderTree(*outcome.tree, parsed.settings.output);
    }
    if (!outcome.message.empty()) {
        err << "decode: " << shown << ": " << outcome.message << "\n";
    }
    return outcome.result == Result::decoded ? ExitStatus::success : ExitStatus::failed;
}

}  // namespace

int runDecode(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
              const PackageLimits& limits) {
    Arguments parsed;
    parsed.settings.limits = limits;
    const std::string syntaxError = parse(arguments, parsed);
    if (!syntaxError.empty()) {
        err << "decode: " << syntaxError << "; " << usage << "\n";
        return ExitStatus::usage;
    }
    const int status = PackageReader::isPackagePath(parsed.file) ? decodePackage(parsed.file, parsed.settings, out, err)
                                                                 : decodeOneFile(parsed, out, err);
    // A decode whose text did not all arrive has failed, whatever it found in the files.
    if (!out.flush()) {
        err << "decode: cannot write the decoded text (the output is closed or its disk is full)\n";
        return ExitStatus::failed;
    }
    return status;
}

}  // namespace host
