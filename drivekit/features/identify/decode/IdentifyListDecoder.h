#pragma once
// Identify structures whose length comes from the data: lists of identifiers, descriptors
// and records. Every count and length is checked against the data before it is used; an
// entry that does not fit ends the list with a truncation marker.
#include <cstdint>
#include <memory>
#include <string>

#include "drivekit/core/Payload.h"
#include "drivekit/core/xml/XmlObject.h"

namespace drivekit::features::identify::decode {

class IdentifyListDecoder {
public:
    // Up to 1024 32-bit namespace identifiers, ending at the first zero.
    static std::unique_ptr<core::xml::XmlObject> namespaceList(const std::string& title,
                                                               const core::Payload& payload);
    // "Number of Controller Entries" followed by that many 16-bit controller identifiers.
    static std::unique_ptr<core::xml::XmlObject> controllerList(const std::string& title,
                                                                const core::Payload& payload);
    // "Number of Identifiers" followed by that many 16-bit endurance group identifiers.
    static std::unique_ptr<core::xml::XmlObject> enduranceGroupList(const std::string& title,
                                                                    const core::Payload& payload);
    // A count byte in a 128-byte header, then that many 128-byte NVM set attributes entries.
    static std::unique_ptr<core::xml::XmlObject> nvmSetList(const std::string& title,
                                                            const core::Payload& payload);
    // A count byte in a 128-byte header, then that many 128-byte domain attributes entries.
    static std::unique_ptr<core::xml::XmlObject> domainList(const std::string& title,
                                                            const core::Payload& payload);
    // Type-length-value descriptors, ending at a zero length.
    static std::unique_ptr<core::xml::XmlObject> descriptorList(const std::string& title,
                                                                const core::Payload& payload);
    // Up to 127 entries of 32 bytes after a 32-byte header, ending at an all-zero UUID.
    static std::unique_ptr<core::xml::XmlObject> uuidList(const std::string& title,
                                                          const core::Payload& payload);
    // A count byte, then that many 32-byte secondary controller entries.
    static std::unique_ptr<core::xml::XmlObject> secondaryControllerList(
        const std::string& title, const core::Payload& payload);
    // 64-bit command set vectors, ending at the first zero vector.
    static std::unique_ptr<core::xml::XmlObject> commandSetVectors(const std::string& title,
                                                                   const core::Payload& payload);
};

}  // namespace drivekit::features::identify::decode
