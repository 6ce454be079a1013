#pragma once
// A process-wide table of factories by registration name. Classes enter themselves from a
// static initialiser of their own unit; the table is created on first use, so the order of
// those initialisers does not matter. A later registration of a name replaces the earlier one.
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace drivekit::features {

template <typename Product, typename... Arguments>
class FactoryRegistry {
public:
    using Factory = std::function<std::unique_ptr<Product>(Arguments...)>;

    static FactoryRegistry& instance() {
        static FactoryRegistry registry;
        return registry;
    }

    // Returns true so that a unit can register from the initialiser of a static.
    bool add(const std::string& name, Factory factory) {
        factories_[name] = std::move(factory);
        return true;
    }
    // Exact name; null when the name is not registered.
    const Factory* find(const std::string& name) const {
        const auto found = factories_.find(name);
        return found == factories_.end() ? nullptr : &found->second;
    }
    // A new object from the named factory; null when the name is not registered.
    std::unique_ptr<Product> create(const std::string& name, Arguments... arguments) const {
        const Factory* factory = find(name);
        return factory && *factory ? (*factory)(std::forward<Arguments>(arguments)...) : nullptr;
    }
    std::vector<std::string> names() const {
        std::vector<std::string> result;
        for (const auto& entry : factories_) {
            result.push_back(entry.first);
        }
        return result;
    }

private:
    FactoryRegistry() = default;
    std::map<std::string, Factory> factories_;
};

}  // namespace drivekit::features
