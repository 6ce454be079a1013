// What a profile makes of the simulated drive: a replay folder served back byte for byte, faults
// injected, and the one-line errors of profiles that cannot be used. (The built-in profiles load
// in the probe and end-to-end tests.)
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <boost/algorithm/string/predicate.hpp>
#include <cerrno>
#include <cstring>
#include <nlohmann/json.hpp>
#include <zlib.h>

#include "drivekit/commands/ata/SMARTReadData.h"
#include "tests/host/SimTestSupport.h"
#include "tests/support/TextFiles.h"

namespace {

using namespace sim_test;

std::string pattern(size_t size, unsigned seed) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<char>((i * 31 + seed + i / 251) & 0xFF);
    }
    return bytes;
}

std::string bytesOf(const core::Payload& data) {
    return std::string(reinterpret_cast<const char*>(data.data()), data.size());
}

using SimReplay = SimFolder;

TEST_F(SimReplay, PackageFilesAreServedForTheirCommandsOnNvmeAndSata) {
    const std::string vendorPage = pattern(512, 1);
    const std::string telemetry = pattern(3 * 4096, 2);
    const std::string controller = pattern(4096, 3);
    write("package/log_pages/lid_0xc0_lsp_0x00_lsi_0x0000.bin", vendorPage);
    write("package/log_pages/lid_0x07_lsp_0x01_lsi_0x0000.bin", telemetry);
    write("package/identify/cntid_0_cns_1_nsid_0_nvmsetid_0_csi_0.bin", controller);
    auto drive = this->drive(R"({"attributes": {"SerialNumber": "R1", "TelemetryLogSupported": true},
                                 "protocols": ["NVME"], "replay": "package"})");
    ASSERT_TRUE(drive);

    EXPECT_EQ(bytesOf(send(*drive, logPage(0xC0, 512)).data), vendorPage);
    // The telemetry file serves every read of the log, whatever its log-specific field.
    EXPECT_EQ(bytesOf(send(*drive, logPage(0x07, 4096, 4096, 0)).data), telemetry.substr(4096, 4096));
    EXPECT_FALSE(send(*drive, logPage(0x07, 4096, 3 * 4096)).status.isSuccess());
    EXPECT_EQ(bytesOf(send(*drive, identify(0x01)).data), controller);
    // Pages the folder lacks still come from the drive itself.
    EXPECT_TRUE(send(*drive, logPage(0x02, 512)).status.isSuccess());

    const std::string sector = pattern(512, 9);
    write("package/SATA_logs/SMART_DATA.bin", sector);
    auto sata = this->drive(R"({"attributes": {"SerialNumber": "R2", "SMARTEnabled": true},
                                "protocols": ["ATA"], "replay": "package"})");
    ASSERT_TRUE(sata);
    drivekit::commands::ata::SMARTReadData smart;
    EXPECT_EQ(bytesOf(sata->sendCommand(smart).data), sector);
}

// The realistic telemetry pattern is made from the offset alone: pieces read at other
// alignments give the bytes of a first pass through the log. Deflate at level 6 only
// about halves its data areas, as it does a real dump.
using SimTelemetry = SimFolder;

TEST_F(SimTelemetry, RealisticTelemetryIsTheSameByOffsetAndDeflatesToAboutHalf) {
    auto drive = this->drive(R"({"attributes": {"SerialNumber": "T1", "TelemetryLogSupported": true,
                                                "MaximumDataTransferSize": 8},
                                 "protocols": ["NVME"],
                                 "nvme": {"telemetry": {"hostInitiated": [64, 1024, 16383, 0],
                                                        "pattern": "realistic"}}})");
    ASSERT_TRUE(drive);
    constexpr uint32_t piece = 1 << 20;
    std::string log;
    for (uint32_t offset = 0; offset < 8 * piece; offset += piece) {
        log += bytesOf(send(*drive, logPage(0x07, piece, offset)).data);
    }
    ASSERT_EQ(log.size(), 8u * piece);
    for (const auto& [offset, length] : std::vector<std::pair<uint32_t, uint32_t>>{
             {0, 4096}, {508, 36}, {piece - 20, 4000}, {5 * piece + 1028, 100000}}) {
        EXPECT_EQ(bytesOf(send(*drive, logPage(0x07, length, offset)).data), log.substr(offset, length)) << offset;
    }
    const std::string data = log.substr(512);
    std::vector<Bytef> packed(compressBound(data.size()));
    uLongf packedSize = packed.size();
    ASSERT_EQ(compress2(packed.data(), &packedSize, reinterpret_cast<const Bytef*>(data.data()), data.size(), 6), Z_OK);
    const double ratio = static_cast<double>(packedSize) / data.size();
    EXPECT_GT(ratio, 0.40);
    EXPECT_LT(ratio, 0.65);
}

class SimBadProfiles : public SimFolder {
protected:
    // Opens path, expects failure and returns the error.
    std::string errorFor(const std::string& path) {
        std::string error;
        auto drive = host::sim::openSimulatedDrive(path, error);
        EXPECT_FALSE(drive);
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
        EXPECT_NE(error.find(path), std::string::npos) << error;
        return error;
    }
    std::string errorForText(const std::string& json) { return errorFor(write("bad.json", json).string()); }
};

