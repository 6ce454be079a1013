#pragma once
// Takes attribute values into a command's fields: a value wider than its field is refused
// with a status that names it, never cut to the field's width.
#include <cstdint>
#include <string>

#include "drivekit/core/AttributeCollection.h"
#include "drivekit/core/Status.h"

namespace drivekit::commands::nvme {

class AttributeFields {
public:
    explicit AttributeFields(const core::AttributeCollection& attributes) : attributes_(attributes) {}

    // Calls set with the value of key when it is present and fits `bits` bits. After the
    // first refusal nothing more is set.
    template <typename Set>
    void apply(const std::string& key, unsigned bits, Set set) {
        uint64_t value = 0;
        if (!status_.isSuccess() || !attributes_.contains(key)) {
            return;
        }
        status_ = attributes_.get(key).toField(bits, value);
        if (status_.isSuccess()) {
            set(value);
        }
    }
    // Success, or the first refusal.
    const core::Status& status() const { return status_; }

private:
    const core::AttributeCollection& attributes_;
    core::Status status_ = core::Status::success();
};

}  // namespace drivekit::commands::nvme
