// The Linux drives over a fake pass-through: what reaches the kernel for each command, how its
// answers become statuses, and the attributes derived from a drive's Identify data.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <functional>
#include <tuple>
#include <vector>

#include <linux/nvme_ioctl.h>
#include <sys/ioctl.h>
#include <scsi/sg.h>

#include "tests/host/SimTestSupport.h"
#include "drivekit/commands/CommandSender.h"
#include "drivekit/commands/ata/IdentifyDevice.h"
#include "drivekit/commands/ata/ReadDMA.h"
#include "drivekit/commands/ata/SMARTExecuteOfflineImmediate.h"
#include "drivekit/commands/ata/SMARTReadThresholds.h"
#include "drivekit/commands/nvme/AdminCommand.h"
#include "drivekit/commands/nvme/GetFeatures.h"
#include "drivekit/commands/nvme/GetLogPage.h"
#include "drivekit/commands/nvme/Identify.h"
#include "drivekit/commands/smart/SMARTReadData.h"
#include "host/devices/linux/AtaPassThrough.h"
#include "host/devices/IdentifyFacts.h"
#include "host/devices/linux/LinuxDriveProbe.h"
#include "host/devices/sim/SimAta.h"

namespace {

namespace core = drivekit::core;
namespace nvme = drivekit::commands::nvme;
namespace ata = drivekit::commands::ata;
using namespace host::linux_drives;
using namespace host::devices;
using sim_test::builtIn;

// Records every ioctl and answers it with the test's function.
class FakePassThrough : public PassThrough {
public:
    std::function<int(unsigned long, void*)> answer = [](unsigned long, void*) { return 0; };
    std::vector<nvme_passthru_cmd> nvmeRequests;
    std::vector<std::vector<uint8_t>> written;  // the data-out bytes of each NVMe request
    std::vector<Cdb16> cdbs;
    std::vector<sg_io_hdr> sgRequests;

