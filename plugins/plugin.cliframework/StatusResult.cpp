#include "plugins/plugin.cliframework/StatusResult.h"

#include "drivekit/features/Json.h"
#include "plugins/plugin.cliframework/SimpleNumericResult.h"

namespace plugin::cli {

namespace {
const std::string resultName = "Result";
const std::string descriptionName = "Description";
const std::string typeName = "Type";
}  // namespace

StatusResult::StatusResult(const std::string& message, int32_t type)
    : SimpleResult(resultName, message), type_(type) {}

int StatusResult::signalNumber() const {
    // Signal numbers are below 128 everywhere (an exit status is 128 + the number).
    const bool interrupted = type_ > interruptedBase && type_ < interruptedBase + 128;
    return interrupted ? type_ - interruptedBase : 0;
}

std::string StatusResult::toCsv() const {
    return resultName + "\n" + SimpleResult(descriptionName, value()).toCsv() +
           SimpleNumericResult(typeName, std::to_string(type_)).toCsv();
}

std::string StatusResult::toJson(uint32_t indent) const {
    drivekit::features::Json node(resultName);
    node.append(drivekit::features::Json::makeString(descriptionName, value()));
    node.append(drivekit::features::Json::makeSigned(typeName, type_));
    return node.toString(indent);
}

std::string StatusResult::toXml(uint32_t indent) const {
    std::string out = indent == 0 ? xmlHeader : std::string();
    out += indentation(indent) + "<" + resultName + ">\n";
    out += SimpleResult(descriptionName, value()).toXml(indent + 1);
    out += SimpleNumericResult(typeName, std::to_string(type_)).toXml(indent + 1);
    out += indentation(indent) + "</" + resultName + ">\n";
    return out;
}

}  // namespace plugin::cli
