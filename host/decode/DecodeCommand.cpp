#include "host/decode/DecodeCommand.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "drivekit/core/Payload.h"
#include "drivekit/core/Status.h"
#include "drivekit/core/xml/XmlObject.h"
#include "drivekit/features/identify/decode/IdentifyDecoder.h"
#include "drivekit/features/identify/decode/IdentifyRecords.h"
#include "drivekit/features/identify/decode/IdentifyTables.h"
#include "drivekit/features/identify/decode/XmlTreePrinter.h"
#include "host/BoundedFileReader.h"
#include "host/decode/IdentifyFileName.h"
#include "host/decode/SmartFiles.h"

namespace host {

namespace {

namespace decode = drivekit::features::identify::decode;
using drivekit::core::Payload;
using drivekit::core::Status;
using drivekit::core::xml::XmlObject;

const char* const usage = "usage: ssdtool decode FILE [-output text|json|xml]";

struct DecodeOutcome {
    std::unique_ptr<XmlObject> tree;
    std::string error;  // empty on success
};

// One row per kind of file a package holds, chosen by the file's name. A file is read only
// as far as its structure goes; what follows is ignored (and said so).
struct FileDecoder {
    // otherName when the name is not of this kind; outOfRange (error set) when it is but
    // cannot be decoded; identify otherwise, with the name's numbers in parsed.
    IdentifyFileName::Match (*match)(const std::string& name, IdentifyFileName& parsed,
                                     std::string& error);
    uint32_t structureSize;
    DecodeOutcome (*decode)(const IdentifyFileName& parsed, const Payload& data);
};

DecodeOutcome fromStatus(std::unique_ptr<XmlObject> tree, const Status& status) {
    if (!status.isSuccess() || tree == nullptr) {
        return {nullptr, status.message()};
    }
    return {std::move(tree), {}};
}

DecodeOutcome decodeIdentifyFile(const IdentifyFileName& parsed, const Payload& data) {
    const auto coverage = decode::IdentifyCoverage::package;
    if (!decode::hasNvmeIdentifyDecoder(parsed.cns, coverage)) {
        char hex[8];
        std::snprintf(hex, sizeof(hex), "0x%02X", static_cast<unsigned>(parsed.cns));
        return {nullptr, "no decoder for the Identify structure with CNS " +
                             std::to_string(parsed.cns) + " (" + hex + ")"};
    }
    Status status;
    auto tree = decode::decodeNvmeIdentify(parsed.cns, data, status, coverage);
    return fromStatus(std::move(tree), status);
}

IdentifyFileName::Match matchAtaIdentifyName(const std::string& name, IdentifyFileName&,
                                             std::string&) {
    return name == "ata_identify_device.bin" ? IdentifyFileName::Match::identify
                                             : IdentifyFileName::Match::otherName;
}

DecodeOutcome decodeAtaIdentifyFile(const IdentifyFileName&, const Payload& data) {
    Status status;
    auto tree = decode::decodeAtaIdentifyDevice(data, status);
    return fromStatus(std::move(tree), status);
}

const std::vector<FileDecoder>& fileDecoders() {
    static const std::vector<FileDecoder> rows{
        {IdentifyFileName::parse, decode::nvmeIdentifySize, decodeIdentifyFile},
        {matchAtaIdentifyName, decode::ataIdentifyDeviceTable().size, decodeAtaIdentifyFile},
    };
    return rows;
}

struct Arguments {
    std::string file;
    std::string output = "text";
};

std::string lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// Empty text on success, otherwise what is wrong with the command line.
std::string parse(const std::vector<std::string>& arguments, Arguments& parsed) {
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (lowered(argument) == "-output") {
            if (i + 1 >= arguments.size()) {
                return "-output needs a value";
            }
            parsed.output = lowered(arguments[++i]);
            if (parsed.output != "text" && parsed.output != "json" && parsed.output != "xml") {
                return "-output expects text, json or xml, not '" + arguments[i] + "'";
            }
        } else if (parsed.file.empty() && !argument.empty() && argument[0] != '-') {
            parsed.file = argument;
        } else {
            return "unexpected argument '" + argument + "'";
        }
    }
    return parsed.file.empty() ? "no FILE given" : std::string();
}

// The file's first `size` bytes; contents.error says why the file cannot be read.
BoundedFileReader::Contents readStructure(const std::string& path, uint32_t size, Payload& data) {
    BoundedFileReader::Contents contents = BoundedFileReader::read(path, size);
    if (contents.error.empty() && !contents.bytes.empty()) {
        data = Payload(contents.bytes.data(), contents.bytes.size());
    }
    return contents;
}

std::string render(const XmlObject& tree, const std::string& output) {
    if (output == "json") {
        return decode::XmlTreePrinter::toJson(tree);
    }
    if (output == "xml") {
        return decode::XmlTreePrinter::toXml(tree);
    }
    return decode::XmlTreePrinter::toText(tree);
}

}  // namespace

int runDecode(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
    if (const auto smartStatus = decodeSmartFiles(arguments, out, err)) {
        return *smartStatus;
    }
    Arguments parsed;
    const std::string syntaxError = parse(arguments, parsed);
    if (!syntaxError.empty()) {
        err << "decode: " << syntaxError << "; " << usage << "\n";
        return 2;
    }
    const std::string name = std::filesystem::path(parsed.file).filename().string();
    const FileDecoder* chosen = nullptr;
    IdentifyFileName numbers;
    std::string nameError;
    for (const auto& row : fileDecoders()) {
        const auto match = row.match(name, numbers, nameError);
        if (match != IdentifyFileName::Match::otherName) {
            chosen = match == IdentifyFileName::Match::identify ? &row : nullptr;
            break;
        }
    }
    if (chosen == nullptr) {
        err << "decode: " << parsed.file << ": "
            << (nameError.empty() ? "no decoder for a file of this name" : nameError) << "\n";
        return 1;
    }
    Payload data;
    const auto contents = readStructure(parsed.file, chosen->structureSize, data);
    if (!contents.error.empty()) {
        err << "decode: " << parsed.file << ": cannot read the file: " << contents.error << "\n";
        return 1;
    }
    const DecodeOutcome outcome = chosen->decode(numbers, data);
    if (outcome.tree == nullptr) {
        err << "decode: " << parsed.file << ": " << outcome.error << "\n";
        return 1;
    }
    if (contents.longer) {
        err << "decode: " << parsed.file << ": the file is longer than the "
            << chosen->structureSize << "-byte structure; the rest was ignored\n";
    }
    out << render(*outcome.tree, parsed.output);
    return 0;
}

}  // namespace host
