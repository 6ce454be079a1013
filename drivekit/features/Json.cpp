#include "drivekit/features/Json.h"

#include <cstdio>
#include <sstream>

namespace drivekit::features {

Json Json::makeString(const std::string& key, const std::string& text) {
    Json node(key);
    node.setString(text);
    return node;
}

Json Json::makeSigned(const std::string& key, int64_t number) {
    Json node(key);
    node.setSigned(number);
    return node;
}

Json& Json::operator[](const std::string& key) {
    for (auto& child : children_) {
        if (child->key_ == key) {
            return *child;
        }
    }
    children_.push_back(std::make_shared<Json>(key));
    return *children_.back();
}

Json& Json::append(const Json& child) {
    children_.push_back(std::make_shared<Json>(child));
    return *children_.back();
}

void Json::setString(const std::string& text) {
    text_ = text;
    type_ = string;
}

void Json::setUnsigned(uint64_t number) {
    unsigned_ = number;
    type_ = unsignedNumber;
}

void Json::setSigned(int64_t number) {
    signed_ = number;
    type_ = signedNumber;
}

void Json::setDouble(double number) {
    double_ = number;
    type_ = doubleNumber;
}

void Json::setBool(bool value) {
    unsigned_ = value ? 1 : 0;
    type_ = boolean;
}

std::string Json::toString(uint32_t level) const {
    std::string out;
    write(out, level);
    return out;
}

void Json::write(std::string& out, uint32_t level) const {
    out.append(2 * static_cast<std::size_t>(level), ' ');
    if (!key_.empty()) {
        out += '"';
        out += escape(key_);
        out += "\": ";
    }
    if (type_ == array) {
        writeContainer(out, level, '[', ']');
        return;
    }
    if (!children_.empty() || type_ == object) {
        writeContainer(out, level, '{', '}');
        return;
    }
    switch (type_) {
        case unsignedNumber:
            out += std::to_string(unsigned_);
            break;
        case signedNumber:
            out += std::to_string(signed_);
            break;
        case boolean:
            out += unsigned_ != 0 ? "true" : "false";
            break;
        case doubleNumber: {
            std::ostringstream stream;
            stream << double_;
            out += stream.str();
            break;
        }
        default:
            out += '"';
            out += escape(text_);
            out += '"';
            break;
    }
}

void Json::writeContainer(std::string& out, uint32_t level, char open, char close) const {
    out += open;
    for (std::size_t i = 0; i < children_.size(); ++i) {
        out += '\n';
        children_[i]->write(out, level + 1);
        if (i + 1 < children_.size()) {
            out += ',';
        }
    }
    out += '\n';
    out.append(2 * static_cast<std::size_t>(level), ' ');
    out += close;
}

std::string Json::escape(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\b': out += "\\b"; break;
            case '\t': out += "\\t"; break;
            case '\n': out += "\\n"; break;
            case '\f': out += "\\f"; break;
            case '\r': out += "\\r"; break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char code[8];
                    std::snprintf(code, sizeof(code), "\\u%04x", static_cast<unsigned char>(c));
                    out += code;
                } else {
                    out += c;
                }
        }
    }
    return out;
}

}  // namespace drivekit::features
