#include "host/devices/sim/SimPackageDrive.h"

#include <map>
#include <optional>

#include <boost/filesystem.hpp>
#include <nlohmann/json.hpp>

#include "drivekit/core/Command.h"
#include "drivekit/core/DeviceAttributes.h"
#include "drivekit/core/TextParsing.h"
#include "drivekit/features/PackageFileNames.h"
#include "host/devices/IdentifyFacts.h"
#include "host/devices/MakerAttributes.h"
#include "host/devices/OcpProbe.h"
#include "host/devices/sim/SimPackage.h"

namespace host::sim {

namespace core = drivekit::core;
namespace attributes = drivekit::core::attributes;
namespace products = drivekit::core::products;
using drivekit::features::PackageFileNames;

namespace {

constexpr uint8_t cnsNamespace = 0x00;
constexpr uint8_t cnsController = 0x01;
constexpr uint8_t cnsActiveNamespaces = 0x02;
// The Identify Namespace's Endurance Group Identifier.
constexpr uint32_t endgidOffset = 102;
constexpr uint8_t enduranceGroupInformationId = 0x09;
// The drive's product type, as the tool read it from Identify Controller.
constexpr const char* productFile = "product.json";
constexpr const char* manifestFile = "manifest.json";

std::string identifyFile(uint8_t cns, uint32_t nsid) { return PackageFileNames::identify({0, cns, nsid, 0, 0}); }

// The first family of the product table that the test picks; empty for none.
std::string familyWhere(bool (*test)(const std::string& family)) {
    for (const auto& row : products::productTable()) {
        if (test(row.family)) {
            return row.family;
        }
    }
    return {};
}

// One of the package's JSON files; a discarded value when it is absent or not JSON.
nlohmann::json jsonFile(SimPackage& package, const std::string& name) {
    const auto text = package.file(name);
    return text ? nlohmann::json::parse(text->data(), text->data() + text->size(), nullptr, false)
                : nlohmann::json(nlohmann::json::value_t::discarded);
}

// The manifest's word for the drive's attribute; empty when it has none.
std::string manifestDrive(const nlohmann::json& manifest, const std::string& field) {
    const auto drive = manifest.is_object() ? manifest.find("drive") : manifest.end();
    if (drive == manifest.end() || !drive->is_object()) {
        return {};
    }
    const auto value = drive->find(field);
    return value != drive->end() && value->is_string() ? value->get<std::string>() : std::string();
}

// The largest vendor-channel answer taken from a manifest: the channel's answers are a few
// hundred bytes.
constexpr std::size_t largestVendorAnswer = 64 * 1024;

// One answer's hexadecimal digits as bytes; none when they are not whole bytes of digits or
// more than an answer holds.
std::optional<core::Payload> bytesOfHex(const std::string& digits) {
    if (digits.empty()) {
        return core::Payload();
    }
    const auto bytes = digits.size() / 2 <= largestVendorAnswer ? core::strings::parseHexBytes(digits) : std::nullopt;
    return bytes ? std::optional<core::Payload>(core::Payload(bytes->data(), bytes->size())) : std::nullopt;
}

// The vendor channel's answers that the run read and the manifest kept, by code. A record
// that is not whole is left out: the replayed drive then refuses that code.
std::map<uint32_t, core::Payload> vendorAnswersOf(SimPackage& package) {
    std::map<uint32_t, core::Payload> answers;
    const nlohmann::json json = jsonFile(package, manifestFile);
    const auto reads = json.is_object() ? json.find("vendorReads") : json.end();
    if (reads == json.end() || !reads->is_array()) {
        return answers;
    }
    for (const auto& read : *reads) {
        const auto code = read.is_object() ? read.find("code") : read.end();
        if (code == read.end() || !code->is_number_unsigned() || code->get<uint64_t>() > UINT32_MAX ||
            read.value("status", std::string()) != "success" || !read.value("data", nlohmann::json()).is_string()) {
            continue;
        }
        if (auto bytes = bytesOfHex(read.at("data").get<std::string>())) {
            answers[code->get<uint32_t>()] = *bytes;
        }
    }
    return answers;
}

// The product type product.json records; 0 when it records none or cannot be read.
uint64_t recordedProductType(SimPackage& package) {
    const nlohmann::json json = jsonFile(package, productFile);
    const auto type = json.is_object() ? json.find("product") : json.end();
    return type != json.end() && type->is_number_unsigned() ? type->get<uint64_t>() : 0;
}

// What the package says of the drive's family: SMART sectors are read only from
// third-generation SATA drives, and product.json carries a product type other than 0 only
// from a family that records one (every other NVMe drive writes 0). Empty when the model
// number decides.
std::string familyOf(SimPackage& package, bool nvme) {
    if (!nvme) {
        return familyWhere(products::isGen3SataFamily);
    }
    return recordedProductType(package) != 0 ? familyWhere(products::recordsProductType) : std::string();
}

// The first active namespace as the package's list of them names it; 1 without the list.
uint32_t firstNamespace(SimPackage& package) {
    const auto list = package.file(identifyFile(cnsActiveNamespaces, 0));
    const uint32_t first = list && list->size() >= 4 ? *list->safeCast<uint32_t>() : 0;
    return first == 0 ? 1 : first;
}

// The package's own name begins with the drive's serial number.
std::string serialFromName(const std::string& path) {
    const std::string name = boost::filesystem::path(path).filename().string();
    return name.substr(0, name.find('_'));
}

void profileNvme(const devices::NvmeControllerFacts& facts, SimPackage& package, SimProfile& profile) {
    profile.protocols = {core::protocols::nvme};
    profile.vendorId = facts.pciVendorId;
    facts.writeAttributes(profile.attributes, facts.mdts);
    profile.attributes.writeUint32(attributes::namespaceId(), firstNamespace(package));
    profile.vendorAnswers = vendorAnswersOf(package);
    profile.vendorChannel = !profile.vendorAnswers.empty();
}

// A SATA package holds no IDENTIFY DEVICE data: the drive's names come from its manifest,
// or for an older package the serial number from the package's name.
void profileSata(const std::string& path, SimPackage& package, SimProfile& profile) {
    profile.protocols = {core::protocols::ata, core::protocols::smart};
    const nlohmann::json manifest = jsonFile(package, manifestFile);
    const std::string serial = manifestDrive(manifest, "serial");
    profile.attributes.writeString(attributes::serialNumber(), serial.empty() ? serialFromName(path) : serial);
    profile.attributes.writeString(attributes::modelNumber(), manifestDrive(manifest, "model"));
    profile.attributes.writeString(attributes::firmware(), manifestDrive(manifest, "firmware"));
    profile.attributes.writeBool(attributes::smartEnabled(), true);
    for (const auto& flag : {attributes::telemetryLogSupported(), attributes::uuidSupported(),
                             attributes::ocpSupported(), attributes::namespaceManagementSupported()}) {
        profile.attributes.writeBool(flag, false);
    }
}

// The endurance group whose information page the package holds; 0 when it holds none.
uint16_t groupOfInformationPage(const SimPackage& package) {
    for (const std::string& name : package.names()) {
        PackageFileNames::LogPage page;
        if (PackageFileNames::parseLogPage(name, page) && page.logId == enduranceGroupInformationId) {
            return page.logSpecificId;
        }
    }
    return 0;
}

// What only the drive's answers tell: OCP support and the namespace's endurance group, or
// when the namespace names none, the group whose page the package holds.
void probeNvme(SimulatedDrive& drive, const SimPackage& package, const devices::NvmeControllerFacts& facts) {
    devices::probeOcp(drive, facts.uuidList);
    core::Payload space;
    const uint32_t nsid = drive.attributes.readUint32(attributes::namespaceId().key());
    uint16_t group = 0;
    if (devices::identifyStructure(drive, cnsNamespace, nsid, space).isSuccess()) {
        group = *space.safeCast<uint16_t>(endgidOffset);
    }
    drive.attributes.writeUint16(attributes::enduranceGroupIdentifier(),
                                 group != 0 ? group : groupOfInformationPage(package));
}

}  // namespace

std::shared_ptr<SimulatedDrive> SimPackageDrive::open(const std::string& path, std::string& error) {
    auto package = SimPackage::open(path, error);
    if (!package) {
        error = path + ": " + error;
        return nullptr;
    }
    SimProfile profile;
    profile.name = path;
    profile.file = path;
    profile.path = "sim:" + path;
    profile.replayPackage = package;
    devices::NvmeControllerFacts facts;
    const auto controller = package->file(identifyFile(cnsController, 0));
    const bool nvme = controller && devices::NvmeControllerFacts::read(*controller, facts);
    if (nvme) {
        profileNvme(facts, *package, profile);
    } else if (package->holds(PackageFileNames::smartData) || package->holds(PackageFileNames::smartThresholds)) {
        profileSata(path, *package, profile);
    } else {
        error = path + ": the package holds neither an Identify Controller structure nor SMART sectors to replay";
        return nullptr;
    }
    auto drive = std::make_shared<SimulatedDrive>(std::move(profile));
    if (nvme) {
        probeNvme(*drive, *package, facts);
    }
    devices::applyMakerAttributes(drive->attributes, nvme ? products::Bus::nvme : products::Bus::sata,
                                  facts.pciVendorId, familyOf(*package, nvme));
    return drive;
}

}  // namespace host::sim
