#include "drivekit/core/FileReadScope.h"

#include "drivekit/core/CommandJournal.h"

namespace drivekit::core {

FileReadScope::FileReadScope(const std::string& path) : previous_(CommandJournal::readFor(path)) {}

FileReadScope::~FileReadScope() { CommandJournal::readFor(previous_); }

}  // namespace drivekit::core
