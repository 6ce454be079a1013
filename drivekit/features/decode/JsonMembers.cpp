#include "drivekit/features/decode/JsonMembers.h"

#include <algorithm>

#include "drivekit/features/Json.h"

namespace drivekit::features::decode {

JsonMembers::JsonMembers(std::string& out, unsigned level) : out_(out), level_(level) { out_ += '{'; }

void JsonMembers::string(const char* key, const std::string& text) {
    next(key);
    out_ += '"';
    appendEscaped(text, out_);
    out_ += '"';
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

void JsonMembers::closeArray() { close(level_ + 1, ']'); }

void JsonMembers::close() { close(level_, '}'); }

void JsonMembers::appendEscaped(const std::string& text, std::string& out) {
    const bool plain = std::all_of(text.begin(), text.end(), [](char c) {
        return c != '"' && c != '\\' && static_cast<unsigned char>(c) >= 0x20;
    });
    if (plain) {
        out += text;
    } else {
        out += features::Json::escape(text);
    }
}

void JsonMembers::next(const char* key) {
    out_ += first_ ? "\n" : ",\n";
    first_ = false;
    indent(level_ + 1, out_);
    out_ += '"';
    out_ += key;
    out_ += "\": ";
}

void JsonMembers::close(unsigned level, char bracket) {
    out_ += '\n';
    indent(level, out_);
    out_ += bracket;
}

}  // namespace drivekit::features::decode
