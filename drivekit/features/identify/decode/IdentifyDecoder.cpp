#include "drivekit/features/identify/decode/IdentifyDecoder.h"

#include <array>
#include <functional>
#include <string>

#include "drivekit/core/logging/Log.h"
#include "drivekit/core/xml/XmlProperty.h"
#include "drivekit/features/decode/FieldRenderer.h"
#include "drivekit/features/identify/decode/IdentifyListDecoder.h"
#include "drivekit/features/identify/decode/IdentifyRecords.h"
#include "drivekit/features/identify/decode/IdentifyTables.h"

namespace drivekit::features::identify::decode {

using core::xml::XmlObject;
using features::decode::FieldRenderer;

namespace {

using ListDecoder = std::unique_ptr<XmlObject> (*)(const std::string&, const core::Payload&);

// One row per CNS: a fixed structure (table) or a list whose length comes from the data.
struct CnsDecoder {
    uint8_t cns;
    const char* title;
    const FieldTable& (*table)();
    ListDecoder list;
    IdentifyCoverage coverage = IdentifyCoverage::feature;
};

constexpr IdentifyCoverage package = IdentifyCoverage::package;

const std::array<CnsDecoder, 22>& cnsDecoders() {
    static const std::array<CnsDecoder, 22> rows{{
        {0x00, "Identify Namespace", identifyNamespaceTable, nullptr},
        {0x01, "Identify Controller", identifyControllerTable, nullptr},
        {0x02, "Attached Namespace IDs", nullptr, IdentifyListDecoder::namespaceList},
        {0x03, "Namespace Identification Descriptors", nullptr, IdentifyListDecoder::descriptorList},
        {0x10, "Allocated Namespace IDs", nullptr, IdentifyListDecoder::namespaceList},
        {0x11, "Identify Namespace", identifyNamespaceTable, nullptr},
        {0x12, "Attached Controllers", nullptr, IdentifyListDecoder::controllerList},
        {0x13, "All Controllers", nullptr, IdentifyListDecoder::controllerList},
        {0x14, "Primary Controller Capabilities", primaryControllerCapabilitiesTable, nullptr},
        {0x15, "Secondary Controller List", nullptr, IdentifyListDecoder::secondaryControllerList},
        {0x16, "Namespace Granularity Attributes", namespaceGranularityTable, nullptr},
        {0x17, "Universally Unique Identifier (UUID) List", nullptr, IdentifyListDecoder::uuidList},
        {0x1A, "I/O Command Set specific Allocated Namespace ID list", nullptr,
         IdentifyListDecoder::namespaceList},
        {0x1C, "Identify I/O Command Set Data Structure", nullptr,
         IdentifyListDecoder::commandSetVectors},
        {0x05, "NVM Command Set Identify Namespace", nvmNamespaceTable, nullptr, package},
        {0x06, "NVM Command Set Identify Controller", nvmControllerTable, nullptr, package},
        {0x07, "Active Namespace IDs (I/O Command Set)", nullptr, IdentifyListDecoder::namespaceList,
         package},
        {0x08, "I/O Command Set Independent Identify Namespace", independentNamespaceTable, nullptr,
         package},
        {0x1B, "NVM Command Set Identify Namespace", nvmNamespaceTable, nullptr, package},
        {0x04, "NVM Set List", nullptr, IdentifyListDecoder::nvmSetList, package},
        {0x18, "Domain List", nullptr, IdentifyListDecoder::domainList, package},
        {0x19, "Endurance Group List", nullptr, IdentifyListDecoder::enduranceGroupList, package},
    }};
    return rows;
}

const CnsDecoder* findDecoder(uint8_t cns, IdentifyCoverage coverage) {
    for (const auto& row : cnsDecoders()) {
        if (row.cns == cns && (row.coverage == IdentifyCoverage::feature || coverage == package)) {
            return &row;
        }
    }
    return nullptr;
}

core::Status tooShort(const std::string& title, uint32_t size, uint32_t needed) {
    core::Status status = core::Status::unexpectedDataLength();
    status.setMessage("The " + title + " data holds " + std::to_string(size) +
                      " bytes; the structure needs " + std::to_string(needed) + ".");
    LOG_DEBUG(status.message());
    return status;
}

}  // namespace

bool hasNvmeIdentifyDecoder(uint8_t cns, IdentifyCoverage coverage) {
    return findDecoder(cns, coverage) != nullptr;
}

bool decodeNvmeIdentifyInto(uint8_t cns, const core::Payload& data, XmlObject& target,
                            core::Status& status, IdentifyCoverage coverage) {
    LOG_ENTERING();
    const CnsDecoder* row = findDecoder(cns, coverage);
    if (row == nullptr) {
        LOG_DEBUG("No decoder for CNS " << static_cast<unsigned>(cns));
        status = core::Status::notImplemented();
        return false;
    }
    if (data.size() < nvmeIdentifySize || data.empty()) {
        status = tooShort(row->title, data.size(), nvmeIdentifySize);
        return false;
    }
    // Data beyond the structure is never read: a list's entries and its unused tail end
    // at the structure's last byte however long the buffer is.
    const core::Payload structure =
        data.size() > nvmeIdentifySize ? core::Payload(data.data(), nvmeIdentifySize) : data;
    target.setAttribute(core::xml::keys::name, row->title);
    target.setAttribute(core::xml::keys::key, row->title);
    if (row->table != nullptr) {
        FieldRenderer::render(row->table(), structure, 0, target);
    } else {
        auto built = row->list(row->title, structure);
        target.appendCopyOf(*built);
    }
    status = core::Status::success();
    LOG_EXITING();
    return true;
}

std::unique_ptr<XmlObject> decodeNvmeIdentify(uint8_t cns, const core::Payload& data,
                                              core::Status& status, IdentifyCoverage coverage) {
    auto object = std::make_unique<XmlObject>();
    if (!decodeNvmeIdentifyInto(cns, data, *object, status, coverage) &&
        status != core::Status::notImplemented()) {
        return nullptr;
    }
    return object;
}

std::unique_ptr<XmlObject> decodeAtaIdentifyDevice(const core::Payload& data, core::Status& status) {
    LOG_ENTERING();
    const FieldTable& table = ataIdentifyDeviceTable();
    if (data.size() < table.size || data.empty()) {
        status = tooShort(table.title, data.size(), table.size);
        return nullptr;
    }
    status = core::Status::success();
    return FieldRenderer::renderObject(table, data, 0, table.title, {});
}

}  // namespace drivekit::features::identify::decode
