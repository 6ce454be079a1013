#include "drivekit/core/Payload.h"

#include <cstdlib>
#include <cstring>
#include <iostream>

#include "drivekit/core/Status.h"

namespace drivekit::core {

namespace memory {

void reportFatal(const char* file, int line, const char* function, const std::string& text) {
    if (logging::isEnabled()) {
        logging::write(logging::Severity::fatal, logging::formatMessage(file, line, function, text));
    }
    std::cerr << "[fatal] " << text << std::endl;
}

uint32_t memCopy(void* destination, uint64_t destinationSize, const void* source, uint64_t sourceSize) {
    if (sourceSize > destinationSize) {
        reportFatal(__FILE__, __LINE__, __func__,
                    "Invalid call to memCopy: source size (" + std::to_string(sourceSize) +
                        ") is greater than destination size (" + std::to_string(destinationSize) +
                        ")");
    }
    if (destination == nullptr || source == nullptr) {
        return 22;
    }
    if (sourceSize > destinationSize) {
        return 34;
    }
    if (sourceSize == 0) {
        return 0;
    }
    std::memmove(destination, source, sourceSize);
    return 0;
}

}  // namespace memory

uint8_t* createBuffer(uint64_t size) {
    // aligned_alloc wants a multiple of the alignment; a zero-size request still gets a page.
    const uint64_t rounded = ((size + payloadAlignment - 1) / payloadAlignment) * payloadAlignment;
#ifdef _WIN32  // the Windows C runtime has no aligned_alloc; its own pair frees with _aligned_free
    void* memory = rounded >= size ? _aligned_malloc(rounded ? rounded : payloadAlignment, payloadAlignment)
                                   : nullptr;
#else
    void* memory = rounded >= size ? std::aligned_alloc(payloadAlignment, rounded ? rounded : payloadAlignment)
                                   : nullptr;
#endif
    if (memory == nullptr) {
        memory::reportFatal(__FILE__, __LINE__, __func__,
                            "Unable to allocate data with a size of " + std::to_string(size) +
                                " and alignment of " + std::to_string(payloadAlignment));
        return nullptr;
    }
    std::memset(memory, 0, size);
    return static_cast<uint8_t*>(memory);
}

namespace {

// size() is 32-bit: a larger buffer is refused before anything is allocated, so that no
// payload ever reports a size that has wrapped around.
bool fitsAPayload(uint64_t count) {
    if (count <= largestPayload) {
        return true;
    }
    memory::reportFatal(__FILE__, __LINE__, __func__,
                        "Unable to allocate data with a size of " + std::to_string(count) +
                            ": a payload holds at most " + std::to_string(largestPayload) +
                            " bytes");
    return false;
}

}  // namespace

Payload::BufferImplementation::BufferImplementation(uint64_t count)
    : data(fitsAPayload(count) ? createBuffer(count) : nullptr) {
    size = data != nullptr ? count : 0;
}

Payload::BufferImplementation::~BufferImplementation() {
    if (data != nullptr) {
        volatile uint8_t* bytes = data;
        for (uint64_t i = 0; i < size; ++i) {
            bytes[i] = 0;
        }
#ifdef _WIN32
        _aligned_free(data);
#else
        std::free(data);
#endif
        data = nullptr;
    }
}

Payload::Payload() : buffer_(std::make_shared<BufferImplementation>()) {}

Payload::Payload(uint64_t count) : buffer_(std::make_shared<BufferImplementation>(count)) {}

Payload::Payload(const void* source, uint64_t count) : Payload(count) {
    // A failed allocation has been reported once already; there is nothing to copy into.
    if (buffer_->data != nullptr) {
        memory::memCopy(buffer_->data, buffer_->size, source, count);
    }
}

uint8_t* Payload::at(uint64_t index) const {
    if (index >= size() || data() == nullptr) {
        throw Status::outOfBounds();
    }
    return data() + index;
}

Status Payload::append(const void* source, uint64_t count) {
    const uint64_t oldSize = size();
    // Written so that it cannot wrap: the sum is only formed when it fits.
    const uint64_t wanted = count <= largestPayload - oldSize ? oldSize + count : UINT64_MAX;
    auto grown = std::make_shared<BufferImplementation>(wanted);
    if (grown->data == nullptr) {
        return Status::allocationFailed();  // reported once already; the old bytes stay
    }
    memory::memCopy(grown->data, grown->size, data(), oldSize);
    memory::memCopy(grown->data + oldSize, grown->size - oldSize, source, count);
    buffer_ = std::move(grown);
    return Status::success();
}

void Payload::clear() { buffer_ = std::make_shared<BufferImplementation>(); }

void Payload::truncate(uint64_t count) {
    if (count >= buffer_->size || buffer_->data == nullptr) {
        return;
    }
    std::memset(buffer_->data + count, 0, buffer_->size - count);
    buffer_->size = count;
}

}  // namespace drivekit::core
