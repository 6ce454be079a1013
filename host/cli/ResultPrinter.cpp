#include "host/cli/ResultPrinter.h"

#include "host/ExitStatus.h"
#include "plugins/plugin.cliframework/StatusResult.h"

namespace host::cli {

std::string ResultPrinter::render(const plugin::cli::ResultBase& result, const std::string& format) {
    if (format == "json") {
        return "{\n" + result.toJson(1) + "\n}\n";
    }
    if (format == "xml") {
        return result.toXml(0);
    }
    if (format == "csv") {
        return result.toCsv();
    }
    return result.toText(0);
}

int ResultPrinter::exitStatus(const plugin::cli::ResultBase& result) {
    const auto* status = dynamic_cast<const plugin::cli::StatusResult*>(&result);
    if (status == nullptr || status->type() == plugin::cli::StatusResult::success) {
        return ExitStatus::success;
    }
    if (status->signalNumber() != 0) {
        return ExitStatus::interruptedBase + status->signalNumber();
    }
    return status->type() == plugin::cli::StatusResult::syntaxError ? ExitStatus::usage : ExitStatus::failed;
}

}  // namespace host::cli
