#pragma once
// Appends several pieces of text to a string with one growth of it: a decode writes tens of
// millions of short lines, and one call per piece costs more than the copying.
#include <cstring>
#include <initializer_list>
#include <string>
#include <string_view>

namespace drivekit::features::decode {

inline void appendPieces(std::string& out, std::initializer_list<std::string_view> pieces) {
    std::size_t total = 0;
    for (const std::string_view piece : pieces) {
        total += piece.size();
    }
    const std::size_t at = out.size();
    out.resize(at + total);
    char* to = &out[at];
    for (const std::string_view piece : pieces) {
        std::memcpy(to, piece.data(), piece.size());
        to += piece.size();
    }
}

}  // namespace drivekit::features::decode
