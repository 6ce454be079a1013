#pragma once
// The contract of decode's JSON output: a version, the first member of the top-level object
// (of one file's tree or of a whole package), which share/schema/decode-output.schema.json
// describes. It rises with any change to that schema (a member added, renamed or removed, a
// type or a nesting changed, a new result word); what the decoders print inside the trees
// (names, positions, values of fields and objects) is data and grows without it.
#include <string>

namespace host {

class JsonFormat {
public:
    static constexpr unsigned version = 1;

    // An object's JSON (or its opening), as the tree printer lays it out, with the version as
    // its first member.
    static std::string withVersion(std::string object);
};

}  // namespace host
