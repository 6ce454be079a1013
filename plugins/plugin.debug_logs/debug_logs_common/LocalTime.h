#pragma once
// A local date and time with milliseconds, and the two forms in which the package writes it.
#include <string>

namespace plugin::cli::debug_logs {

struct LocalTime {
    int year = 0;
    int month = 0;   // 1 to 12
    int day = 0;     // 1 to 31
    int hour = 0;    // 0 to 23
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

// "MM-DD-YYYY_hh-mm-ss-ms" on the 24-hour clock, used in folder names.
std::string fileNameTimeStamp(const LocalTime& time);

// "MM/DD/YYYY hh:mm:ss AM|PM" as printed in the package's logs. Hours 13 to 23 become 01 to
// 11; hours 0 to 12 are written as they are, so half past midnight reads "00:30:00 AM".
std::string displayTimeStamp(const LocalTime& time);

}  // namespace plugin::cli::debug_logs
