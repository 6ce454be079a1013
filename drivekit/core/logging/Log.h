#pragma once
// Logging front end of the device library.
//
// Code logs through the LOG_* macros. Each binary that carries the library (the
// plug-in, the host, a test program) installs its own sink; until one is
// installed, or while it is disabled, records cost one branch and go nowhere.
#include <functional>
#include <sstream>
#include <string>

namespace drivekit::core::logging {

enum class Severity { trace = 0, debug, info, warning, error, fatal };

// "trace", "debug", "info", "warning", "error" or "fatal".
const char* severityName(Severity severity);

// "file(line) function: text", with only the last path component of the file.
std::string formatMessage(const char* file, int line, const char* function, const std::string& text);

using Sink = std::function<void(Severity, const std::string& message)>;

// Installs (or, with an empty function, removes) this binary's sink.
void setSink(Sink sink);
bool isEnabled();
void write(Severity severity, const std::string& message);

}  // namespace drivekit::core::logging

#define DK_LOG(severity, text)                                                            \
    do {                                                                                  \
        if (::drivekit::core::logging::isEnabled()) {                                     \
            std::ostringstream dkLogStream_;                                              \
            dkLogStream_ << text;                                                         \
            ::drivekit::core::logging::write(                                             \
                severity, ::drivekit::core::logging::formatMessage(__FILE__, __LINE__,    \
                                                                   __func__,              \
                                                                   dkLogStream_.str())); \
        }                                                                                 \
    } while (0)

#define LOG_TRACE(text) DK_LOG(::drivekit::core::logging::Severity::trace, text)
#define LOG_DEBUG(text) DK_LOG(::drivekit::core::logging::Severity::debug, text)
#define LOG_INFO(text) DK_LOG(::drivekit::core::logging::Severity::info, text)
#define LOG_WARNING(text) DK_LOG(::drivekit::core::logging::Severity::warning, text)
#define LOG_ERROR(text) DK_LOG(::drivekit::core::logging::Severity::error, text)
#define LOG_FATAL(text) DK_LOG(::drivekit::core::logging::Severity::fatal, text)
#define LOG_ENTERING() LOG_DEBUG("Entering")
#define LOG_EXITING() LOG_DEBUG("Exiting")
