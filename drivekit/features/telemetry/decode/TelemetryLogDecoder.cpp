#include "drivekit/features/telemetry/decode/TelemetryLogDecoder.h"

#include <algorithm>
#include <cstddef>
#include <string>

#include "drivekit/features/decode/FieldRenderer.h"
#include "drivekit/features/telemetry/TelemetryHeader.h"

namespace drivekit::features::telemetry::decode {

namespace fields = features::decode;
using core::xml::XmlObject;

namespace {

// The collector always reads data areas 1 to 3; area 4 only when asked for.
constexpr uint32_t alwaysReadDataAreas = 3;

const char* titleOf(uint8_t logId) {
    return logId == 0x08 ? "Telemetry Controller-Initiated Log" : "Telemetry Host-Initiated Log";
}

core::Status cutShort(const std::string& what) {
    core::Status status = core::Status::unexpectedDataLength();
    status.setMessage(what);
    return status;
}

}  // namespace

const fields::FieldTable& telemetryHeaderTable() {
    using fields::Rendering;
    static const fields::FieldTable table{
        "Telemetry Log Header",
        fields::LabelStyle::bytes,
        sizeof(TelemetryHeader),
        {
            fields::byte("Log Identifier", offsetof(TelemetryHeader, logId), Rendering::hex),
            fields::reserved(1, 4),
            fields::bytes("IEEE OUI Identifier", offsetof(TelemetryHeader, ieeeOui), 7, Rendering::hex),
            fields::bytes("Data Area 1 Last Block", 8, 9),
            fields::bytes("Data Area 2 Last Block", 10, 11),
            fields::bytes("Data Area 3 Last Block", 12, 13),
            fields::reserved(14, 15),
            fields::bytes("Data Area 4 Last Block", offsetof(TelemetryHeader, dataArea4LastBlock), 19),
            fields::reserved(20, 380),
            fields::byte("Host-Initiated Data Generation Number",
                     offsetof(TelemetryHeader, hostDataGenerationNumber)),
            fields::byte("Controller-Initiated Data Available",
                     offsetof(TelemetryHeader, controllerDataAvailable)),
            fields::byte("Controller-Initiated Data Generation Number",
                     offsetof(TelemetryHeader, controllerDataGenerationNumber)),
            fields::bytes("Reason Identifier", offsetof(TelemetryHeader, reasonIdentifier), 511,
                      Rendering::bytes),
        },
    };
    return table;
}

std::unique_ptr<XmlObject> decodeTelemetryLog(uint8_t logId, const core::Payload& header,
                                              uint64_t logBytes, core::Status& status) {
    logBytes = std::max<uint64_t>(logBytes, header.size());
    auto tree = std::make_unique<XmlObject>(titleOf(logId));
    const std::string sizeLabel = "Log";
    const bool whole = fields::FieldRenderer::render(telemetryHeaderTable(), header, 0, *tree);
    fields::FieldRenderer::addField(*tree, "Log Size (bytes)", std::to_string(logBytes), sizeLabel);
    if (!whole) {
        status = cutShort("The telemetry log holds " + std::to_string(logBytes) +
                          " bytes; its header block needs " + std::to_string(telemetryBlockBytes) + ".");
        return tree;
    }
    fields::FieldRenderer::addField(*tree, "Body Size (bytes)",
                                std::to_string(logBytes - telemetryBlockBytes), sizeLabel);
    const auto* fields = header.safeCast<TelemetryHeader>(0);
    const uint64_t announced = (lastBlock(*fields, alwaysReadDataAreas) + 1) * telemetryBlockBytes;
    if (logBytes < announced) {
        const std::string reason = "the header's data areas end at byte " + std::to_string(announced) +
                                   "; the log holds " + std::to_string(logBytes);
        fields::FieldRenderer::addTruncated(*tree, reason, sizeLabel);
        status = cutShort("The telemetry log is cut short: " + reason + ".");
        return tree;
    }
    status = core::Status::success();
    return tree;
}

}  // namespace drivekit::features::telemetry::decode
