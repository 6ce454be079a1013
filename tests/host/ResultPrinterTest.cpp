#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "host/cli/ResultPrinter.h"
#include "plugins/plugin.cliframework/SimpleResult.h"
#include "plugins/plugin.cliframework/StatusResult.h"
#include "plugins/plugin.cliframework/SyntaxStatusResult.h"

namespace {

using host::cli::ResultPrinter;
using plugin::cli::StatusResult;

TEST(ResultPrinterTest, ExitStatusFollowsTheResultType) {
    EXPECT_EQ(0, ResultPrinter::exitStatus(StatusResult("Completed successfully.", 0)));
    EXPECT_EQ(1, ResultPrinter::exitStatus(StatusResult("Not implemented.", 2)));
    EXPECT_EQ(2, ResultPrinter::exitStatus(plugin::cli::SyntaxStatusResult("Invalid property specified: X")));
    EXPECT_EQ(0, ResultPrinter::exitStatus(plugin::cli::SimpleResult("Serial Number", "X1")));
    // A run stopped by a signal ends as the shell reports that signal (end to end); the base
    // alone names no signal.
    EXPECT_EQ(1, ResultPrinter::exitStatus(StatusResult("Interrupted.", StatusResult::interruptedBase)));
}

TEST(ResultPrinterTest, JsonIsOneDocumentAroundTheKeyedResult) {
    const StatusResult result("Log type not found: \"x\"\n", 2);
    const std::string json = ResultPrinter::render(result, "json");
    const auto document = nlohmann::json::parse(json);
    EXPECT_EQ("Log type not found: \"x\"\n", document.at("Result").at("Description").get<std::string>());
    EXPECT_EQ(2, document.at("Result").at("Type").get<int>());
    EXPECT_EQ('\n', json.back());
}

}  // namespace
