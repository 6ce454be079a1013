#pragma once
// The domain names that belong to the user's own network, as a computer's report shows them:
// the resolver's "search" and "domain" lines, the names of hosts-file lines (an address, then
// names), the host's full name and the domain it is in. A name is private when it is one of
// those or lies under one, or when it ends in a suffix that only a private network uses
// (".local", ".internal", ".home.arpa", ...). Every other domain name is public and kept: the
// distribution's and the kernel's web sites, dotted kernel parameters.
#include <set>
#include <string>
#include <vector>

namespace host {

class NetworkNames {
public:
    // Notes the network's names that one line of a report gives; returns the names of hosts
    // it gives without a domain ("nas" of a hosts-file line), which only their place shows.
    std::vector<std::string> learnLine(const std::string& line);
    // A full host name (one with dots): itself and the domain it is in.
    void learnHost(const std::string& name);
    bool isPrivate(const std::string& domain) const;

private:
    void learnDomain(const std::string& domain);

    std::set<std::string> domains_;  // lower case, without a final dot
};

}  // namespace host
