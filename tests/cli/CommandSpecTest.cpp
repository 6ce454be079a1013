#include <gtest/gtest.h>

#include "plugins/plugin.cliframework/CommandSpec.h"
#include "plugins/plugin.cliframework/OutputOptionHelper.h"
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
}  // namespace

// A part of an existing name replaces it in place; targets, options and properties are kept
// apart, and a part is copied when added.
TEST(CommandSpec, AddingAPartOfAnExistingNameReplacesItInPlaceAndListsAreKeptApart) {
    CommandSpec spec(0, "DebugLogs", verbs::dump, "Collects debug logs and creates ZIP package.");
    spec.addOption(parts::help);
    spec.addOption(parts::destination);
    spec.addOption(CommandSpecPart("-v", false, "", true, "Display verbose output"));
    spec.addOption(OptionCommandSpecPart("-HELP", true, "", false, "Other help"));

    EXPECT_EQ(namesOf(spec.options()), (std::vector<std::string>{"-HELP", "-destination", "-v"}));
    EXPECT_EQ(spec.options().parts()[0]->description(), "Other help");

    CommandSpecPart ssd = parts::ssdRequiredWithValue;
    spec.addTarget(ssd);
    ssd = parts::help;
    ASSERT_EQ(spec.targets().size(), 1u);
    EXPECT_EQ(spec.targets().parts()[0]->kind(), CommandSpecPart::target);
    EXPECT_TRUE(spec.targets().parts()[0]->valueRequired());
    EXPECT_TRUE(CommandSpec::hasPart(spec.targets(), "-SSD"));
    EXPECT_FALSE(CommandSpec::hasPart(spec.targets(), "-ss"));
    EXPECT_FALSE(CommandSpec::hasPart(spec.properties(), "-ssd"));
}

// A refusal is a syntax error; the type of one is checked with the feature base.
TEST(OutputOptionHelper, TheValueMustBeOneOfTheDeclaredFormatsInAnyLetterCase) {
    auto declared = std::make_shared<CommandSpec>(0, "X", verbs::show, "d");
    declared->addOption(parts::output);
    auto ownList = std::make_shared<CommandSpec>(0, "X", verbs::show, "d");
    ownList->addOption(OptionCommandSpecPart("-output", false, "a, b; c", true, "formats"));
    auto without = std::make_shared<CommandSpec>(0, "X", verbs::show, "d");
    without->addOption(parts::help);
    struct Row { std::shared_ptr<CommandSpec> spec; std::string value, refusal; };  // refusal empty: accepted
    const std::vector<Row> rows{
        {declared, "JSON", ""}, {declared, "text", ""}, {declared, "yaml", "Option -output expects 'text', or 'json'"},
        {ownList, "B", ""}, {ownList, "a, b", "Option -output expects 'a', 'b', or 'c'"},
        {without, "yaml", ""}, {nullptr, "yaml", ""}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.value);
        ParsedCommand command;
        command.options.push_back({"-OUTPUT", row.value});
        const auto result = OutputOptionHelper(row.spec).validate(command);
        EXPECT_EQ(result ? result->value() : "", row.refusal);
    }
    EXPECT_EQ(OutputOptionHelper(declared).validate(ParsedCommand()), nullptr);
}
