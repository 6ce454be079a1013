#pragma once
// The maker's product table: the product families and models that features recognise by the
// "Product", "ModelNumber" and "OEM" device attributes.
#include <cstdint>
#include <string>
#include <vector>

namespace drivekit::core::products {

inline const std::string makerName = "Kestrova";
// The text that the maker's own drives carry in "OEM".
inline const std::string makerOem = "Kestrova";

namespace families {
// NVMe drives with the maker's vendor log pages.
inline const std::string varnholt = "Varnholt";
inline const std::string kestrova = "Kestrova";
// Third-generation SATA drives.
inline const std::string aldermoor = "Aldermoor";
}  // namespace families

enum class Bus { nvme, sata };

struct ProductRow {
    std::string family;
    std::string model;
    Bus bus;
};

// Every row of the table, families in the order above.
const std::vector<ProductRow>& productTable();

// Family names compare ignoring letter case, as drives report them in either.
bool isFamily(const std::string& product, const std::string& family);
// The first row of the family, or null when the product is none of the maker's.
const ProductRow* findFamily(const std::string& product);
// The row of an exact model number (surrounding blanks ignored), or null.
const ProductRow* findModel(const std::string& modelNumber);

}  // namespace drivekit::core::products

// ---- The SMART feature's product-family rules ----
namespace drivekit::core::products {

namespace families {
// The maker's earlier SATA drives: neither reports timed-workload counters; the second
// generation names its attributes the older way.
inline const std::string hesketh = "Hesketh";
inline const std::string corriden = "Corriden";
}  // namespace families

// The partner whose drives of the maker's NVMe families carry the vendor SMART page without
// being flagged as the maker's own.
inline const std::string smartPartnerOem = "Selvane";

// Which of the alternative names an ATA SMART attribute id takes on a drive.
enum class AtaSmartNaming { standard, makerSsd, makerLegacySsd };

// By the drive's "Product": the maker's current families name ids the SSD way, the
// second-generation SATA family the older way, any other drive the standard way.
AtaSmartNaming ataSmartNaming(const std::string& product);
// True for the families whose SMART data reports no timed-workload attributes (E2, E3, E4).
bool skipsTimedWorkloadAttributes(const std::string& product);
// True when a drive that is not flagged as the maker's NVMe drive still carries the vendor
// SMART page: the partner OEM's drives of the maker's NVMe families.
bool hasPartnerVendorSmartPage(const std::string& oem, const std::string& product);

}  // namespace drivekit::core::products

// --- Recognising a drive of the maker on a host: an NVMe controller by its PCI vendor id
// and the start of its model number, a SATA disk (which has no PCI vendor id) by the start of
// its model number alone.
namespace drivekit::core::products {

struct MakerModelPrefix {
    uint16_t pciVendorId;  // 0 for SATA rows
    std::string modelPrefix;
    std::string family;
    Bus bus;
};

const std::vector<MakerModelPrefix>& makerModelPrefixes();
// The row whose bus and vendor id match and whose prefix starts the model number (leading
// blanks ignored); null for a drive of another maker.
const MakerModelPrefix* recogniseDrive(Bus bus, uint16_t pciVendorId, const std::string& modelNumber);
// The family a drive is treated as when the user names none: the maker's general NVMe
// family, or its SATA family.
const std::string& defaultFamilyFor(Bus bus);

// The questions features ask of a drive's "Product". Each keeps its own comparison: the
// rules were written at different times and drives in the field depend on each one as it is.

// The family with the maker's vendor log pages (the debug-logs vendor branch, the pages'
// decoders): the whole name, in any letter case.
bool hasVendorPages(const std::string& product);
// Its controllers are the ones whose vendor pages sit behind the "SMI" gate.
bool hasSmiController(const std::string& product);
// The temperature statistics page moves to the family's own LID on any product whose name
// contains the family's name in any letter case, so "Varnholt Pro" too.
bool hasFamilyTemperatureLogId(const std::string& product);
// Only a product that is the family's name exactly, letter case included, records its
// product type in Identify Controller.
bool recordsProductType(const std::string& product);
// The maker's third-generation SATA family (the "KestrovaGen3SATA" attribute).
bool isGen3SataFamily(const std::string& product);

}  // namespace drivekit::core::products
