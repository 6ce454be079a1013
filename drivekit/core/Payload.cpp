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

Payload::BufferImplementation::BufferImplementation(uint64_t count) : data(createBuffer(count)) {
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

void Payload::append(const void* source, uint64_t count) {
    const uint64_t oldSize = size();
    auto grown = std::make_shared<BufferImplementation>(oldSize + count);
    if (grown->data != nullptr) {
        memory::memCopy(grown->data, grown->size, data(), oldSize);
        memory::memCopy(grown->data + oldSize, grown->size - oldSize, source, count);
    }
    buffer_ = std::move(grown);
}

void Payload::clear() { buffer_ = std::make_shared<BufferImplementation>(); }

}  // namespace drivekit::core
