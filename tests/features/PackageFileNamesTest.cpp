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

// The names of a package's own files are made and read back by the package and decode tests;
// here, the widest numbers and names of another form.
TEST(PackageFileNames, TheWidestNumbersReadBackAndANameOfAnotherFormLeavesTheNumbersAsTheyWere) {
    PackageFileNames::Identify widest;
    std::string error;
    const std::string widestName = "cntid_65535_cns_255_nsid_4294967295_nvmsetid_65535_csi_255.bin";
    ASSERT_EQ(PackageFileNames::parseIdentify(widestName, widest, error), PackageFileNames::Match::matches);
    EXPECT_EQ(numbers(widest), std::make_tuple(65535u, 255u, 4294967295u, 65535u, 255u));
    EXPECT_EQ(PackageFileNames::identify(widest), widestName);

    PackageFileNames::LogPage page{0xFE, 0x13, 0xFFFF};
    EXPECT_EQ(PackageFileNames::logPage(page), "lid_0xfe_lsp_0x13_lsi_0xffff.bin");
    for (const char* name : {"lid_0xca_lsp_0x0_lsi_0x0000.bin", "lid_0x0g_lsp_0x00_lsi_0x0000.bin",
                             "lid_0x02_lsp_0x00_lsi_0x0000.bin.txt", "lid_0x"}) {
        EXPECT_FALSE(PackageFileNames::parseLogPage(name, page)) << name;
        EXPECT_EQ(numbers(page), std::make_tuple(0xFEu, 0x13u, 0xFFFFu)) << name;
    }
}
