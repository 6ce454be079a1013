// The simulated drive answering NVMe admin commands as a controller does.
#include "drivekit/commands/nvme/GetFeatures.h"
#include "drivekit/commands/nvme/SetFeatures.h"
#include "tests/host/SimTestSupport.h"

namespace {

using namespace sim_test;

constexpr uint8_t smartHealthLog = 0x02;
constexpr uint8_t hostTelemetryLog = 0x07;

TEST(SimGetLogPage, OffsetReadReturnsTheMatchingSliceAndWhatAControllerRejectsFails) {
    auto drive = builtIn("varnholt-nvme");
    auto whole = logPage(hostTelemetryLog, 8192);
    const auto full = send(*drive, whole);
    ASSERT_TRUE(full.status.isSuccess());
    ASSERT_EQ(full.data.size(), 8192u);

    auto part = logPage(hostTelemetryLog, 1024, 4096);
    const auto slice = send(*drive, part);
    ASSERT_TRUE(slice.status.isSuccess());
    ASSERT_EQ(slice.data.size(), 1024u);
    EXPECT_EQ(0, std::memcmp(slice.data.data(), full.data.data() + 4096, 1024));
    // The data blocks are not uniform, so a slice from the wrong offset would not match.
    EXPECT_NE(0, std::memcmp(slice.data.data(), full.data.data() + 3072, 1024));

    // MDTS 5: 128 KiB. Offsets, pages and sizes a controller rejects fail.
    auto atLimit = logPage(hostTelemetryLog, 128 * 1024);
    EXPECT_TRUE(send(*drive, atLimit).status.isSuccess());
    const std::vector<std::pair<nvme::GetLogPage, std::string>> rejected{
        {logPage(smartHealthLog, 512, 512), "0/2"},  // Invalid Field in Command: past the end,
        {logPage(smartHealthLog, 64, 2), "0/2"},     // misaligned,
        {logPage(hostTelemetryLog, 128 * 1024 + 4), "0/2"},  // above the transfer size
        {logPage(0x55, 512), "1/9"},                 // Invalid Log Page
    };
    for (auto [command, status] : rejected) {
        const auto result = send(*drive, command);
        EXPECT_EQ(result.status, core::Status::nvmeCommandProblem()) << status;
        EXPECT_EQ(nvmeStatus(result), status);
        EXPECT_EQ(result.data.size(), 0u);
    }
}

TEST(SimGetLogPage, TelemetryDataArea4ShowsOnceTheHostAnnouncesItCanTakeIt) {
    auto drive = builtIn("varnholt-nvme");
    auto header = logPage(hostTelemetryLog, 512, 0, 1);
    const auto before = send(*drive, header);
    ASSERT_TRUE(before.status.isSuccess());
    EXPECT_EQ(*before.data.at(0), hostTelemetryLog);
    EXPECT_EQ(u16At(before.data, 12), 120);  // area 3
    EXPECT_EQ(u32At(before.data, 16), 0u);
    auto end = logPage(hostTelemetryLog, 512, 120 * 512);
    EXPECT_TRUE(send(*drive, end).status.isSuccess());
    auto beyond = logPage(hostTelemetryLog, 512, 121 * 512);
    EXPECT_FALSE(send(*drive, beyond).status.isSuccess());

    core::Payload behaviour(512);
    *behaviour.at(1) = 1;
    nvme::SetFeatures set;
    set.setFeatureId(0x16);
    set.setTransferBytes(512);
    ASSERT_TRUE(drive->sendCommand(set, behaviour).status.isSuccess());
    const auto after = send(*drive, header);
    ASSERT_TRUE(after.status.isSuccess());
    EXPECT_EQ(u32At(after.data, 16), 160u);
    auto area4 = logPage(hostTelemetryLog, 512, 160 * 512);
    EXPECT_TRUE(send(*drive, area4).status.isSuccess());
    // Supported Log Pages announces the data area (bit 16) whatever the host's setting.
    auto supported = logPage(0x00, 1024);
    EXPECT_EQ(u32At(send(*drive, supported).data, 4 * hostTelemetryLog), 0x10001u);

    *behaviour.at(1) = 0;  // the host takes it back
    ASSERT_TRUE(drive->sendCommand(set, behaviour).status.isSuccess());
    EXPECT_EQ(u32At(send(*drive, header).data, 16), 0u);
    EXPECT_FALSE(send(*drive, area4).status.isSuccess());
}

// The serial number, the UUID list and namespace management of the maker's drive are shown in
// its Identify package end to end.
TEST(SimIdentify, ControllerFieldsComeFromTheProfile) {
    auto command = identify(0x01);
    const auto result = send(*builtIn("varnholt-nvme"), command);
    ASSERT_TRUE(result.status.isSuccess());
    ASSERT_EQ(result.data.size(), 4096u);
    EXPECT_EQ(*result.data.at(0xF05), 9);  // product type, as the firmware parameters say

    const auto plain = send(*builtIn("other-nvme"), command);
    ASSERT_TRUE(plain.status.isSuccess());
    EXPECT_EQ(u16At(plain.data, 256) & (1u << 3), 0);
    EXPECT_EQ(u32At(plain.data, 96) & (1u << 9), 0u);
    EXPECT_EQ(*plain.data.at(0xF05), 0);  // another maker's drive has no product type there
}

// The lists and the allocated form of a namespace that is not attached are checked end to end
// in the Identify package; here, what a controller answers for the namespace itself.
TEST(SimIdentify, AnAllocatedNamespaceThatIsNotAttachedIsZeroesAndOthersAreRejected) {
    auto drive = builtIn("varnholt-nvme");
    auto detached = identify(0x00, 3);
    const auto inactive = send(*drive, detached);
    ASSERT_TRUE(inactive.status.isSuccess());
    EXPECT_EQ(*inactive.data.safeCast<uint64_t>(0), 0u);
    auto allocatedNs = identify(0x11, 3);
    EXPECT_EQ(*send(*drive, allocatedNs).data.at(26) & 0xF, 1);  // the 4096-byte format

    auto outOfRange = identify(0x00, 99);
    EXPECT_EQ(nvmeStatus(send(*drive, outOfRange)), "0/11");  // Invalid Namespace or Format
    auto unknownCns = identify(0x1F);
    const auto unknown = send(*drive, unknownCns);
    EXPECT_FALSE(unknown.status.isSuccess());
    EXPECT_EQ(nvmeStatus(unknown), "0/2");
    // A drive without NVMe refuses the command set.
    const auto refused = send(*builtIn("kestrova-sata"), unknownCns);
    EXPECT_EQ(refused.status, core::Status::commandSetNotSupported());
    EXPECT_EQ(refused.data.size(), 0u);
}

TEST(SimFeatures, ValuesPersistPerDriveWithSelectAndSave) {
    auto drive = builtIn("varnholt-nvme");
    nvme::SetFeatures set;
    set.setFeatureId(0x06);
    set.setDword11(0);
    ASSERT_TRUE(send(*drive, set).status.isSuccess());

    nvme::GetFeatures get;
    get.setFeatureId(0x06);
    EXPECT_EQ(completion(send(*drive, get)).dw0, 0u);
    get.setSelect(1);  // default
    EXPECT_EQ(completion(send(*drive, get)).dw0, 1u);
    get.setSelect(2);  // saved: not changed without Save
    EXPECT_EQ(completion(send(*drive, get)).dw0, 1u);

    auto fresh = builtIn("varnholt-nvme");
    get.setSelect(0);
    EXPECT_EQ(completion(send(*fresh, get)).dw0, 1u);

    nvme::SetFeatures queues;
    queues.setFeatureId(0x07);
    queues.setSave(true);
    EXPECT_EQ(nvmeStatus(send(*drive, queues)), "1/13");  // Feature Identifier Not Saveable
    nvme::GetFeatures unknown;
    unknown.setFeatureId(0x7E);
    EXPECT_EQ(nvmeStatus(send(*drive, unknown)), "0/2");
}

// Sends a descriptor and its matching receive, as the vendor channel does.
core::CommandResult vendorRead(host::sim::SimulatedDrive& drive, uint32_t code, uint32_t dwords, uint16_t sequence,
                               uint16_t receiveSequence) {
    nvme::AdminCommand descriptor(0xF1, nvme::DataDirection::toDrive, 1);
    descriptor.entry().cdw12 = code;
    descriptor.entry().cdw13 = sequence;
    auto sent = drive.sendCommand(descriptor, core::Payload());
    if (!sent.status.isSuccess()) {
        return sent;
    }
    nvme::AdminCommand receive(0xF2, nvme::DataDirection::fromDrive, dwords * 4);
    receive.entry().cdw10 = dwords;
    receive.entry().cdw12 = code;
    receive.entry().cdw13 = receiveSequence;
    receive.entry().cdw14 = 1;
    return drive.sendCommand(receive);
}

TEST(SimVendorChannel, ReceiveWithTheMatchingSequenceReadsStateAndParametersAndOtherOpcodesFail) {
    auto drive = builtIn("varnholt-nvme");
    const auto state = vendorRead(*drive, 0x830F1004, 1, 1, 1);
    ASSERT_TRUE(state.status.isSuccess());
    EXPECT_EQ(u32At(state.data, 0), 2u);

    const auto parameters = vendorRead(*drive, 0x83010003, 43, 2, 2);
    ASSERT_TRUE(parameters.status.isSuccess());
    ASSERT_EQ(parameters.data.size(), 172u);
    EXPECT_EQ(u32At(parameters.data, 16), 2u);   // ftl_cores
    EXPECT_EQ(u32At(parameters.data, 168), 2u);  // num_ftl_instances

    EXPECT_EQ(nvmeStatus(vendorRead(*drive, 0x830F1004, 1, 3, 4)), "0/12");  // Command Sequence Error
    EXPECT_FALSE(vendorRead(*drive, 0x83FFFFFF, 1, 5, 5).status.isSuccess());
    // Drives of another maker reject the opcodes.
    const auto other = vendorRead(*builtIn("other-nvme"), 0x830F1004, 1, 1, 1);
    EXPECT_EQ(other.status, core::Status::nvmeCommandProblem());
    EXPECT_EQ(nvmeStatus(other), "0/1");  // Invalid Command Opcode
    nvme::AdminCommand unknown(0x7C, nvme::DataDirection::none);
    EXPECT_EQ(nvmeStatus(drive->sendCommand(unknown)), "0/1");
}

}  // namespace
