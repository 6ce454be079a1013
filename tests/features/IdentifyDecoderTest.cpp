// The Identify decoders: structures built byte by byte against the fields they render, and the
// structures QEMU's controller served against nvme-cli's reading of the same bytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <initializer_list>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "drivekit/core/Payload.h"
#include "drivekit/core/Status.h"
#include "drivekit/core/xml/XmlObject.h"
#include "drivekit/core/xml/XmlProperty.h"
#include "drivekit/features/decode/FieldRenderer.h"
#include "drivekit/features/identify/decode/IdentifyDecoder.h"
#include "drivekit/features/identify/decode/IdentifyListDecoder.h"
#include "support/TextFiles.h"

namespace {

using drivekit::core::Payload;
using drivekit::core::xml::XmlElement;
using drivekit::core::xml::XmlObject;
using drivekit::core::Status;
namespace decode = drivekit::features::identify::decode;
using Coverage = decode::IdentifyCoverage;
using List = decode::IdentifyListDecoder;

const std::string truncated = drivekit::features::decode::FieldRenderer::truncatedName;
constexpr auto package = Coverage::package;

void putLe(Payload& data, uint32_t offset, uint64_t value, uint32_t width) {
    for (uint32_t i = 0; i < width; ++i) {
        *data.at(offset + i) = static_cast<uint8_t>(value >> (8 * i));
    }
}

// The decoded structure, which must decode cleanly; an empty object when it does not.
std::unique_ptr<XmlObject> decoded(uint8_t cns, const Payload& data, Coverage coverage = Coverage::feature) {
    Status status;
    auto tree = decode::decodeNvmeIdentify(cns, data, status, coverage);
    EXPECT_TRUE(status.isSuccess()) << status.message();
    EXPECT_NE(tree, nullptr);
    return tree ? std::move(tree) : std::make_unique<XmlObject>();
}

// The nested object called name; an empty one when there is none, so that its checks fail.
const XmlObject& objectOf(const XmlObject& object, const std::string& name) {
    static const XmlObject none;
    const XmlObject* found = object.object(name);
    EXPECT_NE(found, nullptr) << name;
    return found ? *found : none;
}

// Several little-endian values: {offset, value, width} each.
struct Put { uint32_t offset; uint64_t value; uint32_t width; };
void putLe(Payload& data, std::initializer_list<Put> puts) {
    for (const Put& put : puts) {
        putLe(data, put.offset, put.value, put.width);
    }
}

void putText(Payload& data, uint32_t offset, const std::string& text) {
    std::memcpy(data.at(offset), text.data(), text.size());
}

// The first property called name in object (not its nested objects); null when none.
const XmlElement* property(const XmlObject& object, const std::string& name) {
    for (const auto& child : object.properties()) {
        if (child->attribute("name") == name) {
            return child.get();
        }
    }
    return nullptr;
}

// The property's value, or its position (its description).
std::string value(const XmlObject& object, const std::string& name, const char* attribute = "value") {
    const XmlElement* found = property(object, name);
    return found == nullptr ? "<missing " + name + ">" : found->attribute(attribute);
}
std::string position(const XmlObject& object, const std::string& name) { return value(object, name, "description"); }

// The property that follows the one called parent and is called name: bit rows belong to
// the value row above them.
const XmlElement* bitOf(const XmlObject& object, const std::string& parent, const std::string& name) {
    bool inParent = false;
    for (const auto& child : object.properties()) {
        const std::string label = child->attribute("description");
        if (child->attribute("name") == parent) {
            inParent = true;
        } else if (inParent && label.rfind("Bit", 0) != 0) {
            return nullptr;
        } else if (inParent && child->attribute("name") == name) {
            return child.get();
        }
    }
    return nullptr;
}

bool mentions(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

Payload controllerData() {
    Payload data(4096);
    putText(data, 64, "FW01");  // NUL-padded, as some drives do
    putLe(data, 256, 0x0008, 2);  // OACS: namespace management only
    putLe(data, 266, 2, 2);       // WCTEMP: 2 K
    putLe(data, {{280, 5, 8}, {288, 1, 8}});  // TNVMCAP = 2^64 + 5
    putText(data, 768, std::string("nqn.x", 6) + "left over");  // the name ends at its NUL
    putLe(data, {{2048, 900, 2}, {2051, 0x02, 1}});  // power state 0: 9.00 W, non-operational
    // Power state 1: 1.2345 W (MXPS), idle 7 at the 0.0001 W scale, active 250 at the 0.01 W scale.
    putLe(data, {{2048 + 32, 12345, 2}, {2048 + 35, 0x01, 1}, {2048 + 48, 7, 2}, {2048 + 50, 0x40, 1},
                 {2048 + 52, 250, 2}, {2048 + 54, 0x80, 1}});
    return data;
}

TEST(IdentifyDecodeController, RendersNumbersTextBitRowsNestedRecordsAndReadings) {
    auto tree = decoded(0x01, controllerData());
    EXPECT_EQ(value(*tree, "Firmware Revision (FR)"), "FW01");
    EXPECT_EQ(value(*tree, "NVM Subsystem NVMe Qualified Name (SUBNQN)"), "nqn.x");
    EXPECT_EQ(value(*tree, "Total NVM Capacity (TNVMCAP)"), "18446744073709551621");
    EXPECT_EQ(value(*tree, "CNTRLTYPE: Name"), "Not reported");
    EXPECT_EQ(value(*tree, "NPSS: Count (the Field is 0's Based)"), "1");
    EXPECT_EQ(value(*tree, "MNTMT: in Celsius"), "not reported");
    EXPECT_EQ(value(*tree, "WCTEMP: in Celsius"), "-271 °C");

    const auto* management = bitOf(*tree, "Optional Admin Command Support (OACS)", "OACS: Namespace Management");
    ASSERT_NE(management, nullptr);
    EXPECT_EQ(management->attribute("value"), "1");
    EXPECT_EQ(management->attribute("description"), "Bit 3");
    EXPECT_EQ(position(*tree, "SGLS: SGL Descriptor Threshold"), "Bits 15:8");

    const auto& group = objectOf(*tree, "Power State Descriptors");
    const auto& first = objectOf(group, "Power State Descriptor 0");
    EXPECT_EQ(first.attribute("description"), "Bytes 2079:2048");
    EXPECT_EQ(value(first, "Non-Operational State (NOPS)"), "1");
    EXPECT_EQ(value(first, "MP: in Watts (Scaled by MXPS)"), "9.00 W");
    EXPECT_EQ(value(first, "IDLP: in Watts (Scaled by IPS)"), "not reported");
    const auto& second = objectOf(group, "Power State Descriptor 1");
    EXPECT_EQ(value(second, "MP: in Watts (Scaled by MXPS)"), "1.2345 W");
    EXPECT_EQ(value(second, "IDLP: in Watts (Scaled by IPS)"), "0.0007 W");
    EXPECT_EQ(value(second, "ACTP: in Watts (Scaled by APS)"), "2.50 W");
}

// The format in use takes FLBAS bits 6:5 as the high bits of its index; an index past the
// formats the namespace counts is said to be so.
TEST(IdentifyDecodeNamespace, NamesTheLbaFormatInUse) {
    Payload data(4096);
    putLe(data, {{25, 17, 1}, {26, 0x31, 1}});  // eighteen formats; index 0x11, metadata at the end of the LBA
    putLe(data, 128 + 17 * 4, 0x000C0008, 4);
    EXPECT_EQ(value(*decoded(0x00, data), "FLBAS: LBA Format in Use"),
              "LBA Format 17: 4096 bytes of data, 8 bytes of metadata");
    putLe(data, 25, 3, 1);
    EXPECT_NE(value(*decoded(0x00, data), "FLBAS: LBA Format in Use").find("(beyond the"), std::string::npos);
}

// Short and unknown files by name are the decode command's tests.
TEST(IdentifyDecodeEntryPoints, ShortDataFailsUnknownCnsIsEmptyAndSomeStructuresAreOnlyForPackages) {
    Status status;
    EXPECT_EQ(decode::decodeNvmeIdentify(0x01, Payload(100), status), nullptr);
    EXPECT_EQ(status, Status::unexpectedDataLength());
    EXPECT_NE(status.message().find("4096"), std::string::npos);
    EXPECT_TRUE(decode::hasNvmeIdentifyDecoder(0x1C));

    Payload data(4096);
    putLe(data, {{4, 7, 4}, {14, 0x01, 1}});  // ANAGRPID, namespace ready
    auto packageView = decoded(0x08, data, Coverage::package);
    EXPECT_EQ(packageView->attribute("name"), "I/O Command Set Independent Identify Namespace");
    EXPECT_EQ(value(*packageView, "ANA Group Identifier (ANAGRPID)"), "7");
    EXPECT_EQ(value(*packageView, "NSTAT: Namespace Ready"), "1");
    // The feature keeps an empty object for what only a package's reader decodes, and for what it
    // does not know (0x05).
    for (const uint8_t cns : {0x04, 0x08, 0x18, 0x19, 0x1B, 0x05}) {
        SCOPED_TRACE(+cns);
        EXPECT_TRUE(cns == 0x05 || decode::hasNvmeIdentifyDecoder(cns, Coverage::package));
        EXPECT_FALSE(decode::hasNvmeIdentifyDecoder(cns));
        auto featureView = decode::decodeNvmeIdentify(cns, data, status);
        ASSERT_NE(featureView, nullptr);
        EXPECT_TRUE(featureView->isEmpty());
        EXPECT_EQ(status, Status::notImplemented());
    }
}

// ATA strings hold two characters per word with the first character in the high byte.
void putAtaText(Payload& data, uint32_t word, std::string text, uint32_t words) {
    text.resize(words * 2, ' ');
    for (uint32_t i = 0; i < words; ++i) {
        putLe(data, (word + i) * 2, static_cast<uint8_t>(text[2 * i + 1]), 1);
        putLe(data, (word + i) * 2 + 1, static_cast<uint8_t>(text[2 * i]), 1);
    }
}

Payload identifyDevice() {
    Payload data(512);
    putLe(data, 0, 0x0040, 2);  // ATA device, fixed
    putAtaText(data, 10, "  SERIAL0042", 10);
    putAtaText(data, 23, "FW1.2", 4);
    putAtaText(data, 27, "Kestrel SSD 1TB", 20);
    putLe(data, 60 * 2, 0x0FFFFFFF, 4);
    putLe(data, 83 * 2, 0x0400, 2);            // 48-bit addressing supported
    putLe(data, 100 * 2, 1953525168ULL, 8);    // 1 TB of 512-byte sectors
    putLe(data, 255 * 2, 0x7BA5, 2);
    return data;
}

TEST(IdentifyDecodeAta, WordsStringsCapacitiesAndBitLabelsAndAShortSectorIsRejected) {
    Status status;
    auto tree = decode::decodeAtaIdentifyDevice(identifyDevice(), status);
    ASSERT_NE(tree, nullptr);
    EXPECT_TRUE(status.isSuccess());
    EXPECT_EQ(tree->attribute("name"), "ATA Identify Device");
    // Strings lose their padding.
    EXPECT_EQ(value(*tree, "Model Number"), "Kestrel SSD 1TB");
    EXPECT_EQ(position(*tree, "Model Number"), "Words 27-46");
    EXPECT_EQ(value(*tree, "Serial Number"), "SERIAL0042");
    EXPECT_EQ(value(*tree, "Firmware Revision"), "FW1.2");
    EXPECT_EQ(value(*tree, "Number of User Addressable Logical Sectors (48-bit)"), "1953525168");
    EXPECT_EQ(value(*tree, "Total Number of User Addressable Logical Sectors (28-bit)"), "268435455");
    EXPECT_EQ(position(*tree, "General Configuration"), "Word 0");
    const auto* atapi = bitOf(*tree, "General Configuration", "ATA Device (0) or ATAPI Device (1)");
    ASSERT_NE(atapi, nullptr);
    EXPECT_EQ(atapi->attribute("description"), "Bit 15");
    EXPECT_EQ(atapi->attribute("value"), "0");
    const auto* lba48 = bitOf(*tree, "Commands and Feature Sets Supported (Word 83)",
                              "48-bit Address Feature Set Supported");
    ASSERT_NE(lba48, nullptr);
    EXPECT_EQ(lba48->attribute("value"), "1");
    // The integrity word splits into its two bytes.
    EXPECT_EQ(value(*tree, "Checksum Validity Indicator"), "0xA5");
    EXPECT_EQ(value(*tree, "Checksum"), "0x7B");
    EXPECT_EQ(decode::decodeAtaIdentifyDevice(Payload(256), status), nullptr);
    EXPECT_EQ(status, Status::unexpectedDataLength());
    EXPECT_NE(status.message().find("256"), std::string::npos);
}

// --- Structures that QEMU's NVMe controller served, against nvme-cli's JSON of the same reads.

// Our field "Number of Namespaces (NN)" answers to nvme-cli's "nn"; these keys differ. nvme-cli's
// arrays are in a group object of ours, in our own objects (""), or numbered ("Namespace ID 0").
const std::map<std::string, std::string> nvmeCliAliases{
    {"domainid", "dmid"}, {"max_power", "mp"}, {"flags", "power state flags"}, {"entry_lat", "enlat"},
    {"exit_lat", "exlat"}, {"read_tput", "rrt"}, {"read_lat", "rrl"}, {"write_tput", "rwt"},
    {"write_lat", "rwl"}, {"idle_power", "idlp"}, {"idle_scale", "ips"}, {"active_power", "actp"},
    {"active_power_work", "apw"}, {"active_scale", "aps"}, {"ds", "lbads"}, {"csi", "nid"},
    {"eui64", "nid"}, {"num", "number of identifiers"}, {"num_ctrl", "number of controller entries"},
    {"secondary-controller-identifier", "scid"}, {"primary-controller-identifier", "pcid"},
    {"secondary-controller-state", "scs"}, {"virtual-function-number", "vfn"},
    {"num-virtual-queues", "nvq"}, {"num-virtual-interrupts", "nvi"}};
const std::map<std::string, std::string> nvmeCliArrays{
    {"psds", "Power State Descriptors"}, {"lbafs", "LBA Format Support"},
    {"elbafs", "Extended LBA Format Support"}, {"ns-descs", ""}, {"secondary-controllers", ""},
    {"nsid_list", "namespace id "}, {"ctrl_list", "controller id "}};

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

std::string squeezed(std::string text, char dropped = ' ') {
    text.erase(std::remove(text.begin(), text.end(), dropped), text.end());
    return text;
}

// A value as both tools can agree on it: numbers in decimal, identifiers without dashes, no padding.
std::string comparable(const nlohmann::json& value) {
    if (value.is_number_unsigned()) {
        return std::to_string(value.get<uint64_t>());
    }
    std::string text = value.is_string() ? value.get<std::string>() : value.dump();
    if (text.rfind("0x", 0) == 0) {
        return std::to_string(std::stoull(text, nullptr, 16));
    }
    return lower(squeezed(squeezed(text, '-')));  // nvme-cli keeps the strings' blank padding
}

// Our fields by the abbreviation in their name's last parentheses, or by the whole name.
std::map<std::string, std::string> fieldsByKey(const XmlObject& object) {
    std::map<std::string, std::string> fields;
    for (const auto& child : object.properties()) {
        const std::string name = child->attribute("name");
        const auto open = name.rfind(" (");
        const std::string key = name.back() == ')' && open != std::string::npos
                                    ? name.substr(open + 2, name.size() - open - 3) : name;
        fields.emplace(lower(key), child->attribute("value"));
    }
    return fields;
}

// Compares every key of nvme-cli's object with our field; returns the keys we lack.
std::vector<std::string> compareWithNvmeCli(const nlohmann::json& theirs, const XmlObject& ours,
                                            std::size_t& compared) {
    const auto fields = fieldsByKey(ours);
    std::vector<std::string> missing;
    for (const auto& [key, value] : theirs.items()) {
        if (key == "loc" || key == "type") {
            continue;  // where a descriptor lies and its type's name: we show the bytes
        }
        if (value.is_array() && nvmeCliArrays.count(key) != 0) {
            const std::string& where = nvmeCliArrays.at(key);
            const XmlObject* group = where.empty() ? &ours : ours.object(where);
            for (std::size_t i = 0; i < value.size(); ++i) {
                SCOPED_TRACE(key + " " + std::to_string(i));
                const auto numbered = fields.find(where + std::to_string(i));
                if (numbered != fields.end()) {
                    EXPECT_EQ(comparable(numbered->second), comparable(value[i].begin().value()));
                    ++compared;
                } else if (group != nullptr && i < group->objects().size()) {
                    const auto& entry = static_cast<const XmlObject&>(*group->objects()[i]);
                    const auto more = compareWithNvmeCli(value[i], entry, compared);
                    missing.insert(missing.end(), more.begin(), more.end());
                } else {
                    missing.push_back(key + " " + std::to_string(i));
                }
            }
            continue;
        }
        const bool aliased = fields.count(key) == 0 && nvmeCliAliases.count(key) != 0;
        const auto found = fields.find(aliased ? nvmeCliAliases.at(key) : key);
        if (found == fields.end()) {
            missing.push_back(key);
            continue;
        }
        EXPECT_EQ(comparable(found->second), comparable(value)) << key;
        ++compared;
    }
    return missing;
}

TEST(IdentifyDecodeQemu, AgreesWithNvmeCliOnEveryFieldBothDecode) {
    // nvme-cli's file (its command, then the NSID if any) and the CNS of the raw files it read.
    const std::map<std::string, std::vector<uint8_t>> pairs{
        {"id-ctrl", {1}}, {"id-ns", {0}}, {"ns-descs", {3}}, {"nvm-id-ctrl", {6}}, {"nvm-id-ns", {5, 27}},
        {"list-ns", {2}}, {"list-ns-all", {16}}, {"list-ctrl-ns", {18}}, {"list-ctrl", {19}},
        {"primary-ctrl-caps", {20}}, {"list-secondary", {21}}};
    const std::filesystem::path data = std::string(SSDTOOL_SOURCE_DIR) + "/tests/data/qemu/identify";
    std::size_t files = 0;
    std::size_t compared = 0;
    for (const char* folder : {"default", "subsystem"}) {
        for (const auto& entry : std::filesystem::directory_iterator(data / folder)) {
            if (entry.path().extension() != ".json") {
                continue;
            }
            const std::string name = entry.path().filename().string();
            const std::string stem = entry.path().stem().string();
            const auto digits = stem.find_last_not_of("0123456789") + 1;
            const std::string command = stem.substr(0, digits);
            const std::string nsid = digits < stem.size() ? stem.substr(digits) : "0";
            ASSERT_EQ(pairs.count(command), 1U) << name;
            const auto theirs = nlohmann::json::parse(test_support::readFile(entry.path()));
            for (const uint8_t cns : pairs.at(command)) {
                const std::string raw =
                    "cntid_0_cns_" + std::to_string(cns) + "_nsid_" + nsid + "_nvmsetid_0_csi_0.bin";
                SCOPED_TRACE(std::string(folder) + "/" + raw + " against " + name);
                const std::string bytes = test_support::readFile(data / folder / raw);
                ASSERT_EQ(bytes.size(), 4096U);
                const auto ours = decoded(cns, Payload(reinterpret_cast<const uint8_t*>(bytes.data()), 4096), package);
                EXPECT_EQ(property(*ours, truncated), nullptr);
                const auto missing = compareWithNvmeCli(theirs, *ours, compared);
                EXPECT_TRUE(missing.empty()) << "nvme-cli decodes " << missing.front() << ", we do not";
                // nvme-cli -H shows readings too: "70°C (343 Kelvin)", "mp:25.00W", "LBA Format  5 : ... (in use)".
                const std::string human = squeezed(test_support::readFile(data / folder / (stem + ".txt")));
                if (command == "id-ctrl") {
                    const auto& ps0 = objectOf(objectOf(*ours, "Power State Descriptors"), "Power State Descriptor 0");
                    for (const std::string& reading : {value(*ours, "WCTEMP: in Celsius") + "(",
                                                       value(*ours, "CCTEMP: in Celsius") + "(",
                                                       "mp:" + value(ps0, "MP: in Watts (Scaled by MXPS)")}) {
                        EXPECT_NE(human.find(squeezed(reading)), std::string::npos) << reading;
                    }
                } else if (command == "id-ns") {
                    const std::string inUse = value(*ours, "FLBAS: LBA Format in Use");
                    const std::string prefix = squeezed(inUse.substr(0, inUse.find(':') + 1));
                    EXPECT_EQ(human.substr(human.rfind('\n', human.find("(inuse)")) + 1, prefix.size()), prefix);
                }
                ++files;
            }
        }
    }
    EXPECT_EQ(files, 36U);
    EXPECT_GE(compared, 700U);
}

// --- Lists and records.

TEST(IdentifyDecodeNamespaceList, EndsAtTheFirstZeroOrAfter1024Entries) {
    Payload data(4096);
    putLe(data, {{0, 1, 4}, {4, 16, 4}, {12, 7, 4}});  // the last after the terminating zero: not an entry
    for (const uint8_t cns : {0x02, 0x10, 0x1A}) {
        SCOPED_TRACE(+cns);
        auto list = decoded(cns, data);
        EXPECT_EQ(value(*list, "Namespace ID 1"), "16");
        EXPECT_EQ(position(*list, "Namespace ID 1"), "Bytes 07:04");
        EXPECT_EQ(property(*list, "Namespace ID 2"), nullptr);
        EXPECT_EQ(position(*list, "Unused"), "Bytes 4095:08");
        EXPECT_NE(value(*list, "Unused"), "0");
    }
    for (uint32_t i = 0; i < 1024; ++i) {
        putLe(data, i * 4, i + 1, 4);
    }
    auto full = decoded(0x02, data);
    EXPECT_EQ(full->properties().size(), 1024U);
    EXPECT_EQ(value(*full, "Namespace ID 1023"), "1024");
}

// Controller and endurance group lists: a 16-bit count, then that many 16-bit identifiers.
TEST(IdentifyDecodeIdentifierList, CountIsHonouredAndClampedToTheData) {
    struct Case { uint8_t cns; std::string count; std::string id; };
    for (const Case& c : {Case{0x12, "Number of Controller Entries", "Controller ID "},
                          Case{0x13, "Number of Controller Entries", "Controller ID "},
                          Case{0x19, "Number of Identifiers", "Endurance Group ID "}}) {
        SCOPED_TRACE(+c.cns);
        Payload data(4096);
        putLe(data, {{0, 2, 2}, {4, 0x1234, 2}, {6, 5, 2}});  // the last beyond the count
        auto list = decoded(c.cns, data, package);
        EXPECT_EQ(value(*list, c.count), "2");
        EXPECT_EQ(value(*list, c.id + "1"), "4660");
        EXPECT_EQ(position(*list, c.id + "1"), "Bytes 05:04");
        EXPECT_EQ(property(*list, c.id + "2"), nullptr);
        EXPECT_EQ(property(*list, truncated), nullptr);
        EXPECT_EQ(position(*list, "Unused"), "Bytes 4095:06");

        putLe(data, {{0, 3000, 2}, {4094, 77, 2}});
        auto clamped = decoded(c.cns, data, package);
        EXPECT_EQ(value(*clamped, c.count), "3000");
        EXPECT_TRUE(mentions(value(*clamped, truncated), "2047"));
        EXPECT_EQ(value(*clamped, c.id + "2046"), "77");
        EXPECT_EQ(property(*clamped, c.id + "2047"), nullptr);
        EXPECT_EQ(property(*clamped, "Unused"), nullptr);
    }
}

// QEMU's namespaces carry EUI-64 and CSI descriptors (IdentifyDecodeQemu); not a UUID one.
TEST(IdentifyDecodeDescriptors, RendersAUuidDescriptorAndALengthOrHeaderPastTheEndStopsWithAMarker) {
    Payload data(4096);
    putLe(data, {{0, 3, 1}, {1, 16, 1}});
    for (uint32_t i = 0; i < 16; ++i) {
        putLe(data, 4 + i, 0x11 * i, 1);
    }
    auto list = decoded(0x03, data);
    ASSERT_EQ(list->objects().size(), 1U);
    const auto& uuid = objectOf(*list, "Namespace Identification Descriptor 0");
    EXPECT_EQ(uuid.attribute("description"), "Bytes 19:00");
    EXPECT_EQ(value(uuid, "Namespace Identifier (NID)"), "00112233-4455-6677-8899-aabbccddeeff");

    // Fifteen 259-byte descriptors end at 3885; the sixteenth would run to 4144.
    for (uint32_t at = 0; at + 4 <= 4096; at += 259) {
        putLe(data, {{at, 2, 1}, {at + 1, 255, 1}});
    }
    list = decoded(0x03, data);
    EXPECT_EQ(list->objects().size(), 15U);
    EXPECT_EQ(position(*list, truncated), "Bytes 3888:3885");

    Payload tiny(22);
    putLe(tiny, {{0, 1, 1}, {1, 8, 1}, {12, 2, 1}, {13, 16, 1}});
    auto shortList = List::descriptorList("Descriptors", tiny);
    EXPECT_EQ(shortList->objects().size(), 1U);
    EXPECT_TRUE(mentions(value(*shortList, truncated), "16"));
}

TEST(IdentifyDecodeUuidList, EndsAtAnAllZeroUuid) {
    Payload data(4096);
    putLe(data, {{32, 0x01, 1}, {48, 0xEFCDAB8967452301ULL, 8}, {56, 0x1032547698BADCFEULL, 8}, {64 + 16, 0x5A, 1}});
    putLe(data, {{96, 0x02, 1}, {128 + 16, 0x77, 1}});  // association set but the UUID is zero: the list ends
    auto list = decoded(0x17, data);
    ASSERT_EQ(list->objects().size(), 2U);
    const auto& first = objectOf(*list, "UUID List Entry 0");
    EXPECT_EQ(first.attribute("description"), "Bytes 63:32");
    EXPECT_EQ(value(first, "Identifier Association (Bits 1:0)"), "1");
    EXPECT_EQ(value(first, "UUID"), "01234567-89ab-cdef-fedc-ba9876543210");
    EXPECT_EQ(position(*list, "Unused"), "Bytes 4095:96");
}

TEST(IdentifyDecodeSecondaryControllers, CountIsCheckedAgainstTheData) {
    Payload data(4096);  // a count that fits is in IdentifyDecodeQemu
    putLe(data, 0, 200, 1);
    auto clamped = decoded(0x15, data);
    EXPECT_EQ(clamped->objects().size(), 127U);
    EXPECT_TRUE(mentions(value(*clamped, truncated), "127"));
}

TEST(IdentifyDecodeCommandSets, VectorsEndAtTheFirstZeroVector) {
    Payload data(4096);
    putLe(data, {{0, 0x1, 8}, {8, 0x5, 8}, {24, 0x1, 8}});
    auto list = decoded(0x1C, data);
    ASSERT_EQ(list->objects().size(), 2U);
    const auto& second = objectOf(*list, "Command Set Vector 1");
    EXPECT_EQ(value(second, "Command Set Vector"), "0x0000000000000005");
    EXPECT_EQ(value(second, "Zoned Namespace Command Set"), "1");
    EXPECT_EQ(value(second, "Key Value Command Set"), "0");
}

// NVM set and domain lists: a 128-byte header counting the 128-byte entries after it.
TEST(IdentifyDecodeAttributesList, EntriesFollowTheHeaderUpToTheCountClampedToTheDataOrWhereItEnds) {
    Payload data(4096);
    putLe(data, {{0, 2, 1}, {128, 1, 2}, {256, 2, 2}});
    putLe(data, {{144, 5, 8}, {152, 1, 8}});  // the 128-bit capacity at bytes 31:16 of the entry: 2^64 + 5
    putLe(data, 384, 3, 2);                   // past the count: not an entry
    auto sets = decoded(0x04, data, package);
    EXPECT_EQ(value(*sets, "Number of Identifiers"), "2");
    ASSERT_EQ(sets->objects().size(), 2U);
    const auto& first = objectOf(*sets, "NVM Set Attributes Entry 0");
    EXPECT_EQ(first.attribute("description"), "Bytes 255:128");
    EXPECT_EQ(value(first, "Total NVM Set Capacity (TNVMSETCAP)"), "18446744073709551621");
    EXPECT_EQ(value(objectOf(*sets, "NVM Set Attributes Entry 1"), "NVM Set Identifier (NVMSETID)"), "2");
    EXPECT_EQ(property(*sets, truncated), nullptr);
    EXPECT_EQ(position(*sets, "Unused"), "Bytes 4095:384");

    putLe(data, {{0, 40, 1}, {3968, 31, 2}});  // 31 entries fit after the header
    auto domains = decoded(0x18, data, package);
    EXPECT_EQ(value(*domains, "Number of Entries"), "40");
    EXPECT_TRUE(mentions(value(*domains, truncated), "31")) << value(*domains, truncated);
    ASSERT_EQ(domains->objects().size(), 31U);
    EXPECT_EQ(value(objectOf(*domains, "Domain Attributes Entry 0"), "Domain Capacity"), "18446744073709551621");
    const auto& last = objectOf(*domains, "Domain Attributes Entry 30");
    EXPECT_EQ(last.attribute("description"), "Bytes 4095:3968");
    EXPECT_EQ(value(last, "Domain Identifier"), "31");
    EXPECT_EQ(property(*domains, "Unused"), nullptr);

    // Straight from the list decoder: two entries reported, room for one.
    Payload cut(300);
    putLe(cut, {{0, 2, 1}, {128, 9, 2}});
    auto list = List::domainList("Domain List", cut);
    ASSERT_EQ(list->objects().size(), 1U);
    EXPECT_EQ(value(objectOf(*list, "Domain Attributes Entry 0"), "Domain Identifier"), "9");
    EXPECT_TRUE(mentions(value(*list, truncated), "exceeds the 1 ")) << value(*list, truncated);
    EXPECT_EQ(position(*list, "Unused"), "Bytes 299:256");

    auto headerOnly = List::nvmSetList("NVM Set List", Payload(100));
    EXPECT_TRUE(headerOnly->objects().empty());
    EXPECT_TRUE(mentions(value(*headerOnly, truncated), "100 bytes"));
    EXPECT_EQ(property(*headerOnly, "Number of Identifiers"), nullptr);
}

}  // namespace
