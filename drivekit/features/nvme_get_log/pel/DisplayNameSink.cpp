#include "drivekit/features/nvme_get_log/pel/DisplayNameSink.h"

#include <algorithm>

namespace drivekit::features::nvme_get_log::pel {

void DisplayNameSink::beginObject(std::string_view name, std::string_view key, const std::string* position) {
    to_.beginObject(shown(name), key, position);
}

void DisplayNameSink::field(std::string_view name, std::string_view value, const std::string* position) {
    to_.field(shown(name), value, position);
}

std::string_view DisplayNameSink::shown(std::string_view name) {
    if (name.find('_') == std::string_view::npos) {
        return name;
    }
    shown_.assign(name.data(), name.size());
    std::replace(shown_.begin(), shown_.end(), '_', ' ');
    return shown_;
}

}  // namespace drivekit::features::nvme_get_log::pel
