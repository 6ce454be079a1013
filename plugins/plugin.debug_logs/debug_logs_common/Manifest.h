#pragma once
// manifest.json: what a support case needs to trust a package without the drive at hand.
// Every file of the package with its size and SHA-256 and the commands that read it, the
// outcome of each collector, every change the run made to the drive with whether it was put
// back, and the answers read over the maker's vendor channel, which no file holds. It covers
// every file but itself, so it is written last.
#include <string>
#include <vector>

#include "drivekit/core/HostInterface.h"
#include "drivekit/features/Json.h"

namespace plugin::cli::debug_logs {

class Manifest {
public:
    static constexpr const char* fileName = "manifest.json";

    struct CollectorResult {
        std::string title;
        drivekit::core::Status result;
    };

    Manifest(std::string folder, const drivekit::core::Device* device, std::vector<CollectorResult> collectors);
    // The document for the folder's files as they are now.
    std::string text() const;
    // Writes it into the folder, whole or not at all; false when it could not be.
    bool write() const;

private:
    drivekit::features::Json tool() const;
    drivekit::features::Json drive() const;
    drivekit::features::Json files() const;
    drivekit::features::Json collectors() const;
    static drivekit::features::Json changes();
    static drivekit::features::Json vendorReads();

    std::string folder_;
    const drivekit::core::Device* device_;
    std::vector<CollectorResult> collectors_;
};

}  // namespace plugin::cli::debug_logs