TEST_F(SimBadProfiles, EachProblemGivesOneLineNamingFileAndProblem) {
    // The FIFO is held open for writing, so that even a wrong reader would not wait for a writer.
    const std::string fifo = (dir / "fifo.json").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const int writer = ::open(fifo.c_str(), O_RDWR | O_NONBLOCK);
    ASSERT_GE(writer, 0);
    const fs::path huge = write("huge.json", "");
    fs::resize_file(huge, 4 * 1024 * 1024 + 1);
    const std::string minimal = R"({"attributes": {}, "protocols": ["NVME"], )";
    const std::vector<std::pair<std::string, std::string>> files = {
        {(dir / "missing.json").string(), "cannot read the profile (No such file or directory)"},
        // A folder is a package to replay, here one of no drive.
        {dir.string(), ": the package holds neither an Identify Controller structure nor SMART sectors"},
        {fifo, "(not a regular file but a FIFO)"},
        {huge.string(), "the profile is larger than 4 MiB"},
        {"no-such-drive", "; built-in profiles are varnholt-nvme, kestrova-nvme, kestrova-sata and other-nvme"},
    };
    for (const auto& [path, message] : files) {
        EXPECT_NE(errorFor(path).find(message), std::string::npos) << errorFor(path);
    }
    ::close(writer);
    const std::vector<std::pair<std::string, std::string>> texts = {
        {R"({"attributes": {"Kestrova": true,}})", "not valid JSON"},
        {R"({"attributes": {"Kestrova": "yes"}, "protocols": ["NVME"]})", "\"attributes.Kestrova\" must be true"},
        {R"({"attributes": {"MaximumDataTransferSize": 300}, "protocols": ["NVME"]})", "MaximumDataTransferSize"},
        {R"({"attributes": {"Colour": "red"}, "protocols": ["NVME"]})", "Colour"},
        {R"({"attributes": {}, "protocols": ["SCSI"]})", "protocols"},
        {minimal + R"("nvme": {"namespaces": [{"id": 0}]}})", "id"},
        {minimal + R"("nvme": {"telemetry": {"hostInitiated": [40, 8, 120, 0]}}})", "nvme.telemetry.hostInitiated"},
        {minimal + R"("nvme": {"telemetry": {"pattern": "random"}}})", "nvme.telemetry.pattern"},
        {minimal + R"("replay": "nowhere"})", "does not exist"},
        {minimal + R"("faults": [{"action": "explode"}]})", "action"},
        {R"([1, 2])", "must be an object"},
    };
    for (const auto& [text, message] : texts) {
        EXPECT_NE(errorForText(text).find(message), std::string::npos) << errorForText(text);
    }
}

TEST_F(SimBadProfiles, ReplayedBinariesMustBeRegularFilesOfBoundedSize) {
    const std::string profile =
        write("replayed.json", R"({"attributes": {}, "protocols": ["NVME"], "replay": "replay"})").string();
    const fs::path device = dir / "replay" / "log_pages" / "lid_0x02_lsp_0x00_lsi_0x0000.bin";
    fs::create_directories(device.parent_path());
    fs::create_symlink("/dev/zero", device);
    EXPECT_NE(errorFor(profile).find(device.string() + "\" is not a regular file"), std::string::npos);
    fs::remove(device);
    fs::resize_file(write("replay/identify/cntid_0_cns_1_nsid_0_nvmsetid_0_csi_0.bin", ""), (128 << 20) + 1);
    EXPECT_NE(errorFor(profile).find("larger than the 128 MiB"), std::string::npos) << errorFor(profile);
}

// A small NVMe drive whose faults are the given JSON list.
std::string nvmeProfile(const std::string& faults) {
    return R"({"attributes": {"SerialNumber": "F1", "Kestrova": true, "TelemetryLogSupported": true,
                              "MaximumDataTransferSize": 3},
               "protocols": ["NVME"],
               "nvme": {"namespaces": [{"id": 1, "sizeBlocks": 1000}],
                        "telemetry": {"hostInitiated": [16, 32, 64, 0], "controllerInitiated": [0, 0, 0, 0]}},
               "faults": )" + faults + "}";
}

using SimFaults = SimFolder;

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
            SCOPED_TRACE("command " + std::to_string(i));
            const auto result = send(*drive, *steps[i].command);
            const bool ok = steps[i].status == "0/0";
            EXPECT_EQ(result.status.isSuccess(), ok);
            EXPECT_EQ(result.data.empty(), !ok);
            if (steps[i].status == "gone") {
                EXPECT_FALSE(result.protocolResult);
                EXPECT_EQ(result.status.message(), drive->path() + " is gone (" + std::strerror(ENODEV) +
                                                       ") while sending " + steps[i].command->name() + ".");
            } else {
                EXPECT_EQ(nvmeStatus(result), steps[i].status);
                EXPECT_EQ(result.status, ok ? core::Status() : core::Status::nvmeCommandProblem());
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
