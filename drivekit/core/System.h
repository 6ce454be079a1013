#pragma once
// The few operating-system services the device library needs. Features hold one as a
// shared pointer; create() builds the implementation of the platform it was built for.
#include <memory>
#include <string>

#include "drivekit/core/Status.h"

namespace drivekit::core {

class System {
public:
    virtual ~System() = default;

    // Asks the operating system to look for devices again; "System rescan failed." otherwise.
    virtual Status rescan() = 0;
    // "Linux", "Windows" or "WindowsPE".
    virtual std::string operatingSystemKind() = 0;
    // The distribution's name and version in the two outputs; returns its display name.
    // All three are empty where the operating system has no such notion.
    virtual std::string distributionDetails(std::string& name, std::string& version) = 0;
    // The kernel's version, computed once and cached.
    virtual std::string getVersion() = 0;
    // A named yes/no query about the system; no query is known yet, so every answer is false.
    virtual bool query(const std::string& name) = 0;

    static std::shared_ptr<System> create();
};

}  // namespace drivekit::core
