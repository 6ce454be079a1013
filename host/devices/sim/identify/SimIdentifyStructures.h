#pragma once
// The builder functions of the Identify structures beyond the controller, the namespace and the
// two namespace lists: the I/O Command Set structures, the controller and namespace lists and
// the subsystem's capability structures.
#include "host/devices/sim/SimIdentify.h"

namespace host::sim {

// Per namespace.
SimResponse buildNamespaceIdDescriptors(const SimIdentifyRequest& request);            // CNS 0x03
SimResponse buildCommandSetNamespace(const SimIdentifyRequest& request);               // CNS 0x05
SimResponse buildIndependentNamespace(const SimIdentifyRequest& request);              // CNS 0x08
SimResponse buildAttachedControllerList(const SimIdentifyRequest& request);            // CNS 0x12
SimResponse buildCommandSetAllocatedNamespace(const SimIdentifyRequest& request);      // CNS 0x1B

// Namespace lists of one I/O Command Set.
SimResponse buildCommandSetActiveNamespaceList(const SimIdentifyRequest& request);     // CNS 0x07
SimResponse buildCommandSetAllocatedNamespaceList(const SimIdentifyRequest& request);  // CNS 0x1A

// Controller and subsystem.
SimResponse buildNvmSetList(const SimIdentifyRequest& request);                        // CNS 0x04
SimResponse buildCommandSetController(const SimIdentifyRequest& request);              // CNS 0x06
SimResponse buildControllerList(const SimIdentifyRequest& request);                    // CNS 0x13
SimResponse buildPrimaryControllerCapabilities(const SimIdentifyRequest& request);     // CNS 0x14
SimResponse buildSecondaryControllerList(const SimIdentifyRequest& request);           // CNS 0x15
SimResponse buildNamespaceGranularityList(const SimIdentifyRequest& request);          // CNS 0x16
SimResponse buildUuidList(const SimIdentifyRequest& request);                          // CNS 0x17
SimResponse buildDomainList(const SimIdentifyRequest& request);                        // CNS 0x18
SimResponse buildEnduranceGroupList(const SimIdentifyRequest& request);                // CNS 0x19
SimResponse buildCommandSetCombinations(const SimIdentifyRequest& request);            // CNS 0x1C

// What every structure of this drive shares.
namespace simIdentify {
// The one controller of the subsystem.
constexpr uint16_t controllerId = 1;
// The only I/O Command Set the drive implements.
constexpr uint8_t nvmCommandSet = 0;
// The drive's single NVM set, domain and (unless the profile names one) endurance group.
constexpr uint16_t nvmSetId = 1;
constexpr uint16_t domainId = 1;
uint16_t enduranceGroupId(const SimProfile& profile);
// Bytes of the namespaces created so far.
uint64_t allocatedBytes(const SimProfile& profile);
bool managesNamespaces(const SimProfile& profile);
}  // namespace simIdentify

}  // namespace host::sim
