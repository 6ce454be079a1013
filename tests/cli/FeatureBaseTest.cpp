#include <gtest/gtest.h>

#include "drivekit/features/IFeature.h"
#include "plugins/plugin.cliframework/SSDFeatureBase.h"
#include "plugins/plugin.cliframework/StatusResult.h"
#include "plugins/plugin.cliframework/Vocabulary.h"

using drivekit::core::Attribute;
using drivekit::core::Status;
using namespace plugin::cli;

namespace {

// A device feature that records what the base did to it.
class RecordingFeature : public drivekit::features::IFeature {
public:
    drivekit::features::AttributeDefinitions required;
    drivekit::features::AttributeDefinitions optional;
    int runs = 0;
    drivekit::core::AttributeCollection seen;

    void run(Status& status) override {
        ++runs;
        seen = attributes();
        status = Status::success();
    }
    drivekit::features::AttributeDefinitions getRequiredAttributes(Status&) const override { return required; }
    drivekit::features::AttributeDefinitions getOptionalAttributes() const override { return optional; }
};

Attribute definition(const std::string& key, const std::string& type, const std::string& description = "d",
                     const std::string& valueDescription = "") {
    Attribute attribute(key, key, type);
    attribute.setDescription(description).setValueDescription(valueDescription);
    return attribute;
}

class SSDFeatureBaseTest : public ::testing::Test {
protected:
    SSDFeatureBaseTest() {
        auto owned = std::make_unique<RecordingFeature>();
        feature = owned.get();
        base = std::make_unique<SSDFeatureBase>("TestFeature", std::move(owned));
        spec = std::make_shared<CommandSpec>(0, "DebugLogs", verbs::dump, "d");
        spec->addOption(parts::help);
        spec->addOption(parts::output);
        spec->addOption(CommandSpecPart("-extended", false, "", false, "e"));
        spec->addTarget(parts::ssdRequiredWithValue);
        base->addCommandSpec(spec);
    }

    std::shared_ptr<ResultBase> run(const ParsedCommand& command) {
        std::shared_ptr<ResultBase> result;
        base->run(result, 0, command);
        return result;
    }
    static int typeOf(const std::shared_ptr<ResultBase>& result) {
        const auto* status = dynamic_cast<const StatusResult*>(result.get());
        return status ? status->type() : -1;
    }

    RecordingFeature* feature = nullptr;
    std::unique_ptr<SSDFeatureBase> base;
    std::shared_ptr<CommandSpec> spec;
};

ParsedCommand namespaceCommand(const std::string& value, bool withSsd = true) {
    ParsedCommand command;
    command.options.push_back({"-namespace", value});
    if (withSsd) {
        command.targets.push_back({"-ssd", "0"});
    }
    return command;
}

}  // namespace

// A namespace is decimal or hexadecimal; every syntax error stops the run before the device
// feature.
TEST_F(SSDFeatureBaseTest, SyntaxErrorsStopTheRunBeforeTheDeviceFeature) {
    feature->optional.push_back(definition("LogId", drivekit::core::types::uint32));
    ParsedCommand unknownProperty;
    unknownProperty.properties = {{"LogId", "2"}, {"Colour", "red"}};
    ParsedCommand badValue;
    badValue.properties = {{"LogId", "two"}};
    ParsedCommand yaml;
    yaml.options = {{"-output", "yaml"}};
    // -all with -display fails before any other check.
    ParsedCommand allWithDisplay = namespaceCommand("bad", false);
    allWithDisplay.options.insert(allWithDisplay.options.end(), {{"-Display", "A"}, {"-ALL", ""}, {"-output", "yaml"}});
    const std::string success = "Completed successfully.";
    std::vector<std::pair<ParsedCommand, std::string>> cases{
        {allWithDisplay, "Options 'all' and 'display' cannot be used together."},
        {yaml, "Option -output expects 'text', or 'json'"},
        {namespaceCommand("1", false), "Option '-namespace' must be used with '-ssd'."},
        {unknownProperty, "Invalid property specified: Colour"},
        {badValue, "Invalid value type provided for the attribute. LogId=two"},
    };
    for (const std::string value : {"0xZ1", "x", "", "-1", "1 ", "0x1g"}) {
        cases.emplace_back(namespaceCommand(value), "Option '-namespace' must be hex or integer value.");
    }
    for (const std::string value : {"0x1F", "31", "1f", "0x", "0XaB", "0"}) {
        cases.emplace_back(namespaceCommand(value), success);
    }
    for (const auto& [command, message] : cases) {
        SCOPED_TRACE(message + " -namespace " + command.optionValue("-namespace"));
        const int runsBefore = feature->runs;
        const auto result = run(command);
        ASSERT_NE(result, nullptr);
        EXPECT_EQ(result->value(), message);
        EXPECT_EQ(typeOf(result), message == success ? 0 : 201);
        EXPECT_EQ(feature->runs, runsBefore + (message == success ? 1 : 0));
    }
}

