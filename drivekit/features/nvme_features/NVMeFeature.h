#pragma once
// One NVMe feature of a drive, read and written through Get and Set Features. Made by name
// through the NVMe-feature registry.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "drivekit/core/AttributeCollection.h"
#include "drivekit/core/HostInterface.h"
#include "drivekit/core/Payload.h"
#include "drivekit/core/Status.h"
#include "drivekit/core/xml/XmlObject.h"
#include "drivekit/features/Feature.h"

namespace drivekit::features::nvme_features {

// One row of the table of features this library knows by identifier.
struct KnownFeature {
    uint8_t id;
    const char* name;
};

struct FeatureList {
    std::string title;
    std::vector<KnownFeature> features;
};

class NVMeFeature : public Feature {
public:
    // The data buffer of both commands unless "TransferBytes" says otherwise.
    static constexpr uint32_t dataBytes = 4096;

    explicit NVMeFeature(std::shared_ptr<core::Device> device, uint8_t featureId = 0);
    ~NVMeFeature() override = default;

    virtual const FeatureList& getFeatureList() const;
    // The drive must take NVMe commands.
    virtual core::Status canRun(core::Status& status);
    // Get Features with "FeatureId", "Select", "NamespaceId", "DWORD11" and "TransferBytes";
    // on success the completion dword 0 and the data returned replace the ones held.
    virtual core::Status sendGetFeature(core::Status& status);
    // An object named after the feature holding getProperties().
    virtual core::Status toXmlObject(core::Status& status, std::unique_ptr<core::xml::XmlObject>& object);
    virtual core::Status setProperty(core::Status& status);
    // "DWORD0" and "DataBuffer" of the last successful Get Features.
    virtual core::AttributeCollection getProperties();
    // Set Features with "FeatureId", "Save", the three command dwords and the data held.
    virtual core::Status sendSetFeature(core::Status& status);
    virtual uint8_t getUuidIndex();

    const std::shared_ptr<core::Device>& device() const { return device_; }
    const core::Payload& data() const { return data_; }
    core::Payload& data() { return data_; }
    uint32_t dword0() const { return dword0_; }
    // The table's name of the feature held; empty for an identifier the table lacks.
    std::string featureName() const;

protected:
    // Whether the drive's answer to Get Features is one this feature can use; a feature whose
    // data structure has a fixed size refuses a shorter one here.
    virtual core::Status checkAnswer(const core::Payload& answer) const;

    std::shared_ptr<core::Device> device_;
    core::Payload data_;
    uint32_t dword0_ = 0;
};

// The row of the known-feature table with this identifier or display name; null when absent.
const KnownFeature* findKnownFeature(uint8_t id);
const KnownFeature* findKnownFeature(const std::string& name);

}  // namespace drivekit::features::nvme_features
