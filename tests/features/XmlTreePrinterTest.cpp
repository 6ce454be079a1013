#include <gtest/gtest.h>

#include "drivekit/core/xml/XmlObject.h"
#include "drivekit/core/xml/XmlProperty.h"
#include "drivekit/features/decode/FieldRenderer.h"
#include "drivekit/features/decode/JsonSink.h"
#include "drivekit/features/decode/TextSink.h"
#include "drivekit/features/decode/XmlObjectSink.h"
#include "drivekit/features/decode/XmlSink.h"
#include "drivekit/features/decode/XmlTreePrinter.h"
#include "drivekit/features/nvme_get_log/pel/PelTables.h"

namespace {

using drivekit::core::xml::XmlObject;
using drivekit::features::decode::FieldSink;
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

// One call to a sink: begin an object (value is its key), a field, or the end of an object.
struct SinkCall {
    char kind;  // 'b', 'f' or 'e'
    std::string name;
    std::string value;
    const char* position;  // null: none at all
};

void replay(const std::vector<SinkCall>& calls, FieldSink& sink) {
    for (const auto& call : calls) {
        const std::string position = call.position == nullptr ? "" : call.position;
        const std::string* at = call.position == nullptr ? nullptr : &position;
        if (call.kind == 'b') {
            sink.beginObject(call.name, call.value, at);
        } else if (call.kind == 'f') {
            sink.field(call.name, call.value, at);
        } else {
            sink.endObject();
        }
    }
}

// The sinks write what the printers make of the tree the same calls build, in every form:
// fields before children whatever their order, positions absent or empty, escapes, and
// several top-level objects in a row.
TEST(XmlTreePrinter, SinksWriteWhatThePrintersMakeOfTheTree) {
    const std::vector<std::vector<SinkCall>> cases = {
        {{'b', "Event 1", "Event 1", nullptr},
         {'f', "Event Type", "0x01", "Byte 00"},
         {'b', "Record_Group", "Record_Group", "Bytes 63:32"},
         {'b', "Entry 0", "Entry 0", "Bytes 35:32"},
         {'f', "Value", "7", "Bytes 03:00"},
         {'e', "", "", nullptr},
         {'e', "", "", nullptr},
         {'f', "Name \"<q>\" & 'a'", "a\\b\x01\t", "Bytes 1023:1000"},
         {'f', "Truncated", "the data ends", nullptr},
         {'f', "Empty", "", ""},
         {'e', "", "", nullptr},
         {'b', "Event 2", "Key_2", nullptr},
         {'b', "Only Child", "Only Child", nullptr},
         {'e', "", "", nullptr},
         {'e', "", "", nullptr}},
        {{'b', "Plain", "Plain", "Byte 07"}, {'f', "raw", "0x0", nullptr}, {'e', "", "", nullptr}},
    };
    for (const unsigned level : {0U, 5U}) {
        for (const auto& calls : cases) {
            XmlObject holder;
            drivekit::features::decode::XmlObjectSink tree(holder);
            replay(calls, tree);
            std::string text;
            std::string json;
            std::string xml;
            for (const auto& child : holder.objects()) {
                const auto& object = static_cast<const XmlObject&>(*child);
                XmlTreePrinter::appendText(object, level, text);
                json += (json.empty() ? "" : ",\n") + XmlTreePrinter::toJsonTree(object).toString(level);
                xml += object.serialize();
            }
            drivekit::features::decode::TextSink textSink(level);
            drivekit::features::decode::JsonSink jsonSink(level);
            drivekit::features::decode::XmlSink xmlSink;
            for (FieldSink* sink : std::initializer_list<FieldSink*>{&textSink, &jsonSink, &xmlSink}) {
                replay(calls, *sink);
            }
            EXPECT_EQ(textSink.output(), text) << calls.front().name << " at level " << level;
            EXPECT_EQ(jsonSink.output(), json) << calls.front().name << " at level " << level;
            EXPECT_EQ(xmlSink.output(), xml) << calls.front().name << " at level " << level;
            const auto& first = static_cast<const XmlObject&>(*holder.objects().front());
            std::string printed;
            XmlTreePrinter::appendJson(first, level, printed);
            EXPECT_EQ(printed, XmlTreePrinter::toJsonTree(first).toString(level));
        }
    }
}

// A table whose fields have their labels made once (the event log's) is written by the sinks
// from what they keep of each field: the same text as the printers make of the tree, the second
// time and at another depth too, and for a value that needs escapes.
TEST(XmlTreePrinter, SinksWriteTablesWithLabelsMadeOnceAsThePrintersDo) {
    const auto& table = drivekit::features::nvme_get_log::pel::logHeaderTable();
    ASSERT_NE(table.fields.front().slot, 0U);
    drivekit::core::Payload header(table.size);
    const std::string serial = "SN\"1\\";
    std::copy(serial.begin(), serial.end(), header.data() + 56);
    header.data()[4] = 7;
    const auto renderTwice = [&](FieldSink& sink) {
        for (const bool nested : {false, true}) {
            sink.beginObject("Log", "Log", nullptr);
            if (nested) {
                sink.beginObject("Inner", "Inner", nullptr);
            }
            drivekit::features::decode::FieldRenderer::render(table, header, 0, sink);
            if (nested) {
                sink.endObject();
            }
            sink.endObject();
        }
    };
    XmlObject holder;
    drivekit::features::decode::XmlObjectSink tree(holder);
    renderTwice(tree);
    std::string text;
    std::string json;
    for (const auto& child : holder.objects()) {
        const auto& object = static_cast<const XmlObject&>(*child);
        XmlTreePrinter::appendText(object, 5, text);
        json += (json.empty() ? "" : ",\n") + XmlTreePrinter::toJsonTree(object).toString(5);
    }
    drivekit::features::decode::TextSink textSink(5);
    drivekit::features::decode::JsonSink jsonSink(5);
    renderTwice(textSink);
    renderTwice(jsonSink);
    EXPECT_EQ(textSink.output(), text);
    EXPECT_EQ(jsonSink.output(), json);
    EXPECT_NE(json.find("SN\\\"1\\\\"), std::string::npos) << json;
}

}  // namespace
