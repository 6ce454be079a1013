#pragma once
// Prints the result that a feature's run returns in the format the user chose, and turns it
// into the process's exit status.
#include <string>

namespace plugin::cli {
class ResultBase;
}

namespace host::cli {

class ResultPrinter {
public:
    // format: "text", "json", "xml" or "csv" (as the parser checked it). The JSON form is one
    // document: the result's keyed object inside an enclosing object.
    static std::string render(const plugin::cli::ResultBase& result, const std::string& format);

    // 0 for a success result (type 0), 2 for a syntax result (type 201), 1 for any other
    // type (2 is a failed run), 128 + N for a run stopped by signal N; a result that carries no
    // type counts as success.
    static int exitStatus(const plugin::cli::ResultBase& result);
};

}  // namespace host::cli
