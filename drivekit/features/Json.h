#pragma once
// One node of a JSON document: the output documents of device features and the JSON form
// of results are built from these and written by one writer.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace drivekit::features {

class Json {
public:
    enum Type : uint32_t {
        object = 0,
        unsignedNumber = 1,
        signedNumber = 2,
        doubleNumber = 3,
        string = 4,
        array = 5,
        boolean = 6,
    };

    // An empty object without a key.
    Json() = default;
    explicit Json(std::string key) : key_(std::move(key)) {}

    static Json makeString(const std::string& key, const std::string& text);
    static Json makeSigned(const std::string& key, int64_t number);

    // The child under key (exact comparison); a new empty child is appended when there is none.
    Json& operator[](const std::string& key);
    // Appends a child (for arrays, or for keys that may repeat).
    Json& append(const Json& child);

    void setString(const std::string& text);
    void setUnsigned(uint64_t number);
    void setSigned(int64_t number);
    void setDouble(double number);
    void setBool(bool value);
    void setType(Type type) { type_ = type; }

    const std::string& key() const { return key_; }
    Type type() const { return type_; }
    const std::vector<std::shared_ptr<Json>>& children() const { return children_; }
    bool hasMembers() const { return !children_.empty(); }
    int64_t signedValue() const { return signed_; }
    const std::string& text() const { return text_; }

    // The node and its children, two spaces of indent per level, without a final line feed.
    std::string toString(uint32_t level = 0) const;
    void write(std::string& out, uint32_t level) const;

    // Quotes, backslashes and control bytes escaped; bytes of 128 and above kept as they are.
    static std::string escape(const std::string& text);

private:
    void writeContainer(std::string& out, uint32_t level, char open, char close) const;

    std::string key_;
    std::vector<std::shared_ptr<Json>> children_;
    Type type_ = object;
    uint64_t unsigned_ = 0;
    int64_t signed_ = -1;
    std::string text_;
    double double_ = 0.0;
};

}  // namespace drivekit::features
