#include <gtest/gtest.h>

#include "drivekit/features/IFeature.h"
#include "support/FakeDrive.h"
#include "drivekit/features/Registries.h"

using drivekit::core::Attribute;
using drivekit::core::Status;
using namespace drivekit::features;

namespace {

using test_support::FakeDrive;

class DeclaringFeature : public IFeature {
public:
    AttributeDefinitions required;
    AttributeDefinitions getRequiredAttributes(Status&) const override { return required; }
    AttributeDefinitions getOptionalAttributes() const override { return {}; }
};

drivekit::core::AttributeCollection withKey(const std::string& key) {
    drivekit::core::AttributeCollection collection;
    Attribute attribute(key, key, drivekit::core::types::string);
    attribute.setString("v");
    collection.set(attribute);
    return collection;
}

class SampleLog : public nvme_get_log::NVMeGetLog {
public:
    SampleLog(std::shared_ptr<drivekit::core::Device> device, const drivekit::core::AttributeCollection& attributes,
              int tag)
        : NVMeGetLog(std::move(device), attributes), tag(tag) {}
    int tag;
};

}  // namespace

TEST(IFeature, ValidateChecksTheRequiredAttributesThenTheDeviceAndRunIsNotImplemented) {
    DeclaringFeature plain;
    Status status;
    plain.validate(status);
    EXPECT_EQ(status, Status::noDeviceSelected());
    EXPECT_EQ(status.message(), "No device selected.");
    plain.setDevice(std::make_shared<FakeDrive>());
    plain.validate(status);
    EXPECT_TRUE(status.isSuccess());

    DeclaringFeature needsLogId;
    needsLogId.required.push_back(Attribute("LogId", "Log Id", drivekit::core::types::uint32));
    needsLogId.validate(status);
    EXPECT_EQ(status, Status::invalidArguments());
    needsLogId.setAttributes(withKey("LogId"));
    needsLogId.validate(status);
    EXPECT_EQ(status, Status::noDeviceSelected());
    plain.run(status);
    EXPECT_EQ(status, Status::notImplemented());
    EXPECT_EQ(status.message(), "Not implemented.");
    EXPECT_FALSE(plain.getOutput().hasMembers());
}

TEST(FactoryRegistry, LooksUpByExactNameAndALaterRegistrationReplaces) {
    auto& registry = GetLogRegistry::instance();
    for (const int tag : {1, 2}) {
        registry.add("TestPage", [tag](std::shared_ptr<drivekit::core::Device> d,
                                       const drivekit::core::AttributeCollection& a) {
            return std::make_unique<SampleLog>(std::move(d), a, tag);
        });
    }
    auto device = std::make_shared<FakeDrive>();
    auto page = registry.create("TestPage", device, withKey("LogName"));
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(static_cast<SampleLog*>(page.get())->tag, 2);
    EXPECT_EQ(page->device(), device);
    EXPECT_TRUE(page->attributes().contains("LogName"));

    EXPECT_EQ(registry.find("testpage"), nullptr);
    EXPECT_EQ(registry.create("Absent", device, {}), nullptr);
    EXPECT_EQ(NvmeFeatureRegistry::instance().find("TestPage"), nullptr);
}
