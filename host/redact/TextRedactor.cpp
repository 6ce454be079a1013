#include "host/redact/TextRedactor.h"

#include <algorithm>
#include <cctype>

#include "host/redact/AddressPatterns.h"

namespace host {

namespace {

// Enough for every user and host a computer's report names; a text naming more is hostile and
// its further names are left to the address patterns.
constexpr std::size_t mostLiterals = 256;

bool isNameChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_' || c == '-'; }

struct Place {
    const char* prefix;  // what comes before the value on its line
    const char* kind;
};

// Values the report writes at the start of a line: the kernel line names the host; the
// environment names the user and the home folder (a masked value is "<redacted>").
const Place linePlaces[] = {
    {"Linux ", "host"},   {"HOSTNAME=", "host"}, {"COMPUTERNAME=", "host"},   {"Host Name:", "host"},
    {"USER=", "user"},    {"LOGNAME=", "user"},  {"USERNAME=", "user"},       {"HOME=", "home"},
    {"USERPROFILE=", "home"},
};

// Folders whose next component is a user's name.
const char* const homeParents[] = {"/home/", "/Users/", "C:\\Users\\"};

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r");
    return first == std::string::npos ? std::string() : text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// The first word of text: its name characters (and a home folder's separators).
std::string firstWord(const std::string& text, bool path) {
    std::size_t end = 0;
    while (end < text.size() && (isNameChar(text[end]) || text[end] == '.' ||
                                 (path && (text[end] == '/' || text[end] == '\\' || text[end] == ':')))) {
        ++end;
    }
    return text.substr(0, end);
}

}  // namespace

void TextRedactor::learnLiteral(const std::string& kind, const std::string& value) {
    const bool common = value.empty() || value == "root" || value == "localhost" || value == "version" ||
                        value == "/root" || value.front() == '<';
    const bool known = std::any_of(literals_.begin(), literals_.end(),
                                   [&value](const Literal& literal) { return literal.value == value; });
    if (!common && !known && literals_.size() < mostLiterals) {
        literals_.push_back({kind, value});
        // The longest first, so that "/home/alice" is found before "alice".
        std::stable_sort(literals_.begin(), literals_.end(),
                         [](const Literal& a, const Literal& b) { return a.value.size() > b.value.size(); });
    }
}

void TextRedactor::learn(const std::string& text) {
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        const std::string line = text.substr(start, end - start);
        for (const auto& place : linePlaces) {
            const std::string prefix = place.prefix;
            if (line.compare(0, prefix.size(), prefix) == 0) {
                const std::string kind = place.kind;
                learnLiteral(kind, firstWord(trimmed(line.substr(prefix.size())), kind == "home"));
            }
        }
        start = end + 1;
    }
    for (const std::string parent : homeParents) {
        for (auto at = text.find(parent); at != std::string::npos; at = text.find(parent, at + 1)) {
            const std::string user = firstWord(text.substr(at + parent.size(), 64), false);
            if (!user.empty()) {
                learnLiteral("home", parent + user);
                learnLiteral("user", user);
            }
        }
    }
}

std::size_t TextRedactor::literalAt(const std::string& text, std::size_t at, std::string& kind) const {
    for (const Literal& literal : literals_) {
        const std::size_t end = at + literal.value.size();
        const bool path = literal.kind == "home";
        if (text.compare(at, literal.value.size(), literal.value) == 0 &&
            (path || at == 0 || !isNameChar(text[at - 1])) && (end == text.size() || !isNameChar(text[end]))) {
            kind = literal.kind;
            return literal.value.size();
        }
    }
    return 0;
}

const std::string& TextRedactor::placeholderFor(const std::string& kind, const std::string& value) {
    const auto known = byValue_.find(value);
    if (known != byValue_.end()) {
        return known->second;
    }
    const std::string placeholder = "<" + kind + "-" + std::to_string(++counts_[kind]) + ">";
    placeholders_[placeholder] = value;
    return byValue_[value] = placeholder;
}

std::string TextRedactor::redact(const std::string& text) {
    std::string redacted;
    redacted.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        std::string kind;
        std::size_t length = literalAt(text, at, kind);
        for (const auto& pattern : addressPatterns()) {
            const std::size_t found = pattern.match(text, at);
            if (found > length) {
                length = found;
                kind = pattern.kind;
            }
        }
        if (length == 0) {
            redacted += text[at++];
            continue;
        }
        redacted += placeholderFor(kind, text.substr(at, length));
        at += length;
    }
    return redacted;
}

}  // namespace host
