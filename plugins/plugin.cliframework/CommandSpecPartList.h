#pragma once
// The parts of one list of a command (its options, its targets or its properties), in order.
#include <memory>
#include <string>
#include <vector>

#include "plugins/plugin.cliframework/CommandSpecPart.h"

namespace plugin::cli {

class CommandSpecPartList {
public:
    using Parts = std::vector<std::shared_ptr<CommandSpecPart>>;

    virtual ~CommandSpecPartList() = default;

    // A copy of part replaces the entry of the same name (letter case ignored) where it stands;
    // a part of a new name is appended.
    void add(const CommandSpecPart& part);
    // The part of that name, letter case ignored; null when there is none.
    std::shared_ptr<CommandSpecPart> find(const std::string& name) const;
    bool contains(const std::string& name) const { return find(name) != nullptr; }

    const Parts& parts() const { return parts_; }
    std::size_t size() const { return parts_.size(); }
    bool empty() const { return parts_.empty(); }
    Parts::const_iterator begin() const { return parts_.begin(); }
    Parts::const_iterator end() const { return parts_.end(); }

    // Upper-case comparison in the current locale, as part names are matched everywhere.
    static bool sameName(const std::string& a, const std::string& b);

private:
    Parts parts_;
};

}  // namespace plugin::cli
