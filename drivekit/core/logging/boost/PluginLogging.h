#pragma once
// The plug-in's logging core, built on Boost.Log. It is linked only into the plug-in (and
// test programs): the host keeps a logging of its own, so the plug-in's records reach only
// the file named here.
#include <string>

namespace drivekit::core::logging {

// Resets the logging core and, when enable is set, appends every record from then on to the
// file at logFilePath (created when absent) as "%H:%M:%S:%f [severity] message" lines. A
// later call re-points logging to another file, closing the previous one; a call with enable
// unset turns logging off so that nothing is written anywhere. Returns whether records now
// reach a file. A file that cannot be opened is reported once on standard error.
bool initializeLogger(bool enable, const std::string& logFilePath);

// The path of the log file in use, or of the last one asked for ("drivekit.log" before any).
std::string currentLogFilePath();

}  // namespace drivekit::core::logging
