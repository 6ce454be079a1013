// The SMART feature and the decoding of SMART sectors and the NVMe SMART / Health page.
#include <gtest/gtest.h>

#include <regex>
#include <sstream>

#include "drivekit/core/DeviceAttributes.h"
#include "drivekit/core/ProductTable.h"
#include "drivekit/features/AttributeDefinitions.h"
#include "drivekit/features/smart/NvmeSmartHealth.h"
#include "drivekit/features/smart/SMART.h"
#include "drivekit/features/smart/SmartSectorDecoder.h"
#include "drivekit/features/smart/SmartSectors.h"
#include "support/FakeDrive.h"
#include "support/TextFiles.h"

namespace smart = drivekit::features::smart;
namespace a = drivekit::core::attributes;
using drivekit::core::Payload;
using drivekit::core::Status;
using drivekit::core::xml::XmlObject;
using test_support::FakeDrive;

namespace {

struct Entry { uint8_t id; uint16_t flags; uint8_t value; uint64_t raw; uint8_t threshold; };

// A data sector and a thresholds sector with valid checksums; entry i at position i unless
// thresholdOrder gives the thresholds' positions.
std::pair<Payload, Payload> sectors(const std::vector<Entry>& entries, std::vector<size_t> thresholdOrder = {}) {
    Payload data(smart::smartSectorBytes), limits(smart::smartSectorBytes);
    auto* d = data.safeCast<smart::AtaSmartDataSector>();
    auto* t = limits.safeCast<smart::AtaSmartThresholdSector>();
    for (size_t i = 0; i < entries.size(); ++i) {
        const Entry& e = entries[i];
        d->entries[i] = {e.id, e.flags, e.value, e.value, {}, 0};
        for (int b = 0; b < 6; ++b) {
            d->entries[i].raw[b] = static_cast<uint8_t>(e.raw >> (8 * b));
        }
        const size_t at = thresholdOrder.empty() ? i : thresholdOrder[i];
        t->entries[at].id = e.id;
        t->entries[at].threshold = e.threshold;
    }
    d->checksum = smart::expectedChecksum(data);
    t->checksum = smart::expectedChecksum(limits);
    return {data, limits};
}

// Per row of the decoded tree: its ID, Raw, Normalized, Threshold, Action and Status, and its name.
struct Row { std::string values, name; };
std::vector<Row> rows(const XmlObject& tree) {
    std::vector<Row> result;
    for (const auto& child : tree.objects()) {
        const auto& object = static_cast<const XmlObject&>(*child);
        Row row{"", object.propertyValue("Description")};
        for (const char* name : {"ID", "Raw", "Normalized", "Threshold", "Action", "Status"}) {
            row.values += (row.values.empty() ? "" : " ") + object.propertyValue(name);
        }
        result.push_back(row);
    }
    return result;
}

std::vector<Row> decoded(const std::vector<Entry>& entries, const std::string& product = "",
                         std::vector<size_t> order = {}) {
    const auto [data, limits] = sectors(entries, std::move(order));
    Status status;
    const auto tree = smart::decodeSmartSectors(data, &limits, product, status);
    EXPECT_TRUE(status.isSuccess()) << status.message();
    return tree ? rows(*tree) : std::vector<Row>{};
}

std::vector<std::string> valuesOf(const std::vector<Row>& rows) {
    std::vector<std::string> values;
    for (const Row& row : rows) {
        values.push_back(row.values);
    }
    return values;
}

// A pre-failure attribute at, below and above its threshold, an advisory one below its own, and
// the end-to-end count, which fails without the flag.
TEST(SmartDecode, VerdictsFollowPreFailureAndTheEndToEndCount) {
    EXPECT_EQ(valuesOf(decoded({{0x05, 0x33, 10, 0, 10}, {0x05, 0x33, 9, 0, 10}, {0x05, 0x33, 11, 0, 10},
                                {0x09, 0x32, 1, 0, 10}, {0xB8, 0x32, 90, 0, 90}, {0xB8, 0x32, 91, 0, 90}})),
              (std::vector<std::string>{"05 0 10 10 Fail 0x0033", "05 0 9 10 Fail 0x0033", "05 0 11 10 Pass 0x0033",
                                        "09 0 1 10 Pass 0x0032", "B8 0 90 90 Fail 0x0032", "B8 0 91 90 Pass 0x0032"}));
}

TEST(SmartDecode, NamesAndSkippedIdsFollowTheProductFamily) {
    const std::vector<Entry> entries = {{0x05, 0x33, 100, 0, 10}, {0xE2, 0x32, 100, 0, 0}, {0xE9, 0x32, 99, 0, 0},
                                        {0x60, 0x32, 100, 0, 0}};
    struct Case { const char* product; std::vector<std::string> names; } cases[] = {
        {"", {"Re-allocated Sector Count", "Timed Workload - Media Wear", "Media Wearout Indicator", "Vendor Specific"}},
        {"KESTROVA", {"Reallocated Flash Block Count", "Timed Workload - Media Wear", "Media Wearout Indicator",
                      "Vendor Specific"}},
        {"Corriden", {"Reallocated Flash Block Count", "Number of write count", "Vendor Specific"}},
        {"Hesketh", {"Reallocated Flash Block Count", "Media Wearout Indicator", "Vendor Specific"}},
    };
    for (const auto& c : cases) {
        std::vector<std::string> names;
        for (const auto& row : decoded(entries, c.product)) {
            names.push_back(row.name);
        }
        EXPECT_EQ(names, c.names) << c.product;
    }
}

TEST(SmartDecode, GapsRepeatedIdsAndReorderedThresholdsKeepEachEntrysOwnValues) {
    // A hole at position 1 and id 05 twice: the repeated id's threshold sits at its own
    // position, 50, not the first entry's 10.
    EXPECT_EQ(valuesOf(decoded({{0x05, 0x33, 100, 7, 10}, {0, 0, 0, 0, 0}, {0x09, 0x32, 98, 0x123456789ABC, 0},
                                {0x05, 0x33, 40, 8, 50}})),
              (std::vector<std::string>{"05 7 100 10 Pass 0x0033", "09 20015998343868 98 0 Pass 0x0032",
                                        "05 8 40 50 Fail 0x0033"}));
    EXPECT_EQ(decoded({{0, 0, 0, 0, 0}, {0x05, 0x33, 100, 0, 10}}).size(), 1u);
    // Thresholds listed in another order are found by their id.
    EXPECT_EQ(valuesOf(decoded({{0x05, 0x33, 100, 0, 100}, {0xC2, 0x22, 30, 0, 0}}, "", {1, 0})),
              (std::vector<std::string>{"05 0 100 100 Fail 0x0033", "C2 0 30 0 Pass 0x0022"}));
}

TEST(SmartDecode, ShortSectorsFailAndABadChecksumWarns) {
    auto [data, limits] = sectors({{0x05, 0x33, 100, 0, 10}});
    Status status;
    const Payload shortLimits(limits.data(), 12);
    EXPECT_EQ(smart::decodeSmartSectors(data, &shortLimits, "", status), nullptr);
    EXPECT_FALSE(status.isSuccess());

    limits.data()[100] ^= 1;
    auto tree = smart::decodeSmartSectors(data, &limits, "", status);
    ASSERT_NE(tree, nullptr);
    EXPECT_FALSE(status.isSuccess());
    EXPECT_NE(status.message().find("thresholds sector is wrong"), std::string::npos) << status.message();
    EXPECT_EQ(rows(*tree).size(), 1u);
    // Without a thresholds sector the rows carry no verdict.
    tree = smart::decodeSmartSectors(data, nullptr, "", status);
    ASSERT_NE(tree, nullptr);
    EXPECT_TRUE(status.isSuccess());
    EXPECT_EQ(rows(*tree)[0].values, "05 0 100 - - 0x0033");
}

// smartctl -A of the emulated disk against our decode of the same two sectors.
TEST(SmartDecode, TheEmulatedDisksSectorsMatchWhatSmartctlShows) {
    const std::string folder = std::string(SSDTOOL_SOURCE_DIR) + "/tests/data/qemu/smart/";
    auto load = [&](const std::string& name) {
        const std::string bytes = test_support::readFile(folder + name);
        return Payload(bytes.data(), bytes.size());
    };
    const Payload data = load("SMART_DATA.bin"), limits = load("SMART_THRESHOLDS.bin");
    Status status;
    const auto tree = smart::decodeSmartSectors(data, &limits, "", status);
    ASSERT_NE(tree, nullptr);
    EXPECT_TRUE(status.isSuccess()) << status.message();
    const auto ours = rows(*tree);

    const std::regex line(R"(^\s*(\d+) (\S+)\s+0x([0-9a-f]{4})\s+(\d+)\s+(\d+)\s+(\d+)\s+\S+\s+\S+\s+\S+\s+(\d+)(.*)$)");
    // Words smartctl shortens or adds to the names both know.
    auto normal = [](std::string name) {
        name = std::regex_replace(name, std::regex("_Ct$"), "_Count");
        std::string out;
        for (char c : name) {
            if (std::isalnum(static_cast<unsigned char>(c))) {
                out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            }
        }
        return out;
    };
    size_t index = 0, sameNames = 0;
    for (const std::string& row : test_support::lines(test_support::readFile(folder + "smartctl-A.txt"))) {
        std::smatch m;
        if (!std::regex_match(row, m, line)) {
            continue;
        }
        ASSERT_LT(index, ours.size());
        const Row& our = ours[index++];
        const int id = std::stoi(m[1]);
        SCOPED_TRACE(row);
        std::string ourId, action, flags;
        uint64_t raw = 0;
        int normalized = 0, threshold = 0;
        std::istringstream(our.values) >> ourId >> raw >> normalized >> threshold >> action >> flags;
        EXPECT_EQ(std::stoi(ourId, nullptr, 16), id);
        EXPECT_EQ(std::stoul(flags, nullptr, 16), std::stoul(m[3], nullptr, 16));
        EXPECT_EQ(normalized, std::stoi(m[4]));
        EXPECT_EQ(threshold, std::stoi(m[6]));
        const std::string rest = m[8];
        std::smatch minMax;
        if (std::regex_search(rest, minMax, std::regex(R"(Min/Max (\d+)/(\d+))"))) {
            // A temperature: the current, lowest and highest readings in bytes 0, 2 and 3.
            EXPECT_EQ(raw & 0xFF, std::stoull(m[7]));
            EXPECT_EQ((raw >> 16) & 0xFF, std::stoull(minMax[1]));
            EXPECT_EQ((raw >> 24) & 0xFF, std::stoull(minMax[2]));
        } else {
            EXPECT_EQ(raw, std::stoull(m[7]));
        }
        const std::string theirs = normal(m[2]), mine = normal(our.name);
        if (mine.rfind(theirs, 0) == 0 || theirs.rfind(mine, 0) == 0) {
            ++sameNames;
        } else {
            // The one attribute the two name differently: smartctl after the airflow, we after the case.
            EXPECT_EQ(id, 0xBE) << our.name;
        }
    }
    EXPECT_EQ(index, ours.size());
    EXPECT_GE(sameNames, 6u);
}

TEST(NvmeSmartHealth, FieldsTemperaturesAndTruncation) {
    Payload page(smart::nvmeSmartHealthBytes);
    page.data()[0] = 0x05;                  // spare and reliability warnings
    page.data()[1] = 0x2C, page.data()[2] = 0x01;  // 300 K
    page.data()[3] = 5, page.data()[4] = 10;       // spare below its threshold
    page.data()[32 + 8] = 1;                       // data units read: 2^64
    page.data()[202] = 0x36, page.data()[203] = 0x01;  // sensor 2: 310 K
    Status status;
    auto tree = smart::decodeNvmeSmartHealth(page, status);
    ASSERT_NE(tree, nullptr);
    EXPECT_EQ(tree->propertyValue("Temperature"), "27 degree C");
    EXPECT_EQ(tree->propertyValue("Temperature Sensor 2"), "37 degree C");
    EXPECT_EQ(tree->propertyValue("Temperature Sensor 1"), "");  // no sensor
    EXPECT_EQ(tree->propertyValue("Data Units Read"), "18446744073709551616");
    EXPECT_EQ(tree->propertyValue("Available Spare Space has fallen below the threshold"), "Yes");
    EXPECT_EQ(tree->propertyValue("Temperature has exceeded a critical threshold"), "No");
    EXPECT_EQ(tree->propertyValue("Truncated"), "");

    tree = smart::decodeNvmeSmartHealth(Payload(page.data(), 40), status);
    EXPECT_EQ(tree->propertyValue("Temperature"), "27 degree C");
    EXPECT_EQ(tree->propertyValue("Data Units Written"), "");
    EXPECT_NE(tree->propertyValue("Truncated"), "");
    tree = smart::decodeNvmeSmartHealth(Payload(), status);
    EXPECT_TRUE(tree->properties().empty());
    EXPECT_TRUE(status.isSuccess());
}

// The package tests meet each refusal alone and the reads' failures; here, the refusal that wins
// when several apply.
TEST(SmartFeature, CanRunRefusesInOrder) {
    struct Case { bool enabled; const char* error; bool raid; Status expected; } cases[] = {
        {true, "", false, Status::success()},
        {false, "", false, Status::smartNotEnabled()},
        {false, "locked", false, Status::driveDisabled()},
        {true, "locked", true, Status::raidVolume()},
    };
    for (const auto& c : cases) {
        auto drive = test_support::makersDrive();
        drive->protocols = {"ATA"};
        drive->attributes.writeBool(a::smartEnabled(), c.enabled);
        drive->attributes.writeString(a::errorString(), c.error);
        drive->attributes.writeBool(a::raid(), c.raid);
        smart::SMART feature(drive);
        Status status;
        EXPECT_EQ(feature.canRun(status), c.expected) << status.message();
    }
    Status status;
    smart::SMART none(std::make_shared<FakeDrive>(std::set<std::string>{}));
    EXPECT_EQ(none.canRun(status), Status::commandSetNotSupported());
    EXPECT_EQ(none.worker(), nullptr);
}

// The maker's NVMe drive serving zeroed SMART pages; what it was sent as opcode, LID or FID, and Dword 11.
using Sent = std::tuple<uint8_t, uint8_t, uint32_t>;
std::shared_ptr<FakeDrive> nvmeDrive() {
    auto drive = test_support::makersDrive();
    drive->pages[0xCA] = drive->pages[0x02] = Payload(4096);
    return drive;
}
std::vector<Sent> sentTo(const FakeDrive& drive) {
    std::vector<Sent> sent;
    for (const auto& entry : drive.sent) {
        sent.emplace_back(entry.opcode(), static_cast<uint8_t>(entry.cdw10 & 0xFF), entry.cdw11);
    }
    return sent;
}

TEST(SmartFeature, NvmeDrivesReadTheVendorPageByProductAndTheHealthPageOnRequest) {
    struct Case {
        const char* what; std::function<void(FakeDrive&)> drive; bool health; std::vector<Sent> sent;
    } cases[] = {
        {"the maker's NVMe drive", [](FakeDrive& d) { d.attributes.writeBool(a::kestrovaNVMe(), true); }, false,
         {{0x02, 0xCA, 0}}},
        {"the partner's drive of a maker family",
         [](FakeDrive& d) {
             d.attributes.writeString(a::oem(), drivekit::core::products::smartPartnerOem);
             d.attributes.writeString(a::product(), "varnholt");
         },
         true, {{0x02, 0xCA, 0}, {0x02, 0x02, 0}}},
        {"the partner's drive of another family",
         [](FakeDrive& d) {
             d.attributes.writeString(a::oem(), drivekit::core::products::smartPartnerOem);
             d.attributes.writeString(a::product(), "Aldermoor");
         },
         true, {{0x02, 0x02, 0}}},
        {"another drive", [](FakeDrive&) {}, false, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto drive = nvmeDrive();
        c.drive(*drive);
        drivekit::core::AttributeCollection wanted;
        wanted.writeBool(drivekit::features::definitions::includeNVMeSmartHealthLog(), c.health);
        smart::SMART feature(drive, wanted);
        Status status;
        EXPECT_TRUE(feature.readSmart(status).isSuccess()) << status.message();
        EXPECT_EQ(sentTo(*drive), c.sent);
        EXPECT_EQ(feature.rawData().count(smart::smartHealthKey), c.health ? 1u : 0u);
        smart::SmartRecords records;
        feature.getSmartAttributes(records);
        EXPECT_EQ(records.empty(), !c.health);
    }
    auto drive = nvmeDrive();
    smart::SMART feature(drive);
    Status status;
    EXPECT_TRUE(feature.resetTimedWorkloadAttributes(status).isSuccess());
    EXPECT_EQ(sentTo(*drive), (std::vector<Sent>{{0x09, 0xD5, 1}}));
}

}  // namespace
