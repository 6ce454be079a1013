// Faults injected into the simulated drive from its profile.
#include <boost/algorithm/string/predicate.hpp>
#include <cerrno>
#include <cstring>
#include <nlohmann/json.hpp>

#include "tests/host/SimTestSupport.h"
#include "tests/support/TextFiles.h"

namespace {

using namespace sim_test;

// A small NVMe drive whose faults are the given JSON list.
std::string nvmeProfile(const std::string& faults) {
    return R"({"attributes": {"SerialNumber": "F1", "Kestrova": true, "TelemetryLogSupported": true,
                              "MaximumDataTransferSize": 3},
               "protocols": ["NVME"],
               "nvme": {"namespaces": [{"id": 1, "sizeBlocks": 1000}],
                        "telemetry": {"hostInitiated": [16, 32, 64, 0], "controllerInitiated": [0, 0, 0, 0]}},
               "faults": )" + faults + "}";
}

class SimFaults : public SimFolder {};

template <typename Command>
std::shared_ptr<core::Command> shared(Command command) {
    return std::make_shared<Command>(std::move(command));
}

// A removal fails the first matching command sent after the drive received afterCommands
// commands, and every command after it, as a drive whose node is gone: no completion, no data.
TEST_F(SimFaults, AFaultFailsOnlyTheCommandsItMatchesWithItsStatus) {
    struct Step {
        std::shared_ptr<core::Command> command;
        std::string status;  // "type/code" of the completion, or "gone"
    };
    const std::vector<std::pair<std::string, std::vector<Step>>> cases{
        {R"([{"protocol": "NVME", "opcode": 2, "logId": "0x02", "statusCodeType": 1, "statusCode": "0x09"}])",
         {{shared(logPage(0x02, 512)), "1/9"}, {shared(logPage(0x03, 512)), "0/0"}}},
        // Only the first K matching commands fail; another CNS does not count.
        {R"([{"cns": 1, "times": 2}])",
         {{shared(identify(0x02)), "0/0"}, {shared(identify(0x01)), "0/2"}, {shared(identify(0x01)), "0/2"},
          {shared(identify(0x01)), "0/0"}}},
        {R"([{"action": "remove"}])", {{shared(identify(0x01)), "gone"}, {shared(logPage(0x02, 512)), "gone"}}},
        // The matching command before the count does not remove it; one of another kind after it
        // does not either.
        {R"([{"action": "remove", "logId": 3, "afterCommands": 2}, {"cns": 1, "times": 1}])",
         {{shared(logPage(0x03, 512)), "0/0"}, {shared(identify(0x01)), "0/2"}, {shared(logPage(0x02, 512)), "0/0"},
          {shared(logPage(0x03, 512)), "gone"}, {shared(identify(0x01)), "gone"}, {shared(logPage(0x02, 512)), "gone"}}},
    };
    for (const auto& [faults, steps] : cases) {
        SCOPED_TRACE(faults);
        auto drive = this->drive(nvmeProfile(faults));
        ASSERT_TRUE(drive);
        for (std::size_t i = 0; i < steps.size(); ++i) {
            const auto result = send(*drive, *steps[i].command);
            const bool gone = steps[i].status == "gone";
            EXPECT_EQ(result.status.isSuccess(), steps[i].status == "0/0") << "command " << i;
            if (gone) {
                EXPECT_FALSE(result.protocolResult) << "command " << i;
                EXPECT_EQ(result.status.message(), drive->path() + " is gone (" + std::strerror(ENODEV) +
                                                       ") while sending " + steps[i].command->name() + ".");
            } else {
                EXPECT_EQ(nvmeStatus(result), steps[i].status) << "command " << i;
            }
            if (!result.status.isSuccess() && !gone) {
                EXPECT_EQ(result.status, core::Status::nvmeCommandProblem());
            }
            if (!result.status.isSuccess()) {
                EXPECT_EQ(result.data.size(), 0u);
            }
        }
    }
}

// A command the profile marks as slow fails as a timed-out command (no completion, no data)
// when the command queue's time-out is shorter than the drive takes, and succeeds otherwise.
// The trace shows each command with the time-out it was sent with, appended to what the file
// held, until tracing is turned off (the fields of its lines are read end to end).
TEST_F(SimFaults, ASlowCommandTimesOutOnlyWhenTheQueueWaitsLessAndTheTraceShowsEachCommand) {
    auto profile = nlohmann::json::parse(nvmeProfile("[]"));
    profile["nvme"]["slowCommands"] = nlohmann::json::parse(R"([{"opcode": "0x02", "logId": "0x07", "seconds": 45}])");
    auto drive = this->drive(profile.dump());
    ASSERT_TRUE(drive);
    const fs::path trace = write("trace.txt", "earlier line\n");
    host::sim::setTraceFile(trace.string());
    struct Case {
        uint64_t timeoutNanoseconds;
        uint8_t logId;
        bool timesOut;
        std::string traced;
    };
    const Case cases[] = {
        {30000000000, 0x07, true, " timeout=30s -> 0/94"},    {30000000000, 0x02, false, " timeout=30s -> 0/0"},
        {45000000000, 0x07, false, " timeout=45s -> 0/0"},    {44500000000, 0x07, true, " timeout=44.5s -> 0/94"},
    };
    for (const Case& c : cases) {
        drive->queues.front()->setTimeout(c.timeoutNanoseconds);
        const auto result = send(*drive, logPage(c.logId, 512));
        EXPECT_EQ(result.status.isSuccess(), !c.timesOut) << c.traced;
        if (c.timesOut) {
            EXPECT_EQ(result.status, core::Status::commandTimedOut());
            EXPECT_EQ(result.status.message(), "The command timed out.");
            EXPECT_FALSE(result.protocolResult);
            EXPECT_EQ(result.data.size(), 0u);
        }
    }
    host::sim::setTraceFile("");
    send(*drive, logPage(0x02, 512));

    const auto written = test_support::lines(test_support::readFile(trace.string()));
    ASSERT_EQ(written.size(), std::size(cases) + 1);
    EXPECT_EQ(written.front(), "earlier line");
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_TRUE(boost::algorithm::ends_with(written[i + 1], cases[i].traced)) << written[i + 1];
    }
}

}  // namespace
