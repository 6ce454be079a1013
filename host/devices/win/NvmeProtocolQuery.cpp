#include "host/devices/win/NvmeProtocolQuery.h"

#include "host/devices/win/ByteImage.h"

namespace host::win_drives {

namespace core = drivekit::core;
namespace nvme = drivekit::commands::nvme;

namespace {

constexpr uint32_t identifyLength = 4096;
constexpr uint8_t cnsNamespace = 0x00;
// The storage driver's log page sub-value: RAE in bit 0, the LSP in bits 4:1, the UUID index
// in bits 14:8.
constexpr uint32_t largestLsp = 0xF;
constexpr uint32_t uuidIndexShift = 8;

core::Status failure(const std::string& message) {
    core::Status status = core::Status::unexpectedDataLength();
    status.setMessage(message);
    return status;
}

std::optional<NvmeProtocolQuery> identifyQuery(const nvme::SubmissionEntry& entry) {
    // CNTID (dword 10 bits 31:16) and the command set (dword 11) have no place in the query.
    if ((entry.cdw10 >> 16) != 0 || entry.cdw11 != 0) {
        return std::nullopt;
    }
    NvmeProtocolQuery query;
    const auto cns = static_cast<uint8_t>(entry.cdw10 & 0xFF);
    // A namespace's own structure is asked of the disk; everything else of the controller.
    query.property = cns == cnsNamespace ? StorageProperty::deviceProtocolSpecific
                                         : StorageProperty::adapterProtocolSpecific;
    query.dataType = NvmeDataType::identify;
    query.requestValue = cns;
    query.requestSubValue = entry.nsid;
    query.dataLength = identifyLength;
    return query;
}

std::optional<NvmeProtocolQuery> logPageQuery(const nvme::SubmissionEntry& entry, uint32_t length) {
    const uint32_t lsp = (entry.cdw10 >> 8) & 0x7F;
    const uint32_t retain = (entry.cdw10 >> 15) & 1;
    const uint32_t uuidIndex = entry.cdw14 & 0x7F;
    if (lsp > largestLsp) {
        return std::nullopt;
    }
    NvmeProtocolQuery query;
    query.dataType = NvmeDataType::logPage;
    query.requestValue = entry.cdw10 & 0xFF;
    query.requestSubValue = entry.cdw12;
    query.requestSubValue2 = entry.cdw13;
    query.requestSubValue3 = entry.cdw11 >> 16;
    query.requestSubValue4 = retain | (lsp << 1) | (uuidIndex << uuidIndexShift);
    query.dataLength = length;
    return query;
}

std::optional<NvmeProtocolQuery> featureQuery(const nvme::SubmissionEntry& entry, uint32_t length) {
    NvmeProtocolQuery query;
    query.dataType = NvmeDataType::feature;
    query.requestValue = entry.cdw10;
    query.requestSubValue = entry.cdw11;
    query.requestSubValue2 = entry.cdw12;
    query.dataLength = length;
    return query;
}

}  // namespace

std::optional<NvmeProtocolQuery> nvmeProtocolQuery(const nvme::SubmissionEntry& entry, uint32_t length) {
    switch (entry.opcode()) {
        case nvme::opcodes::identify: return identifyQuery(entry);
        case nvme::opcodes::getLogPage: return logPageQuery(entry, length);
        case nvme::opcodes::getFeatures: return featureQuery(entry, length);
        default: return std::nullopt;
    }
}

std::vector<uint8_t> encodeProtocolQuery(const NvmeProtocolQuery& query) {
    const StoragePropertyQueryHeader head{static_cast<uint32_t>(query.property), standardQuery};
    StorageProtocolSpecificData data{};
    data.protocolType = static_cast<uint32_t>(ProtocolType::nvme);
    data.dataType = static_cast<uint32_t>(query.dataType);
    data.requestValue = query.requestValue;
    data.requestSubValue = query.requestSubValue;
    // The data follows the protocol-specific structure at once.
    data.dataOffset = sizeof(StorageProtocolSpecificData);
    data.dataLength = query.dataLength;
    data.requestSubValue2 = query.requestSubValue2;
    data.requestSubValue3 = query.requestSubValue3;
    data.requestSubValue4 = query.requestSubValue4;
    std::vector<uint8_t> image(sizeof(head) + sizeof(data) + std::size_t{query.dataLength});
    writeAt(image, 0, head);
    writeAt(image, sizeof(head), data);
    return image;
}

core::Status decodeProtocolAnswer(const std::vector<uint8_t>& output, const NvmeProtocolQuery& query,
                                  ProtocolAnswer& answer) {
    StorageProtocolDataDescriptor descriptor{};
    if (!readAt(output, 0, descriptor)) {
        return failure("The storage driver's answer holds " + std::to_string(output.size()) +
                       " bytes, fewer than its descriptor.");
    }
    const StorageProtocolSpecificData& data = descriptor.data;
    // The offset counts from the protocol-specific structure, which starts after the
    // descriptor's version and size.
    const uint64_t start = uint64_t{offsetof(StorageProtocolDataDescriptor, data)} + data.dataOffset;
    if (data.dataOffset < sizeof(StorageProtocolSpecificData) || !withinBuffer(start, data.dataLength, output.size()) ||
        data.dataLength > query.dataLength) {
        return failure("The storage driver's answer places " + std::to_string(data.dataLength) +
                       " bytes of data at offset " + std::to_string(data.dataOffset) + ", outside the " +
                       std::to_string(output.size()) + " bytes it returned for " +
                       std::to_string(query.dataLength) + " asked.");
    }
    answer.data = core::Payload(output.data() + start, data.dataLength);
    answer.fixedReturnData = data.fixedReturnData;
    return core::Status::success();
}

}  // namespace host::win_drives
