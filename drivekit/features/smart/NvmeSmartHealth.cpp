#include "drivekit/features/smart/NvmeSmartHealth.h"

#include <functional>

#include "drivekit/core/LittleEndian.h"
#include "drivekit/features/AttributeDefinitions.h"
#include "drivekit/features/decode/FieldFormatter.h"
#include "drivekit/features/decode/FieldRenderer.h"
#include "drivekit/features/smart/AtaSmartRecords.h"

namespace drivekit::features::smart {

namespace {

namespace definitions = features::definitions;
using features::decode::FieldFormatter;
using features::decode::FieldRenderer;
using features::decode::Rendering;

enum class Kind {
    number,   // little-endian unsigned, up to 8 bytes
    counter,  // 16-byte little-endian unsigned
    kelvin,   // 2 bytes in Kelvin, shown in degree C
    sensor,   // as kelvin, left out when 0 (no sensor)
    flag,     // one bit of a byte; set is a warning ("Fail")
    spare,    // the available spare percentage, "Fail" below the threshold byte
};

constexpr uint32_t spareThresholdOffset = 4;
constexpr int kelvinAtZeroCelsius = 273;

struct HealthField {
    HealthField(core::Attribute definition, uint32_t offset, uint32_t width, Kind kind, uint8_t bit = 0,
                std::string message = {})
        : definition(std::move(definition)), offset(offset), width(width), kind(kind), bit(bit),
          message(std::move(message)) {}

