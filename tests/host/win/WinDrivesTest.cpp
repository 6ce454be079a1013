// This machine's drives on Windows over fakes of the seam and the device tree: which disks the
// listing keeps and in which order, what opening one needs and says, the attributes an opened
// drive gets, and which controller's driver it is said to go through.
#include "host/devices/win/WinDrives.h"

#include <gtest/gtest.h>

#include <map>

#include "drivekit/core/DeviceAttributes.h"
#include "host/devices/win/StorageDriver.h"
#include "host/devices/win/StorageLayouts.h"
#include "host/devices/win/SystemErrorStatus.h"
#include "host/win/FakeIoControl.h"

namespace host::win_drives {
namespace {

namespace core = drivekit::core;
namespace attributes = drivekit::core::attributes;
using testing::dwords;
using testing::FakeIoControl;
using testing::putDword;
using testing::RecordedRequest;

// A device descriptor of the bus with its serial number and model; offset moves the serial
// number's offset (past the bytes, to lie).
std::vector<uint8_t> descriptorOf(uint32_t bus, const std::string& serial, uint32_t offset = 40) {
    const std::string model = "Model " + serial;
    std::vector<uint8_t> bytes =
        dwords({1, 200, 0, 0, offset + uint32_t(serial.size()) + 1, 0, offset, bus, 0, 0});
    bytes.insert(bytes.end(), serial.begin(), serial.end());
    bytes.push_back(0);
    bytes.insert(bytes.end(), model.begin(), model.end());
    bytes.push_back(0);
    return bytes;
}

// An NVMe controller behind the system's protocol interface: Identify Controller with a model
// and PCI vendor, namespace 7 as the only active one, zeros for every other query.
IoAnswer nvmeController(const RecordedRequest& request) {
    IoAnswer answer{0, request.input};
    answer.output.resize(request.outputSize);
    putDword(answer.output, 0, 48);
    putDword(answer.output, 4, 48);
    const uint32_t dataType = answer.output[12];
    const uint32_t cns = answer.output[16];
    if (dataType == uint32_t(NvmeDataType::identify) && cns == 1 && answer.output.size() >= 48 + 4096) {
        const std::string model = "Windows Test SSD";
        std::copy(model.begin(), model.end(), answer.output.begin() + 48 + 24);
        answer.output[48] = 0x86;
        answer.output[49] = 0x80;
    } else if (dataType == uint32_t(NvmeDataType::identify) && cns == 2) {
        putDword(answer.output, 48, 7);
    }
    return answer;
}

// The disks of a machine: what opening each number gives.
struct FakeMachine {
    // Per number: the descriptor, or the system error of opening it; numbers not here are missing.
    std::map<uint32_t, std::vector<uint8_t>> descriptors;
    std::map<uint32_t, uint32_t> refusals;
    uint32_t readWriteRefusal = 0;
    std::vector<std::pair<std::string, Access>> opened;

    DiskOpener opener() {
        return [this](const std::string& path, Access access, uint32_t& systemError) -> std::unique_ptr<IoControl> {
            opened.emplace_back(path, access);
            const auto number = uint32_t(std::stoul(path.substr(std::string(R"(\\.\PhysicalDrive)").size())));
            systemError = refusals.count(number) ? refusals[number] : system_errors::fileNotFound;
            if (access == Access::readWrite && readWriteRefusal != 0) {
                systemError = readWriteRefusal;
                return nullptr;
            }
            if (!descriptors.count(number)) {
                return nullptr;
            }
            systemError = 0;
            auto io = std::make_unique<FakeIoControl>(path);
            if (access == Access::query) {
                io->queue(descriptors[number]);
            } else {
                io->respondWith(nvmeController);
            }
            return io;
        };
    }
};

// A device tree: each node's parent and properties.
class FakeTree : public DeviceTree {
public:
    std::map<uint32_t, std::string> disks;
    std::map<std::string, std::string> parents;
    std::map<std::string, std::map<NodeProperty, std::string>> properties;

    std::string diskNode(uint32_t number) override { return disks.count(number) ? disks[number] : ""; }
    std::string parentOf(const std::string& node) override { return parents.count(node) ? parents[node] : ""; }
    std::string property(const std::string& node, NodeProperty which) override { return properties[node][which]; }

