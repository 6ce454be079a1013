#include <gtest/gtest.h>

#include "plugins/plugin.cliframework/CommandSpec.h"
#include "plugins/plugin.cliframework/OutputOptionHelper.h"
#include "plugins/plugin.cliframework/StatusResult.h"
#include "plugins/plugin.cliframework/Vocabulary.h"

using namespace plugin::cli;

namespace {
std::vector<std::string> namesOf(const CommandSpecPartList& list) {
    std::vector<std::string> names;
    for (const auto& part : list) {
        names.push_back(part->name());
    }
    return names;
}

ParsedCommand withOutput(const std::string& value) {
    ParsedCommand command;
    command.options.push_back({"-OUTPUT", value});
    return command;
}
}  // namespace

TEST(CommandSpec, AddingAPartOfAnExistingNameReplacesItInPlace) {
    CommandSpec spec(0, "DebugLogs", verbs::dump, "Collects debug logs and creates ZIP package.");
    spec.addOption(parts::help);
    spec.addOption(parts::destination);
    spec.addOption(CommandSpecPart("-v", false, "", true, "Display verbose output"));
    spec.addOption(OptionCommandSpecPart("-HELP", true, "", false, "Other help"));

    EXPECT_EQ(namesOf(spec.options()), (std::vector<std::string>{"-HELP", "-destination", "-v"}));
    EXPECT_EQ(spec.options().parts()[0]->description(), "Other help");
    EXPECT_EQ(spec.options().parts()[0]->kind(), CommandSpecPart::option);
}

TEST(CommandSpec, ListsAreKeptApartAndPartsAreCopied) {
    CommandSpec spec(3, "X", verbs::show, "d");
    CommandSpecPart ssd = parts::ssdRequiredWithValue;
    spec.addTarget(ssd);
    spec.addOption(parts::ssdOption);
    ssd = parts::help;
    ASSERT_EQ(spec.targets().size(), 1u);
    EXPECT_EQ(spec.targets().parts()[0]->kind(), CommandSpecPart::target);
    EXPECT_TRUE(spec.targets().parts()[0]->valueRequired());
    EXPECT_EQ(spec.options().parts()[0]->kind(), CommandSpecPart::option);
    EXPECT_TRUE(CommandSpec::hasPart(spec.targets(), "-SSD"));
    EXPECT_FALSE(CommandSpec::hasPart(spec.targets(), "-ss"));
    EXPECT_FALSE(CommandSpec::hasPart(spec.properties(), "-ssd"));
}

TEST(CommandSpec, FindSpecReturnsTheFirstWithTheIdOrNothing) {
    auto first = std::make_shared<CommandSpec>(1, "A", verbs::show, "a");
    auto second = std::make_shared<CommandSpec>(1, "B", verbs::show, "b");
    auto other = std::make_shared<CommandSpec>(0, "C", verbs::dump, "c");
    CommandSpec::Specs specs{other, first, second};
    EXPECT_EQ(CommandSpec::findSpec(specs, 1), first);
    EXPECT_EQ(CommandSpec::findSpec(specs, 0), other);
    EXPECT_EQ(CommandSpec::findSpec(specs, 7), nullptr);
    EXPECT_EQ(CommandSpec::findSpec({}, 0), nullptr);
}

TEST(OutputOptionHelper, TheValueMustBeOneOfTheDeclaredFormatsInAnyLetterCase) {
    auto spec = std::make_shared<CommandSpec>(0, "X", verbs::show, "d");
    spec->addOption(parts::output);
    OutputOptionHelper helper(spec);
    for (const char* accepted : {"JSON", "text"}) {
        EXPECT_EQ(helper.validate(withOutput(accepted)), nullptr) << accepted;
    }
    EXPECT_EQ(helper.validate(ParsedCommand()), nullptr);
    const auto result = helper.validate(withOutput("yaml"));
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(result->value(), "Option -output expects 'text', or 'json'");
    const auto* status = dynamic_cast<const StatusResult*>(result.get());
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(status->type(), 201);
}

TEST(OutputOptionHelper, SplitsTheValueNameAtEverySeparator) {
    EXPECT_EQ(OutputOptionHelper::allowedValues("a, b; c|d"), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(OutputOptionHelper::describe({"text"}), "'text'");
    auto spec = std::make_shared<CommandSpec>(0, "X", verbs::show, "d");
    spec->addOption(OptionCommandSpecPart("-output", false, "a, b; c", true, "formats"));
    EXPECT_EQ(OutputOptionHelper(spec).validate(withOutput("B")), nullptr);
    const auto result = OutputOptionHelper(spec).validate(withOutput("a, b"));
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(result->value(), "Option -output expects 'a', 'b', or 'c'");
}

TEST(OutputOptionHelper, ACommandWithoutAnOutputPartAcceptsAnyValue) {
    auto spec = std::make_shared<CommandSpec>(0, "X", verbs::show, "d");
    spec->addOption(parts::help);
    EXPECT_EQ(OutputOptionHelper(spec).validate(withOutput("yaml")), nullptr);
    EXPECT_EQ(OutputOptionHelper(nullptr).validate(withOutput("yaml")), nullptr);
}
