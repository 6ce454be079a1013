#pragma once
// Base of the small XML tree in which the device library describes parsed data.
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace drivekit::core::xml {

// Attribute keys in use.
namespace keys {
inline const std::string name = "name";
inline const std::string key = "key";
inline const std::string value = "value";
inline const std::string description = "description";
inline const std::string displayName = "displayName";
inline const std::string identifier = "identifier";
inline const std::string category = "category";
inline const std::string size = "size";
inline const std::string maxSize = "maxSize";
inline const std::string type = "type";
inline const std::string valueDescription = "valueDescription";
inline const std::string attribute = "attribute";
}  // namespace keys

class XmlElement {
public:
    // Kept sorted by key: an element has a handful of attributes, and a short sorted vector
    // costs one allocation where a map costs one per attribute.
    using Attributes = std::vector<std::pair<std::string, std::string>>;

    explicit XmlElement(std::string tag) : tag_(std::move(tag)) {}
    // Attribute values are overwritten with zero bytes before they are freed.
    virtual ~XmlElement();

    virtual void serialize(std::string& out) const = 0;
    // Appends the matching elements to results (see XmlObject for how depth limits it).
    virtual void find(std::vector<const XmlElement*>& results, const std::string& tag,
                      const std::string& key, const std::string& value, unsigned depth) const;
    virtual std::unique_ptr<XmlElement> clone() const = 0;
    virtual bool isEmpty() const = 0;

    const std::string& tag() const { return tag_; }
    // The empty text when the key is absent.
    const std::string& attribute(const std::string& key) const;
    void setAttribute(const std::string& key, const std::string& value);
    const Attributes& attributes() const { return attributes_; }

    std::string serialize() const {
        std::string out;
        serialize(out);
        return out;
    }

protected:
    XmlElement(const XmlElement&) = default;
    XmlElement& operator=(const XmlElement&) = default;
    bool matches(const std::string& tag, const std::string& key, const std::string& value) const;
    void serializeAttributes(std::string& out) const;

private:
    std::string tag_;
    Attributes attributes_;
};

// Replaces & < > " ' by their entities, each character once (attribute values).
std::string escape(const std::string& text);
// escape(text) appended to out; text without those characters is appended as it is.
void appendEscaped(const std::string& text, std::string& out);
// Replaces & < > only, the characters that would end or break element content.
std::string escapeText(const std::string& text);

}  // namespace drivekit::core::xml
