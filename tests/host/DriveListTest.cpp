// The drives a run can use: this machine's drives listed from a fake sysfs (which controllers and
// disks, in which order, what is read for each), and the list that an index, a serial number or
// a path picks from and prints.
#include <sstream>

#include "host/DriveList.h"
#include "host/devices/linux/LinuxDriveScan.h"
#include "support/FakeDrive.h"
#include "tests/host/SimTestSupport.h"

namespace {

using namespace host::linux_drives;
using sim_test::fs::path;

class LinuxDriveScanTest : public sim_test::SimFolder {
protected:
    void put(const path& file, const std::string& text) { write(file.string(), text); }
    void controller(const std::string& name, const std::string& transport, const std::string& state) {
        put("class/nvme/" + name + "/model", "Model " + name + "          \n");
        put("class/nvme/" + name + "/serial", "SN-" + name + "\n");
        put("class/nvme/" + name + "/firmware_rev", "FW1\n");
        put("class/nvme/" + name + "/transport", transport + "\n");
        put("class/nvme/" + name + "/state", state + "\n");
    }
    void disk(const std::string& name, const std::string& vendor) {
        put("block/" + name + "/device/vendor", vendor + "     \n");
        put("block/" + name + "/device/model", "Disk " + name + "\n");
        put("block/" + name + "/device/rev", "2.5+\n");
        put("block/" + name + "/device/vpd_pg80", std::string("\0\x80\0\x06", 4) + "SATA-1");
    }
};

TEST_F(LinuxDriveScanTest, ListsNvmeControllersThenSataAndUsbDisksInTheKernelsOrderFromSysfs) {
    controller("nvme10", "tcp", "live");
    put("class/nvme/nvme10/subsysnqn", "nqn.2014-08.org.nvmexpress.discovery\n");
    controller("nvme2", "pcie", "live");
    // Two namespaces and the generic character device, which has no nsid: the lowest is taken.
    put("class/nvme/nvme2/nvme2n2/nsid", "2\n");
    put("class/nvme/nvme2/nvme2n1/nsid", "1\n");
    put("class/nvme/nvme2/nvme2n1/queue/max_hw_sectors_kb", "2048\n");
    put("class/nvme/nvme2/nvme2n1/queue/max_segments", "33\n");
    put("class/nvme/nvme2/ng2n1/dev", "240:0\n");
    // A multipath path device only; its limits are read from the head in /sys/block.
    controller("nvme3", "tcp", "live");
    put("class/nvme/nvme3/nvme1c3n2/nsid", "2\n");
    put("block/nvme1n2/queue/max_hw_sectors_kb", "1024\n");
    put("block/nvme1n2/queue/max_segments", "127\n");
    controller("nvme4", "pcie", "resetting");
    put("class/nvme/nvme4/nvme4n1/nsid", "1\n");
    put("class/nvme/nvme4/nvme4n1/queue/max_hw_sectors_kb", "128\n");
    put("class/nvme/nvme-fabrics/dev", "10:1\n");
    put("module/nvme_core/parameters/admin_timeout", "60\n");
    for (const std::string name : {"sdaa", "sdb"}) {
        disk(name, "ATA");
    }
    put("block/sdb/queue/logical_block_size", "4096\n");
    disk("sdc", "HP");  // another SCSI disk: not listed
    // A USB disk: its device folder resolves below a USB controller.
    const path usbDevice = "devices/pci0000:00/0000:00:14.0/usb2/2-1/2-1:1.0/host6/target6:0:0/6:0:0:0";
    put(usbDevice / "vendor", "Generic \n");
    put(usbDevice / "model", "Flash Disk\n");
    sim_test::fs::create_directories(dir / "block/sdd");
    sim_test::fs::create_symlink(dir / usbDevice, dir / "block/sdd/device");
    put("module/libata/version", "3.00\n");

    const auto drives = scanDrives(dir.string(), "/dev");

    struct Expected {
        std::string path;
        uint32_t namespaceId;
        uint64_t transferBytes;
        std::string attachment;
        bool byIndex;
    };
    const std::vector<Expected> expected{
        {"/dev/nvme2", 1, 33 * 4096, "pcie, live", true},
        {"/dev/nvme3", 2, 256 * 1024, "tcp, live", false},
        {"/dev/nvme4", 1, 128 * 1024, "pcie, resetting", false},
        {"/dev/nvme10", 0, 0, "tcp, live, discovery", false},
        {"/dev/sdb", 0, 0, "sata", true},
        {"/dev/sdd", 0, 0, "usb, not supported (USB bridge)", true},
        {"/dev/sdaa", 0, 0, "sata", true},
    };
    ASSERT_EQ(expected.size(), drives.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const auto& drive = drives[i];
        EXPECT_EQ(expected[i].path, drive.path);
        EXPECT_EQ(expected[i].namespaceId, drive.namespaceId) << drive.path;
        EXPECT_EQ(expected[i].transferBytes, drive.kernelMaxTransferBytes) << drive.path;
        EXPECT_EQ(expected[i].attachment, attachmentText(drive)) << drive.path;
        EXPECT_EQ(expected[i].byIndex, drive.selectableByIndex) << drive.path;
        EXPECT_EQ(drive.kind == FoundDrive::Kind::nvme ? 60u : 0u, drive.adminTimeoutSeconds) << drive.path;
        EXPECT_EQ(drive.unsupported.empty(), drive.path != "/dev/sdd") << drive.path;
    }
    EXPECT_EQ("Model nvme2", drives[0].modelNumber);
    EXPECT_EQ("SN-nvme2", drives[0].serialNumber);
    EXPECT_EQ("SATA-1", drives[4].serialNumber);
    EXPECT_EQ("libata 3.00", drives[4].driverVersion);
    EXPECT_EQ(FoundDrive::Kind::sata, drives[4].kind);
    EXPECT_EQ(4096u, drives[4].logicalSectorBytes);
    EXPECT_EQ(0u, drives[6].logicalSectorBytes);
    EXPECT_EQ("Flash Disk", drives[5].modelNumber);
}

// A drive that only carries attributes; selection and listing never send a command.
std::shared_ptr<test_support::FakeDrive> idleDrive(const std::string& serial, const std::string& model,
                                                  const std::string& protocol) {
    auto drive = std::make_shared<test_support::FakeDrive>(std::set<std::string>{protocol});
    drive->withSerialNumber(serial).attributes.writeString(drivekit::core::attributes::modelNumber(), model);
    return drive;
}

class DriveListTest : public ::testing::Test {
protected:
    void SetUp() override {
        drives.add(idleDrive("SN-A", "Model A", "NVME"), "sim:a");
        drives.add(idleDrive("7", "Model B", "ATA"), "/dev/sdb");
        drives.add(idleDrive("0", "Model C", "SMART"), "sim:c");
        drives.add({idleDrive("SN-T", "Fabric", "NVME"), "/dev/nvme1", {}, "tcp, live", "", false});
        drives.add({idleDrive("SN-U", "Stick", "ATA"), "/dev/sdc", {}, "usb, not supported (USB bridge)",
                    "not supported (USB bridge)", true});
    }
    std::string select(const std::string& selector) {
        error.clear();
        const auto* entry = drives.select(selector, error);
        return entry ? entry->path : "";
    }
    host::DriveList drives;
    std::string error;
};

TEST_F(DriveListTest, SelectsByIndexThenSerialNumberThenPath) {
    EXPECT_EQ("sim:a", select("0"));
    EXPECT_EQ("/dev/sdb", select("1"));
    // Not an index of the list, but a drive's serial number.
    EXPECT_EQ("/dev/sdb", select("7"));
    EXPECT_EQ("sim:a", select("SN-A"));
    EXPECT_EQ("sim:c", select("sim:c"));
    EXPECT_EQ("", select("sn-a"));
    EXPECT_NE(std::string::npos, error.find("sn-a"));
    EXPECT_EQ("", select("99999999999999999999"));
    EXPECT_EQ("", select(""));
}

TEST_F(DriveListTest, AnIndexSkipsWhatItDoesNotPickAndSaysWhichDriveItPicked) {
    // A fabrics controller keeps its row but is picked by path or serial number only.
    EXPECT_EQ("", select("3"));
    EXPECT_NE(std::string::npos, error.find("-ssd /dev/nvme1")) << error;
    EXPECT_EQ("/dev/nvme1", select("/dev/nvme1"));
    EXPECT_EQ("/dev/nvme1", select("SN-T"));
    // A listed but unsupported disk is never selected, however it is named.
    for (const std::string selector : {"4", "SN-U", "/dev/sdc"}) {
        EXPECT_EQ("", select(selector)) << selector;
        EXPECT_NE(std::string::npos, error.find("/dev/sdc is not supported (USB bridge)")) << error;
    }
    EXPECT_EQ("drive 1 is /dev/sdb (serial 7, model Model B)", drives.indexNotice("1"));
    for (const std::string selector : {"SN-A", "sim:a", "3", "4", "5"}) {
        EXPECT_EQ("", drives.indexNotice(selector)) << selector;
    }
}

TEST_F(DriveListTest, ListsIndexSerialModelPathProtocolAndAttachmentInColumns) {
    std::ostringstream out;
    drives.print(out);
    EXPECT_EQ("Index  Serial Number  Model    Path        Protocol  Attached\n"
              "0      SN-A           Model A  sim:a       NVMe\n"
              "1      7              Model B  /dev/sdb    ATA\n"
              "2      0              Model C  sim:c       unknown\n"
              "3      SN-T           Fabric   /dev/nvme1  NVMe      tcp, live\n"
              "4      SN-U           Stick    /dev/sdc    ATA       usb, not supported (USB bridge)\n",
              out.str());
}

}  // namespace
