#pragma once
// The byte buffer that travels with every device command: shared (never deep-copied),
// 4096-byte aligned, zero-filled, wiped before it is freed, read through checked views.
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <typeinfo>

#include <boost/format.hpp>

#include "drivekit/core/Status.h"
#include "drivekit/core/logging/Log.h"

namespace drivekit::core {

constexpr std::size_t payloadAlignment = 0x1000;
// The most bytes a payload holds: its size() is 32-bit.
constexpr uint64_t largestPayload = UINT32_MAX;

// size bytes aligned to 4096 and zero-filled, or null (after a "[fatal] " line) on failure.
// Free it with releaseBuffer and the same size.
uint8_t* createBuffer(uint64_t size);
void releaseBuffer(uint8_t* buffer, uint64_t size);

namespace memory {
// 0 on success, 22 for a null pointer, 34 when the source is larger than the destination
// (nothing is copied). The regions may overlap.
uint32_t memCopy(void* destination, uint64_t destinationSize, const void* source, uint64_t sourceSize);
// Logs text at fatal severity and writes it to standard error after "[fatal] ".
void reportFatal(const char* file, int line, const char* function, const std::string& text);
}  // namespace memory

class Payload {
public:
    struct BufferImplementation {
        uint8_t* data = nullptr;
        uint64_t size = 0;
        uint64_t allocated = 0;  // what createBuffer was asked for; size may shrink below it
        BufferImplementation() = default;
        explicit BufferImplementation(uint64_t count);
        ~BufferImplementation();
        BufferImplementation(const BufferImplementation&) = delete;
        BufferImplementation& operator=(const BufferImplementation&) = delete;
    };

    Payload();
    // count zero bytes. After a failed allocation, or for more than largestPayload bytes
    // (refused without allocating), the payload is empty (size 0) after one "[fatal] " line.
    explicit Payload(uint64_t count);
    Payload(const void* source, uint64_t count);

    uint8_t* data() const { return buffer_->data; }
    uint32_t size() const { return static_cast<uint32_t>(buffer_->size); }
    bool empty() const { return size() == 0 || data() == nullptr; }

    // Pointer to byte index; throws Status 0/14 "Request is out of bounds." past the end.
    uint8_t* at(uint64_t index) const;
    // Switches to a new buffer holding the old bytes followed by count bytes from source.
    // When that buffer cannot be had (more than largestPayload bytes, or no memory) the
    // payload keeps its old bytes and Status::allocationFailed() is returned.
    Status append(const void* source, uint64_t count);
    Status append(const Payload& other) { return append(other.data(), other.size()); }
    // Switches to a new empty buffer.
    void clear();
    // Shortens the payload in place to its first count bytes; every holder of the buffer sees
    // the shorter size. The dropped bytes are wiped at once. A count at or above size() changes
    // nothing. This lets a caller fill a buffer reserved for the most it expects and keep what
    // arrived without copying it.
    void truncate(uint64_t count);

    // A typed view of sizeof(T) bytes at offset; throws std::out_of_range past the end.
    template <typename T>
    T* safeCast(uint32_t offset = 0) const {
        if (static_cast<uint64_t>(offset) + sizeof(T) <= size() && data() != nullptr) {
            return reinterpret_cast<T*>(data() + offset);
        }
        const std::string text =
            (boost::format("Cast (with offsets) with payload data out of range!\nPayload size: "
                           "%1%\nStructure Name: %2%\nStructure Size: %3%\nOffset: %4%") %
             size() % typeid(T).name() % sizeof(T) % offset)
                .str();
        LOG_DEBUG(text);
        throw std::out_of_range(text);
    }

    // How many holders share this payload's buffer.
    long useCount() const { return buffer_.use_count(); }

private:
    std::shared_ptr<BufferImplementation> buffer_;
};

}  // namespace drivekit::core
