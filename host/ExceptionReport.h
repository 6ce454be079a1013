#pragma once
// What the host prints when an exception leaves a plug-in: one line on the error stream, and
// the plug-in-error exit status. Never a crash, whatever was thrown.
#include <exception>
#include <ostream>
#include <string>

namespace host {

class ExceptionReport {
public:
    // The text of the exception: what() of a standard exception, the message of a status the
    // device library threw, "unknown exception" otherwise. Line breaks become blanks.
    static std::string describe(const std::exception_ptr& error);

    // Writes "ssdtool: error: <text>" and a line end; returns ExitStatus::pluginError.
    static int report(const std::exception_ptr& error, std::ostream& err);
};

}  // namespace host
