#pragma once
// Reads a simulated drive's profile: a built-in one by name, or a JSON file by path.
// Every problem becomes one line that names the file and what is wrong with it.
#include <string>
#include <vector>

#include "host/devices/sim/SimProfile.h"

namespace host::sim {

class SimProfileLoader {
public:
    // A built-in name or a path. False (and error set) when the profile cannot be used.
    static bool load(const std::string& nameOrPath, SimProfile& profile, std::string& error);
    // Parses text read from file (used for messages and for the replay folder's base).
    static bool parse(const std::string& text, const std::string& file, SimProfile& profile, std::string& error);

    static std::vector<std::string> builtInNames();
    // The folder of the built-in profiles: "profiles" beside the running executable, or the
    // source tree's folder when the program runs from elsewhere (test programs).
    static std::string builtInFolder();
};

}  // namespace host::sim
