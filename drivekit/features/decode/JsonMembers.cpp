#include "drivekit/features/decode/JsonMembers.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "drivekit/features/Json.h"

namespace drivekit::features::decode {

JsonMembers::JsonMembers(std::string& out, unsigned level) : out_(out), level_(level) { out_ += '{'; }

void JsonMembers::string(const char* key, const std::string& text) {
    next(key);
    appendQuoted(text, out_);
}

void JsonMembers::openArray(const char* key) {
    next(key);
    out_ += '[';
    firstElement_ = true;
}

void JsonMembers::element() {
    out_ += firstElement_ ? "\n" : ",\n";
    firstElement_ = false;
    indent(level_ + 2, out_);
}

void JsonMembers::closeArray() { appendClose(level_ + 1, ']', out_); }

void JsonMembers::close() { appendClose(level_, '}', out_); }

// Eight bytes at a time (a text's last eight overlapping the word before them): a byte below
// 0x20, a quote or a backslash turns on the high bit of its byte in one of the three masks (the
// usual tests for a zero byte, or for one below a bound).
bool JsonMembers::plain(std::string_view text) {
    constexpr uint64_t ones = 0x0101010101010101ULL;
    constexpr uint64_t highBits = 0x8080808080808080ULL;
    const auto plainWord = [](const char* at) {
        uint64_t word = 0;
        std::memcpy(&word, at, sizeof(word));
        const uint64_t quotes = word ^ (ones * '"');
        const uint64_t backslashes = word ^ (ones * '\\');
        const uint64_t found = ((word - ones * 0x20) & ~word) | ((quotes - ones) & ~quotes) |
                               ((backslashes - ones) & ~backslashes);
        return (found & highBits) == 0;
    };
    if (text.size() < sizeof(uint64_t)) {
        return std::all_of(text.begin(), text.end(), [](char c) {
            return c != '"' && c != '\\' && static_cast<unsigned char>(c) >= 0x20;
        });
    }
    for (std::size_t at = 0; at + sizeof(uint64_t) < text.size(); at += sizeof(uint64_t)) {
        if (!plainWord(text.data() + at)) {
            return false;
        }
    }
    return plainWord(text.data() + text.size() - sizeof(uint64_t));
}

void JsonMembers::appendEscaped(std::string_view text, std::string& out) {
    if (plain(text)) {
        out += text;
    } else {
        out += features::Json::escape(std::string(text));
    }
}

void JsonMembers::appendQuoted(std::string_view text, std::string& out) {
    out += '"';
    appendEscaped(text, out);
    out += '"';
}

void JsonMembers::appendKey(const char* key, unsigned level, bool first, std::string& out) {
    out += first ? "\n" : ",\n";
    indent(level + 1, out);
    out += '"';
    out += key;
    out += "\": ";
}

void JsonMembers::appendClose(unsigned level, char bracket, std::string& out) {
    out += '\n';
    indent(level, out);
    out += bracket;
}

void JsonMembers::next(const char* key) {
    appendKey(key, level_, first_, out_);
    first_ = false;
}

}  // namespace drivekit::features::decode
