#include "drivekit/core/logging/boost/PluginLogging.h"

#include <fstream>
#include <iostream>
#include <mutex>
#include <ostream>

#include <boost/log/core.hpp>
#include <boost/log/expressions.hpp>
#include <boost/log/sinks/sync_frontend.hpp>
#include <boost/log/sinks/text_ostream_backend.hpp>
#include <boost/log/sources/record_ostream.hpp>
#include <boost/log/sources/severity_logger.hpp>
#include <boost/log/support/date_time.hpp>
#include <boost/log/utility/setup/common_attributes.hpp>
#include <boost/make_shared.hpp>
#include <boost/shared_ptr.hpp>

#include "drivekit/core/logging/Log.h"

namespace drivekit::core::logging {

// How a severity appears in the log line.
std::ostream& operator<<(std::ostream& out, Severity severity) {
    return out << severityName(severity);
}

namespace {

namespace blog = boost::log;
namespace expr = boost::log::expressions;
using TextSink = blog::sinks::synchronous_sink<blog::sinks::text_ostream_backend>;

BOOST_LOG_ATTRIBUTE_KEYWORD(severityKeyword, "Severity", Severity)

struct LoggingState {
    std::mutex guard;
    boost::shared_ptr<TextSink> sink;
    boost::shared_ptr<std::ofstream> file;
    std::string path = "drivekit.log";
    bool append = false;
};

LoggingState& state() {
    static LoggingState instance;
    return instance;
}

blog::sources::severity_logger_mt<Severity>& pluginLogger() {
    static blog::sources::severity_logger_mt<Severity> logger;
    return logger;
}

void forwardToCore(Severity severity, const std::string& message) {
    BOOST_LOG_SEV(pluginLogger(), severity) << message;
}

boost::shared_ptr<TextSink> makeSink() {
    auto sink = boost::make_shared<TextSink>();
    sink->locked_backend()->auto_flush(true);
    sink->set_formatter(expr::stream
                        << expr::format_date_time<boost::posix_time::ptime>("TimeStamp",
                                                                             "%H:%M:%S:%f")
                        << " [" << severityKeyword << "] " << expr::smessage);
    return sink;
}

// Logging off, the common attributes and the pass-all filter in place, the one sink added.
void resetCore(LoggingState& logging) {
    const auto core = blog::core::get();
    core->set_logging_enabled(false);
    blog::add_common_attributes();
    core->set_filter(severityKeyword >= Severity::trace);
    if (!logging.sink) {
        logging.sink = makeSink();
        core->add_sink(logging.sink);
    }
}

void closeFile(LoggingState& logging) {
    if (logging.file) {
        logging.sink->locked_backend()->remove_stream(logging.file);
        logging.file->close();
        logging.file.reset();
    }
}

bool reopen(LoggingState& logging) {
    if (logging.path.empty()) {
        return false;
    }
    const auto mode = logging.append ? std::ios::out | std::ios::app : std::ios::out | std::ios::trunc;
    auto file = boost::make_shared<std::ofstream>(logging.path, mode);
    if (!file->is_open()) {
        std::cerr << "[error] Unable to open the log file " << logging.path << std::endl;
        return false;
    }
    logging.sink->locked_backend()->add_stream(file);
    logging.file = file;
    return true;
}

}  // namespace

bool initializeLogger(bool enable, const std::string& logFilePath) {
    auto& logging = state();
    std::lock_guard<std::mutex> lock(logging.guard);
    resetCore(logging);
    if (!enable) {
        // Off means off: no record reaches the core, and the file is let go.
        setSink({});
        closeFile(logging);
        return false;
    }
    blog::core::get()->set_logging_enabled(true);
    closeFile(logging);
    logging.path = logFilePath;
    logging.append = true;
    const bool opened = reopen(logging);
    setSink(forwardToCore);
    return opened;
}

std::string currentLogFilePath() {
    auto& logging = state();
    std::lock_guard<std::mutex> lock(logging.guard);
    return logging.path;
}

}  // namespace drivekit::core::logging
