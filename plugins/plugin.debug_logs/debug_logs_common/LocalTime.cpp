#include "plugins/plugin.debug_logs/debug_logs_common/LocalTime.h"

#include <boost/format.hpp>

namespace plugin::cli::debug_logs {

std::string fileNameTimeStamp(const LocalTime& time) {
    return (boost::format("%02d-%02d-%04d_%02d-%02d-%02d-%02d") % time.month % time.day % time.year %
            time.hour % time.minute % time.second % time.millisecond)
        .str();
}

std::string displayTimeStamp(const LocalTime& time) {
    const int hour = time.hour > 12 ? time.hour - 12 : time.hour;
    return (boost::format("%02d/%02d/%04d %02d:%02d:%02d %s") % time.month % time.day % time.year %
            hour % time.minute % time.second % (time.hour < 12 ? "AM" : "PM"))
        .str();
}

}  // namespace plugin::cli::debug_logs
