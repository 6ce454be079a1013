#include "drivekit/core/ProductTable.h"

#include <boost/algorithm/string/predicate.hpp>

#include "drivekit/core/TextParsing.h"

namespace drivekit::core::products {

const std::vector<ProductRow>& productTable() {
    static const std::vector<ProductRow> rows = {
        {families::varnholt, "VH-N2000-1T", Bus::nvme},
        {families::varnholt, "VH-N2000-2T", Bus::nvme},
        {families::kestrova, "KS-N1000-512G", Bus::nvme},
        {families::kestrova, "KS-N1000-1T", Bus::nvme},
        {families::aldermoor, "AM-S300-480G", Bus::sata},
        {families::aldermoor, "AM-S300-960G", Bus::sata},
    };
    return rows;
}

bool isFamily(const std::string& product, const std::string& family) {
    return boost::algorithm::iequals(product, family);
}

const ProductRow* findFamily(const std::string& product) {
    for (const auto& row : productTable()) {
        if (isFamily(product, row.family)) {
            return &row;
        }
    }
    return nullptr;
}

const ProductRow* findModel(const std::string& modelNumber) {
    // Drives pad their model numbers with blanks.
    const std::string model = strings::trim(modelNumber);
    for (const auto& row : productTable()) {
        if (row.model == model) {
            return &row;
        }
    }
    return nullptr;
}

}  // namespace drivekit::core::products

// ---- The SMART feature's product-family rules ----
namespace drivekit::core::products {

AtaSmartNaming ataSmartNaming(const std::string& product) {
    if (isFamily(product, families::corriden)) {
        return AtaSmartNaming::makerLegacySsd;
    }
    const bool maker = findFamily(product) != nullptr || isFamily(product, families::hesketh);
    return maker ? AtaSmartNaming::makerSsd : AtaSmartNaming::standard;
}

bool skipsTimedWorkloadAttributes(const std::string& product) {
    return isFamily(product, families::hesketh) || isFamily(product, families::corriden);
}

bool hasPartnerVendorSmartPage(const std::string& oem, const std::string& product) {
    return oem == smartPartnerOem && (isFamily(product, families::varnholt) || isFamily(product, families::kestrova));
}

}  // namespace drivekit::core::products
