// The host's own layer: its options before the verb, how results and exceptions become exit
// statuses, and a host that found no plug-in.
#include <boost/dll/shared_library.hpp>
#include <nlohmann/json.hpp>
#include <sstream>
#include <stdexcept>

#include "host/ExceptionReport.h"
#include "host/HostApplication.h"
#include "host/cli/HostOptions.h"
#include "host/cli/ResultPrinter.h"
#include "plugins/plugin.cliframework/SimpleResult.h"
#include "plugins/plugin.cliframework/StatusResult.h"
#include "plugins/plugin.cliframework/SyntaxStatusResult.h"
#include "support/TextFiles.h"
#include "tests/host/SimTestSupport.h"

namespace {

using host::cli::HostOptions;
using host::cli::ResultPrinter;
using plugin::cli::StatusResult;

TEST(HostOptionsTest, LeadingDoubleDashOptionsAreTheHostsAndNoneMeansNothingSimulatedOrLogged) {
    const auto options = HostOptions::parse({"--sim", "--sim=kestrova-sata", "--sim-trace=t.log", "--log=p.log",
                                             "--host-log=h.log", "dump", "-debuglogs", "--sim"});
    ASSERT_EQ("", options.error);
    EXPECT_EQ((std::vector<std::string>{"", "kestrova-sata"}), options.simulatedDrives);
    EXPECT_TRUE(options.useSimulatedDrives());
    EXPECT_EQ("t.log", options.simTraceFile);
    EXPECT_EQ("p.log", options.pluginLogFile);
    EXPECT_EQ("h.log", options.hostLogFile);
    // After the verb, "--sim" belongs to the command.
    EXPECT_EQ((std::vector<std::string>{"dump", "-debuglogs", "--sim"}), options.command);

    const auto none = HostOptions::parse({"help"});
    EXPECT_FALSE(none.useSimulatedDrives());
    EXPECT_EQ("", none.pluginLogFile + none.hostLogFile);
}

TEST(HostOptionsTest, BadHostOptionsAreErrors) {
    for (const char* bad : {"--log", "--log=", "--host-log", "--sim-trace=", "--sim=", "--simulate", "--verbose",
                            "--as-maker=", "--as-maker=Orlin", "--as-makers", "--vendor-commands=yes"}) {
        const auto options = HostOptions::parse({bad, "help"});
        EXPECT_NE("", options.error) << bad;
        EXPECT_TRUE(options.command.empty()) << bad;
    }
    EXPECT_NE(std::string::npos, HostOptions::parse({"--frob"}).error.find("--frob"));
}

// A named family (--as-maker=varnholt) and --vendor-commands are shown end to end.
TEST(HostOptionsTest, AsMakerTakesAFamilyOfTheProductTableOrNone) {
    const auto bare = HostOptions::parse({"--as-maker", "show", "-ssd"});
    EXPECT_TRUE(bare.asMaker);
    EXPECT_EQ("", bare.asMakerFamily);
    const auto plain = HostOptions::parse({"show", "-ssd"});
    EXPECT_FALSE(plain.asMaker || plain.vendorCommands);
    const auto unknown = HostOptions::parse({"--as-maker=x", "help"});
    EXPECT_NE(std::string::npos, unknown.error.find("Varnholt, Kestrova, Aldermoor")) << unknown.error;
}

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
    const std::string json = ResultPrinter::render(StatusResult("Log type not found: \"x\"\n", 2), "json");
    const auto document = nlohmann::json::parse(json);
    EXPECT_EQ("Log type not found: \"x\"\n", document.at("Result").at("Description").get<std::string>());
    EXPECT_EQ(2, document.at("Result").at("Type").get<int>());
    EXPECT_EQ('\n', json.back());
}

template <typename Thrown>
std::string reported(const Thrown& thrown) {
    std::ostringstream err;
    try {
        throw thrown;
    } catch (...) {
        EXPECT_EQ(3, host::ExceptionReport::report(std::current_exception(), err));
    }
    return err.str();
}

TEST(ExceptionReportTest, AnythingThrownBecomesOneErrorLineAndExitStatusThree) {
    EXPECT_EQ("ssdtool: error: disk on fire\n", reported(std::runtime_error("disk on fire")));
    EXPECT_EQ("ssdtool: error: Request is out of bounds.\n",
              reported(drivekit::core::Status(0, 14, "Request is out of bounds.")));
    EXPECT_EQ("ssdtool: error: unknown exception\n", reported(42));
    EXPECT_EQ("ssdtool: error: first second\n", reported(std::logic_error("first\nsecond")));
}

// A host whose plug-in folder holds no plug-in.
class HostApplicationTest : public sim_test::SimFolder {
protected:
    int run(const std::vector<std::string>& arguments) {
        out.str("");
        err.str("");
        return host::HostApplication(dir).run(arguments, out, err);
    }
    std::ostringstream out;
    std::ostringstream err;
};

TEST_F(HostApplicationTest, WithoutPluginsThereAreNoCommands) {
    EXPECT_EQ(0, run({"help"}));
    EXPECT_NE(std::string::npos, out.str().find("\nNo commands to display\n"));
    const std::string suffix = boost::dll::shared_library::suffix().string();
    EXPECT_EQ(0u, err.str().find("ssdtool: warning: No plug-in (plugin.*" + suffix + ") found in " + dir.string()))
        << err.str();
    EXPECT_EQ(2, run({"--sim", "dump", "-debuglogs", "-ssd", "0"}));
    EXPECT_NE(std::string::npos, err.str().find("Unknown command: dump"));
}

TEST_F(HostApplicationTest, ALogOrTraceFileThatCannotBeOpenedIsAUsageError) {
    // Below a regular file no file can be created, whoever runs the test.
    const std::string unwritable = write("file", "x").string() + "/";
    const std::vector<std::pair<std::string, std::string>> cases{
        {"--host-log=" + unwritable + "host.log", "Cannot open the host log file: " + unwritable + "host.log"},
        {"--log=" + unwritable + "plugin.log", "Cannot open the plug-in log file: " + unwritable + "plugin.log"},
        {"--sim-trace=" + unwritable + "trace.txt", "Cannot open the trace file: " + unwritable + "trace.txt"},
    };
    for (const auto& [option, message] : cases) {
        EXPECT_EQ(2, run({"--sim", option, "show", "-ssd"})) << option;
        EXPECT_EQ("ssdtool: error: " + message + "\n", err.str());
        EXPECT_EQ("", out.str()) << option;
    }
    // A file that can be opened is kept as it was and the command runs.
    const auto trace = write("trace.txt", "earlier line\n");
    EXPECT_EQ(0, run({"--sim", "--sim-trace=" + trace.string(), "show", "-ssd"}));
    EXPECT_EQ(0u, test_support::readFile(trace).find("earlier line\n"));
}

}  // namespace
