#pragma once
// The field tables of the Identify structures, built once on first use.
#include "drivekit/features/decode/FieldTable.h"

namespace drivekit::features::identify::decode {

using features::decode::Field;
using features::decode::FieldTable;

const FieldTable& identifyControllerTable();
const FieldTable& powerStateDescriptorTable();
const FieldTable& identifyNamespaceTable();
const FieldTable& lbaFormatTable();
const FieldTable& primaryControllerCapabilitiesTable();
const FieldTable& secondaryControllerEntryTable();
const FieldTable& namespaceGranularityTable();
const FieldTable& namespaceGranularityDescriptorTable();
const FieldTable& uuidListEntryTable();
const FieldTable& namespaceIdDescriptorHeaderTable();
const FieldTable& commandSetVectorTable();
const FieldTable& nvmSetListHeaderTable();
const FieldTable& nvmSetAttributesEntryTable();
const FieldTable& domainListHeaderTable();
const FieldTable& domainAttributesEntryTable();
const FieldTable& ataIdentifyDeviceTable();
// Command-set specific structures a package also holds.
const FieldTable& independentNamespaceTable();
const FieldTable& nvmControllerTable();
const FieldTable& extendedLbaFormatTable();
const FieldTable& nvmNamespaceTable();
// The bit rows of RESCAP, which both namespace structures hold.
std::vector<Field> reservationCapabilityBits();

}  // namespace drivekit::features::identify::decode
