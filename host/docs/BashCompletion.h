#pragma once
// The bash completion of ssdtool: the verbs, each verb's options, targets and properties, the
// values of the parts that list them, the host options and the built-in profiles of --sim=.
// Written from the same texts as the help, so a new option is completed as soon as it exists.
#include <ostream>

#include "host/docs/ToolReference.h"

namespace host::docs {

class BashCompletion {
public:
    static void write(const ToolReference& tool, std::ostream& out);
};

}  // namespace host::docs
