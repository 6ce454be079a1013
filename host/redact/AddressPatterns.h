#pragma once
// The shapes of network names and addresses in free text: each matcher is given a text and a
// position and returns the length of the one value of its kind that begins there (0 when none
// does), looking no further than the value can reach.
#include <cstddef>
#include <string>
#include <vector>

namespace host {

struct AddressPattern {
    const char* kind;  // the placeholder's name: "ipv4", "ipv6", "mac", "domain"
    std::size_t (*match)(const std::string& text, std::size_t at);
};

// Longest shapes first where two could begin at one place (a MAC address before IPv6).
const std::vector<AddressPattern>& addressPatterns();

}  // namespace host