    core::Attribute definition;
    uint32_t offset;
    uint32_t width;
    Kind kind;
    uint8_t bit;
    std::string message;
};

core::Attribute local(const std::string& key, const std::string& name) { return {key, name, "uint8"}; }

const std::vector<HealthField>& healthFields() {
    static const std::vector<HealthField> fields = [] {
        std::vector<HealthField> rows = {
            {definitions::criticalWarnings(), 0, 1, Kind::number},
            {definitions::availableSpareWarning(), 0, 1, Kind::flag, 0},
            {definitions::temperatureWarning(), 0, 1, Kind::flag, 1},
            {definitions::reliabilityWarning(), 0, 1, Kind::flag, 2},
            {definitions::readOnlyWarning(), 0, 1, Kind::flag, 3},
            {definitions::volatileMemoryWarning(), 0, 1, Kind::flag, 4},
            {definitions::temperature(), 1, 2, Kind::kelvin},
            {definitions::availableSpare(), 3, 1, Kind::spare},
            {local("AvailableSpareThreshold", "Available Spare Threshold"), 4, 1, Kind::number},
            {definitions::percentageUsed(), 5, 1, Kind::number},
            {local("EnduranceGroupCriticalWarningSummary", "Endurance Group Critical Warning Summary"), 6, 1,
             Kind::number},
            {local("EnduranceGroupAvailSpareCapacityThresholdWarning",
                   "Endurance Group Available Spare Capacity Warning"),
             6, 1, Kind::flag, 0,
             "The available spare capacity of one or more Endurance Groups has fallen below the threshold."},
            {local("EnduranceGroupReliabilityWarning", "Endurance Group Reliability Warning"), 6, 1, Kind::flag, 2,
             "The reliability of one or more Endurance Groups has been degraded"},
            {local("EnduranceGroupReadOnlyWarning", "Endurance Group Read Only Warning"), 6, 1, Kind::flag, 3,
             "The namespaces in one or more Endurance Groups have been placed in read only mode"},
            {definitions::dataUnitsRead(), 32, 16, Kind::counter},
            {definitions::dataUnitsWritten(), 48, 16, Kind::counter},
            {definitions::hostReadCommands(), 64, 16, Kind::counter},
            {definitions::hostWriteCommands(), 80, 16, Kind::counter},
            {definitions::controllerBusyTime(), 96, 16, Kind::counter},
            {definitions::powerCycles(), 112, 16, Kind::counter},
            {definitions::powerOnHours(), 128, 16, Kind::counter},
            {definitions::unsafeShutdowns(), 144, 16, Kind::counter},
            {definitions::mediaErrors(), 160, 16, Kind::counter},
            {definitions::numErrorInfoLogEntries(), 176, 16, Kind::counter},
            {definitions::warningCompositeTemperatureTime(), 192, 4, Kind::number},
            {definitions::criticalCompositeTemperatureTime(), 196, 4, Kind::number},
        };
        for (unsigned n = 1; n <= definitions::temperatureSensorCount; ++n) {
            rows.emplace_back(definitions::temperatureSensor(n), 200 + (n - 1) * 2, 2, Kind::sensor);
        }
        rows.emplace_back(definitions::thermalManagementTemperature1TransitionCount(), 216, 4, Kind::number);
        rows.emplace_back(definitions::thermalManagementTemperature2TransitionCount(), 220, 4, Kind::number);
        rows.emplace_back(definitions::totalTimeForThermalManagementTemperature1(), 224, 4, Kind::number);
        rows.emplace_back(definitions::totalTimeForThermalManagementTemperature2(), 228, 4, Kind::number);
        return rows;
    }();
    return fields;
}

std::string celsius(uint64_t kelvin) {
    return std::to_string(static_cast<int>(kelvin) - kelvinAtZeroCelsius) + " degree C";
}

// False when the field is left out.
bool render(const HealthField& field, const uint8_t* bytes, const core::Payload& page, NvmeHealthValue& out) {
    const uint64_t number = field.kind == Kind::counter ? 0 : core::readLittleEndian(bytes, field.width);
    switch (field.kind) {
        case Kind::number: out.value = std::to_string(number); break;
        case Kind::counter: out.value = FieldFormatter::value(Rendering::decimal128, bytes, field.width); break;
        case Kind::sensor:
            if (number == 0) {
                return false;
            }
            out.value = celsius(number);
            break;
        case Kind::kelvin: out.value = celsius(number); break;
        case Kind::flag: {
            const bool set = ((number >> field.bit) & 1u) != 0;
            out.value = set ? "Yes" : "No";
            out.verdict = set ? failVerdict : passVerdict;
            out.message = set ? field.message : std::string();
            break;
        }
        case Kind::spare: {
            out.value = std::to_string(number);
            const uint8_t* threshold = FieldRenderer::bytesAt(page, spareThresholdOffset, 1);
            if (threshold != nullptr) {
                out.verdict = number < *threshold ? failVerdict : passVerdict;
            }
            break;
        }
    }
    return true;
}

}  // namespace

std::vector<NvmeHealthValue> nvmeSmartHealthValues(const core::Payload& page, bool& truncated) {
    std::vector<NvmeHealthValue> values;
    truncated = false;
    for (const auto& field : healthFields()) {
        const uint8_t* bytes = FieldRenderer::bytesAt(page, field.offset, field.width);
        if (bytes == nullptr) {
            truncated = true;
            break;
        }
        NvmeHealthValue value{field.definition.key(), field.definition.displayName(), {}, {}, {}};
        if (render(field, bytes, page, value)) {
            values.push_back(std::move(value));
        }
    }
    // The reserved tail is no field, but a page without it is still not the whole page.
    truncated = truncated || page.size() < nvmeSmartHealthBytes;
    return values;
}

std::unique_ptr<core::xml::XmlObject> decodeNvmeSmartHealth(const core::Payload& page, core::Status& status) {
    status = core::Status::success();
    auto root = std::make_unique<core::xml::XmlObject>(nvmeSmartHealthTitle);
    if (page.empty()) {
        return root;
    }
    bool truncated = false;
    for (const auto& value : nvmeSmartHealthValues(page, truncated)) {
        root->addProperty(value.name, value.value);
    }
    if (truncated) {
        FieldRenderer::addTruncated(*root, "the page holds " + std::to_string(page.size()) + " of its " +
                                               std::to_string(nvmeSmartHealthBytes) + " bytes",
                                    "");
    }
    return root;
}

}  // namespace drivekit::features::smart
