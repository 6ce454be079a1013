#pragma once
// The kinds of file a debug-logs package holds, each chosen by the file's name (never by
// its folder), with how much of the file its decoder reads and the decoder itself.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "drivekit/core/Payload.h"
#include "drivekit/core/Status.h"
#include "drivekit/core/xml/XmlObject.h"
#include "drivekit/features/PackageFileNames.h"
#include "drivekit/features/nvme_get_log/decode/LogPageDecoder.h"

namespace host {

// What the name of a file says about its content.
struct FileNumbers {
    drivekit::features::PackageFileNames::Identify identify;
    drivekit::features::nvme_get_log::decode::PageContext page;
    // The drive's product family when known (-family): names that differ between families.
    std::string productFamily;
    // The first bytes of the kind's companion file, when the package holds one beside it.
    std::optional<std::vector<uint8_t>> companion;
};

struct FileDecode {
    enum class Result {
        decoded,    // tree holds the decoded structure
        report,     // a text file (report, product or system information): nothing to decode
        noDecoder,  // no decoder for this structure; message says which
        damaged,    // the bytes do not hold the structure; tree holds what could be decoded, if any
    };
    Result result = Result::noDecoder;
    std::unique_ptr<drivekit::core::xml::XmlObject> tree;
    std::string message;  // why the file did not decode
};

struct FileKind {
    enum class NameMatch { matches, otherName, outOfRange };

    const char* what;
    // otherName when the name is not of this kind; outOfRange (error set) when it is but
    // cannot be decoded; matches otherwise, with the name's numbers in numbers.
    NameMatch (*match)(const std::string& name, FileNumbers& numbers, std::string& error);
    // How many of the file's first bytes the decoder can use, given the first bytes (head)
    // when the file states its own length there; with an empty head, how many to read first.
    // 0 for files that are not decoded.
    uint64_t (*bytesRead)(const FileNumbers& numbers, const drivekit::core::Payload& head);
    // True when the structure is the file's first bytes and the rest is ignored; false when
    // the decoder accounts for the whole file (a telemetry log's body).
    bool restIgnored;
    // data: the file's first bytes (at most bytesRead); fileBytes: the whole file's size.
    // Null for files that are not binary structures.
    FileDecode (*decode)(const FileNumbers& numbers, const drivekit::core::Payload& data, uint64_t fileBytes);
    // A file beside it (same folder) that the decoder reads too, when the package holds it;
    // null for none.
    const char* companion = nullptr;
};

// The kind of a file of this name, or null (error says why when the name is of a known
// form that cannot be decoded, and is empty otherwise).
const FileKind* chooseFileKind(const std::string& name, FileNumbers& numbers, std::string& error);

}  // namespace host

namespace host {

// What the kind's decoder can use of a file, through read(keep), which gives the file's first
// keep bytes (Contents: bytes, size, error): the first read, and for a file that states its
// length in those bytes a second one up to that length. Never more than the decoder uses.
template <typename Contents, typename Read>
Contents readDecodable(const FileKind& kind, const FileNumbers& numbers, Read read) {
    Contents first = read(kind.bytesRead(numbers, drivekit::core::Payload()));
    if (!first.error.empty() || first.bytes.empty() || first.size <= first.bytes.size()) {
        return first;
    }
    const uint64_t used = kind.bytesRead(numbers, drivekit::core::Payload(first.bytes.data(), first.bytes.size()));
    return used > first.bytes.size() ? read(used) : first;
}

// Decodes the first bytes of a file of that kind (data: at most kind.bytesRead bytes;
// fileBytes: the whole file's size). A file of a kind without a decoder is a report; a
// decoded file longer than its structure says so in message.
FileDecode decodeFileBytes(const FileKind& kind, const FileNumbers& numbers, const std::vector<uint8_t>& data,
                           uint64_t fileBytes);

// How a log page's decoded tree counts: damaged when status failed or a decoder marked where
// the data (dataBytes of the page) ran out, else decoded.
FileDecode logPageOutcome(const drivekit::features::nvme_get_log::decode::PageContext& page,
                          std::unique_ptr<drivekit::core::xml::XmlObject> tree, const drivekit::core::Status& status,
                          uint64_t dataBytes);
// A decoded file longer than its structure says in its message that the rest was ignored.
void noteRestIgnored(FileDecode& outcome, uint64_t structureBytes, uint64_t fileBytes);

// The name as it may be shown on one line: bytes outside printable ASCII as \xNN, and a name
// of more than 200 characters by its start and its length.
std::string printableName(const std::string& name);

}  // namespace host
