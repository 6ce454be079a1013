#include "plugins/plugin.cliframework/SSDFeatureBase.h"

#include <algorithm>
#include <iostream>

#include "drivekit/core/StopRequest.h"
#include "drivekit/core/TextParsing.h"
#include "drivekit/core/logging/Log.h"
#include "plugins/plugin.cliframework/CommandSpecPartList.h"
#include "plugins/plugin.cliframework/PropertyCommandSpecPart.h"
#include "plugins/plugin.cliframework/StatusResult.h"
#include "plugins/plugin.cliframework/SyntaxStatusResult.h"
#include "plugins/plugin.cliframework/Vocabulary.h"

namespace plugin::cli {

using drivekit::core::Attribute;
using drivekit::core::AttributeCollection;
using drivekit::core::Status;

namespace {
const Attribute* findDefinition(const drivekit::features::AttributeDefinitions& definitions,
                                const std::string& name) {
    for (const auto& definition : definitions) {
        if (!definition.key().empty() && CommandSpecPartList::sameName(definition.key(), name)) {
            return &definition;
        }
    }
    return nullptr;
}
}  // namespace

void SSDFeatureBase::run(std::shared_ptr<ResultBase>& result, uint32_t commandId, const ParsedCommand& command) {
    LOG_ENTERING();
    validate(result, commandId, command);
    if (!result) {
        bindAttributes(result, command);
    }
    if (!result) {
        Status status = Status::notImplemented();
        if (deviceFeature_) {
            deviceFeature_->run(status);
        }
        makeResult(result, status);
    }
    LOG_EXITING();
}

void SSDFeatureBase::validate(std::shared_ptr<ResultBase>& result, uint32_t commandId, const ParsedCommand& command) {
    FeatureBase::validate(result, commandId, command);
    if (result) {
        return;
    }
    // The host may file a plain part among the options or the targets.
    const auto given = [&command](const std::string& name) {
        const auto* found = ParsedCommand::find(command.options, name);
        return found ? found : ParsedCommand::find(command.targets, name);
    };
    const auto* namespaceArgument = given(parts::namespaceId.name());
    if (!namespaceArgument) {
        return;
    }
    // These stop the command before anything runs, so they are usage errors like any other.
    if (!given(parts::ssdRequired.name())) {
        result = std::make_shared<SyntaxStatusResult>("Option '-namespace' must be used with '-ssd'.");
    } else if (!isNamespaceValue(namespaceArgument->value)) {
        result = std::make_shared<SyntaxStatusResult>("Option '-namespace' must be hex or integer value.");
    }
}

bool SSDFeatureBase::isNamespaceValue(const std::string& text) {
    namespace strings = drivekit::core::strings;
    // The option's rule lets a bare prefix through, though it is no number.
    const bool barePrefix = text == "0x" || text == "0X";
    return barePrefix || strings::parseMagnitude(text) || strings::parseHex(text);
}

void SSDFeatureBase::registerDevice(std::shared_ptr<drivekit::core::Device> device) {
    if (deviceFeature_) {
        deviceFeature_->setDevice(std::move(device));
    }
}

void SSDFeatureBase::addProperties(CommandSpec& spec) {
    if (!deviceFeature_) {
        return;
    }
    Status status;
    const auto add = [&spec](const drivekit::features::AttributeDefinitions& definitions, bool required) {
        for (const auto& definition : definitions) {
            if (!definition.key().empty()) {
                spec.addProperty(PropertyCommandSpecPart(definition.key(), required, definition.valueDescription(),
                                                         definition.description()));
            }
        }
    };
    add(deviceFeature_->getRequiredAttributes(status), true);
    if (!status.isSuccess()) {
        LOG_WARNING("Required attributes unavailable: " << status.message());
    }
    add(deviceFeature_->getOptionalAttributes(), false);
}

std::string SSDFeatureBase::canonicalName(const std::string& name) const {
    for (const auto& spec : specs_) {
        for (const CommandSpecPartList* list : {&spec->options(), &spec->targets()}) {
            if (const auto part = list->find(name)) {
                return part->name();
            }
        }
    }
    return name;
}

void SSDFeatureBase::bindAttributes(std::shared_ptr<ResultBase>& result, const ParsedCommand& command) {
    result.reset();
    if (!deviceFeature_) {
        return;
    }
    AttributeCollection collection;
    for (const auto* arguments : {&command.options, &command.targets}) {
        for (const auto& argument : *arguments) {
            const std::string key = canonicalName(argument.name);
            Attribute attribute(key, key, drivekit::core::types::string);
            attribute.setString(argument.value);
            collection.set(attribute);
        }
    }
    Status status;
    auto definitions = deviceFeature_->getRequiredAttributes(status);
    const auto optional = deviceFeature_->getOptionalAttributes();
    definitions.insert(definitions.end(), optional.begin(), optional.end());
    for (const auto& property : command.properties) {
        const Attribute* definition = findDefinition(definitions, property.name);
        if (!definition) {
            result = std::make_shared<SyntaxStatusResult>("Invalid property specified: " + property.name);
            return;
        }
        Attribute attribute = *definition;
        const Status converted = attribute.fromString(property.value);
        if (!converted.isSuccess()) {
            result = std::make_shared<SyntaxStatusResult>(converted.message() + " " + property.name + "=" +
                                                          property.value);
            return;
        }
        collection.set(attribute);
    }
    deviceFeature_->setAttributes(std::move(collection));
}

void SSDFeatureBase::makeResult(std::shared_ptr<ResultBase>& result, const Status& status) {
    if (status == Status::interrupted()) {
        const int32_t type = StatusResult::interruptedBase + drivekit::core::StopRequest::signalNumber();
        result = std::make_shared<StatusResult>(status.message(), type);
        return;
    }
    if (status != Status::success()) {
        result = std::make_shared<StatusResult>(status.message(), StatusResult::failed);
        return;
    }
    if (deviceFeature_ && deviceFeature_->getOutput().hasMembers()) {
        std::cout << deviceFeature_->getOutput().toString(0) << "\n\n";
        std::cout.flush();
    }
    result = std::make_shared<StatusResult>(status.message(), StatusResult::success);
}

void SSDFeatureBase::addCommandSpec(const std::shared_ptr<CommandSpec>& spec) {
    if (spec && std::find(specs_.begin(), specs_.end(), spec) == specs_.end()) {
        specs_.push_back(spec);
    }
}

}  // namespace plugin::cli
