#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "drivekit/core/ProductTable.h"

namespace products = drivekit::core::products;

// The questions compare differently on purpose: whole name in any case, part of the name in any
// case, or the exact name. How SMART ids are named by family is the SMART decoder's test.
TEST(ProductTable, EachQuestionKeepsItsOwnComparison) {
    using Question = bool (*)(const std::string&);
    const Question knownFamily = [](const std::string& product) { return products::findFamily(product) != nullptr; };
    struct Row {
        const char* question;
        Question ask;
        std::vector<std::string> yes, no;
    };
    const std::vector<Row> rows = {
        {"family", knownFamily, {"Varnholt", "VARNHOLT", "kestrova", "aldermoor"}, {"Varnholt Pro", "Varnhol", ""}},
        {"vendor pages", products::hasVendorPages, {"Varnholt", "VARNHOLT"}, {"Varnholt Pro", "Kestrova", ""}},
        {"SMI controller", products::hasSmiController, {"Varnholt", "VARNHOLT"}, {"Varnholt Pro", "Aldermoor"}},
        {"family temperature LID", products::hasFamilyTemperatureLogId, {"Varnholt Pro", "the varnholt line"},
         {"Varnhol", "Kestrova", ""}},
        {"product type", products::recordsProductType, {"Varnholt"}, {"VARNHOLT", "Varnholt Pro"}},
        {"gen3 SATA", products::isGen3SataFamily, {"Aldermoor", "aldermoor"}, {"Kestrova", "Aldermoor Pro"}},
    };
    for (const Row& row : rows) {
        for (const bool expected : {true, false}) {
            for (const std::string& product : expected ? row.yes : row.no) {
                EXPECT_EQ(row.ask(product), expected) << row.question << " of \"" << product << "\"";
            }
        }
    }
    EXPECT_EQ(products::ataSmartNaming("CORRIDEN"), products::AtaSmartNaming::makerLegacySsd);
}
