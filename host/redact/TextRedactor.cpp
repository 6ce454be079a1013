#include "host/redact/TextRedactor.h"

#include <algorithm>
#include <cctype>
#include <iterator>
#include <set>
#include <sstream>

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

bool isNumber(const std::string& word) {
    return std::all_of(word.begin(), word.end(),
                       [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; });
}

// Any address, the loopback and netmasks: they say nothing about the network.
bool namesNoMachine(const std::string& kind, const std::string& value) {
    return (kind == "ipv4" && (value == "0.0.0.0" || value.compare(0, 4, "127.") == 0 ||
                               value.compare(0, 4, "255.") == 0)) ||
           (kind == "ipv6" && (value == "::" || value == "::1"));
}

// Accounts of the system's services: they name no one, and some are common words.
bool isServiceAccount(const std::string& name) {
    static const std::set<std::string> services{
        "avahi", "backup", "bin", "chrony", "colord", "daemon", "dbus", "dnsmasq", "gdm", "geoclue", "kernoops",
        "lightdm", "list", "lp", "mail", "man", "messagebus", "mysql", "news", "nobody", "ntp", "polkitd",
        "postfix", "postgres", "proxy", "pulse", "redis", "root", "rtkit", "sshd", "sync", "sys", "syslog",
        "tss", "uucp", "uuidd", "www-data"};
    // ps cuts a long name to seven characters and a '+'.
    return isNumber(name) || name.back() == '+' || name.front() == '_' || name.compare(0, 8, "systemd-") == 0 ||
           services.count(name) != 0;
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

void TextRedactor::learnLine(const std::string& line) {
    for (const std::string& name : network_.learnLine(line)) {
        learnLiteral("host", name);
    }
    for (const auto& place : linePlaces) {
        const std::string prefix = place.prefix;
        if (line.compare(0, prefix.size(), prefix) == 0) {
            const std::string kind = place.kind;
            const std::string value = firstWord(trimmed(line.substr(prefix.size())), kind == "home");
            learnLiteral(kind, value);
            if (kind == "host") {
                network_.learnHost(value);
            }
        }
    }
}

// The process list names its users only in the column under its header's USER; a row is one
// whose PID column is a number, and a blank line ends the list.
TextRedactor::ProcessColumns TextRedactor::learnProcessUser(const std::string& line, ProcessColumns columns) {
    std::istringstream stream(line);
    const std::vector<std::string> found{std::istream_iterator<std::string>(stream), {}};
    const auto pid = std::find(found.begin(), found.end(), "PID");
    const auto user = std::find(found.begin(), found.end(), "USER");
    if (found.empty()) {
        return {};
    }
    if (pid != found.end() && user != found.end()) {
        return {static_cast<std::size_t>(pid - found.begin()), static_cast<std::size_t>(user - found.begin())};
    }
    if (columns.user < found.size() && columns.pid < found.size() && isNumber(found[columns.pid]) &&
        !isServiceAccount(found[columns.user])) {
        learnLiteral("user", found[columns.user]);
    }
    return columns;
}

void TextRedactor::learn(const std::string& text) {
    ProcessColumns columns;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        const std::string line = text.substr(start, end - start);
        learnLine(line);
        columns = learnProcessUser(line, columns);
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
        const std::string value = text.substr(at, length);
        if ((kind == "domain" && !network_.isPrivate(value)) || namesNoMachine(kind, value)) {
            redacted.append(value);  // kept whole
            at += length;
            continue;
        }
        redacted += placeholderFor(kind, value);
        at += length;
    }
    return redacted;
}

}  // namespace host
