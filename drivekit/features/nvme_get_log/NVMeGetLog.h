#pragma once
// One NVMe log page read from a drive. Its attributes ("LogId", "NumDWORDs", "LogPageOffset",
// "LogSpecificField", "LogSpecificId", "RetainAsynchronousEvent", "UUIDIndex", "NamespaceId")
// become Get Log Page commands; the bytes read are kept as the page's payload. Page classes
// derive from it and are made by name through the get-log registry.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "drivekit/core/AttributeCollection.h"
#include "drivekit/core/HostInterface.h"
#include "drivekit/core/Payload.h"
#include "drivekit/core/Status.h"
#include "drivekit/core/xml/XmlObject.h"
#include "drivekit/features/Feature.h"
#include "drivekit/features/uuid/UUIDManager.h"

namespace drivekit::features::nvme_get_log {

class NVMeGetLog : public Feature {
public:
    // The most bytes a page whose length the drive reports is read to. Real logs stay far
    // below it (a persistent event log of 64 MiB is already large); a length above it is a
    // drive's error, and reserving it could exhaust the host's memory.
    static constexpr uint64_t largestLogBytes = 256ULL << 20;
    // The smallest piece a long page is read in, and the unit the drive's Maximum Data
    // Transfer Size counts in.
    static constexpr uint32_t smallestChunkBytes = 4096;
    // "NamespaceId" of a page that is not namespace specific.
    static constexpr uint32_t allNamespaces = 0xFFFFFFFF;

    NVMeGetLog(std::shared_ptr<core::Device> device, const core::AttributeCollection& attributes);
    // Sets "LogId", "LogName", "NumDWORDs" (zero-based) and "NamespaceSpecific" = false.
    NVMeGetLog(std::shared_ptr<core::Device> device, uint8_t logId, uint32_t numDwords,
               const std::string& name, const core::AttributeCollection& attributes);
    ~NVMeGetLog() override = default;

    // The maker's NVMe drive, the UUID index (looked up when the drive lists UUIDs and none
    // was given), and a dword count.
    virtual core::Status canRun(core::Status& status);
    // One Get Log Page command; on success its bytes become the payload.
    virtual core::Status sendCommand(core::Status& status);
    virtual core::Payload& getPayload();
    virtual const core::Payload& getPayload() const;
    // An object named "NVMeGetLog" holding the payload bytes; an unnamed object without data.
    virtual core::Status toXmlObject(core::Status& status, std::unique_ptr<core::xml::XmlObject>& object);
    // "Not implemented."
    virtual core::Status setProperty(core::Status& status);
    // Writes the payload to path, replacing a file; "Failed to write to file." when it cannot
    // or when no data is held.
    virtual core::Status writeBinaryToFile(const std::string& path, core::Status& status);
    // "UUIDIndex"; 0 when it is not set.
    virtual uint8_t getUuidIndex();

    // Reads the page from the end of payloadSoFar up to buffer.size() in pieces as large as
    // the drive's maximum transfer, halving them down to 4096 bytes after a failed command.
    // A size the system refused (rather than the drive) is not tried again for the drive's
    // later logs.
    // payloadSoFar's bytes are placed at the buffer's start unless they are already there.
    // On return payloadSoFar and the page's payload are the buffer itself, shortened to the
    // bytes read (up to the failing offset when a 4096-byte piece fails).
    core::Status getByChunks(core::Status& status, core::Payload& payloadSoFar, core::Payload& buffer);
    // Takes one piece of a page read in chunks: its offset in the page, the bytes and how many
    // of them belong to the page. False when the piece could not be kept.
    using PieceSink = std::function<bool(uint64_t offset, const uint8_t* bytes, uint64_t count)>;
    // The chunked read of getByChunks from start to total, each piece handed to the sink as it
    // arrives instead of being gathered: a long page costs one piece of memory. A sink that
    // fails ends the read with "Failed to write to file.".
    core::Status streamByChunks(core::Status& status, uint64_t start, uint64_t total, const PieceSink& sink);

    // Told after every piece getByChunks reads: the bytes of the page held so far and the
    // page's length. An empty function (the default) is not called.
    using Progress = std::function<void(uint64_t done, uint64_t total)>;
    void setProgress(Progress progress) { progress_ = std::move(progress); }

    const std::shared_ptr<core::Device>& device() const { return device_; }

    // The piece size getByChunks starts with for a drive: 4096 shifted by its
    // "MaximumDataTransferSize", never above largestLogBytes nor above the size the system
    // took after refusing a larger one.
    static uint32_t chunkBytesFor(const core::Device& device);

protected:
    // One Get Log Page from the attributes as they stand, into data; the payload is untouched.
    core::Status readPiece(core::Status& status, core::Payload& data);
    // Reads the rest of a page whose header (already read) gives its total length: the length
    // is bounded by largestLogBytes, logged, and read through getByChunks. A length no larger
    // than the header keeps the header as the page.
    core::Status readRest(core::Status& status, core::Payload& header, uint64_t totalLength);
    // Reads buffer from offset start to its end in pieces of pieceBytes at successive offsets;
    // stops at a failed or short piece. Returns how many bytes from the buffer's start are good.
    uint64_t readPieces(core::Status& status, core::Payload& buffer, uint64_t start, uint32_t pieceBytes);
    // True (and status interrupted) once a stop was requested: asked before each command of a
    // read that takes several.
    static bool stopped(core::Status& status);
    // Sets "NumDWORDs" to cover bytes (rounded up to whole dwords).
    void setTransferBytes(uint64_t bytes);
    void setOffset(uint64_t offset);
    // A length the drive reported, bounded by largestLogBytes; a warning names both when it
    // is cut.
    static uint64_t boundedLength(uint64_t reported);
    // Reads the first readBytes of the page (offset 0) into header. An answer shorter than the
    // neededBytes of a header gets the status tooShort (the shortfall is logged); a failed read
    // keeps its own.
    core::Status readHeader(core::Status& status, core::Payload& header, uint32_t readBytes, uint32_t neededBytes,
                            const core::Status& tooShort = core::Status::unexpectedDataLength());
    // Keeps status as the outcome of the last step and returns it.
    core::Status finish(core::Status& status);

    std::shared_ptr<core::Device> device_;
    core::Payload payload_;
    uuid::UUIDManager uuidManager_;
    Progress progress_;

private:
    // The loop of the chunked reads: pieces from start to total, each given to store; returns
    // the offset reached (total on success).
    template <typename Store>
    uint64_t readChunks(core::Status& status, uint64_t start, uint64_t total, Store store);
    // Logs the system's refusal of a piece and keeps the size tried next for the drive.
    void noteSystemRefusal(uint64_t offset, uint64_t refusedBytes, uint64_t nextBytes);
    void setUpNamespaceAndUuids();
    core::Status checkUuidIndex();
};

}  // namespace drivekit::features::nvme_get_log
