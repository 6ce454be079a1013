#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "drivekit/core/xml/XmlObject.h"
#include "drivekit/core/xml/XmlProperty.h"

using namespace drivekit::core::xml;

namespace {

// root{p1, child{p2, grandchild{p3}}}
std::unique_ptr<XmlObject> threeLevels() {
    auto root = std::make_unique<XmlObject>("root");
    root->addProperty("p1", "1");
    auto& child = root->addObject(std::make_unique<XmlObject>("child"));
    child.addProperty("p2", "2");
    auto& grandchild = child.addObject(std::make_unique<XmlObject>("grandchild"));
    grandchild.addProperty("p3", "3");
    return root;
}

std::vector<std::string> namesFound(const XmlElement& element, unsigned depth,
                                    const std::string& tag = {}, const std::string& key = {},
                                    const std::string& value = {}) {
    std::vector<const XmlElement*> found;
    element.find(found, tag, key, value, depth);
    std::vector<std::string> names;
    for (const auto* item : found) {
        names.push_back(item->attribute(keys::name));
    }
    return names;
}

using Names = std::vector<std::string>;

}  // namespace

TEST(Xml, SerialisesInAFixedOrderAndEscapesValuesOnceEach) {
    EXPECT_EQ(XmlProperty("n", "<&").serialize(), "<Property name=\"n\" value=\"&lt;&amp;\"/>");
    EXPECT_EQ(XmlProperty("n", "a\"b'c>d&amp;").serialize(),
              "<Property name=\"n\" value=\"a&quot;b&apos;c&gt;d&amp;amp;\"/>");
    // Element content needs only the three characters that could end or open markup.
    EXPECT_EQ(escapeText("a\"b'c>d&<"), "a\"b'c&gt;d&amp;&lt;");

    // Attributes by key, then properties, elements and objects; an empty object opens and closes.
    EXPECT_EQ(XmlObject().serialize(), "<Object></Object>");
    XmlObject object;
    object.addObject(std::make_unique<XmlObject>("nested"));
    object.addElement(std::make_unique<XmlProperty>("element", "e"));
    object.addProperty("property", "p");
    object.setAttribute("type", "t");
    object.setAttribute("category", "c");
    EXPECT_EQ(object.serialize(),
              "<Object category=\"c\" type=\"t\"><Property name=\"property\" value=\"p\"/>"
              "<Property name=\"element\" value=\"e\"/>"
              "<Object key=\"nested\" name=\"nested\"></Object></Object>");
}

// Depth limits how far objects are searched; tag and attribute must match exactly.
TEST(Xml, FindKeepsToTheDepthAndMatchesTagAndAttributeExactly) {
    const auto root = threeLevels();
    EXPECT_EQ(namesFound(*root, 0), Names{});
    EXPECT_EQ(namesFound(*root, 1), (Names{"root", "p1"}));
    EXPECT_EQ(namesFound(*root, 2), (Names{"root", "child", "p2", "p1"}));
    EXPECT_EQ(namesFound(*root, 3), (Names{"root", "child", "grandchild", "p3", "p2", "p1"}));
    EXPECT_EQ(namesFound(*root, 5, "Property", keys::name, "p3"), Names{"p3"});
    EXPECT_EQ(namesFound(*root, 5, "Object", keys::key, "child"), Names{"child"});
    EXPECT_EQ(namesFound(*root, 5, "Property", keys::name, "P3"), Names{});
    EXPECT_EQ(namesFound(*root, 5, "Object", keys::value, ""), (Names{"root", "child", "grandchild"}));
    // A property ignores depth.
    EXPECT_EQ(namesFound(XmlProperty("leaf", "x"), 0), Names{"leaf"});
}

TEST(Xml, CloneIsDeepAndIndependent) {
    auto original = threeLevels();
    const auto copy = original->clone();
    const std::string before = original->serialize();
    EXPECT_EQ(copy->serialize(), before);

    original->objects()[0]->setAttribute(keys::name, "renamed");
    original->addProperty("later", "x");
    EXPECT_EQ(copy->serialize(), before);

    original.reset();
    EXPECT_EQ(copy->serialize(), before);  // nothing is shared with the freed original

    // An object may take a copy of its own children.
    auto twice = threeLevels();
    twice->addProperty("p0", "0");  // two, so that appending to the list moves it
    twice->appendCopyOf(*twice);
    ASSERT_EQ(twice->objects().size(), 2u);
    EXPECT_EQ(twice->properties().size(), 4u);
    EXPECT_EQ(twice->objects()[1]->serialize(), twice->objects()[0]->serialize());
}
