#include "host/decode/DecodeCommand.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <regex>

#include "drivekit/core/Payload.h"
#include "drivekit/core/Status.h"
#include "drivekit/core/xml/XmlObject.h"
#include "drivekit/features/identify/decode/IdentifyDecoder.h"
#include "drivekit/features/identify/decode/XmlTreePrinter.h"

namespace host {

namespace {

namespace decode = drivekit::features::identify::decode;
using drivekit::core::Payload;
using drivekit::core::Status;
using drivekit::core::xml::XmlObject;

const char* const usage = "usage: ssdtool decode FILE [-output text|json|xml]";
// Far above any structure a package holds; keeps a wrong file from being read into memory.
constexpr std::uintmax_t largestFile = 16U * 1024U * 1024U;

struct DecodeOutcome {
    std::unique_ptr<XmlObject> tree;
    std::string error;  // empty on success
};

using Decoder = std::function<DecodeOutcome(const std::smatch&, const Payload&)>;

// One row per kind of file a package holds, chosen by the file's name.
struct FileDecoder {
    std::regex name;
    Decoder decode;
};

DecodeOutcome fromStatus(std::unique_ptr<XmlObject> tree, const Status& status) {
    if (!status.isSuccess() || tree == nullptr) {
        return {nullptr, status.message()};
    }
    return {std::move(tree), {}};
}

DecodeOutcome decodeIdentifyFile(const std::smatch& match, const Payload& data) {
    const std::string digits = match[1].str();
    const unsigned long cns = digits.size() <= 3 ? std::stoul(digits) : 256UL;
    const auto coverage = decode::IdentifyCoverage::package;
    if (cns > 0xFF || !decode::hasNvmeIdentifyDecoder(static_cast<uint8_t>(cns), coverage)) {
        char hex[24];
        std::snprintf(hex, sizeof(hex), " (0x%02lX)", cns);
        return {nullptr, "no decoder for the Identify structure with CNS " + digits +
                             (cns <= 0xFF ? hex : "")};
    }
    Status status;
    auto tree = decode::decodeNvmeIdentify(static_cast<uint8_t>(cns), data, status, coverage);
    return fromStatus(std::move(tree), status);
}

DecodeOutcome decodeAtaIdentifyFile(const std::smatch&, const Payload& data) {
    Status status;
    auto tree = decode::decodeAtaIdentifyDevice(data, status);
    return fromStatus(std::move(tree), status);
}

const std::vector<FileDecoder>& fileDecoders() {
    static const std::vector<FileDecoder> rows{
        {std::regex(R"(cntid_\d+_cns_(\d+)_nsid_\d+_nvmsetid_\d+_csi_\d+\.bin)"), decodeIdentifyFile},
        {std::regex(R"(ata_identify_device\.bin)"), decodeAtaIdentifyFile},
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

// Empty text on success, otherwise why the file cannot be read.
std::string readFile(const std::string& path, Payload& data) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        return "cannot read the file: " +
               (error ? error.message() : std::string("not a regular file"));
    }
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error || size > largestFile) {
        return error ? "cannot read the file: " + error.message()
                     : "the file is too large to be a package's structure";
    }
    std::ifstream in(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in && !in.eof()) {
        return "cannot read the file";
    }
    data = bytes.empty() ? Payload() : Payload(bytes.data(), bytes.size());
    return {};
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
    Arguments parsed;
    const std::string syntaxError = parse(arguments, parsed);
    if (!syntaxError.empty()) {
        err << "decode: " << syntaxError << "; " << usage << "\n";
        return 2;
    }
    const std::string name = std::filesystem::path(parsed.file).filename().string();
    const FileDecoder* chosen = nullptr;
    std::smatch match;
    for (const auto& row : fileDecoders()) {
        if (std::regex_match(name, match, row.name)) {
            chosen = &row;
            break;
        }
    }
    if (chosen == nullptr) {
        err << "decode: " << parsed.file << ": no decoder for a file of this name\n";
        return 1;
    }
    Payload data;
    const std::string readError = readFile(parsed.file, data);
    if (!readError.empty()) {
        err << "decode: " << parsed.file << ": " << readError << "\n";
        return 1;
    }
    const DecodeOutcome outcome = chosen->decode(match, data);
    if (outcome.tree == nullptr) {
        err << "decode: " << parsed.file << ": " << outcome.error << "\n";
        return 1;
    }
    out << render(*outcome.tree, parsed.output);
    return 0;
}

}  // namespace host
