#include "drivekit/features/nvme_features/NVMeFeature.h"

#include <sstream>

#include "drivekit/commands/CommandSender.h"
#include "drivekit/commands/nvme/GetFeatures.h"
#include "drivekit/commands/nvme/SetFeatures.h"
#include "drivekit/core/logging/Log.h"
#include "drivekit/features/AttributeDefinitions.h"

namespace drivekit::features::nvme_features {

namespace {

const FeatureList knownFeatures{
    "NVMe Features",
    {{0x01, "Arbitration"},
     {0x02, "Power Management"},
     {0x03, "LBA Range Type"},
     {0x04, "Temperature Threshold"},
     {0x05, "Error Recovery"},
     {0x06, "Volatile Write Cache"},
     {0x07, "Number of Queues"},
     {0x08, "Interrupt Coalescing"},
     {0x09, "Interrupt Vector Config"},
     {0x0A, "Write Atomicity"},
     {0x0B, "Event Configuration"},
     {0x16, "Host Behavior Support"},
     {0xC1, "Max LBA"},
     {0xC2, "Native Max LBA"},
     {0xC6, "Power Governor"},
     {0xC8, "SM Bus Address"},
     {0xCB, "Dynamic MMIO"},
     {0xD9, "Disable Thermal Throttle"},
     {0xE2, "Latency Tracking"},
     {0xF1, "Workload Tracker Control"},
     {0xF5, "Workload Tracker Threshold"}}};

template <typename Matches>
const KnownFeature* findRow(Matches matches) {
    for (const auto& row : knownFeatures.features) {
        if (matches(row)) {
            return &row;
        }
    }
    return nullptr;
}

core::Attribute dword0Definition() { return {"DWORD0", "DWORD 0", core::types::uint32}; }
core::Attribute dataBufferDefinition() { return {"DataBuffer", "Data Buffer", core::types::bytePointer}; }

// Numbers in hexadecimal, flags as words, the data buffer by its length.
std::string propertyText(const core::Attribute& property) {
    const std::string& type = property.typeName();
    if (type == core::types::boolean) {
        return property.toBool() ? "true" : "false";
    }
    if (type == core::types::bytePointer) {
        return std::to_string(property.value().size()) + " bytes";
    }
    if (type == core::types::string) {
        return property.toText();
    }
    std::ostringstream text;
    text << "0x" << std::hex << std::uppercase << property.toUint64();
    return text.str();
}

}  // namespace

const KnownFeature* findKnownFeature(uint8_t id) {
    return findRow([id](const KnownFeature& row) { return row.id == id; });
}

const KnownFeature* findKnownFeature(const std::string& name) {
    return findRow([&name](const KnownFeature& row) { return name == row.name; });
}

NVMeFeature::NVMeFeature(std::shared_ptr<core::Device> device, uint8_t featureId)
    : device_(std::move(device)), data_(dataBytes) {
    attributes_.writeUint8(definitions::featureId(), featureId);
}

const FeatureList& NVMeFeature::getFeatureList() const { return knownFeatures; }

std::string NVMeFeature::featureName() const {
    const KnownFeature* row = findKnownFeature(attributes_.readUint8(definitions::featureId().key()));
    return row ? row->name : std::string();
}

core::Status NVMeFeature::canRun(core::Status& status) {
    status = device_ && device_->isProtocolSupported(core::protocols::nvme) ? core::Status::success()
                                                                           : core::Status::commandSetNotSupported();
    status_ = status;
    return status;
}

core::Status NVMeFeature::checkAnswer(const core::Payload&) const { return core::Status::success(); }

core::Status NVMeFeature::sendGetFeature(core::Status& status) {
    LOG_ENTERING();
    if (!canRun(status).isSuccess()) {
        return status;
    }
    commands::nvme::GetFeatures command;
    command.setTransferBytes(dataBytes);
    status = command.applyAttributes(attributes_);
    commands::CommandSender sender(*device_);
    if (status.isSuccess()) {
        status = sender.send(command);
    }
    uint32_t value = 0;
    if (status.isSuccess()) {
        status = sender.completionValue(value);
    }
    if (status.isSuccess()) {
        status = checkAnswer(sender.data());
    }
    // A failed command leaves the value and data of the last good one. The answer is copied:
    // its buffer is the device's, and this one is changed and sent back by Set Features.
    if (status.isSuccess()) {
        dword0_ = value;
        const core::Payload& answer = sender.data();
        data_ = answer.empty() ? core::Payload() : core::Payload(answer.data(), answer.size());
    }
    LOG_DEBUG("sendGetFeature status: " << status.message());
    status_ = status;
    return status;
}

core::Status NVMeFeature::sendSetFeature(core::Status& status) {
    LOG_ENTERING();
    if (!canRun(status).isSuccess()) {
        return status;
    }
    commands::nvme::SetFeatures command;
    command.setTransferBytes(data_.size());
    status = command.applyAttributes(attributes_, getUuidIndex());
    // The drive must never be told to take more bytes than the buffer holds.
    if (status.isSuccess() && command.transferBytes > data_.size()) {
        status = core::Status::invalidAttributeValue();
    }
    commands::CommandSender sender(*device_);
    if (status.isSuccess()) {
        status = sender.send(command, data_);
    }
    LOG_DEBUG("sendSetFeature status: " << status.message());
    status_ = status;
    return status;
}

core::Status NVMeFeature::setProperty(core::Status& status) {
    status = core::Status::success();
    return status;
}

core::AttributeCollection NVMeFeature::getProperties() {
    core::AttributeCollection properties;
    properties.writeUint32(dword0Definition(), dword0_);
    core::Attribute buffer = dataBufferDefinition();
    buffer.setValue(data_);
    properties.set(buffer);
    return properties;
}

core::Status NVMeFeature::toXmlObject(core::Status& status, std::unique_ptr<core::xml::XmlObject>& object) {
    const std::string name = featureName();
    object = std::make_unique<core::xml::XmlObject>(name.empty() ? std::string("Feature") : name);
    for (const auto& [key, property] : getProperties()) {
        object->addProperty(key, propertyText(property));
    }
    status = core::Status::success();
    return status;
}

uint8_t NVMeFeature::getUuidIndex() {
    const std::string key = definitions::uuidIndex().key();
    return attributes_.contains(key) ? attributes_.readUint8(key) : 0;
}

}  // namespace drivekit::features::nvme_features
