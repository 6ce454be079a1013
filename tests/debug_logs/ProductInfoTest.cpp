#include <gtest/gtest.h>

#include <memory>
#include <tuple>

#include "drivekit/features/identify/nvme/ReadProductType.h"
#include "plugins/plugin.debug_logs/debug_logs_common/ProductInfo.h"
#include "tests/debug_logs/DebugLogsTestSupport.h"

using namespace debug_logs_test;
using test_support::FakeDrive;
using drivekit::core::Status;

namespace {

std::shared_ptr<FakeDrive> driveOfFamily(const std::string& product, uint8_t productType) {
    auto drive = std::make_shared<FakeDrive>();
    drive->attributes.writeString(drivekit::core::attributes::product(), product);
    drive->identify[{0x01, 0}] = drivekit::core::Payload(4096);
    *drive->identify[{0x01, 0}].at(drivekit::features::identify::nvme::productTypeOffset) = productType;
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
        EXPECT_EQ(readFile(file), test_support::textOnDisk("{\n    \"product\": " + std::to_string(type) + "\n}"));
        // A verbose run also names the file.
        const std::string banner = dl::bannerText("Generate Product") + "\nProduct generated\nSuccessfully wrote ";
        EXPECT_EQ(console.text(), type == 0 ? banner + file.string() + "\n" : "Product generated\n");
    }
}

// A drive whose product type cannot be read gets no file; a folder that cannot be written fails.
TEST(ProductInfo, UnreadableProductTypeWritesNothingAndAnUnwritableFolderIsUnableToCreateFile) {
    ScratchFolder scratch;
    const fs::path missing = scratch.path() / "missing" / "folder";
    const auto ataDrive = std::make_shared<FakeDrive>(std::set<std::string>{"ATA"});
    for (const auto& [drive, folder, expected] : {std::tuple(ataDrive, scratch.path(), Status::success()),
                                                  std::tuple(driveOfFamily("Varnholt", 1), missing,
                                                             Status::unableToCreateFile())}) {
        ConsoleCapture console;
        Status status;
        EXPECT_EQ(dl::ProductInfo().saveReport(status, drive, folder.string()), expected);
        EXPECT_EQ(status, expected);
        EXPECT_EQ(console.text(), "");
    }
    EXPECT_TRUE(folderEntries(scratch.path()).empty());
}
