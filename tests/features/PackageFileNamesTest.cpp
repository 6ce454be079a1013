#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "drivekit/features/PackageFileNames.h"

using drivekit::features::PackageFileNames;

namespace {

std::tuple<unsigned, unsigned, unsigned> numbers(const PackageFileNames::LogPage& page) {
    return {page.logId, page.logSpecificField, page.logSpecificId};
}

std::tuple<unsigned, unsigned, unsigned, unsigned, unsigned> numbers(const PackageFileNames::Identify& id) {
    return {id.cntid, id.cns, id.nsid, id.nvmSetId, id.csi};
}

}  // namespace

// The names are every binary of the packages that the built-in simulated drives give (each
// profile, -extended).
TEST(PackageFileNames, EveryNameOfAPackageIsMadeFromItsNumbersAndReadBackAsThem) {
    struct PageRow {
        const char* name;
        unsigned logId, logSpecificField, logSpecificId;
    };
    const PageRow pages[] = {
        {"lid_0x00_lsp_0x00_lsi_0x0000.bin", 0x00, 0x00, 0x0000}, {"lid_0x01_lsp_0x00_lsi_0x0000.bin", 0x01, 0x00, 0x0000},
        {"lid_0x02_lsp_0x00_lsi_0x0000.bin", 0x02, 0x00, 0x0000}, {"lid_0x03_lsp_0x00_lsi_0x0000.bin", 0x03, 0x00, 0x0000},
        {"lid_0x04_lsp_0x00_lsi_0x0000.bin", 0x04, 0x00, 0x0000}, {"lid_0x05_lsp_0x00_lsi_0x0000.bin", 0x05, 0x00, 0x0000},
        {"lid_0x06_lsp_0x00_lsi_0x0000.bin", 0x06, 0x00, 0x0000}, {"lid_0x07_lsp_0x01_lsi_0x0000.bin", 0x07, 0x01, 0x0000},
        {"lid_0x08_lsp_0x00_lsi_0x0000.bin", 0x08, 0x00, 0x0000}, {"lid_0x09_lsp_0x00_lsi_0x0001.bin", 0x09, 0x00, 0x0001},
        {"lid_0x0d_lsp_0x00_lsi_0x0000.bin", 0x0D, 0x00, 0x0000}, {"lid_0x0e_lsp_0x00_lsi_0x0000.bin", 0x0E, 0x00, 0x0000},
        {"lid_0x0f_lsp_0x00_lsi_0x0000.bin", 0x0F, 0x00, 0x0000}, {"lid_0x12_lsp_0x00_lsi_0x0000.bin", 0x12, 0x00, 0x0000},
        {"lid_0x13_lsp_0x00_lsi_0x0000.bin", 0x13, 0x00, 0x0000}, {"lid_0x14_lsp_0x00_lsi_0x0000.bin", 0x14, 0x00, 0x0000},
        {"lid_0x14_lsp_0x02_lsi_0x0000.bin", 0x14, 0x02, 0x0000}, {"lid_0x14_lsp_0x03_lsi_0x0000.bin", 0x14, 0x03, 0x0000},
        {"lid_0x14_lsp_0x04_lsi_0x0000.bin", 0x14, 0x04, 0x0000}, {"lid_0x14_lsp_0x10_lsi_0x0000.bin", 0x14, 0x10, 0x0000},
        {"lid_0x14_lsp_0x12_lsi_0x0000.bin", 0x14, 0x12, 0x0000}, {"lid_0x14_lsp_0x13_lsi_0x0000.bin", 0x14, 0x13, 0x0000},
        {"lid_0x14_lsp_0x14_lsi_0x0000.bin", 0x14, 0x14, 0x0000}, {"lid_0x14_lsp_0x20_lsi_0x0000.bin", 0x14, 0x20, 0x0000},
        {"lid_0x14_lsp_0x22_lsi_0x0000.bin", 0x14, 0x22, 0x0000}, {"lid_0x14_lsp_0x23_lsi_0x0000.bin", 0x14, 0x23, 0x0000},
        {"lid_0x14_lsp_0x24_lsi_0x0000.bin", 0x14, 0x24, 0x0000}, {"lid_0x19_lsp_0x00_lsi_0x0000.bin", 0x19, 0x00, 0x0000},
        {"lid_0x81_lsp_0x00_lsi_0x0000.bin", 0x81, 0x00, 0x0000}, {"lid_0xc0_lsp_0x00_lsi_0x0000.bin", 0xC0, 0x00, 0x0000},
        {"lid_0xc1_lsp_0x00_lsi_0x0000.bin", 0xC1, 0x00, 0x0000}, {"lid_0xc2_lsp_0x00_lsi_0x0000.bin", 0xC2, 0x00, 0x0000},
        {"lid_0xc3_lsp_0x00_lsi_0x0000.bin", 0xC3, 0x00, 0x0000}, {"lid_0xc4_lsp_0x00_lsi_0x0000.bin", 0xC4, 0x00, 0x0000},
        {"lid_0xc5_lsp_0x00_lsi_0x0000.bin", 0xC5, 0x00, 0x0000}, {"lid_0xca_lsp_0x00_lsi_0x0000.bin", 0xCA, 0x00, 0x0000},
        {"lid_0xd5_lsp_0x00_lsi_0x0000.bin", 0xD5, 0x00, 0x0000}, {"lid_0xf2_lsp_0x00_lsi_0x0000.bin", 0xF2, 0x00, 0x0000},
        {"lid_0xf4_lsp_0x00_lsi_0x0000.bin", 0xF4, 0x00, 0x0000}, {"lid_0xf5_lsp_0x00_lsi_0x0000.bin", 0xF5, 0x00, 0x0000},
        {"lid_0xfa_lsp_0x00_lsi_0x0000.bin", 0xFA, 0x00, 0x0000}, {"lid_0xfa_lsp_0x01_lsi_0x0000.bin", 0xFA, 0x01, 0x0000},
        {"lid_0xfa_lsp_0x02_lsi_0x0000.bin", 0xFA, 0x02, 0x0000}, {"lid_0xfa_lsp_0x03_lsi_0x0000.bin", 0xFA, 0x03, 0x0000},
        {"lid_0xfa_lsp_0x04_lsi_0x0000.bin", 0xFA, 0x04, 0x0000}, {"lid_0xfa_lsp_0x05_lsi_0x0000.bin", 0xFA, 0x05, 0x0000},
        {"lid_0xfe_lsp_0x00_lsi_0x0000.bin", 0xFE, 0x00, 0x0000},
    };
    for (const PageRow& row : pages) {
        const PackageFileNames::LogPage page{static_cast<uint8_t>(row.logId), static_cast<uint8_t>(row.logSpecificField),
                                             static_cast<uint16_t>(row.logSpecificId)};
        EXPECT_EQ(PackageFileNames::logPage(page), row.name);
        PackageFileNames::LogPage parsed;
        ASSERT_TRUE(PackageFileNames::parseLogPage(row.name, parsed)) << row.name;
        EXPECT_EQ(numbers(parsed), numbers(page)) << row.name;
    }
    struct IdentifyRow {
        const char* name;
        unsigned cns, nsid;
    };
    const IdentifyRow structures[] = {
        {"cntid_0_cns_0_nsid_1_nvmsetid_0_csi_0.bin", 0, 1}, {"cntid_0_cns_0_nsid_2_nvmsetid_0_csi_0.bin", 0, 2},
        {"cntid_0_cns_1_nsid_0_nvmsetid_0_csi_0.bin", 1, 0}, {"cntid_0_cns_2_nsid_0_nvmsetid_0_csi_0.bin", 2, 0},
        {"cntid_0_cns_3_nsid_1_nvmsetid_0_csi_0.bin", 3, 1}, {"cntid_0_cns_3_nsid_2_nvmsetid_0_csi_0.bin", 3, 2},
        {"cntid_0_cns_4_nsid_0_nvmsetid_0_csi_0.bin", 4, 0}, {"cntid_0_cns_5_nsid_1_nvmsetid_0_csi_0.bin", 5, 1},
        {"cntid_0_cns_5_nsid_2_nvmsetid_0_csi_0.bin", 5, 2}, {"cntid_0_cns_6_nsid_0_nvmsetid_0_csi_0.bin", 6, 0},
        {"cntid_0_cns_7_nsid_0_nvmsetid_0_csi_0.bin", 7, 0}, {"cntid_0_cns_8_nsid_1_nvmsetid_0_csi_0.bin", 8, 1},
        {"cntid_0_cns_8_nsid_2_nvmsetid_0_csi_0.bin", 8, 2}, {"cntid_0_cns_16_nsid_0_nvmsetid_0_csi_0.bin", 16, 0},
        {"cntid_0_cns_17_nsid_1_nvmsetid_0_csi_0.bin", 17, 1}, {"cntid_0_cns_17_nsid_2_nvmsetid_0_csi_0.bin", 17, 2},
        {"cntid_0_cns_17_nsid_3_nvmsetid_0_csi_0.bin", 17, 3}, {"cntid_0_cns_18_nsid_1_nvmsetid_0_csi_0.bin", 18, 1},
        {"cntid_0_cns_18_nsid_2_nvmsetid_0_csi_0.bin", 18, 2}, {"cntid_0_cns_19_nsid_0_nvmsetid_0_csi_0.bin", 19, 0},
        {"cntid_0_cns_20_nsid_0_nvmsetid_0_csi_0.bin", 20, 0}, {"cntid_0_cns_21_nsid_0_nvmsetid_0_csi_0.bin", 21, 0},
        {"cntid_0_cns_22_nsid_0_nvmsetid_0_csi_0.bin", 22, 0}, {"cntid_0_cns_23_nsid_0_nvmsetid_0_csi_0.bin", 23, 0},
        {"cntid_0_cns_24_nsid_0_nvmsetid_0_csi_0.bin", 24, 0}, {"cntid_0_cns_25_nsid_0_nvmsetid_0_csi_0.bin", 25, 0},
        {"cntid_0_cns_26_nsid_0_nvmsetid_0_csi_0.bin", 26, 0}, {"cntid_0_cns_27_nsid_1_nvmsetid_0_csi_0.bin", 27, 1},
        {"cntid_0_cns_27_nsid_2_nvmsetid_0_csi_0.bin", 27, 2}, {"cntid_0_cns_27_nsid_3_nvmsetid_0_csi_0.bin", 27, 3},
        {"cntid_0_cns_28_nsid_0_nvmsetid_0_csi_0.bin", 28, 0},
    };
    for (const IdentifyRow& row : structures) {
        const PackageFileNames::Identify structure{0, static_cast<uint8_t>(row.cns), row.nsid, 0, 0};
        EXPECT_EQ(PackageFileNames::identify(structure), row.name);
        PackageFileNames::Identify parsed;
        std::string error;
        ASSERT_EQ(PackageFileNames::parseIdentify(row.name, parsed, error), PackageFileNames::Match::matches)
            << row.name;
        EXPECT_EQ(numbers(parsed), numbers(structure)) << row.name;
    }
    // Every field of both forms is read where it stands, also those a package keeps at 0, and
    // hexadecimal digits of either case.
    PackageFileNames::LogPage page;
    ASSERT_TRUE(PackageFileNames::parseLogPage("lid_0xE0_lsp_0x13_lsi_0x0a01.bin", page));
    EXPECT_EQ(numbers(page), std::make_tuple(0xE0u, 0x13u, 0x0A01u));
    PackageFileNames::Identify widest;
    std::string error;
    const std::string widestName = "cntid_65535_cns_255_nsid_4294967295_nvmsetid_65535_csi_255.bin";
    ASSERT_EQ(PackageFileNames::parseIdentify(widestName, widest, error), PackageFileNames::Match::matches);
    EXPECT_EQ(numbers(widest), std::make_tuple(65535u, 255u, 4294967295u, 65535u, 255u));
    EXPECT_EQ(PackageFileNames::identify(widest), widestName);
    // A name of another form leaves the numbers as they were (decode's tests take the rest).
    for (const char* name : {"lid_0xca_lsp_0x0_lsi_0x0000.bin", "lid_0x0g_lsp_0x00_lsi_0x0000.bin",
                             "lid_0x02_lsp_0x00_lsi_0x0000.bin.txt", "lid_0x"}) {
        EXPECT_FALSE(PackageFileNames::parseLogPage(name, page)) << name;
        EXPECT_EQ(numbers(page), std::make_tuple(0xE0u, 0x13u, 0x0A01u)) << name;
    }
}

// A package keeps one file per telemetry log and one for the persistent event log, whatever
// log-specific field read them; every other page keeps the read's.
TEST(PackageFileNames, TelemetryAndThePersistentEventLogKeepOneNameWhateverFieldReadThem) {
    struct Case {
        uint8_t logId, readField, kept;
    };
    const Case cases[] = {
        {0x07, 0x01, 0x01}, {0x07, 0x09, 0x01}, {0x07, 0x00, 0x01}, {0x08, 0x01, 0x00},
        {0x0D, 0x01, 0x00}, {0x14, 0x24, 0x24}, {0xFA, 0x05, 0x05}, {0x02, 0x00, 0x00},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PackageFileNames::keptLogSpecificField(c.logId, c.readField), c.kept)
            << unsigned{c.logId} << "/" << unsigned{c.readField};
    }
    EXPECT_EQ(PackageFileNames::telemetryLog(true), "lid_0x07_lsp_0x01_lsi_0x0000.bin");
    EXPECT_EQ(PackageFileNames::telemetryLog(false), "lid_0x08_lsp_0x00_lsi_0x0000.bin");
}
