#pragma once
// The system's tree of device nodes, as far as this program reads it: which node is a given
// disk, a node's parent, and a few of a node's properties. The real tree is read with SetupAPI
// and the configuration manager; tests put a fake in its place.
#include <cstdint>
#include <memory>
#include <string>

namespace host::win_drives {

enum class NodeProperty { setupClass, service, driverProvider, driverVersion };

class DeviceTree {
public:
    virtual ~DeviceTree() = default;
    // The node (its instance identifier) of disk number diskNumber; "" when none is found.
    virtual std::string diskNode(uint32_t diskNumber) = 0;
    // The node's parent; "" at the root or when it cannot be read.
    virtual std::string parentOf(const std::string& node) = 0;
    // The property as text; "" when the node has none.
    virtual std::string property(const std::string& node, NodeProperty which) = 0;
};

// The system's own tree (Windows only).
std::unique_ptr<DeviceTree> systemDeviceTree();

}  // namespace host::win_drives
