#pragma once
// One element of a command's syntax: an option, a target, a property or a plain part. A part
// is a value: copies keep their kind, so the kind tells which sort of part a copy came from.
#include <cstdint>
#include <string>

namespace plugin::cli {

class CommandSpecPart {
public:
    enum Kind : uint32_t { plain = 0, option = 3, target = 4, property = 5 };

    CommandSpecPart(std::string name, bool required, std::string valueName, bool valueRequired,
                    std::string description, bool secondaryFlag = false, std::string alias = {})
        : CommandSpecPart(plain, std::move(name), required, std::move(valueName), valueRequired,
                          std::move(description), secondaryFlag, std::move(alias)) {}
    // A part of any kind with every flag chosen by the caller.
    CommandSpecPart(Kind kind, std::string name, bool required, std::string valueName,
                    bool valueRequired, std::string description, bool secondaryFlag,
                    std::string alias)
        : kind_(kind),
          name_(std::move(name)),
          alias_(std::move(alias)),
          required_(required),
          valueName_(std::move(valueName)),
          valueRequired_(valueRequired),
          secondaryFlag_(secondaryFlag),
          description_(std::move(description)) {}
    virtual ~CommandSpecPart() = default;
    CommandSpecPart(const CommandSpecPart&) = default;
    CommandSpecPart& operator=(const CommandSpecPart&) = default;

    uint32_t kind() const { return kind_; }
    const std::string& kindText() const { return kindText_; }
    const std::string& name() const { return name_; }
    const std::string& alias() const { return alias_; }
    bool required() const { return required_; }
    const std::string& valueName() const { return valueName_; }
    // A part takes a value when it names one.
    bool takesValue() const { return !valueName_.empty(); }
    bool valueRequired() const { return valueRequired_; }
    bool secondaryFlag() const { return secondaryFlag_; }
    const std::string& description() const { return description_; }

private:
    uint32_t kind_;
    std::string kindText_;
    std::string name_;
    std::string alias_;
    bool required_;
    std::string valueName_;
    bool valueRequired_;
    bool secondaryFlag_;
    std::string description_;
};

}  // namespace plugin::cli
