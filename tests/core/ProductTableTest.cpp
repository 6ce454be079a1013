#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "drivekit/core/ProductTable.h"

namespace products = drivekit::core::products;

namespace {

// One row per "Product" a drive can report, with every answer the product table gives it.
// The rules compare differently on purpose: whole name in any case, part of the name in any
// case, or the exact name.
struct ProductCase {
    std::string product;
    const char* family;  // findFamily's row, or null
    bool vendorPages;
    bool smiController;
    bool familyTemperatureLid;
    bool productType;
    bool gen3Sata;
    products::AtaSmartNaming naming;
    bool skipsTimedWorkload;
};

}  // namespace

TEST(ProductTable, EachQuestionKeepsItsOwnComparison) {
    using N = products::AtaSmartNaming;
    const std::vector<ProductCase> cases = {
        {"Varnholt", "Varnholt", true, true, true, true, false, N::makerSsd, false},
        {"VARNHOLT", "Varnholt", true, true, true, false, false, N::makerSsd, false},
        {"Varnholt Pro", nullptr, false, false, true, false, false, N::standard, false},
        {"the varnholt line", nullptr, false, false, true, false, false, N::standard, false},
        {"Varnhol", nullptr, false, false, false, false, false, N::standard, false},
        {"kestrova", "Kestrova", false, false, false, false, false, N::makerSsd, false},
        {"Aldermoor", "Aldermoor", false, false, false, false, true, N::makerSsd, false},
        {"aldermoor", "Aldermoor", false, false, false, false, true, N::makerSsd, false},
        {"Hesketh", nullptr, false, false, false, false, false, N::makerSsd, true},
        {"CORRIDEN", nullptr, false, false, false, false, false, N::makerLegacySsd, true},
        {"", nullptr, false, false, false, false, false, N::standard, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("Product \"" + c.product + "\"");
        const products::ProductRow* row = products::findFamily(c.product);
        EXPECT_EQ(c.family != nullptr, row != nullptr);
        if (row != nullptr && c.family != nullptr) {
            EXPECT_EQ(c.family, row->family);
        }
        EXPECT_EQ(c.vendorPages, products::hasVendorPages(c.product));
        EXPECT_EQ(c.smiController, products::hasSmiController(c.product));
        EXPECT_EQ(c.familyTemperatureLid, products::hasFamilyTemperatureLogId(c.product));
        EXPECT_EQ(c.productType, products::recordsProductType(c.product));
        EXPECT_EQ(c.gen3Sata, products::isGen3SataFamily(c.product));
        EXPECT_EQ(c.naming, products::ataSmartNaming(c.product));
        EXPECT_EQ(c.skipsTimedWorkload, products::skipsTimedWorkloadAttributes(c.product));
    }
}

TEST(ProductTable, ModelNumbersMatchWholeWithDrivePaddingIgnored) {
    const auto& first = products::productTable().front();
    ASSERT_NE(products::findModel(first.model + "    "), nullptr);
    EXPECT_EQ(products::findModel(first.model + "    ")->family, first.family);
    EXPECT_EQ(products::findModel(first.model.substr(0, 4)), nullptr);
    EXPECT_EQ(products::findModel("not a model"), nullptr);
}
