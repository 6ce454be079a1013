#include "drivekit/core/AttributeCollection.h"

namespace drivekit::core {

namespace {
// Written through the definition so the stored entry carries its display name, type and unit.
template <typename Setter>
Attribute fromDefinition(const Attribute& definition, Setter&& store) {
    Attribute attribute = definition;
    store(attribute);
    return attribute;
}
}  // namespace

const Attribute& AttributeCollection::get(const std::string& key) const {
    static const Attribute none;
    const auto found = entries_.find(key);
    return found == entries_.end() ? none : found->second;
}

void AttributeCollection::set(const Attribute& attribute) { set(attribute.key(), attribute); }

void AttributeCollection::set(const std::string& key, const Attribute& attribute) {
    entries_.insert_or_assign(key, attribute);
}

void AttributeCollection::writeString(const Attribute& definition, const std::string& text) {
    set(fromDefinition(definition, [&](Attribute& a) { a.setString(text); }));
}

void AttributeCollection::writeBool(const Attribute& definition, bool value) {
    set(fromDefinition(definition, [&](Attribute& a) { a.setBool(value); }));
}

void AttributeCollection::writeUint8(const Attribute& definition, uint8_t value) {
    set(fromDefinition(definition, [&](Attribute& a) { a.setUint8(value); }));
}

void AttributeCollection::writeUint16(const Attribute& definition, uint16_t value) {
    set(fromDefinition(definition, [&](Attribute& a) { a.setUint16(value); }));
}

void AttributeCollection::writeUint32(const Attribute& definition, uint32_t value) {
    set(fromDefinition(definition, [&](Attribute& a) { a.setUint32(value); }));
}

void AttributeCollection::writeUint64(const Attribute& definition, uint64_t value) {
    set(fromDefinition(definition, [&](Attribute& a) { a.setUint64(value); }));
}

}  // namespace drivekit::core
