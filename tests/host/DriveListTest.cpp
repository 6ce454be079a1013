// The drives a run can use: the list that an index, a serial number or a path picks from and
// prints.
#include <sstream>

#include "host/DriveList.h"
#include "support/FakeDrive.h"
#include "tests/host/SimTestSupport.h"

namespace {

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
