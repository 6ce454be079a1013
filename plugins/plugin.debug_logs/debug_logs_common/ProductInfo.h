#pragma once
// "product.json": the drive's product type as a number, for the tools that read a package.
#include <memory>
#include <string>

#include "plugins/plugin.debug_logs/debug_logs_common/DebugLogsInterface.h"

namespace plugin::cli::debug_logs {

class ProductInfo : public DebugLogsInterface {
public:
    static constexpr const char* jsonFileName = "product.json";

    explicit ProductInfo(std::string title = "Product") : title_(std::move(title)) {}

    // Writes "product.json" into outputPath. A drive whose product type cannot be read gets
    // no file and success; a file that cannot be written gives "Unable to create file.".
    drivekit::core::Status saveReport(drivekit::core::Status& status,
                                      const std::shared_ptr<drivekit::core::Device>& device,
                                      const std::string& outputPath) override;

    // The three lines of the file, the last without a line end.
    static std::string jsonText(uint8_t productType);

    const std::string& title() const { return title_; }

private:
    std::string title_;
};

}  // namespace plugin::cli::debug_logs
