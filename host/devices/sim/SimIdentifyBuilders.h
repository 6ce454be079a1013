#pragma once
// The builder functions of the Identify table, one group per file.
#include "host/devices/sim/SimIdentify.h"

namespace host::sim {

// CNS 0x01: the controller's data structure, from the profile's attributes and content.
SimResponse buildIdentifyController(const SimIdentifyRequest& request);
// CNS 0x00: an active namespace (zero-filled for an inactive one).
SimResponse buildIdentifyNamespace(const SimIdentifyRequest& request);
// CNS 0x11: an allocated namespace, attached or not (zero-filled for an unallocated one).
SimResponse buildIdentifyAllocatedNamespace(const SimIdentifyRequest& request);
// CNS 0x02: active namespace ids above NSID.
SimResponse buildActiveNamespaceList(const SimIdentifyRequest& request);
// CNS 0x10: allocated namespace ids above NSID.
SimResponse buildAllocatedNamespaceList(const SimIdentifyRequest& request);

}  // namespace host::sim
