#pragma once
// Base of the features that act on one selected drive through a device feature: checks the
// command line, copies its arguments into the device feature, runs it and reports the outcome.
#include <memory>

#include "drivekit/features/IFeature.h"
#include "plugins/plugin.cliframework/FeatureBase.h"

namespace plugin::cli {

class SSDFeatureBase : public FeatureBase {
public:
    SSDFeatureBase(std::string name, std::unique_ptr<drivekit::features::IFeature> deviceFeature)
        : FeatureBase(std::move(name)), deviceFeature_(std::move(deviceFeature)) {}

    CommandSpec::Specs getCommandSpecs() const override { return specs_; }
    void run(std::shared_ptr<ResultBase>& result, uint32_t commandId,
             const ParsedCommand& command) override;
    // The base checks, then the "-namespace" checks.
    void validate(std::shared_ptr<ResultBase>& result, uint32_t commandId,
                  const ParsedCommand& command) override;
    // The device feature keeps the drive set last.
    void registerDevice(std::shared_ptr<drivekit::core::Device> device) override;
    // The device feature's attribute definitions as the command's properties (required ones first).
    virtual void addProperties(CommandSpec& spec);
    // A fresh attribute collection for the device feature from the options, targets and
    // properties given; an unknown or unsuitable property is a syntax error.
    virtual void bindAttributes(std::shared_ptr<ResultBase>& result, const ParsedCommand& command);
    // A failure as type 2; on success the device feature's output document, when it has
    // members, goes to standard output first.
    virtual void makeResult(std::shared_ptr<ResultBase>& result, const drivekit::core::Status& status);

    // Appends the command description unless that same object is held already.
    void addCommandSpec(const std::shared_ptr<CommandSpec>& spec);
    drivekit::features::IFeature* deviceFeature() const { return deviceFeature_.get(); }

    // Decimal digits, or hexadecimal digits after an optional "0x" / "0X", or that prefix alone.
    static bool isNamespaceValue(const std::string& text);

private:
    // The name of the part as the specifications spell it ("-V" -> "-v"); as given otherwise.
    std::string canonicalName(const std::string& name) const;

    std::unique_ptr<drivekit::features::IFeature> deviceFeature_;
    CommandSpec::Specs specs_;
};

}  // namespace plugin::cli
