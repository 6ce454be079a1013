// The storage driver's device descriptor and the system errors of a refused request.
#include "host/devices/win/DeviceDescriptor.h"

#include <gtest/gtest.h>

#include "host/devices/win/SystemErrorStatus.h"
#include "host/win/FakeIoControl.h"

namespace host::win_drives {
namespace {

namespace core = drivekit::core;
using testing::dwords;

// A descriptor with the four offsets and the bus type, its strings from byte 40 on.
std::vector<uint8_t> descriptor(uint32_t vendor, uint32_t product, uint32_t revision, uint32_t serial) {
    std::vector<uint8_t> bytes = dwords({1, 96, 0, vendor, product, revision, serial, bus_types::nvme, 0, 0});
    const char strings[] = "NVMe\0Example SSD 1TB 99\0  FW1.2  \0SN0042      ";
    bytes.insert(bytes.end(), strings, strings + sizeof(strings) - 1);
    return bytes;
}

TEST(DeviceDescriptor, NamesAreFoundByTheirOffsetsWithinTheBytesReturned) {
    DeviceDescriptor parsed;
    ASSERT_TRUE(decodeDeviceDescriptor(descriptor(40, 45, 64, 74), parsed).isSuccess());
    EXPECT_EQ(parsed.busType, bus_types::nvme);
    EXPECT_EQ(parsed.vendor, "NVMe");
    EXPECT_EQ(parsed.model, "Example SSD 1TB 99");
    EXPECT_EQ(parsed.firmware, "FW1.2");
    EXPECT_EQ(parsed.serial, "SN0042") << "runs to the end of the bytes without a NUL";

    ASSERT_TRUE(decodeDeviceDescriptor(descriptor(0, 45, 64, 74), parsed).isSuccess());
    EXPECT_EQ(parsed.vendor, "") << "offset 0: none";

    for (const uint32_t outside : {86u, 4000u, 0xFFFFFFFFu, 8u}) {
        const core::Status status = decodeDeviceDescriptor(descriptor(40, 45, 64, outside), parsed);
        EXPECT_EQ(status, core::Status::unexpectedDataLength()) << outside;
        EXPECT_NE(status.message().find("serial number offset"), std::string::npos) << status.message();
    }
    EXPECT_FALSE(decodeDeviceDescriptor(std::vector<uint8_t>(20), parsed).isSuccess());
    EXPECT_EQ(deviceDescriptorQuery(), dwords({0, 0, 0}));
}

TEST(SystemErrorStatus, ARefusedRequestBecomesAStatusNamingTheDriveAndTheRequest) {
    const std::string path = R"(\\.\PhysicalDrive1)";
    const struct {
        uint32_t error;
        core::Status expected;
    } cases[] = {
        {system_errors::accessDenied, core::Status::accessRefused()},
        {system_errors::fileNotFound, core::Status::deviceGone()},
        {system_errors::deviceNotConnected, core::Status::deviceGone()},
        {system_errors::semaphoreTimeout, core::Status::commandTimedOut()},
        {system_errors::notSupported, core::Status::commandSetNotSupported()},
        {system_errors::invalidParameter, core::Status::transferRefused()},
        {system_errors::ioDevice, core::Status::systemError()},
        {12345, core::Status::systemError()},
    };
    for (const auto& c : cases) {
        const core::Status status = systemErrorStatus(c.error, path, "Get Log Page");
        EXPECT_EQ(status, c.expected) << c.error << ": " << status.message();
        EXPECT_NE(status.message().find(path), std::string::npos) << status.message();
    }
    EXPECT_NE(systemErrorStatus(12345, path, "Get Log Page").message().find("system error 12345"), std::string::npos);
}

}  // namespace
}  // namespace host::win_drives
