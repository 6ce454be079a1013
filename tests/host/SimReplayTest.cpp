// A replay folder served back byte for byte.
#include "drivekit/commands/ata/SMARTReadData.h"
#include "tests/host/SimTestSupport.h"

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

class SimReplay : public SimFolder {};

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
    const auto read = send(*drive, logPage(0x07, 4096, 4096, 0));
    ASSERT_TRUE(read.status.isSuccess());
    EXPECT_EQ(bytesOf(read.data), telemetry.substr(4096, 4096));
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

}  // namespace
