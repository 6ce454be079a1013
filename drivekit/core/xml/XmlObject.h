#pragma once
#include "drivekit/core/xml/XmlElement.h"

namespace drivekit::core::xml {

class XmlProperty;

// An element with three ordered lists of owned children.
class XmlObject : public XmlElement {
public:
    using Children = std::vector<std::unique_ptr<XmlElement>>;

    XmlObject() : XmlElement("Object") {}
    // An object whose "name" and "key" are both the given text.
    explicit XmlObject(const std::string& name);

    // Properties first, then elements, then objects; no line breaks.
    void serialize(std::string& out) const override;
    using XmlElement::serialize;
    // Depth 0 yields nothing; otherwise this object, then objects, elements and
    // properties searched with depth - 1.
    void find(std::vector<const XmlElement*>& results, const std::string& tag,
              const std::string& key, const std::string& value, unsigned depth) const override;
    std::unique_ptr<XmlElement> clone() const override;
    bool isEmpty() const override;

    // Adds a property with the attributes "name" and "value"; returns it.
    XmlProperty& addProperty(const std::string& name, const std::string& value);
    void addProperty(std::unique_ptr<XmlElement> property);
    XmlObject& addObject(std::unique_ptr<XmlObject> object);
    void addElement(std::unique_ptr<XmlElement> element);
    // Copies source's attributes onto this object and appends a deep copy of each of its
    // children to the same list here, in order.
    void appendCopyOf(const XmlObject& source);

    const Children& elements() const { return elements_; }
    const Children& properties() const { return properties_; }
    const Children& objects() const { return objects_; }

    // The value of the first property with that name; empty when there is none.
    std::string propertyValue(const std::string& name) const;
    // The first nested object with that name; null when there is none.
    const XmlObject* object(const std::string& name) const;

private:
    Children elements_;
    Children properties_;
    Children objects_;
};

}  // namespace drivekit::core::xml
