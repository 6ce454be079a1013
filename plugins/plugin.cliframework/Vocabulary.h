#pragma once
// The command-line vocabulary that every plug-in of the host shares: verbs, output formats,
// ready-made parts for the common options and targets, and the labels of the help printer.
// Inline variables: one object each, ready before any static initialiser that includes this.
#include <string>

#include "plugins/plugin.cliframework/CommandSpecPart.h"
#include "plugins/plugin.cliframework/OptionCommandSpecPart.h"
#include "plugins/plugin.cliframework/TargetCommandSpecPart.h"

namespace plugin::cli {

namespace verbs {
inline const std::string show = "show";
inline const std::string start = "start";
inline const std::string create = "create";
inline const std::string dump = "dump";
inline const std::string set = "set";
inline const std::string load = "load";
inline const std::string remove = "delete";
inline const std::string help = "help";
inline const std::string version = "version";
inline const std::string reset = "reset";
inline const std::string update = "update";
}  // namespace verbs

namespace formats {
inline const std::string text = "text";
inline const std::string xml = "xml";
inline const std::string json = "json";
inline const std::string csv = "csv";
}  // namespace formats

inline const std::string noResults = "No results";

namespace parts {
inline const std::string drivesValueName = "Index|SerialNumber|PhysicalPath";
inline const std::string drivesDescription = "Device index, serial number, or physical path.";

inline const CommandSpecPart all =
    OptionCommandSpecPart("-all", false, "", false, "Display all possible attributes.", true, "-a");
inline const CommandSpecPart display =
    OptionCommandSpecPart("-display", false, "Property1,...", true, "Specify which attributes are displayed.", true);
inline const CommandSpecPart force = OptionCommandSpecPart("-force", false, "", false, "Force the operation", true, "-f");
inline const CommandSpecPart output = OptionCommandSpecPart(
    "-output", false, "text|json", true, "Change the output format. One of \"text\", or \"json\".", true);
inline const CommandSpecPart help =
    OptionCommandSpecPart("-help", false, "", false, "Display help for the command.", true, "-h");

inline const CommandSpecPart source("-source", false, "path", true, "Path to the source file.");
inline const CommandSpecPart sourceRequired("-source", true, "path", true, "Path to the source file.");
inline const CommandSpecPart destination("-destination", false, "path", true, "Path to the destination file.");
inline const CommandSpecPart destinationRequired("-destination", true, "path", true, "Path to the destination file.");
inline const CommandSpecPart namespaceId("-namespace", false, "Namespace", true, "Namespace value.");

// The four "-ssd" targets, named by whether the target and its value are required.
inline const CommandSpecPart ssdRequired = TargetCommandSpecPart("-ssd", true, drivesValueName, false, drivesDescription);
inline const CommandSpecPart ssdOptional = TargetCommandSpecPart("-ssd", false, drivesValueName, false, drivesDescription);
inline const CommandSpecPart ssdRequiredWithValue =
    TargetCommandSpecPart("-ssd", true, drivesValueName, true, drivesDescription);
inline const CommandSpecPart ssdOptionalWithValue =
    TargetCommandSpecPart("-ssd", false, drivesValueName, true, drivesDescription);
// "-ssd" as an option.
inline const CommandSpecPart ssdOption = OptionCommandSpecPart("-ssd", false, "SSD identifier", false, drivesDescription);
inline const CommandSpecPart ssdOptionRequired =
    OptionCommandSpecPart("-ssd", true, "SSD identifier", false, drivesDescription);

// Properties of the help command; unlike a feature's properties their value is required.
inline const CommandSpecPart verb(CommandSpecPart::property, "Verb", false, "verb", true,
                                  "Commands with verb to show help on.", false, "");
inline const CommandSpecPart name(CommandSpecPart::property, "Name", false, "name", true, "Commands to show help on.",
                                  false, "");
}  // namespace parts

namespace labels {
inline const std::string command = "Command";
inline const std::string description = "Description";
inline const std::string synopsis = "Synopsis";
inline const std::string options = "Options";
inline const std::string option = "Option";
inline const std::string targets = "Targets";
inline const std::string target = "Target";
inline const std::string properties = "Properties";
inline const std::string property = "Property";
inline const std::string help = "Help";
inline const std::string usage = "Usage";
inline const std::string noCommands = "No commands to display";
inline const std::string required = "Required";
inline const std::string value = "Value";
inline const std::string valueRequired = "ValueRequired";
inline const std::string trueText = "True";
inline const std::string falseText = "False";
inline const std::string synopsisTemplate = "<verb>[<options>][<targets>][<properties>]";
}  // namespace labels

}  // namespace plugin::cli
