#pragma once
// The pages whose layout is more than one field table: lists of flagged entries, counted
// records, grouped fields. Each adds its fields to the page's root object and returns false
// when the page was cut short (a "Truncated" property then says where).
#include "drivekit/core/Payload.h"
#include "drivekit/core/xml/XmlObject.h"
#include "drivekit/features/nvme_get_log/decode/LogPageDecoder.h"

namespace drivekit::features::nvme_get_log::decode::layouts {

using Layout = bool (*)(const PageContext& context, const core::Payload& page, core::xml::XmlObject& root);

bool supportedLogPages(const PageContext& context, const core::Payload& page, core::xml::XmlObject& root);
bool errorInformation(const PageContext& context, const core::Payload& page, core::xml::XmlObject& root);
bool firmwareSlots(const PageContext& context, const core::Payload& page, core::xml::XmlObject& root);
bool changedNamespaces(const PageContext& context, const core::Payload& page, core::xml::XmlObject& root);
bool commandEffects(const PageContext& context, const core::Payload& page, core::xml::XmlObject& root);
bool selfTest(const PageContext& context, const core::Payload& page, core::xml::XmlObject& root);
bool lbaStatus(const PageContext& context, const core::Payload& page, core::xml::XmlObject& root);
bool supportedFeatures(const PageContext& context, const core::Payload& page, core::xml::XmlObject& root);
bool miCommandEffects(const PageContext& context, const core::Payload& page, core::xml::XmlObject& root);
bool lockdown(const PageContext& context, const core::Payload& page, core::xml::XmlObject& root);
bool eyeOpening(const PageContext& context, const core::Payload& page, core::xml::XmlObject& root);

bool ocpSmartCloud(const PageContext& context, const core::Payload& page, core::xml::XmlObject& root);
bool ocpFirmwareHistory(const PageContext& context, const core::Payload& page, core::xml::XmlObject& root);
bool ocpDeviceCapabilities(const PageContext& context, const core::Payload& page, core::xml::XmlObject& root);
bool ocpUnsupportedRequirements(const PageContext& context, const core::Payload& page, core::xml::XmlObject& root);

bool smartAttributes(const PageContext& context, const core::Payload& page, core::xml::XmlObject& root);

}  // namespace drivekit::features::nvme_get_log::decode::layouts
