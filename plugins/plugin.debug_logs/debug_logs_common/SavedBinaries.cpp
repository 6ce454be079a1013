#include "plugins/plugin.debug_logs/debug_logs_common/SavedBinaries.h"

#include <boost/filesystem/path.hpp>
#include <sstream>

namespace plugin::cli::debug_logs {

namespace {
// Never cleared: a process that runs several commands reports the binaries of all of them.
std::ostringstream& record() {
    static std::ostringstream stream;
    return stream;
}
}  // namespace

void recordSavedBinary(const std::string& folder, const std::string& fileName, const std::string& warning) {
    record() << (boost::filesystem::path(folder) / fileName).string() << " was saved successfully\n";
    if (!warning.empty()) {
        record() << "    Warning: " << warning << "\n";
    }
}

std::string savedBinariesRecord() { return record().str(); }

}  // namespace plugin::cli::debug_logs
