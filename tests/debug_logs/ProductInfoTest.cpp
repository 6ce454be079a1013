#include <gtest/gtest.h>

#include <memory>

#include "drivekit/features/identify/nvme/ReadProductType.h"
#include "plugins/plugin.debug_logs/debug_logs_common/ProductInfo.h"
#include "tests/debug_logs/DebugLogsTestSupport.h"
#include "tests/features/FakeIdentifyDrive.h"

using namespace debug_logs_test;
using identify_test::FakeIdentifyDrive;
using drivekit::core::Status;

namespace {

std::shared_ptr<FakeIdentifyDrive> driveOfFamily(const std::string& product, uint8_t productType) {
    auto drive = std::make_shared<FakeIdentifyDrive>();
    drive->setText(drivekit::core::attributes::product(), product);
    drivekit::core::Payload controller(4096);
    *controller.at(drivekit::features::identify::nvme::productTypeOffset) = productType;
    drive->store(0x01, 0, controller);
    return drive;
}

}  // namespace

TEST(ProductInfo, WritesTheProductTypeInThreeLines) {
    ScratchFolder scratch;
    ConsoleCapture console;
    Status status;
    dl::ProductInfo().saveReport(status, driveOfFamily("Varnholt", 213), scratch.path().string());
    EXPECT_TRUE(status.isSuccess());
    EXPECT_EQ(readFile(scratch.path() / "product.json"), "{\n    \"product\": 213\n}");
    EXPECT_EQ(console.text(), "Product generated\n");
}

TEST(ProductInfo, OtherFamilyGetsZeroAndVerboseRunNamesTheFile) {
    ScratchFolder scratch;
    Verbosity verbose(1);
    ConsoleCapture console;
    Status status;
    dl::ProductInfo().saveReport(status, driveOfFamily("Other", 213), scratch.path().string());
    const fs::path file = scratch.path() / "product.json";
    EXPECT_EQ(readFile(file), "{\n    \"product\": 0\n}");
    EXPECT_EQ(console.text(), dl::bannerText("Generate Product") + "\nProduct generated\nSuccessfully wrote " +
                                  file.string() + "\n");
}

TEST(ProductInfo, UnreadableProductTypeWritesNothingAndSucceeds) {
    ScratchFolder scratch;
    ConsoleCapture console;
    auto ataDrive = std::make_shared<FakeIdentifyDrive>(std::set<std::string>{"ATA"});
    Status status;
    dl::ProductInfo().saveReport(status, ataDrive, scratch.path().string());
    EXPECT_TRUE(status.isSuccess());
    EXPECT_TRUE(folderEntries(scratch.path()).empty());
    EXPECT_EQ(console.text(), "");
}

TEST(ProductInfo, FolderThatCannotBeWrittenIsUnableToCreateFile) {
    ScratchFolder scratch;
    ConsoleCapture console;
    Status status;
    const fs::path missing = scratch.path() / "missing" / "folder";
    EXPECT_EQ(dl::ProductInfo().saveReport(status, driveOfFamily("Varnholt", 1), missing.string()),
              Status::unableToCreateFile());
    EXPECT_EQ(status, Status::unableToCreateFile());
    EXPECT_EQ(console.text(), "");
}
