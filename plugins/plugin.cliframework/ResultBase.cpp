#include "plugins/plugin.cliframework/ResultBase.h"

namespace plugin::cli {

const std::string ResultBase::xmlHeader = "<?xml version=\"1.0\" standalone=\"yes\" ?>\n";

}  // namespace plugin::cli
