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

TEST(ProductInfo, WritesTheProductTypeOfTheFamilyElseZeroInThreeLines) {
    for (const auto& [product, type] : {std::pair<std::string, int>{"Varnholt", 213}, {"Other", 0}}) {
        ScratchFolder scratch;
        Verbosity verbose(type == 0 ? 1 : 0);
        ConsoleCapture console;
        Status status;
        dl::ProductInfo().saveReport(status, driveOfFamily(product, 213), scratch.path().string());
        EXPECT_TRUE(status.isSuccess());
        const fs::path file = scratch.path() / "product.json";
        EXPECT_EQ(readFile(file), "{\n    \"product\": " + std::to_string(type) + "\n}");
        // A verbose run also names the file.
        EXPECT_EQ(console.text(), type == 0 ? dl::bannerText("Generate Product") + "\nProduct generated\nSuccessfully wrote " +
                                                  file.string() + "\n"
                                            : "Product generated\n");
    }
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
