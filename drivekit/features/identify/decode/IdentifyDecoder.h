#pragma once
// Entry points that turn raw Identify data into an XML tree: one property per field of the
// published structure, with its position label under the "description" key.
#include <cstdint>
#include <memory>

#include "drivekit/core/Payload.h"
#include "drivekit/core/Status.h"
#include "drivekit/core/xml/XmlObject.h"

namespace drivekit::features::identify::decode {

// Which CNS values are rendered: the Identify feature's set, or in addition the command-set
// specific structures and the NVM set, domain and endurance group lists that a debug-logs
// package holds (for reading a package's files).
enum class IdentifyCoverage { feature, package };

// True when the structure that this CNS returns is rendered for that coverage.
bool hasNvmeIdentifyDecoder(uint8_t cns, IdentifyCoverage coverage = IdentifyCoverage::feature);

// The decoded structure that CNS returns. Data shorter than the structure gives null and
// "The IO command passed, but did not return the expected amount of data." with the sizes
// in its message; an unknown CNS gives an empty object and "Not implemented.". Only the
// structure's 4096 bytes are read; data beyond them is ignored.
std::unique_ptr<core::xml::XmlObject> decodeNvmeIdentify(
    uint8_t cns, const core::Payload& data, core::Status& status,
    IdentifyCoverage coverage = IdentifyCoverage::feature);
// The same, filling an object the caller made (for example a subclass of XmlObject): its
// "name" and "key" become the title, and the fields are added to it. Returns status.isSuccess().
bool decodeNvmeIdentifyInto(uint8_t cns, const core::Payload& data, core::xml::XmlObject& target,
                            core::Status& status,
                            IdentifyCoverage coverage = IdentifyCoverage::feature);

// The 256 words of ATA IDENTIFY DEVICE under "ATA Identify Device"; at least 512 bytes, and
// nothing beyond them is read.
std::unique_ptr<core::xml::XmlObject> decodeAtaIdentifyDevice(const core::Payload& data,
                                                              core::Status& status);

}  // namespace drivekit::features::identify::decode
