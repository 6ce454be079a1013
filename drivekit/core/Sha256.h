#pragma once
// SHA-256 of a byte stream, fed in pieces of any size; the package's manifest carries it per
// file so that a copy damaged on the way to the maker is found.
#include <array>
#include <cstdint>
#include <string>

namespace drivekit::core {

class Sha256 {
public:
    Sha256();
    void add(const uint8_t* bytes, uint64_t count);
    // The digest as 64 lowercase hex digits; the object is spent afterwards.
    std::string hexDigest();

    // The digest of bytes held whole.
    static std::string of(const std::string& bytes);
    // The digest of a whole file; empty when it cannot be read.
    static std::string ofFile(const std::string& path);

private:
    void compress(const uint8_t* block);

    std::array<uint32_t, 8> state_;
    std::array<uint8_t, 64> pending_{};
    uint64_t pendingBytes_ = 0;
    uint64_t totalBytes_ = 0;
};

}  // namespace drivekit::core
