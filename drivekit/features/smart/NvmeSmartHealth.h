#pragma once
// The NVMe SMART / Health Information log page (LID 0x02, 512 bytes) decoded into the SMART /
// Health attributes: one table of fields, read by the log-page decoding and the SMART feature.
#include <memory>
#include <string>
#include <vector>

#include "drivekit/core/Payload.h"
#include "drivekit/core/Status.h"
#include "drivekit/core/xml/XmlObject.h"

namespace drivekit::features::smart {

constexpr uint32_t nvmeSmartHealthBytes = 512;
inline const std::string nvmeSmartHealthTitle = "SMART and Health Information";

// One decoded field: the attribute's key and display name, its value as text and, for the
// warnings and the spare capacity, a "Pass"/"Fail" verdict (and the warning's message).
struct NvmeHealthValue {
    std::string key;
    std::string name;
    std::string value;
    std::string verdict;
    std::string message;
};

// The fields the page holds, in page order; truncated is set when the page ends before its
// last field. Temperatures are in "degree C"; sensors that report nothing (0) are left out.
std::vector<NvmeHealthValue> nvmeSmartHealthValues(const core::Payload& page, bool& truncated);

// Root "SMART and Health Information" with one property per field, named by its display name.
// A page shorter than 512 bytes decodes what it holds and ends with a "Truncated" property;
// an empty payload gives the bare root. status is success.
std::unique_ptr<core::xml::XmlObject> decodeNvmeSmartHealth(const core::Payload& page, core::Status& status);

}  // namespace drivekit::features::smart
