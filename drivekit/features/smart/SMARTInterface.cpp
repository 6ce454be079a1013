#include "drivekit/features/smart/SMARTInterface.h"

#include <algorithm>

#include "drivekit/core/xml/XmlElement.h"

namespace drivekit::features::smart {

void SMARTInterface::getFilteredSmartAttributes(SmartRecords& records, const std::vector<std::string>& ids) {
    SmartRecords all;
    getSmartAttributes(all);
    for (auto& record : all) {
        if (std::find(ids.begin(), ids.end(), record->attribute(core::xml::keys::name)) != ids.end()) {
            records.push_back(std::move(record));
        }
    }
}

std::unique_ptr<core::xml::XmlObject> SMARTInterface::getSmartAttribute(const std::string& id) {
    SmartRecords records;
    getFilteredSmartAttributes(records, {id});
    return records.empty() ? nullptr : std::move(records.front());
}

SmartRawData SMARTInterface::heldData(std::initializer_list<SmartRawData::value_type> entries) {
    SmartRawData map;
    for (const auto& entry : entries) {
        if (!entry.second.empty()) {
            map.insert(entry);
        }
    }
    return map;
}

}  // namespace drivekit::features::smart
