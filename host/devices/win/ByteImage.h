#pragma once
// Structures copied into and out of the byte buffers that DeviceIoControl moves. Reads are
// bounded by the bytes actually there: a driver's answer may be shorter than its structures.
#include <cstddef>
#include <cstring>
#include <type_traits>
#include <vector>

namespace host::win_drives {

// Copies value into image at offset, growing image when it is too short.
template <typename T>
void writeAt(std::vector<uint8_t>& image, std::size_t offset, const T& value) {
    static_assert(std::is_trivially_copyable_v<T>, "a plain structure");
    if (image.size() < offset + sizeof(T)) {
        image.resize(offset + sizeof(T));
    }
    std::memcpy(image.data() + offset, &value, sizeof(T));
}

// Whether image holds sizeof(T) bytes at offset; if so they are copied into value.
template <typename T>
bool readAt(const std::vector<uint8_t>& image, std::size_t offset, T& value) {
    static_assert(std::is_trivially_copyable_v<T>, "a plain structure");
    if (offset > image.size() || image.size() - offset < sizeof(T)) {
        return false;
    }
    std::memcpy(&value, image.data() + offset, sizeof(T));
    return true;
}

// Whether [offset, offset + length) lies within a buffer of size bytes, without overflow.
inline bool withinBuffer(uint64_t offset, uint64_t length, std::size_t size) {
    return offset <= size && length <= size - offset;
}

}  // namespace host::win_drives
