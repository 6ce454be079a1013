#pragma once
// The manual page ssdtool(1), in roff with the man macros, written from the tool's own help
// texts so that the two never say different things.
#include <ostream>
#include <string>

#include "host/docs/ToolReference.h"

namespace host::docs {

class ManPage {
public:
    static void write(const ToolReference& tool, std::ostream& out);

    // Text made safe for a roff text line: backslashes and hyphens escaped (so that options
    // render as typed and can be searched for), and a leading control character neutralised.
    static std::string escape(const std::string& text);
};

}  // namespace host::docs
