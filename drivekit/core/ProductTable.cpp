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

// --- Recognising a drive of the maker on a host.
namespace drivekit::core::products {

namespace {
constexpr uint16_t makerPciVendorId = 0x1E4B;
}  // namespace

const std::vector<MakerModelPrefix>& makerModelPrefixes() {
    static const std::vector<MakerModelPrefix> rows = {
        {makerPciVendorId, "Varnholt", families::varnholt, Bus::nvme},
        {makerPciVendorId, "VH-", families::varnholt, Bus::nvme},
        {makerPciVendorId, "Kestrova", families::kestrova, Bus::nvme},
        {makerPciVendorId, "KS-", families::kestrova, Bus::nvme},
        {0, "Kestrova KS3", families::aldermoor, Bus::sata},
        {0, "AM-S", families::aldermoor, Bus::sata},
    };
    return rows;
}

const MakerModelPrefix* recogniseDrive(Bus bus, uint16_t pciVendorId, const std::string& modelNumber) {
    const std::string model = strings::trim(modelNumber);
    for (const auto& row : makerModelPrefixes()) {
        if (row.bus == bus && (bus == Bus::sata || row.pciVendorId == pciVendorId) &&
            model.compare(0, row.modelPrefix.size(), row.modelPrefix) == 0) {
            return &row;
        }
    }
    return nullptr;
}

const std::string& defaultFamilyFor(Bus bus) { return bus == Bus::nvme ? families::kestrova : families::aldermoor; }

}  // namespace drivekit::core::products

// ---- The questions features ask of a drive's "Product".
namespace drivekit::core::products {

bool hasVendorPages(const std::string& product) { return isFamily(product, families::varnholt); }

bool hasSmiController(const std::string& product) { return hasVendorPages(product); }

bool hasFamilyTemperatureLogId(const std::string& product) {
    return boost::algorithm::icontains(product, families::varnholt);
}

bool recordsProductType(const std::string& product) { return product == families::varnholt; }

bool isGen3SataFamily(const std::string& product) { return isFamily(product, families::aldermoor); }

}  // namespace drivekit::core::products
