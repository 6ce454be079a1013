#include <gtest/gtest.h>

#include <sstream>

#include "host/DriveList.h"
#include "support/StubDrive.h"

namespace {

// A drive that only carries attributes; selection and listing never send a command.
std::shared_ptr<test_support::StubDrive> idleDrive(const std::string& serial, const std::string& model,
                                                  const std::string& protocol) {
    auto drive = std::make_shared<test_support::StubDrive>(std::set<std::string>{protocol});
    drive->withSerialNumber(serial).withModelNumber(model);
    return drive;
}

class DriveListTest : public ::testing::Test {
protected:
    void SetUp() override {
        drives.add(idleDrive("SN-A", "Model A", "NVME"), "sim:a");
        drives.add(idleDrive("7", "Model B", "ATA"), "/dev/sdb");
        drives.add(idleDrive("0", "Model C", "SMART"), "sim:c");
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

TEST_F(DriveListTest, ListsIndexSerialModelPathAndProtocolInColumns) {
    std::ostringstream out;
    drives.print(out);
    EXPECT_EQ("Index  Serial Number  Model    Path      Protocol\n"
              "0      SN-A           Model A  sim:a     NVMe\n"
              "1      7              Model B  /dev/sdb  ATA\n"
              "2      0              Model C  sim:c     unknown\n",
              out.str());
}

}  // namespace
