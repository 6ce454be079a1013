#include "plugins/plugin.cliframework/CommandSpecPartList.h"

#include <locale>

#include <boost/algorithm/string/case_conv.hpp>

namespace plugin::cli {

bool CommandSpecPartList::sameName(const std::string& a, const std::string& b) {
    const std::locale locale;
    return a.size() == b.size() &&
           boost::algorithm::to_upper_copy(a, locale) == boost::algorithm::to_upper_copy(b, locale);
}

void CommandSpecPartList::add(const CommandSpecPart& part) {
    auto copy = std::make_shared<CommandSpecPart>(part);
    for (auto& existing : parts_) {
        if (sameName(existing->name(), part.name())) {
            existing = std::move(copy);
            return;
        }
    }
    parts_.push_back(std::move(copy));
}

std::shared_ptr<CommandSpecPart> CommandSpecPartList::find(const std::string& name) const {
    for (const auto& part : parts_) {
        if (sameName(part->name(), name)) {
            return part;
        }
    }
    return nullptr;
}

}  // namespace plugin::cli
