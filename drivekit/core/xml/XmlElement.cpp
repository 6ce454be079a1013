#include "drivekit/core/xml/XmlElement.h"

#include <algorithm>

namespace drivekit::core::xml {

namespace {
void wipe(std::string& text) {
    volatile char* bytes = text.data();
    for (std::size_t i = 0; i < text.size(); ++i) {
        bytes[i] = 0;
    }
}
}  // namespace

XmlElement::~XmlElement() {
    for (auto& entry : attributes_) {
        wipe(entry.second);
    }
}

namespace {
XmlElement::Attributes::const_iterator lowerBound(const XmlElement::Attributes& attributes, const std::string& key) {
    return std::lower_bound(attributes.begin(), attributes.end(), key,
                            [](const auto& entry, const std::string& wanted) { return entry.first < wanted; });
}
}  // namespace

const std::string& XmlElement::attribute(const std::string& key) const {
    static const std::string none;
    const auto found = lowerBound(attributes_, key);
    return found == attributes_.end() || found->first != key ? none : found->second;
}

void XmlElement::setAttribute(const std::string& key, const std::string& value) {
    const auto at = attributes_.begin() + (lowerBound(attributes_, key) - attributes_.begin());
    if (at != attributes_.end() && at->first == key) {
        at->second = value;
    } else {
        attributes_.emplace(at, key, value);
    }
}

bool XmlElement::matches(const std::string& tag, const std::string& key,
                         const std::string& value) const {
    if (!tag.empty() && tag != tag_) {
        return false;
    }
    return key.empty() || attribute(key) == value;
}

void XmlElement::find(std::vector<const XmlElement*>& results, const std::string& tag,
                      const std::string& key, const std::string& value, unsigned) const {
    if (matches(tag, key, value)) {
        results.push_back(this);
    }
}

void XmlElement::serializeAttributes(std::string& out) const {
    for (const auto& [key, value] : attributes_) {
        out += ' ';
        out += key;
        out += "=\"";
        appendEscaped(value, out);
        out += '"';
    }
}

namespace {
std::string escapeCharacters(const std::string& text, bool quotes) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += quotes ? "&quot;" : "\""; break;
            case '\'': out += quotes ? "&apos;" : "'"; break;
            default: out += c; break;
        }
    }
    return out;
}
}  // namespace

std::string escape(const std::string& text) { return escapeCharacters(text, true); }

std::string escapeText(const std::string& text) { return escapeCharacters(text, false); }

void appendEscaped(const std::string& text, std::string& out) {
    if (text.find_first_of("&<>\"'") == std::string::npos) {
        out += text;
    } else {
        out += escape(text);
    }
}

}  // namespace drivekit::core::xml
