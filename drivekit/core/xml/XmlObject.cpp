#include "drivekit/core/xml/XmlObject.h"

#include <algorithm>
#include <iterator>

#include "drivekit/core/xml/XmlProperty.h"

namespace drivekit::core::xml {

namespace {
void serializeAll(const XmlObject::Children& children, std::string& out) {
    for (const auto& child : children) {
        child->serialize(out);
    }
}

void findAll(const XmlObject::Children& children, std::vector<const XmlElement*>& results,
             const std::string& tag, const std::string& key, const std::string& value,
             unsigned depth) {
    for (const auto& child : children) {
        child->find(results, tag, key, value, depth);
    }
}

// Copies first and appends after, so that an object may take a copy of its own children.
void cloneAll(const XmlObject::Children& from, XmlObject::Children& to) {
    XmlObject::Children copies;
    for (const auto& child : from) {
        copies.push_back(child->clone());
    }
    std::move(copies.begin(), copies.end(), std::back_inserter(to));
}
}  // namespace

XmlObject::XmlObject(const std::string& name) : XmlObject() {
    setAttribute(keys::name, name);
    setAttribute(keys::key, name);
}

void XmlObject::serialize(std::string& out) const {
    out += "<Object";
    serializeAttributes(out);
    out += '>';
    serializeAll(properties_, out);
    serializeAll(elements_, out);
    serializeAll(objects_, out);
    out += "</Object>";
}

void XmlObject::find(std::vector<const XmlElement*>& results, const std::string& tag,
                     const std::string& key, const std::string& value, unsigned depth) const {
    if (depth == 0) {
        return;
    }
    XmlElement::find(results, tag, key, value, depth);
    findAll(objects_, results, tag, key, value, depth - 1);
    findAll(elements_, results, tag, key, value, depth - 1);
    findAll(properties_, results, tag, key, value, depth - 1);
}

std::unique_ptr<XmlElement> XmlObject::clone() const {
    auto copy = std::make_unique<XmlObject>();
    copy->appendCopyOf(*this);
    return copy;
}

bool XmlObject::isEmpty() const {
    return elements_.empty() && properties_.empty() && objects_.empty() && attributes().empty();
}

XmlProperty& XmlObject::addProperty(const std::string& name, const std::string& value) {
    auto property = std::make_unique<XmlProperty>(name, value);
    auto& added = *property;
    properties_.push_back(std::move(property));
    return added;
}

void XmlObject::addProperty(std::unique_ptr<XmlElement> property) {
    properties_.push_back(std::move(property));
}

XmlObject& XmlObject::addObject(std::unique_ptr<XmlObject> object) {
    auto& added = *object;
    objects_.push_back(std::move(object));
    return added;
}

void XmlObject::addElement(std::unique_ptr<XmlElement> element) {
    elements_.push_back(std::move(element));
}

void XmlObject::appendCopyOf(const XmlObject& source) {
    for (const auto& [key, value] : source.attributes()) {
        setAttribute(key, value);
    }
    cloneAll(source.elements_, elements_);
    cloneAll(source.properties_, properties_);
    cloneAll(source.objects_, objects_);
}

std::string XmlObject::propertyValue(const std::string& name) const {
    for (const auto& property : properties_) {
        if (property->attribute(keys::name) == name) {
            return property->attribute(keys::value);
        }
    }
    return {};
}

const XmlObject* XmlObject::object(const std::string& name) const {
    for (const auto& child : objects_) {
        if (child->attribute(keys::name) == name) {
            return static_cast<const XmlObject*>(child.get());
        }
    }
    return nullptr;
}

}  // namespace drivekit::core::xml