    void controller(const std::string& node, const std::string& setupClass, const std::string& provider) {
        properties[node] = {{NodeProperty::setupClass, setupClass},
                            {NodeProperty::driverProvider, provider},
                            {NodeProperty::driverVersion, "10.0.26100.1882"}};
    }
};

TEST(WinDrives, ListingKeepsNvmeAndSataDisksInOrderAndStopsAfterARunOfMissingNumbers) {
    FakeMachine machine;
    machine.descriptors[0] = descriptorOf(bus_types::sata, "SATA0");
    machine.descriptors[2] = descriptorOf(bus_types::nvme, "NVME2");
    machine.descriptors[3] = descriptorOf(bus_types::usb, "USB3");
    machine.descriptors[4] = descriptorOf(bus_types::sas, "SAS4");
    machine.descriptors[5] = descriptorOf(bus_types::nvme, "LIES5", 4000);
    machine.refusals[6] = system_errors::accessDenied;
    // Past a run of three missing numbers, never looked at.
    machine.descriptors[10] = descriptorOf(bus_types::nvme, "NVME10");

    const std::vector<FoundDisk> disks = scanDisks(machine.opener(), 64, 3);
    std::vector<std::string> listed;
    for (const FoundDisk& disk : disks) {
        listed.push_back(disk.descriptor.serial + " " + disk.attachment);
    }
    EXPECT_EQ(listed, (std::vector<std::string>{"NVME2 nvme", "SATA0 sata", "USB3 usb, not supported (USB bridge)"}));
    EXPECT_EQ(disks.front().path, R"(\\.\PhysicalDrive2)");
    EXPECT_EQ(disks.front().descriptor.model, "Model NVME2");
    ASSERT_EQ(machine.opened.size(), 10u) << "0 to 6, then 7, 8 and 9 missing";
    for (const auto& open : machine.opened) {
        EXPECT_EQ(open.second, Access::query) << "listing needs no access rights";
    }
}

TEST(WinDrives, OpeningNeedsAdministratorRightsThenProbesTheDrive) {
    FakeMachine machine;
    machine.descriptors[1] = descriptorOf(bus_types::nvme, "NVME1");
    machine.readWriteRefusal = system_errors::accessDenied;
    auto tree = std::make_shared<FakeTree>();
    tree->disks[1] = "SCSI\\DISK\\1";
    tree->parents["SCSI\\DISK\\1"] = "PCI\\NVME";
    tree->controller("PCI\\NVME", "SCSIAdapter", "Microsoft");

    std::vector<WinDriveEntry> drives = findWinDrives(machine.opener(), tree);
    ASSERT_EQ(drives.size(), 1u);
    EXPECT_EQ(drives.front().device->attributes.readString(attributes::serialNumber().key()), "NVME1");
    const OpenOutcome refused = drives.front().open();
    EXPECT_TRUE(refused.accessDenied);
    EXPECT_EQ(refused.status.message(), R"(needs administrator rights for \\.\PhysicalDrive1)");

    machine.readWriteRefusal = 0;
    const OpenOutcome opened = drives.front().open();
    ASSERT_TRUE(opened.status.isSuccess()) << opened.status.message();
    const core::AttributeCollection& found = drives.front().device->attributes;
    EXPECT_EQ(found.readString(attributes::connection().key()), "Windows NVMe");
    EXPECT_EQ(found.readString(attributes::modelNumber().key()), "Windows Test SSD");
    EXPECT_EQ(found.readString(attributes::driverProvider().key()), "Microsoft");
    EXPECT_EQ(found.readString(attributes::driverVersion().key()), "10.0.26100.1882");
    EXPECT_EQ(found.readUint32(attributes::namespaceId().key()), 7u);
    EXPECT_TRUE(found.readBool(attributes::isCommandPathNVMeMSFT().key()));
    EXPECT_EQ(machine.opened.back().second, Access::readWrite);
}

TEST(StorageDriver, TheNearestStorageControllerAboveTheDiskGivesTheDriver) {
    FakeTree tree;
    tree.disks = {{0, "DISK0"}, {1, "DISK1"}, {2, "DISK2"}, {3, "DISK3"}};
    // An NVMe disk right on its controller; a SATA disk behind a port node; a disk whose
    // controller lies too far up; a disk with no parent.
    tree.parents = {{"DISK0", "NVME"}, {"DISK1", "PORT"}, {"PORT", "AHCI"}, {"DISK2", "A"},
                    {"A", "B"},        {"B", "C"},        {"C", "D"},       {"D", "FAR"}};
    tree.controller("NVME", "SCSIAdapter", "Example Maker");
    tree.controller("AHCI", "hdc", "Microsoft");
    tree.controller("FAR", "SCSIAdapter", "Microsoft");
    const struct {
        uint32_t disk;
        const char* provider;
    } cases[] = {{0, "Example Maker"}, {1, "Microsoft"}, {2, ""}, {3, ""}, {9, ""}};
    for (const auto& c : cases) {
        const StorageDriver driver = storageDriverOf(tree, c.disk);
        EXPECT_EQ(driver.provider, c.provider) << c.disk;
        EXPECT_EQ(driver.version.empty(), std::string(c.provider).empty()) << c.disk;
    }
}

}  // namespace
}  // namespace host::win_drives
