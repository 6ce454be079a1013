#include <gtest/gtest.h>

#include "drivekit/core/xml/XmlObject.h"
#include "drivekit/core/xml/XmlProperty.h"
#include "drivekit/features/decode/XmlTreePrinter.h"

namespace {

using drivekit::core::xml::XmlObject;
using drivekit::features::decode::XmlTreePrinter;

std::unique_ptr<XmlObject> sampleTree() {
    auto root = std::make_unique<XmlObject>("Identify Controller");
    root->addProperty("PCI Vendor ID (VID)", "0x1C5C").setAttribute("description", "Bytes 01:00");
    root->addProperty("MDTS", "5").setAttribute("description", "Byte 77");
    root->addProperty("Reserved", "0").setAttribute("description", "Bytes 4095:3072");
    auto record = std::make_unique<XmlObject>("Power State Descriptor 0");
    record->setAttribute("description", "Bytes 2079:2048");
    record->addProperty("Name \"quoted\"", "a\\b").setAttribute("description", "Bytes 01:00");
    root->addObject(std::move(record));
    return root;
}

TEST(XmlTreePrinter, TextAlignsPositionsAndIndentsNestedObjectsAndJsonKeepsRepeatedNames) {
    EXPECT_EQ(XmlTreePrinter::toText(*sampleTree()),
              "Identify Controller\n"
              "  Bytes 01:00      PCI Vendor ID (VID): 0x1C5C\n"
              "  Byte 77          MDTS: 5\n"
              "  Bytes 4095:3072  Reserved: 0\n"
              "  Power State Descriptor 0 (Bytes 2079:2048)\n"
              "    Bytes 01:00  Name \"quoted\": a\\b\n");
    auto tree = sampleTree();
    tree->addProperty("Reserved", "12").setAttribute("description", "Byte 99");
    const auto json = XmlTreePrinter::toJsonTree(*tree);
    ASSERT_EQ(json.children().size(), 3U);  // name, fields, objects
    const auto& fields = *json.children()[1];
    EXPECT_EQ(fields.key(), "fields");
    ASSERT_EQ(fields.children().size(), 4U);
    EXPECT_EQ(fields.children()[3]->children()[2]->text(), "12");

    const std::string text = XmlTreePrinter::toJson(*tree);
    EXPECT_NE(text.find("\"position\": \"Bytes 2079:2048\""), std::string::npos);
    EXPECT_EQ(text.back(), '\n');
}

}  // namespace
