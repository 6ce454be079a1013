#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>
#include <vector>

#include <nlohmann/json.hpp>

#include "drivekit/core/Status.h"
#include "drivekit/features/decode/FieldRenderer.h"
#include "drivekit/features/identify/decode/IdentifyDecoder.h"
#include "support/TextFiles.h"
#include "tests/features/IdentifyDecodeSupport.h"

namespace {

using namespace identify_decode_test;
using drivekit::core::Status;
namespace decode = drivekit::features::identify::decode;
namespace fields = drivekit::features::decode;

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
        const auto found = fields.find(fields.count(key) == 0 && nvmeCliAliases.count(key) != 0 ? nvmeCliAliases.at(key) : key);
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
                const std::string raw = "cntid_0_cns_" + std::to_string(cns) + "_nsid_" + nsid + "_nvmsetid_0_csi_0.bin";
                SCOPED_TRACE(std::string(folder) + "/" + raw + " against " + name);
                const std::string bytes = test_support::readFile(data / folder / raw);
                ASSERT_EQ(bytes.size(), 4096U);
                Status status;
                auto ours = decode::decodeNvmeIdentify(cns, Payload(reinterpret_cast<const uint8_t*>(bytes.data()), 4096),
                                                       status, decode::IdentifyCoverage::package);
                ASSERT_NE(ours, nullptr);
                ASSERT_TRUE(status.isSuccess()) << status.message();
                EXPECT_EQ(property(*ours, fields::FieldRenderer::truncatedName), nullptr);
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

}  // namespace
