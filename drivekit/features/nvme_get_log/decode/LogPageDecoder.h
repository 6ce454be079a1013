#pragma once
// Turns the bytes of one log page, as a package's log_pages folder holds them, into an XML
// tree of named properties: the page classes' toXmlObject and the decode command both end here.
#include <cstdint>
#include <memory>

#include "drivekit/core/Payload.h"
#include "drivekit/core/Status.h"
#include "drivekit/core/xml/XmlObject.h"

namespace drivekit::features::nvme_get_log::decode {

// What is known of a page apart from its bytes: the numbers of the command that read it
// (a package's file name carries them) and what the drive said of itself.
struct PageContext {
    uint8_t logId = 0;
    uint8_t logSpecificField = 0;
    uint16_t logSpecificId = 0;
    // The drive is of the maker's product family with the vendor pages (0xCA, 0xD5, 0xF2, ...).
    bool makerVendorPages = false;
    // The drive reports NVMe 1.2 or later (fields that older drives leave undefined).
    bool nvme1Point2OrGreater = true;
    // The page at 0xC5 is the maker's temperature statistics, not the cloud SSD unsupported
    // requirements page (the maker's drives outside the product family serve it there).
    bool temperatureStatistics = false;
};

// True when pages of this context have a decoder.
bool hasLogPageDecoder(const PageContext& context);

// The first bytes of a page that say how long a page that states its own length is.
constexpr uint64_t logPageHeadBytes = 512;

// How many of a page's first bytes its decoder can use: the structure's size, or for a page
// that states its own length, that length read from head (the page's first bytes, at least
// logPageHeadBytes of them when the page has them) up to the decoder's ceiling, never less
// than head. Without a head, how much to read first. 0 when the decoder reads no bytes.
uint64_t logPageBytesUsed(const PageContext& context, const core::Payload& head);

// The decoded page. An empty payload gives the bare root. A page shorter than its layout
// decodes the fields it holds and ends with a "Truncated" property; counts and lengths the
// page reports are bounded by the bytes present. Bytes past the layout are not read. Null and
// "Not implemented." only when no decoder exists for the context. At 0xC5 a page of exactly
// the temperature statistics' 112 bytes from a drive outside the product family is read as
// temperature statistics (the cloud SSD page there is 4096 bytes).
std::unique_ptr<core::xml::XmlObject> decodeLogPage(const PageContext& context,
                                                    const core::Payload& page,
                                                    core::Status& status);

}  // namespace drivekit::features::nvme_get_log::decode
