#include "host/decode/SmartFiles.h"

#include <filesystem>

#include <boost/algorithm/string/case_conv.hpp>
#include <boost/algorithm/string/predicate.hpp>

#include "drivekit/core/Payload.h"
#include "drivekit/features/identify/decode/XmlTreePrinter.h"
#include "drivekit/features/smart/SmartSectorDecoder.h"
#include "drivekit/features/smart/SmartSectors.h"
#include "host/BoundedFileReader.h"

namespace host {

namespace {

using drivekit::core::Payload;
using drivekit::features::identify::decode::XmlTreePrinter;
namespace smart = drivekit::features::smart;
namespace fs = std::filesystem;

struct SmartArguments {
    std::string file;
    std::string output = "text";
    std::string product;
};

// Empty text when the command line is good.
std::string parse(const std::vector<std::string>& arguments, SmartArguments& parsed) {
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        // -family is the decode command's name for the drive's product family; -product the
        // older one.
        const bool family = boost::iequals(arguments[i], "-family") || boost::iequals(arguments[i], "-product");
        const bool valued = boost::iequals(arguments[i], "-output") || family;
        if (valued && i + 1 >= arguments.size()) {
            return arguments[i] + " needs a value";
        }
        if (boost::iequals(arguments[i], "-output")) {
            parsed.output = boost::algorithm::to_lower_copy(arguments[++i]);
            if (parsed.output != "text" && parsed.output != "json" && parsed.output != "xml") {
                return "-output expects text, json or xml, not '" + parsed.output + "'";
            }
        } else if (family) {
            parsed.product = arguments[++i];
        } else if (parsed.file.empty() && !arguments[i].empty() && arguments[i][0] != '-') {
            parsed.file = arguments[i];
        } else {
            return "unexpected argument '" + arguments[i] + "'";
        }
    }
    return {};
}

// The sector's bytes (at most one sector); error set when the file cannot be read. What a
// longer file holds after its first sector is ignored, and said so on err.
Payload readSector(const std::string& path, std::string& error, std::ostream& err) {
    const BoundedFileReader::Contents contents = BoundedFileReader::read(path, smart::smartSectorBytes);
    error = contents.error;
    if (!error.empty() || contents.bytes.empty()) {
        return {};
    }
    if (contents.longer) {
        err << "decode: " << path << ": the file is longer than the " << smart::smartSectorBytes
            << "-byte sector; the rest was ignored\n";
    }
    return Payload(contents.bytes.data(), contents.bytes.size());
}

std::string render(const drivekit::core::xml::XmlObject& tree, const std::string& output) {
    if (output == "json") {
        return XmlTreePrinter::toJson(tree);
    }
    return output == "xml" ? XmlTreePrinter::toXml(tree) : XmlTreePrinter::toText(tree);
}

}  // namespace

std::optional<int> decodeSmartFiles(const std::vector<std::string>& arguments, std::ostream& out,
                                    std::ostream& err) {
    SmartArguments parsed;
    const std::string syntaxError = parse(arguments, parsed);
    if (fs::path(parsed.file).filename() != smartDataFileName) {
        return std::nullopt;
    }
    if (!syntaxError.empty()) {
        err << "decode: " << syntaxError << "\n";
        return 2;
    }
    std::string error;
    const Payload data = readSector(parsed.file, error, err);
    if (!error.empty()) {
        err << "decode: " << parsed.file << ": " << error << "\n";
        return 1;
    }
    const std::string thresholdsPath = (fs::path(parsed.file).parent_path() / smartThresholdsFileName).string();
    Payload thresholds;
    std::error_code ignored;
    const bool withThresholds = fs::exists(thresholdsPath, ignored);
    if (withThresholds) {
        thresholds = readSector(thresholdsPath, error, err);
        if (!error.empty()) {
            err << "decode: " << thresholdsPath << ": " << error << "\n";
            return 1;
        }
    }
    drivekit::core::Status status;
    const auto tree = smart::decodeSmartSectors(data, withThresholds ? &thresholds : nullptr, parsed.product, status);
    if (!tree) {
        err << "decode: " << parsed.file << ": " << status.message() << "\n";
        return 1;
    }
    if (!status.isSuccess()) {
        err << "decode: " << parsed.file << ": " << status.message() << "\n";
    }
    out << render(*tree, parsed.output);
    return status.isSuccess() ? 0 : 1;
}

}  // namespace host
