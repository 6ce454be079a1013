// Faults injected into the simulated drive from its profile.
#include <boost/algorithm/string/predicate.hpp>
#include <cerrno>
#include <cstring>
#include <nlohmann/json.hpp>

#include "drivekit/commands/ata/Command.h"
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

// The log changes under its reader: the generation of the log being read goes up right after
// the first body piece of the first pass that reads the body; the blocks read before and after
// the change carry different generations, and the next pass is stable. (Changing on every
// pass is read end to end.)
TEST_F(SimFaults, ATelemetryLogChangesUnderItsReaderForTheFirstPass) {
    constexpr uint32_t length = 65 * 512;  // both logs end with data area 3 at block 64
    constexpr uint32_t piece = 8192;
    for (const uint8_t logId : {0x07, 0x08}) {
        SCOPED_TRACE(int(logId));
        auto profile = nlohmann::json::parse(nvmeProfile("[]"));
        profile["nvme"]["telemetry"]["controllerInitiated"] = {8, 16, 64, 0};
        profile["nvme"]["telemetry"]["changesDuringRead"] = 1;
        auto drive = this->drive(profile.dump());
        ASSERT_TRUE(drive);
        const uint32_t generationAt = logId == 0x07 ? 381 : 383;
        for (const bool changes : {true, false}) {  // the first pass, then the next
            auto first = logPage(logId, 4096, 0, logId == 0x07 ? 1 : 0);
            const auto header = send(*drive, first);
            ASSERT_TRUE(header.status.isSuccess());
            std::vector<uint8_t> tags;
            for (uint32_t offset = 4096; offset < length; offset += piece) {
                auto body = logPage(logId, std::min(piece, length - offset), offset);
                const auto part = send(*drive, body);
                ASSERT_TRUE(part.status.isSuccess());
                tags.push_back(*part.data.at(4));  // the piece's first block's generation
            }
            auto again = logPage(logId, 512);
            const uint8_t before = *header.data.at(generationAt);
            const uint8_t after = *send(*drive, again).data.at(generationAt);
            EXPECT_EQ(after != before, changes);
            EXPECT_EQ(tags.front(), before) << changes;
            EXPECT_EQ(tags.back(), after) << changes;
        }
    }
}

// A command the profile marks as slow fails as a timed-out command (no completion, no data)
// when the command queue's time-out is shorter than the drive takes, and succeeds otherwise.
// The trace shows each command, with the time-out it was sent with, appended to what the file
// held, from every drive, until tracing is turned off.
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
        auto command = logPage(c.logId, 512);
        const auto result = send(*drive, command);
        EXPECT_EQ(result.status.isSuccess(), !c.timesOut) << c.traced;
        if (c.timesOut) {
            EXPECT_EQ(result.status, core::Status::commandTimedOut());
            EXPECT_EQ(result.status.message(), "The command timed out.");
            EXPECT_FALSE(result.protocolResult);
            EXPECT_EQ(result.data.size(), 0u);
        }
    }
    drivekit::commands::ata::Command smart("SMARTReadData");
    smart.current() = {0xD0, 0x01, 0x00, 0x4F, 0xC2, 0x40, 0xB0, 0x00};
    smart.transferBlocks = 1;
    builtIn("kestrova-sata")->sendCommand(smart);
    host::sim::setTraceFile("");
    auto untraced = logPage(0x02, 512);
    send(*drive, untraced);

    const auto written = test_support::lines(test_support::readFile(trace.string()));
    ASSERT_EQ(written.size(), std::size(cases) + 2);
    EXPECT_EQ(written.front(), "earlier line");
    EXPECT_EQ(written[1], "NVME opc=0x02 nsid=0xffffffff cdw10=0x007f0007 cdw11=0x00000000 cdw12=0x00000000 "
                          "cdw13=0x00000000 cdw14=0x00000000 cdw15=0x00000000 len=512 timeout=30s -> 0/94");
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_TRUE(boost::algorithm::ends_with(written[i + 1], cases[i].traced)) << written[i + 1];
    }
    EXPECT_EQ(written.back(), "ATA proto=ATA cmd=0xb0 feature=0xd0 count=0x01 lbalow=0x00 lbamid=0x4f lbahigh=0xc2 "
                              "device=0x40 blocks=1 -> 0/0");
}

}  // namespace
