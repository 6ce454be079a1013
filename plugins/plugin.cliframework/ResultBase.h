#pragma once
// What a feature hands back to the host: a named value that renders itself as text, CSV,
// JSON or XML. Indentation is two spaces per level in every format that has one.
#include <cstdint>
#include <string>

namespace plugin::cli {

class ResultBase {
public:
    ResultBase(std::string name, std::string value) : name_(std::move(name)), value_(std::move(value)) {}
    virtual ~ResultBase() = default;

    virtual std::string toText(uint32_t indent) const = 0;
    virtual std::string toCsv() const = 0;
    virtual std::string toJson(uint32_t indent) const = 0;
    virtual std::string toXml(uint32_t indent) const = 0;

    const std::string& name() const { return name_; }
    const std::string& value() const { return value_; }

protected:
    static std::string indentation(uint32_t indent) { return std::string(2 * static_cast<std::size_t>(indent), ' '); }
    // Written once, in front of the outermost element only.
    static const std::string xmlHeader;

private:
    std::string name_;
    std::string value_;
};

}  // namespace plugin::cli
