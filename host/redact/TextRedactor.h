#pragma once
// Finds what names the user's computer in the text files of a package (host name, the domain
// names of its own network, IPv4 and IPv6 addresses, MAC addresses, user names, home folders)
// and puts a stable placeholder in its place: a value gets the same placeholder in every file
// it is found in; public domain names are kept.
// The scan is hand-written and linear: a package's text cannot make it recurse or backtrack.
#include <cstddef>
#include <map>
#include <string>
#include <vector>

#include "host/redact/NetworkNames.h"

namespace host {

class TextRedactor {
public:
    // Notes the values that only their place in the text shows: the host name on the kernel
    // line or in a host-name variable, the user of the user variables, the home folders and the
    // user each names. Every text is learnt from before any is redacted.
    void learn(const std::string& text);
    // The text with every value found replaced by its placeholder.
    std::string redact(const std::string& text);
    // Placeholder -> the value it stands for, every one given out so far.
    const std::map<std::string, std::string>& placeholders() const { return placeholders_; }

private:
    struct Literal {
        std::string kind;
        std::string value;
    };
    void learnLiteral(const std::string& kind, const std::string& value);
    void learnLine(const std::string& line);
    struct ProcessColumns {
        std::size_t pid = std::string::npos;
        std::size_t user = std::string::npos;
    };
    // Learns the user of a process-list row; returns the list's columns for the next line.
    ProcessColumns learnProcessUser(const std::string& line, ProcessColumns columns);
    // The longest value that begins at `at` and its kind; zero length when none does.
    std::size_t literalAt(const std::string& text, std::size_t at, std::string& kind) const;
    const std::string& placeholderFor(const std::string& kind, const std::string& value);

    NetworkNames network_;
    std::vector<Literal> literals_;
    std::map<std::string, std::string> byValue_;
    std::map<std::string, std::string> placeholders_;
    std::map<std::string, unsigned> counts_;
};

}  // namespace host
