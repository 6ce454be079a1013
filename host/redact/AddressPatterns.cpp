#include "host/redact/AddressPatterns.h"

#include <algorithm>
#include <cctype>
#include <set>

namespace host {

namespace {

bool isWordChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_'; }
bool isHex(char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; }
bool isDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }
char at(const std::string& text, std::size_t i) { return i < text.size() ? text[i] : '\0'; }

// "addr:10.0.0.5": the colon follows a word that cannot be part of an address, one with a
// letter beyond 'f' (looked for no further back than a label reaches).
bool labelBefore(const std::string& text, std::size_t colon) {
    bool label = false;
    for (std::size_t i = colon; i > 0 && colon - i < 64 && isWordChar(text[i - 1]); --i) {
        label = label || !isHex(text[i - 1]);
    }
    return label;
}

bool startsAlone(const std::string& text, std::size_t begin) {
    const char before = begin == 0 ? '\0' : text[begin - 1];
    const bool joinedBefore = (before == '.' || before == '-') && begin >= 2 && isWordChar(text[begin - 2]);
    return !isWordChar(before) && !joinedBefore && (before != ':' || labelBefore(text, begin - 1));
}

// A value stands alone: no word character, and no dot or colon that would join it to more of
// the same shape ("1.2.3.4.5", "a:b:c:d:e:f:0"), on either side.
bool standsAlone(const std::string& text, std::size_t begin, std::size_t end) {
    const char after = at(text, end);
    const bool joinedAfter = (after == '.' || after == ':' || after == '-') && isWordChar(at(text, end + 1));
    return startsAlone(text, begin) && !isWordChar(after) && !joinedAfter;
}

// Dotted decimal 0-255, four parts.
std::size_t matchIpv4(const std::string& text, std::size_t begin) {
    std::size_t i = begin;
    for (int part = 0; part < 4; ++part) {
        if (part > 0 && at(text, i++) != '.') {
            return 0;
        }
        std::size_t digits = 0;
        unsigned value = 0;
        for (; digits < 3 && isDigit(at(text, i)); ++digits, ++i) {
            value = value * 10 + static_cast<unsigned>(text[i] - '0');
        }
        if (digits == 0 || value > 255) {
            return 0;
        }
    }
    const bool port = at(text, i) == ':' && isDigit(at(text, i + 1));  // "10.0.0.5:8080"
    return standsAlone(text, begin, i) || (port && startsAlone(text, begin)) ? i - begin : 0;
}

// Six pairs of hex digits, all joined by ':' or all by '-'.
std::size_t matchMac(const std::string& text, std::size_t begin) {
    const char separator = at(text, begin + 2);
    if (separator != ':' && separator != '-') {
        return 0;
    }
    std::size_t i = begin;
    for (int pair = 0; pair < 6; ++pair) {
        if ((pair > 0 && at(text, i++) != separator) || !isHex(at(text, i)) || !isHex(at(text, i + 1))) {
            return 0;
        }
        i += 2;
    }
    return standsAlone(text, begin, i) ? i - begin : 0;
}

// Groups of one to four hex digits joined by ':', eight of them or fewer with one "::"; the
// last two may be written as dotted decimal. "12:34:56" is a time, not an address.
bool isIpv6(const std::string& value) {
    const auto gap = value.find("::");
    const bool loneColon = (value.front() == ':' && gap != 0) || (value.back() == ':' && gap != value.size() - 2);
    if (loneColon || (gap != std::string::npos && value.find("::", gap + 1) != std::string::npos)) {
        return false;
    }
    std::size_t groups = 0;
    std::size_t start = 0;
    while (start <= value.size()) {
        const std::size_t end = std::min(value.find(':', start), value.size());
        const std::string group = value.substr(start, end - start);
        const bool last = end == value.size();
        if (last && group.find('.') != std::string::npos) {
            if (matchIpv4(group, 0) != group.size()) {
                return false;
            }
            groups += 2;
        } else if (group.size() > 4 || !std::all_of(group.begin(), group.end(), isHex)) {
            return false;
        } else if (!group.empty()) {
            ++groups;
        }
        start = end + 1;
    }
    return gap == std::string::npos ? groups == 8 : groups < 8 && groups > 0;
}

std::size_t matchIpv6(const std::string& text, std::size_t begin) {
    constexpr std::size_t longest = 45;
    if (!startsAlone(text, begin)) {
        return 0;
    }
    std::size_t end = begin;
    while (end < text.size() && end - begin <= longest && (isHex(text[end]) || text[end] == ':' || text[end] == '.')) {
        ++end;
    }
    while (end > begin && text[end - 1] == '.') {
        --end;  // the full stop of a sentence
    }
    if (end - begin > 2 && text[end - 1] == ':' && text[end - 2] != ':') {
        --end;  // "listening on fe80::1:"
    }
    const std::string value = text.substr(begin, end - begin);
    const bool shaped = end - begin <= longest && std::count(value.begin(), value.end(), ':') >= 2;
    return shaped && !isWordChar(at(text, end)) && isIpv6(value) ? end - begin : 0;
}

// The endings of file names, which look like the last label of a domain name.
const std::set<std::string>& fileEndings() {
    static const std::set<std::string> endings{
        "bak", "bin", "bz2", "c", "cc", "cfg", "conf", "cpp", "crt", "csv", "dat", "deb", "dll", "efi", "exe",
        "gz", "h", "hpp", "htm", "html", "img", "ini", "iso", "js", "json", "key", "ko", "lock", "log", "md",
        "mount", "out", "path", "pem", "pid", "py", "rpm", "scope", "service", "sh", "slice", "so", "socket",
        "swap", "sys", "target", "tar", "timer", "tmp", "txt", "xml", "xz", "yaml", "yml", "zip", "zst"};
    return endings;
}

bool isLabelChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '-'; }

// Two labels or more joined by dots, the last a name of letters that is not a file's ending.
std::size_t matchDomain(const std::string& text, std::size_t begin) {
    constexpr std::size_t longest = 253;
    if (begin > 0 && (isLabelChar(text[begin - 1]) || text[begin - 1] == '_' || text[begin - 1] == '.')) {
        return 0;
    }
    std::size_t end = begin;
    std::size_t lastLabel = begin;
    std::size_t labels = 0;
    while (end - begin <= longest) {
        const std::size_t label = end;
        while (end < text.size() && isLabelChar(text[end]) && end - label < 64) {
            ++end;
        }
        if (end == label || text[label] == '-' || text[end - 1] == '-') {
            return 0;
        }
        ++labels;
        lastLabel = label;
        if (at(text, end) != '.' || !isLabelChar(at(text, end + 1))) {
            break;
        }
        ++end;
    }
    std::string ending = text.substr(lastLabel, end - lastLabel);
    std::transform(ending.begin(), ending.end(), ending.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    const bool letters = ending.size() >= 2 && std::all_of(ending.begin(), ending.end(),
                                                           [](char c) { return std::isalpha(c) != 0; });
    const bool alone = !isWordChar(at(text, end)) && at(text, end) != '-';
    return labels >= 2 && letters && alone && end - begin <= longest && fileEndings().count(ending) == 0
               ? end - begin
               : 0;
}

}  // namespace

const std::vector<AddressPattern>& addressPatterns() {
    static const std::vector<AddressPattern> patterns{
        {"mac", matchMac}, {"ipv6", matchIpv6}, {"ipv4", matchIpv4}, {"domain", matchDomain}};
    return patterns;
}

}  // namespace host
