// The field tables of the maker's own log pages: temperature statistics, SMART attributes,
// the marketing description and power usage.
#include "drivekit/features/nvme_get_log/decode/LogPageTables.h"

namespace drivekit::features::nvme_get_log::decode {

using namespace features::decode;

namespace {
constexpr LabelStyle byteLabels = LabelStyle::bytes;
}  // namespace

const FieldTable& temperatureStatisticsTable() {
    // Eight quadwords in degrees Celsius (the flags are 0 or 1).
    static const FieldTable table{"Temp Statistics", byteLabels, 112,
                                  {
                                      bytes("Current Temperature", 0, 7),
                                      bytes("Overtemp shutdown Flag for Last Drive Overheat", 8, 15),
                                      bytes("Overtemp shutdown Flag for Life Drive Overheat", 16, 23),
                                      bytes("Highest Temperature", 24, 31),
                                      bytes("Lowest Temperature", 32, 39),
                                      bytes("Maximum operating temperature", 40, 47),
                                      bytes("Minimum operating temperature", 48, 55),
                                      bytes("Estimated offset in Celsius", 56, 63),
                                      reserved(64, 111),
                                  }};
    return table;
}

const FieldTable& smartAttributesHeaderTable() {
    static const FieldTable table{"SMART Attributes", byteLabels, 4,
                                  {bytes("Revision", 0, 1), bytes("Number of Attributes", 2, 3)}};
    return table;
}

const FieldTable& smartAttributeEntryTable() {
    static const FieldTable table{"SMART Attribute", byteLabels, 12,
                                  {
                                      byte("Attribute ID", 0),
                                      bytes("Flags", 1, 2, Rendering::hex),
                                      byte("Current Value", 3),
                                      byte("Worst Value", 4),
                                      bytes("Raw Value", 5, 10),
                                      reserved(11, 11),
                                  }};
    return table;
}

const FieldTable& marketingDescriptionTable() {
    static const FieldTable table{"Marketing Description Log", byteLabels, 512,
                                  {bytes("Marketing String", 0, 511, Rendering::text)}};
    return table;
}

const FieldTable& powerUsageTable() {
    // Milliwatts drawn from each supply rail.
    static const FieldTable table{"Power Usage Info", byteLabels, 16,
                                  {bytes("VIN1 (3.3V Rail)", 0, 3), bytes("VIN2 (12V Rail)", 4, 7), reserved(8, 15)}};
    return table;
}

}  // namespace drivekit::features::nvme_get_log::decode
