#include <gtest/gtest.h>

#include "host/cli/HostOptions.h"

namespace {

using host::cli::HostOptions;

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

}  // namespace
