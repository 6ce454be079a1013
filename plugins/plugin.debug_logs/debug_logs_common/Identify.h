#pragma once
// Writes the raw data of the NVMe Identify structures of one drive into the "identify"
// sub-folder: the active and allocated namespace lists, the structures of every namespace
// they name, and the controller-wide structures.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "drivekit/core/HostInterface.h"
#include "drivekit/core/Payload.h"
#include "drivekit/core/Status.h"
#include "drivekit/features/PackageFileNames.h"
#include "plugins/plugin.debug_logs/debug_logs_common/DebugLogsInterface.h"

namespace plugin::cli::debug_logs {

class Identify : public DebugLogsInterface {
public:
    // A namespace list and the structures read for each namespace it names.
    struct NamespaceGroup {
        uint8_t listCns;
        std::vector<uint8_t> perNamespaceCns;
    };
    static const NamespaceGroup activeNamespaces;
    static const NamespaceGroup allocatedNamespaces;
    static const std::vector<uint8_t> controllerWideCns;

    Identify(std::shared_ptr<drivekit::core::Device> device, const std::string& outputFolder);

    // Not how this collector runs: the generator calls saveIdentifyLogs. "Not implemented."
    drivekit::core::Status saveReport(drivekit::core::Status& status,
                                      const std::shared_ptr<drivekit::core::Device>& device,
                                      const std::string& outputPath) override;
    // Reads and writes every structure; success whenever the collection ran.
    drivekit::core::Status saveIdentifyLogs(drivekit::core::Status& status);

    // The NSIDs of a 4096-byte namespace list, up to its first zero entry.
    static std::vector<uint32_t> namespaceIds(const drivekit::core::Payload& list);

    // fileCount (the base's) counts the structures read and saved; this one those that failed.
    uint32_t failedCount = 0;
    const std::string folderName = drivekit::features::PackageFileNames::identifyFolder;

private:
    drivekit::core::Status identifyOne(drivekit::core::Status& status, drivekit::core::Payload& data,
                                       uint8_t cns, uint32_t nsid);
    // Reads one structure and saves it, counting it as generated or failed. True when the drive
    // answered (data then holds its answer), whether or not the file could be written.
    bool collect(uint8_t cns, uint32_t nsid, drivekit::core::Payload& data);
    bool saveStructure(const drivekit::core::Payload& data, uint8_t cns, uint32_t nsid);
    std::string structurePath(uint8_t cns, uint32_t nsid) const;
    void collectGroup(const NamespaceGroup& group);
    void reportFailure(uint8_t cns, const drivekit::core::Status& status) const;

    std::shared_ptr<drivekit::core::Device> device_;
    std::string outputDirectory_;
};

}  // namespace plugin::cli::debug_logs
