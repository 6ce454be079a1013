#pragma once
// The outcome of a command: the message as the value and a type (0 success, 2 a failed run,
// 201 a syntax error, 1000 + N a run stopped by signal N).
#include "plugins/plugin.cliframework/SimpleResult.h"

namespace plugin::cli {

class StatusResult : public SimpleResult {
public:
    static constexpr int32_t success = 0;
    static constexpr int32_t failed = 2;
    static constexpr int32_t syntaxError = 201;
    static constexpr int32_t interruptedBase = 1000;

    StatusResult(const std::string& message, int32_t type);

    int32_t type() const { return type_; }
    // The signal that stopped the run; 0 for any other type.
    int signalNumber() const;

    // "Result", then the Description and Type lines.
    std::string toCsv() const override;
    // A "Result" object holding "Description" and "Type".
    std::string toJson(uint32_t indent) const override;
    // <Result> holding <Description> and <Type>.
    std::string toXml(uint32_t indent) const override;

private:
    int32_t type_;
};

}  // namespace plugin::cli
