#include "host/redact/NetworkNames.h"

#include <algorithm>
#include <cctype>
#include <iterator>
#include <sstream>
#include <vector>

#include "host/redact/AddressPatterns.h"

namespace host {

namespace {

// Enough for every name a computer's resolver and hosts file give; further ones are ignored.
constexpr std::size_t mostDomains = 256;

// Suffixes reserved for, or only ever used in, private networks.
const char* const privateSuffixes[] = {"local", "localdomain", "lan", "home", "internal", "intranet", "corp",
                                       "private", "home.arpa"};

std::string lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    while (!text.empty() && text.back() == '.') {
        text.pop_back();
    }
    return text;
}

bool endsWithLabel(const std::string& name, const std::string& suffix) {
    return name == suffix ||
           (name.size() > suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0 &&
            name[name.size() - suffix.size() - 1] == '.');
}

bool isAddress(const std::string& word) {
    return std::any_of(addressPatterns().begin(), addressPatterns().end(), [&word](const AddressPattern& pattern) {
        return std::string(pattern.kind) != "domain" && pattern.match(word, 0) == word.size();
    });
}

}  // namespace

void NetworkNames::learnDomain(const std::string& domain) {
    const std::string name = lowered(domain);
    if (name.find('.') != std::string::npos && name != "localdomain" && domains_.size() < mostDomains) {
        domains_.insert(name);
    }
}

void NetworkNames::learnHost(const std::string& name) {
    const auto dot = name.find('.');
    if (dot != std::string::npos) {
        learnDomain(name);
        learnDomain(name.substr(dot + 1));
    }
}

std::vector<std::string> NetworkNames::learnLine(const std::string& line) {
    std::istringstream stream(line);
    const std::vector<std::string> found{std::istream_iterator<std::string>(stream), {}};
    std::vector<std::string> hosts;
    if (found.size() < 2) {
        return hosts;
    }
    const std::string first = lowered(found[0]);
    const bool resolver = first == "search" || first == "domain" || first == "domain:";
    const bool hostsLine = isAddress(found[0]);
    for (std::size_t i = 1; i < found.size() && (resolver || hostsLine) && found[i].front() != '#'; ++i) {
        if (resolver) {
            learnDomain(found[i]);
        } else if (found[i].find('.') != std::string::npos) {
            learnHost(found[i]);
        } else if (found[i].compare(0, 4, "ip6-") != 0) {
            hosts.push_back(found[i]);  // the loopback's and multicast's own names are no one's
        }
    }
    return hosts;
}

bool NetworkNames::isPrivate(const std::string& domain) const {
    const std::string name = lowered(domain);
    const auto under = [&name](const std::string& suffix) { return endsWithLabel(name, suffix); };
    return std::any_of(domains_.begin(), domains_.end(), under) ||
           std::any_of(std::begin(privateSuffixes), std::end(privateSuffixes), under);
}

}  // namespace host
