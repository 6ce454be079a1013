#pragma once
// Says which file the commands sent during its life read for, so that the package's manifest
// credits each read to its own file and not to whichever file happens to be written next.
// Scopes nest: the file named before is named again when a scope ends.
#include <string>

namespace drivekit::core {

class FileReadScope {
public:
    explicit FileReadScope(const std::string& path);
    ~FileReadScope();

    FileReadScope(const FileReadScope&) = delete;
    FileReadScope& operator=(const FileReadScope&) = delete;

private:
    std::string previous_;
};

}  // namespace drivekit::core
