#include <sstream>

#include "host/HostApplication.h"
#include "support/TextFiles.h"
#include "tests/host/SimTestSupport.h"

namespace {

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
