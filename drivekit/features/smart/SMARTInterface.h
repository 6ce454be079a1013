#pragma once
// What every SMART worker offers: the checks, the read, the decoded attribute records and the
// raw sectors or pages behind them.
#include <initializer_list>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "drivekit/core/HostInterface.h"
#include "drivekit/core/Payload.h"
#include "drivekit/core/xml/XmlObject.h"
#include "drivekit/features/Feature.h"

namespace drivekit::features::smart {

using SmartRecords = std::vector<std::unique_ptr<core::xml::XmlObject>>;
using SmartRawData = std::map<std::string, core::Payload>;

inline const std::string smartAttributesKey = "SMART_Attributes";
inline const std::string smartThresholdsKey = "SMART_Thresholds";
inline const std::string smartHealthKey = "SMART_Health";

class SMARTInterface : public Feature {
public:
    SMARTInterface(std::shared_ptr<core::Device> device, const core::AttributeCollection& attributes)
        : Feature(attributes), device_(std::move(device)) {}
    ~SMARTInterface() override = default;

    virtual std::string name() const { return "SMART"; }
    // Sends the commands and keeps what they return.
    virtual core::Status readSmart(core::Status& status) = 0;
    // The records of what was read; empty before a read.
    virtual void getSmartAttributes(SmartRecords& records) = 0;
    // The records whose names are among ids (in record order).
    virtual void getFilteredSmartAttributes(SmartRecords& records, const std::vector<std::string>& ids);
    // The first record named id; null when there is none.
    virtual std::unique_ptr<core::xml::XmlObject> getSmartAttribute(const std::string& id);
    virtual core::Status canRun(core::Status& status) = 0;
    virtual core::Status resetTimedWorkloadAttributes(core::Status& status) = 0;
    // The data read so far by key; a key only for data that was read.
    virtual SmartRawData rawData() const = 0;

    const std::shared_ptr<core::Device>& device() const { return device_; }

protected:
    // The entries whose payloads hold data.
    static SmartRawData heldData(std::initializer_list<SmartRawData::value_type> entries);

    std::shared_ptr<core::Device> device_;
};

}  // namespace drivekit::features::smart
