#pragma once
// The base of the sinks that write text: each open object is held (its fields, and its child
// objects already written) until it ends, because its fields are shown before its children
// and a text layout may depend on all of them. The held strings keep their capacity from one
// object to the next, so a long stream of objects is written without allocating.
#include <cstddef>
#include <string>
#include <vector>

#include "drivekit/features/decode/TextOutputSink.h"

namespace drivekit::features::decode {

class BufferedObjectSink : public TextOutputSink {
public:
    void beginObject(std::string_view name, std::string_view key, const std::string* position) override;
    void field(std::string_view name, std::string_view value, const std::string* position) override;
    void endObject() override;

protected:
    struct HeldField {
        std::string name;
        std::string value;
        std::string position;
        bool hasPosition = false;
        std::size_t textEnd = 0;  // where its text ends in the object's fieldText, for sinks that write it
    };
    struct Object {
        std::string name;
        std::string key;
        std::string position;
        bool hasPosition = false;
        std::vector<HeldField> fields;  // the first fieldCount are this object's
        std::size_t fieldCount = 0;
        std::string fieldText;  // the fields already written, for sinks that write them at once
        std::string children;   // the child objects, written
    };

    // The next of object's held fields, its room kept from earlier objects.
    static HeldField& nextField(Object& object);
    // Holds a field of object, open at depth, until the object ends: by default in its fields.
    virtual void holdField(Object& object, std::size_t depth, std::string_view name, std::string_view value,
                           const std::string* position);

    // Appends object, open at depth (0 for a top-level one), to out: the parent's children,
    // or the output. first says whether it is the first object written there.
    virtual void write(const Object& object, std::size_t depth, bool first, std::string& out) = 0;

private:
    std::vector<Object> objects_;  // held at each depth; those from depth_ on are spare
    std::size_t depth_ = 0;
};

}  // namespace drivekit::features::decode
