#include "drivekit/features/nvme_get_log/NVMeGetLog.h"

#include <algorithm>
#include <vector>

#include "drivekit/commands/CommandSender.h"
#include "drivekit/commands/nvme/GetLogPage.h"
#include "drivekit/core/DeviceAttributes.h"
#include "drivekit/core/HexText.h"
#include "drivekit/core/TextParsing.h"
#include "drivekit/core/StopRequest.h"
#include "drivekit/core/WholeFile.h"
#include "drivekit/core/logging/Log.h"
#include "drivekit/features/AttributeDefinitions.h"
#include "drivekit/features/nvme_get_log/LogPages.h"
#include "drivekit/features/uuid/UuidRegistry.h"

namespace drivekit::features::nvme_get_log {

namespace deviceAttributes = core::attributes;

namespace {

// Pages from this LID up are the vendor's and OCP's own: they are never served under a UUID.
constexpr uint32_t firstVendorLogId = 0xC0;
// 4096 << 16 is largestLogBytes: no larger shift is taken from the drive.
constexpr unsigned largestTransferShift = 16;
static_assert((uint64_t{NVMeGetLog::smallestChunkBytes} << largestTransferShift) == NVMeGetLog::largestLogBytes);

// The largest piece the system took after refusing a larger one, kept on the drive for the
// rest of the run: the kernel's limit does not change from one log to the next. Kept apart
// from the drive's own transfer size, which the package records as the drive reported it.
core::Attribute systemTransferLimit() {
    return core::Attribute("SystemTransferLimit", "System Transfer Limit", core::types::uint32);
}

// The UUIDs under which a drive may serve the standard pages, in the order they are tried.
std::vector<uuid::Uuid> standardPageUuids() {
    std::vector<uuid::Uuid> list;
    for (const char* text : {"00000000000000000000000000000000", "9619586ec11b43adaaaa654187f6bbb2",
                             "b2bbf6874165aaaaad431bc16e581996", "c194d55be0944794a21d29998f56be6f",
                             "6fbe568f99291da2944794e05bd594c1"}) {
        const auto bytes = core::strings::parseHexBytes(text);
        uuid::Uuid value{};
        std::copy_n(bytes->begin(), value.size(), value.begin());
        list.push_back(value);
    }
    return list;
}

}  // namespace

NVMeGetLog::NVMeGetLog(std::shared_ptr<core::Device> device, const core::AttributeCollection& attributes)
    : Feature(attributes), device_(std::move(device)), uuidManager_(device_) {
    registerLogPages();
    setUpNamespaceAndUuids();
}

NVMeGetLog::NVMeGetLog(std::shared_ptr<core::Device> device, uint8_t logId, uint32_t numDwords,
                       const std::string& name, const core::AttributeCollection& attributes)
    : Feature(attributes), device_(std::move(device)), uuidManager_(device_) {
    registerLogPages();
    attributes_.writeUint32(definitions::logId(), logId);
    attributes_.writeString(definitions::logName(), name);
    attributes_.writeUint32(definitions::numDwords(), numDwords);
    attributes_.writeBool(definitions::namespaceSpecific(), false);
    setUpNamespaceAndUuids();
}

void NVMeGetLog::setUpNamespaceAndUuids() {
    const bool specific = attributes_.readBool(definitions::namespaceSpecific().key());
    const uint32_t drivesNamespace =
        device_ ? device_->attributes.readUint32(deviceAttributes::namespaceId().key()) : allNamespaces;
    attributes_.writeUint32(definitions::namespaceId(), specific ? drivesNamespace : allNamespaces);
    if (attributes_.readUint32(definitions::logId().key()) < firstVendorLogId) {
        uuidManager_ = uuid::UUIDManager(device_, standardPageUuids());
    }
}

core::Status NVMeGetLog::finish(core::Status& status) {
    status_ = status;
    return status;
}

core::Status NVMeGetLog::canRun(core::Status& status) {
    LOG_ENTERING();
    if (!device_) {
        status = core::Status::invalidArguments();
    } else if (!device_->attributes.readBool(deviceAttributes::kestrova().key())) {
        status = core::Status::notKestrovaDrive();
    } else if (!device_->isProtocolSupported(core::protocols::nvme)) {
        status = core::Status::commandSetNotSupported();
    } else if (status = checkUuidIndex(); !status.isSuccess()) {
        LOG_DEBUG("UUID index: " << status.message());
    } else if (!attributes_.contains(definitions::numDwords().key())) {
        status = core::Status::numDwordsNotSpecified();
    } else {
        status = core::Status::success();
    }
    return finish(status);
}

// The lookup comes after the checks of the drive, so that a drive that is refused is not sent
// an Identify first; the statuses are the same either way.
core::Status NVMeGetLog::checkUuidIndex() {
    const std::string key = definitions::uuidIndex().key();
    const bool given = attributes_.contains(key);
    if (!device_->attributes.readBool(deviceAttributes::uuidSupported().key())) {
        return given ? core::Status::uuidNotSupportedButIndexGiven() : core::Status::success();
    }
    // A page with no candidate UUIDs is read without one (index 0), whatever the drive lists.
    if (given || uuidManager_.candidates().empty()) {
        return core::Status::success();
    }
    const uint8_t index = uuidManager_.getIndex();
    if (index == uuid::UUIDManager::notFound) {
        // No list at all, or a list without any UUID this page is served under.
        return uuid::UuidRegistry::tableFor(device_).empty() ? core::Status::uuidIndexUnavailable()
                                                            : core::Status::uuidIndexUndetermined();
    }
    attributes_.writeUint8(definitions::uuidIndex(), index);
    return core::Status::success();
}

core::Status NVMeGetLog::readPiece(core::Status& status, core::Payload& data) {
    if (!device_) {
        status = core::Status::invalidArguments();
        return status;
    }
    commands::nvme::GetLogPage command;
    status = command.applyAttributes(attributes_, getUuidIndex());
    if (!status.isSuccess()) {
        LOG_ERROR("GetLogPage not sent: " << status.message());
        return status;
    }
    commands::CommandSender sender(*device_);
    // The page comes back in the result's own buffer.
    status = sender.send(command, core::Payload());
    if (!status.isSuccess()) {
        return status;
    }
    data = sender.data();
    // A transfer cut short is a failed read whatever the drive's status says: the bytes
    // that came are left in data for a caller that reports them, never kept as the page.
    status = sender.requireData(command.transferBytes);
    if (!status.isSuccess()) {
        LOG_ERROR("GetLogPage returned " << data.size() << " of " << command.transferBytes << " bytes");
    }
    return status;
}

core::Status NVMeGetLog::sendCommand(core::Status& status) {
    LOG_ENTERING();
    core::Payload data;
    if (readPiece(status, data).isSuccess()) {
        payload_ = data;
        LOG_DEBUG("Returned Payload of size: " << payload_.size());
    }
    return finish(status);
}

core::Payload& NVMeGetLog::getPayload() { return payload_; }

const core::Payload& NVMeGetLog::getPayload() const { return payload_; }

core::Status NVMeGetLog::toXmlObject(core::Status& status, std::unique_ptr<core::xml::XmlObject>& object) {
    if (payload_.empty()) {
        object = std::make_unique<core::xml::XmlObject>();
    } else {
        object = std::make_unique<core::xml::XmlObject>("NVMeGetLog");
        object->addProperty("Payload", core::strings::hexBytes(payload_.data(), payload_.size()));
    }
    status = core::Status::success();
    return finish(status);
}

core::Status NVMeGetLog::setProperty(core::Status& status) {
    status = core::Status::notImplemented();
    return finish(status);
}

core::Status NVMeGetLog::writeBinaryToFile(const std::string& path, core::Status& status) {
    LOG_ENTERING();
    status = core::Status::failedToWriteFile();
    if (payload_.empty()) {
        LOG_ERROR("No data to write to " << path);
        return finish(status);
    }
    status = core::WholeFile::write(path, payload_.data(), payload_.size());
    if (!status.isSuccess()) {
        LOG_ERROR("Could not write " << payload_.size() << " bytes to " << path);
    }
    return finish(status);
}

uint8_t NVMeGetLog::getUuidIndex() {
    const std::string key = definitions::uuidIndex().key();
    return attributes_.contains(key) ? attributes_.readUint8(key) : 0;
}

uint32_t NVMeGetLog::chunkBytesFor(const core::Device& device) {
    const unsigned shift = device.attributes.readUint8(deviceAttributes::maximumDataTransferSize().key());
    const uint32_t drives = static_cast<uint32_t>(smallestChunkBytes) << std::min(shift, largestTransferShift);
    const std::string key = systemTransferLimit().key();
    return device.attributes.contains(key) ? std::min(drives, device.attributes.readUint32(key)) : drives;
}

void NVMeGetLog::noteSystemRefusal(uint64_t offset, uint64_t refusedBytes, uint64_t nextBytes) {
    LOG_WARNING("The system refused a transfer of " << refusedBytes << " bytes at offset " << offset
                                                    << "; reading in pieces of " << nextBytes << " bytes");
    if (device_) {
        device_->attributes.writeUint32(systemTransferLimit(), static_cast<uint32_t>(nextBytes));
    }
}

void NVMeGetLog::setTransferBytes(uint64_t bytes) {
    const uint64_t dwords = std::max<uint64_t>((bytes + 3) / 4, 1);
    attributes_.writeUint32(definitions::numDwords(), static_cast<uint32_t>(dwords - 1));
}

void NVMeGetLog::setOffset(uint64_t offset) { attributes_.writeUint64(definitions::logPageOffset(), offset); }

uint64_t NVMeGetLog::boundedLength(uint64_t reported) {
    if (reported <= largestLogBytes) {
        return reported;
    }
    LOG_WARNING("The drive reports a log length of " << reported << " bytes, above the largest read of "
                                                      << largestLogBytes << " bytes; only the first "
                                                      << largestLogBytes << " bytes are read");
    return largestLogBytes;
}

core::Status NVMeGetLog::readHeader(core::Status& status, core::Payload& header, uint32_t readBytes,
                                    uint32_t neededBytes, const core::Status& tooShort) {
    setOffset(0);
    setTransferBytes(readBytes);
    if (!readPiece(status, header).isSuccess() && status == core::Status::unexpectedDataLength() &&
        header.size() < neededBytes) {
        LOG_ERROR("The drive returned " << header.size() << " bytes of a " << neededBytes << "-byte log header");
        status = tooShort;
    }
    return status;
}

core::Status NVMeGetLog::getByChunks(core::Status& status, core::Payload& payloadSoFar, core::Payload& buffer) {
    LOG_ENTERING();
    const uint64_t total = buffer.size();
    const uint64_t start = std::min<uint64_t>(payloadSoFar.size(), total);
    if (start > 0 && payloadSoFar.data() != buffer.data()) {
        core::memory::memCopy(buffer.data(), total, payloadSoFar.data(), start);
    }
    const uint64_t reached = readChunks(status, start, total, [&buffer, total](uint64_t offset, const core::Payload& data, uint64_t count) {
        core::memory::memCopy(buffer.data() + offset, total - offset, data.data(), count);
        return true;
    });
    buffer.truncate(reached);
    payloadSoFar = buffer;
    payload_ = buffer;
    LOG_DEBUG("Retrieved log size: " << buffer.size());
    return finish(status);
}

core::Status NVMeGetLog::streamByChunks(core::Status& status, uint64_t start, uint64_t total, const PieceSink& sink) {
    LOG_ENTERING();
    const uint64_t reached = readChunks(status, start, total, [&sink](uint64_t offset, const core::Payload& data, uint64_t count) {
        return sink(offset, data.data(), count);
    });
    LOG_DEBUG("Retrieved log size: " << reached);
    return finish(status);
}

template <typename Store>
uint64_t NVMeGetLog::readChunks(core::Status& status, uint64_t start, uint64_t total, Store store) {
    uint64_t chunk = device_ ? chunkBytesFor(*device_) : smallestChunkBytes;
    status = core::Status::success();
    uint64_t offset = start;
    while (offset < total) {
        if (stopped(status)) {
            break;
        }
        const uint64_t piece = std::min(chunk, total - offset);
        setOffset(offset);
        setTransferBytes(piece);
        core::Payload data;
        // A piece that comes back short is retried like a failed one.
        readPiece(status, data);
        if (!status.isSuccess() && chunk > smallestChunkBytes) {
            chunk /= 2;
            // Only the system's refusal holds for the drive's next logs; a drive's own failure
            // is this log's alone.
            if (status == core::Status::transferRefused()) {
                noteSystemRefusal(offset, piece, chunk);
            } else {
                LOG_DEBUG("Chunk size changed to: " << chunk);
            }
            continue;
        }
        if (!status.isSuccess()) {
            LOG_ERROR("Failure to read on offset: " << offset << ".. out of " << total);
            break;
        }
        if (!store(offset, data, piece)) {
            LOG_ERROR("The piece at offset " << offset << " could not be kept");
            status = core::Status::failedToWriteFile();
            break;
        }
        offset += piece;
        if (progress_) {
            progress_(offset, total);
        }
    }
    return offset;
}

bool NVMeGetLog::stopped(core::Status& status) {
    if (!core::StopRequest::requested()) {
        return false;
    }
    LOG_INFO("Stop requested; the log is read no further");
    status = core::Status::interrupted();
    return true;
}

uint64_t NVMeGetLog::readPieces(core::Status& status, core::Payload& buffer, uint64_t start, uint32_t pieceBytes) {
    const uint64_t total = buffer.size();
    uint64_t offset = start;
    status = core::Status::success();
    while (offset < total && pieceBytes > 0 && !stopped(status)) {
        const uint64_t piece = std::min<uint64_t>(pieceBytes, total - offset);
        setOffset(offset);
        setTransferBytes(piece);
        core::Payload data;
        if (!readPiece(status, data).isSuccess()) {
            LOG_ERROR("Failure to read on offset: " << offset);
            break;
        }
        core::memory::memCopy(buffer.data() + offset, total - offset, data.data(), piece);
        offset += piece;
    }
    return offset;
}

core::Status NVMeGetLog::readRest(core::Status& status, core::Payload& header, uint64_t totalLength) {
    LOG_DEBUG("Total Log Size: " << totalLength);
    const uint64_t length = boundedLength(totalLength);
    if (length <= header.size()) {
        payload_ = header;
        status = core::Status::success();
        return finish(status);
    }
    core::Payload buffer(length);
    if (buffer.empty()) {
        status = core::Status::allocationFailed();
        return finish(status);
    }
    return getByChunks(status, header, buffer);
}

}  // namespace drivekit::features::nvme_get_log