TEST_F(SSDFeatureBaseTest, RunBindsArgumentsUnderTheirSpecifiedNamesAndConvertsProperties) {
    feature->optional.push_back(definition("LogId", drivekit::core::types::uint32));
    ParsedCommand command;
    command.options.push_back({"-EXTENDED", ""});
    command.options.push_back({"-destination", "/tmp/out dir"});
    command.targets.push_back({"-SSD", "1"});
    command.properties.push_back({"logid", "0x10"});
    run(command);
    ASSERT_EQ(feature->runs, 1);
    EXPECT_TRUE(feature->seen.contains("-extended"));
    EXPECT_EQ(feature->seen.readString("-extended"), "");
    EXPECT_EQ(feature->seen.readString("-destination"), "/tmp/out dir");
    EXPECT_EQ(feature->seen.readString("-ssd"), "1");
    EXPECT_EQ(feature->seen.readUint32("LogId"), 16u);

    run(ParsedCommand());
    EXPECT_TRUE(feature->seen.empty());
}

// A failed run as a user sees it (type 2, the status message), and a success without an output
// document, are shown end to end.
TEST_F(SSDFeatureBaseTest, SuccessPrintsTheOutputDocumentOnlyWhenItHasMembersFailureNever) {
    std::shared_ptr<ResultBase> result;
    feature->getOutput()["Serial"].setString("S1");
    testing::internal::CaptureStdout();
    base->makeResult(result, Status(0, 0, "Done."));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "{\n  \"Serial\": \"S1\"\n}\n\n");
    EXPECT_EQ(result->value(), "Done.");
    EXPECT_EQ(typeOf(result), 0);

    testing::internal::CaptureStdout();
    base->makeResult(result, Status::notImplemented());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(typeOf(result), 2);
}

TEST_F(SSDFeatureBaseTest, AddPropertiesListsRequiredThenOptionalDefinitions) {
    feature->required.push_back(definition("LogId", drivekit::core::types::uint32, "Log Id", "0..255"));
    feature->required.push_back(definition("", drivekit::core::types::string));
    feature->optional.push_back(definition("File", drivekit::core::types::string, "File"));
    feature->optional.push_back(definition("LOGID", drivekit::core::types::uint32, "again"));
    CommandSpec target(1, "X", verbs::show, "d");
    base->addProperties(target);
    ASSERT_EQ(target.properties().size(), 2u);
    const auto& first = *target.properties().parts()[0];
    EXPECT_EQ(first.name(), "LOGID");
    EXPECT_FALSE(first.required());
    EXPECT_EQ(first.description(), "again");
    EXPECT_EQ(target.properties().parts()[1]->name(), "File");

    CommandSpec required(2, "Y", verbs::show, "d");
    feature->optional.clear();
    base->addProperties(required);
    ASSERT_EQ(required.properties().size(), 1u);
    EXPECT_TRUE(required.properties().parts()[0]->required());
    EXPECT_EQ(required.properties().parts()[0]->valueName(), "0..255");
}

// That the device reaches the device feature is shown by every end-to-end run.
TEST_F(SSDFeatureBaseTest, SpecsAreHeldOnceEach) {
    base->addCommandSpec(spec);
    base->addCommandSpec(std::make_shared<CommandSpec>(0, "DebugLogs", verbs::dump, "d"));
    const auto specs = base->getCommandSpecs();
    ASSERT_EQ(specs.size(), 2u);
    EXPECT_EQ(specs[0], spec);
}
