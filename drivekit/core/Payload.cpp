#include "drivekit/core/Payload.h"

#include <cstdlib>
#include <cstring>
#include <iostream>
#include <mutex>
#include <utility>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/mman.h>
#endif

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

namespace {

// From this size on a buffer is mapped from the system on its own: the mapping arrives zeroed,
// so it is not written twice, and it can use transparent huge pages, which spare thousands of
// page faults when a long log is read whole into it.
constexpr uint64_t mappedBufferBytes = 4ULL << 20;

uint64_t roundedSize(uint64_t size) {
    return ((size + payloadAlignment - 1) / payloadAlignment) * payloadAlignment;
}

#ifndef _WIN32
// Mappings given back recently, kept wiped for the next buffer of the same size: a log read in
// pieces of the drive's transfer size gets one fresh buffer per piece, and the system would
// otherwise clear new pages for every one of them. A few pieces' worth at most.
class MappingCache {
public:
    static constexpr uint64_t keptBytes = 32ULL << 20;

    static MappingCache& instance() {
        static MappingCache cache;
        return cache;
    }
    // A kept mapping of exactly this size, or null.
    void* take(uint64_t size) {
        std::lock_guard<std::mutex> lock(mutex_);
        for (auto entry = kept_.begin(); entry != kept_.end(); ++entry) {
            if (entry->second == size) {
                void* mapping = entry->first;
                total_ -= size;
                kept_.erase(entry);
                return mapping;
            }
        }
        return nullptr;
    }
    // Keeps a wiped mapping when there is room; false when the caller must unmap it.
    bool keep(void* mapping, uint64_t size) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (total_ + size > keptBytes) {
            return false;
        }
        kept_.emplace_back(mapping, size);
        total_ += size;
        return true;
    }

private:
    std::mutex mutex_;
    std::vector<std::pair<void*, uint64_t>> kept_;
    uint64_t total_ = 0;
};
#endif

void reportAllocationFailure(uint64_t size) {
    memory::reportFatal(__FILE__, __LINE__, __func__,
                        "Unable to allocate data with a size of " + std::to_string(size) +
                            " and alignment of " + std::to_string(payloadAlignment));
}

// Zeroes memory that is about to be freed, at memset speed, in a way the compiler may not drop
// as a dead store: drive data must not linger in freed memory.
void wipe(uint8_t* bytes, uint64_t count) {
#ifdef _WIN32
    SecureZeroMemory(bytes, count);
#else
    std::memset(bytes, 0, count);
    // The barrier makes the zeroed bytes observable, so the memset stays.
    __asm__ __volatile__("" : : "r"(bytes) : "memory");
#endif
}

}  // namespace

uint8_t* createBuffer(uint64_t size) {
    // aligned_alloc wants a multiple of the alignment; a zero-size request still gets a page.
    const uint64_t rounded = roundedSize(size);
    if (rounded < size) {
        reportAllocationFailure(size);
        return nullptr;
    }
#ifdef _WIN32  // the Windows C runtime has no aligned_alloc; its own pair frees with _aligned_free
    void* memory = _aligned_malloc(rounded ? rounded : payloadAlignment, payloadAlignment);
#else
    if (rounded >= mappedBufferBytes) {
        if (void* kept = MappingCache::instance().take(rounded)) {
            return static_cast<uint8_t*>(kept);  // wiped when it was given back
        }
        void* mapped = mmap(nullptr, rounded, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (mapped == MAP_FAILED) {
            reportAllocationFailure(size);
            return nullptr;
        }
#ifdef MADV_HUGEPAGE
        madvise(mapped, rounded, MADV_HUGEPAGE);
#endif
        return static_cast<uint8_t*>(mapped);
    }
    void* memory = std::aligned_alloc(payloadAlignment, rounded ? rounded : payloadAlignment);
#endif
    if (memory == nullptr) {
        reportAllocationFailure(size);
        return nullptr;
    }
    std::memset(memory, 0, size);
    return static_cast<uint8_t*>(memory);
}

void releaseBuffer(uint8_t* buffer, uint64_t size) {
    if (buffer == nullptr) {
        return;
    }
#ifdef _WIN32
    wipe(buffer, size);
    _aligned_free(buffer);
#else
    // A mapping goes back to the system, which zeroes its pages before anyone gets them again,
    // unless it is kept for the next buffer of its size: then it is wiped, which also makes it
    // the zero-filled buffer that comes next. Memory that the allocator keeps is wiped first.
    const uint64_t rounded = roundedSize(size);
    if (rounded >= mappedBufferBytes) {
        if (rounded <= MappingCache::keptBytes) {
            wipe(buffer, rounded);
            if (MappingCache::instance().keep(buffer, rounded)) {
                return;
            }
        }
        munmap(buffer, rounded);
        return;
    }
    wipe(buffer, size);
    std::free(buffer);
#endif
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
    allocated = size;
}

Payload::BufferImplementation::~BufferImplementation() {
    releaseBuffer(data, allocated);
    data = nullptr;
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
