#include "drivekit/features/nvme_get_log/pel/DisplayNameSink.h"

#include <algorithm>

namespace drivekit::features::nvme_get_log::pel {

void DisplayNameSink::beginObject(const std::string& name, const std::string& key, const std::string* position) {
    to_.beginObject(shown(name), key, position);
}

void DisplayNameSink::field(const std::string& name, const std::string& value, const std::string* position) {
    to_.field(shown(name), value, position);
}

const std::string& DisplayNameSink::shown(const std::string& name) {
    if (name.find('_') == std::string::npos) {
        return name;
    }
    shown_ = name;
    std::replace(shown_.begin(), shown_.end(), '_', ' ');
    return shown_;
}

}  // namespace drivekit::features::nvme_get_log::pel
