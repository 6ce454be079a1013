#pragma once
// Writes the members of one JSON object straight into a string, laid out as the Json writer
// lays out its nodes: each member on a line of its own one level deeper, separated by commas,
// the closing bracket back at the object's level.
#include <string>
#include <string_view>

namespace drivekit::features::decode {

class JsonMembers {
public:
    // Opens the object; out already holds the indent of its first line.
    JsonMembers(std::string& out, unsigned level);

    void string(const char* key, const std::string& text);
    // Opens an array member; each element then starts with element(), or its text already
    // holds the line break and indent that element() would write.
    void openArray(const char* key);
    void element();
    void closeArray();
    void close();

    static void indent(unsigned level, std::string& out) { out.append(2U * level, ' '); }
    // text as a JSON string's contents; most texts need no escape and are appended as they are.
    static void appendEscaped(std::string_view text, std::string& out);
    // text as a JSON string, quotes included.
    static void appendQuoted(std::string_view text, std::string& out);
    // The line and key of a member of an object at level: the first, or one after others.
    static void appendKey(const char* key, unsigned level, bool first, std::string& out);
    // A closing bracket on a line of its own at level.
    static void appendClose(unsigned level, char bracket, std::string& out);
    // Whether text is the same as a JSON string's contents (no quote, backslash or control).
    static bool plain(std::string_view text);

private:
    void next(const char* key);

    std::string& out_;
    unsigned level_;
    bool first_ = true;
    bool firstElement_ = true;
};

}  // namespace drivekit::features::decode