    int call(unsigned long request, void* argument) override {
        if (request == NVME_IOCTL_ADMIN_CMD) {
            const auto& command = *static_cast<nvme_passthru_cmd*>(argument);
            nvmeRequests.push_back(command);
            const auto* bytes = reinterpret_cast<const uint8_t*>(static_cast<uintptr_t>(command.addr));
            written.emplace_back(bytes, bytes + (bytes ? command.data_len : 0));
        } else if (request == SG_IO) {
            const auto& header = *static_cast<sg_io_hdr*>(argument);
            sgRequests.push_back(header);
            Cdb16 cdb{};
            std::memcpy(cdb.data(), header.cmdp, cdb.size());
            cdbs.push_back(cdb);
        }
        return answer(request, argument);
    }
    const std::string& path() const override { return path_; }

private:
    std::string path_ = "/dev/fake";
};

template <typename Drive>
std::pair<std::shared_ptr<Drive>, FakePassThrough*> fakeDrive(const std::string& path) {
    auto drive = std::make_shared<Drive>(path);
    auto fake = std::make_unique<FakePassThrough>();
    FakePassThrough* seen = fake.get();
    drive->attach(std::move(fake));
    return {drive, seen};
}

// --- NVMe

TEST(LinuxNvmeDrive, EveryDwordDirectionAndLengthReachTheKernel) {
    auto logPage = sim_test::logPage(0x0D, 512, 0x100000200ULL, 0x05, 0x1234);  // every field in use
    logPage.setUuidIndex(3);
    auto oversized = sim_test::logPage(0x02, 512);
    oversized.transferBytes = 16;  // the buffer still holds what the controller is told to move
    nvme::GetFeatures getFeatures;
    getFeatures.setFeatureId(0x07);
    getFeatures.setDword11(0xAABBCCDD);
    nvme::AdminCommand vendorSend(0xF1, nvme::DataDirection::toDrive, 8);
    vendorSend.entry().cdw12 = 0x80000001;
    vendorSend.entry().cdw15 = 0x0F0F0F0F;
    const uint8_t descriptor[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    struct Case {
        const char* what;
        nvme::Command* command;
        core::Payload data;
        uint32_t dataLength;
        bool returnsData;
    };
    const std::vector<Case> cases{
        {"get log page", &logPage, {}, 512, true},
        {"get log page asking for more than its transfer size", &oversized, {}, 512, true},
        {"get features without data", &getFeatures, {}, 0, false},
        {"vendor send", &vendorSend, core::Payload(descriptor, 8), 8, false},
    };
    for (const auto& c : cases) {
        auto [drive, fake] = fakeDrive<LinuxNvmeDrive>("/dev/nvme0");
        fake->answer = [](unsigned long, void* argument) {
            auto& request = *static_cast<nvme_passthru_cmd*>(argument);
            if (request.addr != 0 && (request.opcode & 0x2) != 0) {
                std::memset(reinterpret_cast<void*>(static_cast<uintptr_t>(request.addr)), 0xA5, request.data_len);
            }
            request.result = 0x00C0FFEE;
            return 0;
        };
        const auto result = c.data.empty() ? drive->sendCommand(*c.command) : drive->sendCommand(*c.command, c.data);
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(result.status.isSuccess()) << result.status.message();
        ASSERT_EQ(1u, fake->nvmeRequests.size());
        const auto& sent = fake->nvmeRequests.front();
        const auto& entry = c.command->entry();
        EXPECT_EQ(entry.opcode(), sent.opcode);
        EXPECT_EQ(0, sent.flags);
        EXPECT_EQ(uint32_t{entry.nsid}, sent.nsid);  // a packed field: read by value
        const uint32_t dwords[] = {sent.cdw10, sent.cdw11, sent.cdw12, sent.cdw13, sent.cdw14, sent.cdw15};
        const uint32_t expected[] = {entry.cdw10, entry.cdw11, entry.cdw12, entry.cdw13, entry.cdw14, entry.cdw15};
        EXPECT_TRUE(std::equal(std::begin(dwords), std::end(dwords), std::begin(expected)));
        EXPECT_EQ(c.dataLength, sent.data_len);
        EXPECT_EQ(c.dataLength != 0, sent.addr != 0);
        if (!c.data.empty()) {
            EXPECT_EQ(std::vector<uint8_t>(descriptor, descriptor + 8), fake->written.front());
        }
        EXPECT_EQ(c.returnsData ? c.dataLength : 0u, result.data.size());
        if (c.returnsData) {
            EXPECT_EQ(0xA5, result.data.data()[c.dataLength - 1]);
        }
        ASSERT_TRUE(result.protocolResult);
        EXPECT_EQ(0x00C0FFEEu, result.protocolResult->data().safeCast<nvme::CompletionEntry>()->dw0);
    }
}

TEST(LinuxNvmeDrive, KernelAnswersBecomeStatusesThatKeepTheirCodes) {
    struct Case {
        int answer;
        core::Status status;
        const char* inMessage;
    };
    const std::vector<Case> cases{
        {0x4002, core::Status::nvmeCommandProblem(), "SCT 0x0 SC 0x02 (Invalid Field in Command)"},
        {0x0109, core::Status::nvmeCommandProblem(), "SCT 0x1 SC 0x09 (Invalid Log Page)"},
        {0x0371, core::Status::commandTimedOut(), "command time-out"},
        {0x4007, core::Status::commandTimedOut(), "command time-out"},
        {-ETIMEDOUT, core::Status::commandTimedOut(), "/dev/nvme3 did not answer within the command time-out"},
        {-ENODEV, core::Status::deviceGone(), "/dev/nvme3 is gone"},
        {-EACCES, core::Status::accessRefused(),
         "(EACCES); NVMe admin commands other than Identify need root (CAP_SYS_ADMIN)"},
        {-EPERM, core::Status::accessRefused(), "Identify on /dev/nvme3 was refused by the kernel"},
        {-EINVAL, core::Status::transferRefused(),
         "The kernel refused Identify on /dev/nvme3 with a transfer of 4096 bytes"},
        {-EINTR, core::Status::deviceGone(), "the kernel reset the controller and cancelled the command (EINTR). "
                                             "/dev/nvme3 is given up for the rest of this run."},
        {-EIO, core::Status::systemError(), "/dev/nvme3: Input/output error (EIO) while sending Identify."},
    };
    for (const auto& c : cases) {
        auto [drive, fake] = fakeDrive<LinuxNvmeDrive>("/dev/nvme3");
        fake->answer = [&](unsigned long, void*) { return c.answer; };
        nvme::Identify command;
        const auto result = drive->sendCommand(command);
        SCOPED_TRACE(c.answer);
        EXPECT_EQ(1u, fake->nvmeRequests.size());  // never sent again, not even after EINTR
        EXPECT_EQ(c.status, result.status);
        EXPECT_NE(std::string::npos, result.status.message().find(c.inMessage)) << result.status.message();
        EXPECT_EQ(0u, result.data.size());
        if (c.answer > 0) {
            // The completion keeps the status field as the controller wrote it (phase bit 0).
            ASSERT_TRUE(result.protocolResult);
            EXPECT_EQ(static_cast<uint16_t>(c.answer << 1),
                      result.protocolResult->data().safeCast<nvme::CompletionEntry>()->status);
        }
    }
    // A controller reset gives the drive up: the run sends it nothing more.
    auto [drive, fake] = fakeDrive<LinuxNvmeDrive>("/dev/nvme3");
    fake->answer = [](unsigned long, void*) { return -EINTR; };
    nvme::Identify command;
    drivekit::commands::CommandSender(*drive).send(command);
    EXPECT_EQ(core::Status::deviceGone(), drive->goneStatus());

    // SG_IO without CAP_SYS_RAWIO says what is needed, and IDENTIFY DEVICE at open keeps it bare.
    auto [sata, sgFake] = fakeDrive<LinuxAtaDrive>("/dev/sda");
    sgFake->answer = [](unsigned long, void*) { return -EPERM; };
    const core::Status refused = probeSata(*sata, FoundDrive{});
    EXPECT_EQ(core::Status::accessRefused(), refused);
    EXPECT_EQ("needs root (CAP_SYS_RAWIO) for /dev/sda", refused.message());
    sgFake->answer = [](unsigned long, void*) { return -EINTR; };
    ata::IdentifyDevice identify;
    EXPECT_EQ(core::Status::systemError(), sata->sendCommand(identify).status);
    EXPECT_EQ(2u, sgFake->sgRequests.size());
}

// The time-out sent is the longer of the command queue's and the kernel's own, so that the
// kernel never resets the controller under a command this program still waits for.
TEST(LinuxNvmeDrive, TimeOutSentIsNeverBelowTheKernels) {
    for (const auto& [queueSeconds, floorSeconds, sentMs] :
         std::vector<std::tuple<uint64_t, uint32_t, uint32_t>>{{30, 60, 60000}, {75, 60, 75000}, {30, 0, 30000}}) {
        auto [drive, fake] = fakeDrive<LinuxNvmeDrive>("/dev/nvme0");
        drive->setCommandTimeoutSeconds(queueSeconds);
        drive->setTimeoutFloorSeconds(floorSeconds);
        nvme::Identify command;
        drive->sendCommand(command);
        ASSERT_EQ(1u, fake->nvmeRequests.size());
        EXPECT_EQ(sentMs, fake->nvmeRequests.front().timeout_ms) << queueSeconds << " " << floorSeconds;
    }
}

// Each drive refuses, without calling the kernel, what it cannot send; the SATA drive's SMART
// path carries SMART commands only, and only when the drive supports it.
TEST(LinuxDrives, RefuseWhatTheyCannotSendWithoutCallingTheKernel) {
    auto [drive, fake] = fakeDrive<LinuxNvmeDrive>("/dev/nvme0");
    ata::IdentifyDevice ataIdentify;
    EXPECT_EQ(core::Status::commandSetNotSupported(), drive->sendCommand(ataIdentify).status);
    nvme::AdminCommand huge(0xF2, nvme::DataDirection::fromDrive, 1ULL << 33);
    EXPECT_EQ(core::Status::invalidArguments(), drive->sendCommand(huge).status);
    EXPECT_TRUE(fake->nvmeRequests.empty());
    nvme::Identify nvmeIdentify;
    EXPECT_NE(std::string::npos,
              LinuxNvmeDrive("/dev/nvme9").sendCommand(nvmeIdentify).status.message().find("/dev/nvme9 is not open"));

    auto [sata, sgFake] = fakeDrive<LinuxAtaDrive>("/dev/sda");
    drivekit::commands::smart::SMARTReadData smart;
    EXPECT_EQ(core::Status::commandSetNotSupported(), sata->sendCommand(smart).status);
    sata->setSmartSupported(true);
    EXPECT_TRUE(sata->sendCommand(smart).status.isSuccess());
    EXPECT_TRUE(sata->sendCommand(ataIdentify).status.isSuccess());
    EXPECT_EQ(core::Status::commandSetNotSupported(), sata->sendCommand(nvmeIdentify).status);
    EXPECT_EQ(2u, sgFake->sgRequests.size());
}

// --- SATA

TEST(AtaPassThrough, EachCommandBecomesItsSixteenByteCdb) {
    ata::Command extended("ReadLogExt");
    extended.flags().dataIn = true;
    extended.flags().extended = true;
    extended.current() = {0x00, 0x01, 0x04, 0x00, 0x00, 0x40, 0x2F, 0};
    extended.previous() = {0x00, 0x02, 0x00, 0x03, 0x00, 0x00, 0x00, 0};
    const drivekit::commands::smart::SMARTReadData smart;
    const ata::IdentifyDevice identify;
    const ata::ReadDMA read;
    const ata::SMARTExecuteOfflineImmediate offline(0x40);
    const std::vector<std::pair<const ata::Command*, std::vector<uint8_t>>> cases{
        {&smart, {0x85, 0x08, 0x0e, 0, 0xd0, 0, 0x01, 0, 0, 0, 0x4f, 0, 0xc2, 0, 0xb0, 0}},
        {&identify, {0x85, 0x08, 0x0e, 0, 0, 0, 0x01, 0, 0, 0, 0, 0, 0, 0, 0xec, 0}},
        {&read, {0x85, 0x0c, 0x1e, 0, 0, 0, 0x01, 0, 0, 0, 0, 0, 0, 0x40, 0xc8, 0}},  // logical sectors
        {&offline, {0x85, 0x06, 0x20, 0, 0xd4, 0, 0, 0, 0x40, 0, 0x4f, 0, 0xc2, 0, 0xb0, 0}},
        {&extended, {0x85, 0x09, 0x0e, 0, 0, 0x02, 0x01, 0, 0x04, 0x03, 0, 0, 0, 0, 0x2f, 0}},
    };
    for (const auto& [command, expected] : cases) {
        const Cdb16 cdb = ataPassThroughCdb(*command);
        EXPECT_EQ(expected, std::vector<uint8_t>(cdb.begin(), cdb.end())) << command->name();
    }
}

std::vector<uint8_t> descriptorSense(uint8_t status, uint8_t error, uint8_t additional = 14) {
    return {0x72, 0x01, 0x00, 0x1D, 0, 0, 0, additional, 0x09, 0x0C, 0, error, 0, 0x01, 0, 0x00, 0, 0x4F, 0, 0xC2,
            0x40, status};
}

TEST(LinuxAtaDrive, SenseDataAndTransportCodesDecideTheOutcome) {
    struct Case {
        const char* what;
        std::vector<uint8_t> sense;
        uint16_t hostStatus;
        int resid;
        bool success;
        const char* inMessage;
        uint32_t dataBytes;
    };
    // Fixed format: aborted command, error ABRT, status DRDY ERR.
    const std::vector<uint8_t> fixed{0x70, 0, 0x0B, 0x04, 0x51, 0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    std::vector<uint8_t> illegal{0x72, 0x05, 0x20, 0x00, 0, 0, 0, 0};
    const std::vector<Case> cases{
        {"no sense", {}, 0, 0, true, "", 512},
        {"registers, status 0x50", descriptorSense(0x50, 0x00), 0, 0, true, "", 512},
        {"aborted", descriptorSense(0x51, 0x04), 0, 0, false, "ATA command aborted (status 0x51, error 0x04).", 0},
        {"fixed format aborted", fixed, 0, 0, false, "ATA command aborted (status 0x51, error 0x04).", 0},
        {"pass-through refused", illegal, 0, 0, false, "sense key 0x05, ASC 0x20", 0},
        {"descriptor cut short", descriptorSense(0x51, 0x04, 200), 0, 0, false, "status 0x51", 0},
        {"time-out", {}, 0x03, 0, false, "did not complete within the command time-out", 0},
        {"disk gone", {}, 0x01, 0, false, "/dev/sdq is gone", 0},
        {"short transfer", {}, 0, 12, true, "", 500},
    };
    for (const auto& c : cases) {
        auto [drive, fake] = fakeDrive<LinuxAtaDrive>("/dev/sdq");
        drive->setCommandTimeoutSeconds(3);
        fake->answer = [&](unsigned long, void* argument) {
            auto& header = *static_cast<sg_io_hdr*>(argument);
            if (!c.sense.empty()) {
                std::memcpy(header.sbp, c.sense.data(), std::min<std::size_t>(c.sense.size(), header.mx_sb_len));
            }
            header.sb_len_wr = static_cast<unsigned char>(std::min<std::size_t>(c.sense.size(), header.mx_sb_len));
            header.status = c.sense.empty() ? 0 : 0x02;
            header.host_status = c.hostStatus;
            header.resid = c.resid;
            return 0;
        };
        ata::SMARTReadThresholds command;
        const auto result = drive->sendCommand(command);
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.success, result.status.isSuccess()) << result.status.message();
        EXPECT_NE(std::string::npos, result.status.message().find(c.inMessage)) << result.status.message();
        EXPECT_EQ(c.dataBytes, result.data.size());
        const auto& header = fake->sgRequests.at(0);
        EXPECT_EQ(SG_DXFER_FROM_DEV, header.dxfer_direction);
        EXPECT_EQ(512u, header.dxfer_len);
        EXPECT_EQ(3000u, header.timeout);
    }
}

// --- attributes

// Serves NVMe admin commands from a simulated drive, as a controller would answer them.
int serveFromSimulatedDrive(host::sim::SimulatedDrive& sim, void* argument) {
    auto& request = *static_cast<nvme_passthru_cmd*>(argument);
    nvme::Command command;
    command.entry().setOpcode(request.opcode);
    command.entry().nsid = request.nsid;
    // Dwords 10 to 15 lie side by side in both structures.
    std::memcpy(reinterpret_cast<uint8_t*>(&command.entry()) + 40, &request.cdw10, 6 * sizeof(uint32_t));
    command.transferBytes = request.data_len;
    command.flags().dataIn = true;
    const auto result = sim.sendCommand(command, core::Payload());
    const auto& completion = *result.protocolResult->data().safeCast<nvme::CompletionEntry>();
    if (result.status.isSuccess()) {
        std::memcpy(reinterpret_cast<void*>(static_cast<uintptr_t>(request.addr)), result.data.data(),
                    std::min<uint32_t>(request.data_len, result.data.size()));
        request.result = completion.dw0;
    }
    return completion.status >> 1;
}

TEST(LinuxDriveProbe, NvmeAttributesComeFromTheControllersIdentifyDataAndSysfs) {
    const std::vector<std::string> derived{
        "SerialNumber", "ModelNumber", "Firmware", "NumErrorLogPageEntries", "TelemetryLogSupported",
        "UUIDSupported", "NamespaceManagementSupported", "NVMe1Point4OrGreater", "NVMe2Point0OrGreater",
        "OCPSupported", "SMARTEnabled", "Kestrova", "KestrovaNVMe", "KestrovaGen3SATA",
        "MaximumDataTransferSize"};  // the smaller of the controller's MDTS (5 or 6 here) and the kernel's 7
    for (const std::string name : {"varnholt-nvme", "kestrova-nvme", "other-nvme"}) {
        SCOPED_TRACE(name);
        auto sim = builtIn(name);
        auto [drive, fake] = fakeDrive<LinuxNvmeDrive>("/dev/nvme0");
        fake->answer = [&](unsigned long, void* argument) { return serveFromSimulatedDrive(*sim, argument); };
        FoundDrive found;
        found.namespaceId = 1;
        found.kernelMaxTransferBytes = 512 * 1024;  // the kernel's limit: 4096 << 7
        found.driverVersion = "6.1.0-test";
        ASSERT_TRUE(probeNvme(*drive, found).isSuccess());
        for (const auto& key : derived) {
            EXPECT_EQ(sim->attributes.get(key).toText(), drive->attributes.get(key).toText()) << key;
        }
        EXPECT_EQ("Linux", drive->attributes.readString("DriverProvider"));
        EXPECT_EQ("Linux NVMe", drive->attributes.readString("Connection"));
        EXPECT_EQ("6.1.0-test", drive->attributes.readString("DriverVersion"));
        EXPECT_EQ(1u, drive->attributes.readUint32("NamespaceId"));
        if (sim->attributes.readBool("Kestrova")) {
            EXPECT_EQ(sim->attributes.readString("Product"), drive->attributes.readString("Product"));
        }
    }
}

TEST(LinuxDriveProbe, AtaAttributesAndTheSmartPathComeFromIdentifyDevice) {
    auto sim = builtIn("kestrova-sata");
    auto identifyData = host::sim::SimAta::identifyDevice(sim->profile());
    // The second disk also has 4096-byte logical sectors (word 106 bit 12, words 117-118 in words).
    for (const bool smartEnabled : {true, false}) {
        auto [drive, fake] = fakeDrive<LinuxAtaDrive>("/dev/sda");
        auto data = core::Payload(identifyData.data(), identifyData.size());
        data.data()[85 * 2] = static_cast<uint8_t>(smartEnabled ? data.data()[85 * 2] | 1 : data.data()[85 * 2] & ~1);
        if (!smartEnabled) {
            data.data()[106 * 2 + 1] = 0x50;  // valid, logical sector longer than 256 words
            data.data()[117 * 2 + 1] = 0x08;  // 2048 words
        }
        fake->answer = [&](unsigned long, void* argument) {
            auto& header = *static_cast<sg_io_hdr*>(argument);
            std::memcpy(header.dxferp, data.data(), 512);
            return 0;
        };
        ASSERT_TRUE(probeSata(*drive, FoundDrive{}).isSuccess());
        for (const char* key : {"SerialNumber", "ModelNumber", "Firmware"}) {
            EXPECT_EQ(sim->attributes.readString(key), drive->attributes.readString(key)) << key;
        }
        EXPECT_EQ(smartEnabled, drive->attributes.readBool("SMARTEnabled"));
        EXPECT_EQ("Linux SATA", drive->attributes.readString("Connection"));
        EXPECT_TRUE(drive->isProtocolSupported("SMART"));
        EXPECT_TRUE(drive->attributes.readBool("KestrovaGen3SATA"));
        EXPECT_EQ(0xEC, fake->cdbs.at(0)[14]);  // the probe asks IDENTIFY DEVICE
        // The first read of the medium moves one logical sector; IDENTIFY stays 512 bytes.
        ata::ReadDMA read;
        ata::IdentifyDevice identify;
        drive->sendCommand(read);
        drive->sendCommand(identify);
        EXPECT_EQ(smartEnabled ? 512u : 4096u, fake->sgRequests.at(1).dxfer_len);
        EXPECT_EQ(512u, fake->sgRequests.at(2).dxfer_len);
    }
}

TEST(IdentifyFacts, TransferShiftIsTheSmallerOfTheControllersAndTheKernelsLimit) {
    struct Case {
        uint8_t mdts;
        uint64_t kernel;
        uint8_t shift;
    };
    for (const auto& c : std::vector<Case>{{7, 512 * 1024, 7}, {0, 512 * 1024, 7}, {9, 128 * 1024, 5},
                                           {5, 0, 5}, {5, 1000 * 1024, 5}, {0, 0, 0}, {7, 6 * 1024, 0}}) {
        EXPECT_EQ(c.shift, transferShift(c.mdts, c.kernel)) << int(c.mdts) << " " << c.kernel;
    }
    NvmeControllerFacts facts;
    EXPECT_FALSE(NvmeControllerFacts::read(core::Payload(262), facts));
    EXPECT_TRUE(facts.atLeast(1, 0));  // a controller that reports no version is a 1.0 one
    EXPECT_FALSE(facts.atLeast(1, 1));
    AtaIdentifyFacts ata;
    EXPECT_FALSE(AtaIdentifyFacts::read(core::Payload(511), ata));
}

}  // namespace
