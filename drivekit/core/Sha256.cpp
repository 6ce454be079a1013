#include "drivekit/core/Sha256.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <vector>

namespace drivekit::core {

namespace {

constexpr std::array<uint32_t, 64> roundConstants = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};

constexpr uint32_t rotateRight(uint32_t value, unsigned bits) { return (value >> bits) | (value << (32 - bits)); }

}  // namespace

Sha256::Sha256()
    : state_{0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a, 0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19} {}

void Sha256::add(const uint8_t* bytes, uint64_t count) {
    totalBytes_ += count;
    while (count > 0) {
        if (pendingBytes_ == 0 && count >= pending_.size()) {
            compress(bytes);
            bytes += pending_.size();
            count -= pending_.size();
            continue;
        }
        const uint64_t taken = std::min<uint64_t>(count, pending_.size() - pendingBytes_);
        std::copy(bytes, bytes + taken, pending_.begin() + static_cast<std::ptrdiff_t>(pendingBytes_));
        pendingBytes_ += taken;
        bytes += taken;
        count -= taken;
        if (pendingBytes_ == pending_.size()) {
            compress(pending_.data());
            pendingBytes_ = 0;
        }
    }
}

std::string Sha256::hexDigest() {
    const uint64_t bits = totalBytes_ * 8;
    const uint8_t marker = 0x80;
    add(&marker, 1);
    const uint8_t zero = 0;
    while (pendingBytes_ != 56) {
        add(&zero, 1);
    }
    for (int shift = 56; shift >= 0; shift -= 8) {
        const auto byte = static_cast<uint8_t>(bits >> shift);
        add(&byte, 1);
    }
    std::string hex;
    for (const uint32_t word : state_) {
        char digits[9];
        std::snprintf(digits, sizeof(digits), "%08x", word);
        hex += digits;
    }
    return hex;
}

void Sha256::compress(const uint8_t* block) {
    std::array<uint32_t, 64> schedule{};
    for (size_t i = 0; i < 16; ++i) {
        schedule[i] = uint32_t{block[i * 4]} << 24 | uint32_t{block[i * 4 + 1]} << 16 |
                      uint32_t{block[i * 4 + 2]} << 8 | uint32_t{block[i * 4 + 3]};
    }
    for (size_t i = 16; i < 64; ++i) {
        const uint32_t early = schedule[i - 15];
        const uint32_t late = schedule[i - 2];
        const uint32_t s0 = rotateRight(early, 7) ^ rotateRight(early, 18) ^ (early >> 3);
        const uint32_t s1 = rotateRight(late, 17) ^ rotateRight(late, 19) ^ (late >> 10);
        schedule[i] = schedule[i - 16] + s0 + schedule[i - 7] + s1;
    }
    auto [a, b, c, d, e, f, g, h] = state_;
    for (size_t i = 0; i < 64; ++i) {
        const uint32_t t1 = h + (rotateRight(e, 6) ^ rotateRight(e, 11) ^ rotateRight(e, 25)) + ((e & f) ^ (~e & g)) +
                            roundConstants[i] + schedule[i];
        const uint32_t t2 =
            (rotateRight(a, 2) ^ rotateRight(a, 13) ^ rotateRight(a, 22)) + ((a & b) ^ (a & c) ^ (b & c));
        h = g;
        g = f;
        f = e;
        e = d + t1;
        d = c;
        c = b;
        b = a;
        a = t1 + t2;
    }
    const std::array<uint32_t, 8> mixed = {a, b, c, d, e, f, g, h};
    for (size_t i = 0; i < state_.size(); ++i) {
        state_[i] += mixed[i];
    }
}

std::string Sha256::of(const std::string& bytes) {
    Sha256 digest;
    digest.add(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    return digest.hexDigest();
}

std::string Sha256::ofFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return {};
    }
    Sha256 digest;
    std::vector<char> buffer(1 << 16);
    while (file.read(buffer.data(), static_cast<std::streamsize>(buffer.size())) || file.gcount() > 0) {
        digest.add(reinterpret_cast<const uint8_t*>(buffer.data()), static_cast<uint64_t>(file.gcount()));
    }
    return file.bad() ? std::string() : digest.hexDigest();
}

}  // namespace drivekit::core
