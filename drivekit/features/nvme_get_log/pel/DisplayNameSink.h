#pragma once
// Passes objects and fields on to another sink under their display names ("Log_Identifier"
// shown as "Log Identifier"); an object's key keeps the field name.
#include "drivekit/features/decode/FieldSink.h"

namespace drivekit::features::nvme_get_log::pel {

class DisplayNameSink : public features::decode::FieldSink {
public:
    explicit DisplayNameSink(FieldSink& to) : to_(to) {}

    void beginObject(std::string_view name, std::string_view key, const std::string* position) override;
    void field(std::string_view name, std::string_view value, const std::string* position) override;
    void endObject() override { to_.endObject(); }

private:
    // name itself when it has nothing to change (most names), else shown_ holding its display name.
    std::string_view shown(std::string_view name);

    FieldSink& to_;
    std::string shown_;
};

}  // namespace drivekit::features::nvme_get_log::pel
