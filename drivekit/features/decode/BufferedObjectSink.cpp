#include "drivekit/features/decode/BufferedObjectSink.h"

namespace drivekit::features::decode {

namespace {
void assign(std::string& to, bool& has, const std::string* position) {
    has = position != nullptr;
    if (has) {
        to = *position;
    } else {
        to.clear();
    }
}
}  // namespace

void BufferedObjectSink::beginObject(std::string_view name, std::string_view key, const std::string* position) {
    if (depth_ == objects_.size()) {
        objects_.emplace_back();
    }
    Object& object = objects_[depth_++];
    object.name = name;
    object.key = key;
    assign(object.position, object.hasPosition, position);
    object.fieldCount = 0;
    object.fieldText.clear();
    object.children.clear();
}

void BufferedObjectSink::field(std::string_view name, std::string_view value, const std::string* position) {
    if (depth_ == 0) {
        return;  // a field belongs to an object
    }
    holdField(objects_[depth_ - 1], depth_ - 1, name, value, position);
}

BufferedObjectSink::HeldField& BufferedObjectSink::nextField(Object& object) {
    if (object.fieldCount == object.fields.size()) {
        object.fields.emplace_back();
    }
    return object.fields[object.fieldCount++];
}

void BufferedObjectSink::holdField(Object& object, std::size_t, std::string_view name, std::string_view value,
                                   const std::string* position) {
    HeldField& added = nextField(object);
    added.name = name;
    added.value = value;
    assign(added.position, added.hasPosition, position);
}

void BufferedObjectSink::endObject() {
    if (depth_ == 0) {
        return;
    }
    const Object& object = objects_[--depth_];
    if (depth_ == 0) {
        write(object, 0, firstOutput_, output_);
        firstOutput_ = false;
    } else {
        std::string& siblings = objects_[depth_ - 1].children;
        write(object, depth_, siblings.empty(), siblings);
    }
}

}  // namespace drivekit::features::decode
