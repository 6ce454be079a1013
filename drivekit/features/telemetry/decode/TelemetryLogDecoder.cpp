#include "drivekit/features/telemetry/decode/TelemetryLogDecoder.h"

#include <algorithm>
#include <cstddef>
#include <string>

#include "drivekit/features/identify/decode/FieldRenderer.h"
#include "drivekit/features/telemetry/TelemetryHeader.h"

namespace drivekit::features::telemetry::decode {

namespace id = identify::decode;
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

const id::FieldTable& telemetryHeaderTable() {
    using id::Rendering;
    static const id::FieldTable table{
        "Telemetry Log Header",
        id::LabelStyle::bytes,
        sizeof(TelemetryHeader),
        {
            id::byte("Log Identifier", offsetof(TelemetryHeader, logId), Rendering::hex),
            id::reserved(1, 4),
            id::bytes("IEEE OUI Identifier", offsetof(TelemetryHeader, ieeeOui), 7, Rendering::hex),
            id::bytes("Data Area 1 Last Block", 8, 9),
            id::bytes("Data Area 2 Last Block", 10, 11),
            id::bytes("Data Area 3 Last Block", 12, 13),
            id::reserved(14, 15),
            id::bytes("Data Area 4 Last Block", offsetof(TelemetryHeader, dataArea4LastBlock), 19),
            id::reserved(20, 380),
            id::byte("Host-Initiated Data Generation Number",
                     offsetof(TelemetryHeader, hostDataGenerationNumber)),
            id::byte("Controller-Initiated Data Available",
                     offsetof(TelemetryHeader, controllerDataAvailable)),
            id::byte("Controller-Initiated Data Generation Number",
                     offsetof(TelemetryHeader, controllerDataGenerationNumber)),
            id::bytes("Reason Identifier", offsetof(TelemetryHeader, reasonIdentifier), 511,
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
    const bool whole = id::FieldRenderer::render(telemetryHeaderTable(), header, 0, *tree);
    id::FieldRenderer::addField(*tree, "Log Size (bytes)", std::to_string(logBytes), sizeLabel);
    if (!whole) {
        status = cutShort("The telemetry log holds " + std::to_string(logBytes) +
                          " bytes; its header block needs " + std::to_string(telemetryBlockBytes) + ".");
        return tree;
    }
    id::FieldRenderer::addField(*tree, "Body Size (bytes)",
                                std::to_string(logBytes - telemetryBlockBytes), sizeLabel);
    const auto* fields = header.safeCast<TelemetryHeader>(0);
    const uint64_t announced = (lastBlock(*fields, alwaysReadDataAreas) + 1) * telemetryBlockBytes;
    if (logBytes < announced) {
        const std::string reason = "the header's data areas end at byte " + std::to_string(announced) +
                                   "; the log holds " + std::to_string(logBytes);
        id::FieldRenderer::addTruncated(*tree, reason, sizeLabel);
        status = cutShort("The telemetry log is cut short: " + reason + ".");
        return tree;
    }
    status = core::Status::success();
    return tree;
}

}  // namespace drivekit::features::telemetry::decode
