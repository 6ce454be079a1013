#include "host/ExceptionReport.h"

#include <algorithm>

#include "drivekit/core/Status.h"
#include "drivekit/core/logging/Log.h"
#include "host/ExitStatus.h"

namespace host {

std::string ExceptionReport::describe(const std::exception_ptr& error) {
    std::string text;
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& exception) {
        text = exception.what();
    } catch (const drivekit::core::Status& status) {
        text = status.message();
    } catch (...) {
        text = "unknown exception";
    }
    std::replace_if(text.begin(), text.end(), [](char c) { return c == '\n' || c == '\r'; }, ' ');
    return text;
}

int ExceptionReport::report(const std::exception_ptr& error, std::ostream& err) {
    const std::string text = describe(error);
    LOG_ERROR("Exception: " << text);
    err << "ssdtool: error: " << text << "\n";
    return ExitStatus::pluginError;
}

}  // namespace host
