#pragma once
// Attributes keyed by name. Lookups never fail: a missing key reads as false, 0 or "".
#include <string>
#include <unordered_map>

#include "drivekit/core/Attribute.h"

namespace drivekit::core {

class AttributeCollection {
public:
    using Map = std::unordered_map<std::string, Attribute>;

    bool contains(const std::string& key) const { return entries_.count(key) != 0; }
    // The attribute under key; an empty attribute when there is none.
    const Attribute& get(const std::string& key) const;
    // Inserts or replaces the attribute under its own key.
    void set(const Attribute& attribute);
    void set(const std::string& key, const Attribute& attribute);
    void erase(const std::string& key) { entries_.erase(key); }
    void clear() { entries_.clear(); }
    std::size_t size() const { return entries_.size(); }
    bool empty() const { return entries_.empty(); }

    bool readBool(const std::string& key) const { return get(key).toBool(); }
    uint8_t readUint8(const std::string& key) const { return get(key).toUint8(); }
    uint16_t readUint16(const std::string& key) const { return get(key).toUint16(); }
    uint32_t readUint32(const std::string& key) const { return get(key).toUint32(); }
    uint64_t readUint64(const std::string& key) const { return get(key).toUint64(); }
    std::string readString(const std::string& key) const { return get(key).toText(); }

    // Writers that keep the definition's display name and type when the key is known.
    void writeString(const Attribute& definition, const std::string& text);
    void writeBool(const Attribute& definition, bool value);
    void writeUint8(const Attribute& definition, uint8_t value);
    void writeUint16(const Attribute& definition, uint16_t value);
    void writeUint32(const Attribute& definition, uint32_t value);
    void writeUint64(const Attribute& definition, uint64_t value);

    Map::const_iterator begin() const { return entries_.begin(); }
    Map::const_iterator end() const { return entries_.end(); }

private:
    Map entries_;
};

}  // namespace drivekit::core
