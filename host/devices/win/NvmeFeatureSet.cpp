#include "host/devices/win/NvmeFeatureSet.h"

#include <algorithm>
#include <cstring>

#include "host/devices/win/ByteImage.h"
#include "host/devices/win/StorageLayouts.h"

namespace host::win_drives {

namespace core = drivekit::core;

std::vector<uint8_t> encodeFeatureSet(const drivekit::commands::nvme::SubmissionEntry& entry, uint32_t length,
                                      const core::Payload* data) {
    const StoragePropertySetHeader head{static_cast<uint32_t>(StorageProperty::adapterProtocolSpecific), standardSet};
    StorageProtocolSpecificDataExt set{};
    set.protocolType = static_cast<uint32_t>(ProtocolType::nvme);
    set.dataType = static_cast<uint32_t>(NvmeDataType::feature);
    set.protocolDataValue = entry.cdw10;
    set.protocolDataSubValue = entry.cdw11;
    set.protocolDataSubValue2 = entry.cdw12;
    set.protocolDataSubValue3 = entry.cdw13;
    set.protocolDataSubValue4 = entry.cdw14;
    set.protocolDataSubValue5 = entry.cdw15;
    // The data, when there is some, follows the protocol-specific structure at once.
    set.protocolDataOffset = length == 0 ? 0 : sizeof(StorageProtocolSpecificDataExt);
    set.protocolDataLength = length;
    std::vector<uint8_t> image(sizeof(head) + sizeof(set) + std::size_t{length});
    writeAt(image, 0, head);
    writeAt(image, sizeof(head), set);
    if (length != 0 && data != nullptr && !data->empty()) {
        std::memcpy(image.data() + sizeof(head) + sizeof(set), data->data(),
                    std::min<std::size_t>(length, data->size()));
    }
    return image;
}

uint32_t featureSetReturnData(const std::vector<uint8_t>& output) {
    StorageProtocolDataDescriptorExt descriptor{};
    return readAt(output, 0, descriptor) ? descriptor.data.fixedProtocolReturnData : 0;
}

}  // namespace host::win_drives
