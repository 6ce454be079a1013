// The cloud SSD pages of a drive that declares the OCP requirements: SMART / health extended
// (0xC0), error recovery (0xC1), firmware activation history (0xC2), latency monitor (0xC3),
// device capabilities (0xC4) and unsupported requirements (0xC5). Each ends with its log page
// version and its GUID, stored least significant byte first.
#include <string>

#include "host/devices/sim/SimAttributeTable.h"
#include "host/devices/sim/SimBytes.h"
#include "host/devices/sim/SimLogPageGenerators.h"
#include "host/devices/sim/SimLogSlice.h"

namespace host::sim {

namespace {

constexpr uint64_t unitBytes = 512000;  // a data unit of the SMART / health page

// Writes the version and the GUID (given most significant digit first) at the end of a page.
void identifyPage(SimBytes& data, uint16_t version, const char* guid) {
    const uint32_t versionAt = data.size() - 18;
    data.u16(versionAt, version);
    for (uint32_t i = 0; i < 16; ++i) {
        const auto byte = static_cast<uint8_t>(std::stoul(std::string(guid + 2 * (15 - i), 2), nullptr, 16));
        data.u8(versionAt + 2 + i, byte);
    }
}

bool ocp2(const SimProfile& profile) { return supportsOcp2(profile); }

}  // namespace

bool supportsOcp(const SimProfile& profile) {
    return profile.attributes.readBool(definitions::ocpSupported().key());
}

bool supportsOcp1(const SimProfile& profile) {
    return profile.attributes.readBool(definitions::ocp1Point0OrGreater().key());
}

bool supportsOcp2(const SimProfile& profile) {
    return profile.attributes.readBool(definitions::ocp2Point0OrGreater().key());
}

SimResponse generateOcpSmart(const SimLogRequest& request) {
    const SimHealth& health = request.profile.health;
    SimBytes data(512);
    data.u128(0, health.dataUnitsWritten * unitBytes / 4 * 5);  // media writes: host writes and more
    data.u128(16, health.dataUnitsRead * unitBytes);
    data.u16(32 + 6, 100);  // bad user blocks: none, normalised 100
    data.u32(40, 2);        // bad system blocks
    data.u16(40 + 6, 100);
    data.u64(56, health.mediaErrors);
    data.u64(64, health.powerOnHours / 100);  // soft ECC errors
    data.u8(80, health.percentageUsed);
    data.u32(88, 40 + health.percentageUsed * 30);  // erase counts, maximum and minimum
    data.u32(92, 30 + health.percentageUsed * 30);
    data.u8(96, 0);  // no throttling
    data.u8(98, 0);
    data.u16(99, 0);
    data.u8(103, ocp2(request.profile) ? 2 : 1);  // the requirement version the drive meets
    data.u32(112, health.unsafeShutdowns);
    data.u8(120, 100 - health.percentageUsed);  // free blocks
    data.u16(128, 100);                         // capacitor health
    data.u64(152, request.profile.capacityBytes / 4096);
    data.u128(160, health.powerCycles);
    data.u128(176, request.profile.capacityBytes / 1000000000 * 3000);
    data.u64(200, health.powerCycles * 4);
    identifyPage(data, ocp2(request.profile) ? 3 : 2, "AFD514C97C6F4F9CA4F2BFEA2810AFC5");
    return cutPage(data.payload(), request);
}

SimResponse generateOcpErrorRecovery(const SimLogRequest& request) {
    SimBytes data(512);
    data.u16(0, 100);   // panic reset wait time, ms
    data.u8(2, 0x01);   // panic reset action: NVMe controller reset
    data.u8(3, 0x01);   // device recovery action: format
    data.u32(12, 0x3);  // panic and recovery reported
    data.u8(29, 0x01);  // second recovery action
    data.u8(30, 10);
    identifyPage(data, ocp2(request.profile) ? 2 : 1, "5A1983BA3DFD4DABAE3430FE2131D944");
    return cutPage(data.payload(), request);
}

SimResponse generateOcpFirmwareHistory(const SimLogRequest& request) {
    const auto& slots = request.profile.firmwareSlots;
    SimBytes data(4096);
    data.u8(0, 0xC2);
    data.u32(4, 1);
    constexpr uint32_t entry = 8;
    data.u8(entry, 1);    // entry version
    data.u8(entry + 1, 64);
    data.u16(entry + 4, 1);
    data.u64(entry + 8, 1700000000000ULL);
    data.u64(entry + 24, request.profile.health.powerCycles);
    data.ascii(entry + 32, 8, slots.size() > 1 ? slots[1] : slots.front());
    data.ascii(entry + 40, 8, slots.front());
    data.u8(entry + 48, 1);  // slot
    data.u8(entry + 49, 1);  // commit action
    identifyPage(data, 1, "D11CF3AC8AB24DE2A3F6DAB4769A796D");
    return cutPage(data.payload(), request);
}

SimResponse generateOcpLatencyMonitor(const SimLogRequest& request) {
    SimBytes data(512);
    data.u8(0, 0x01);     // feature enabled
    data.u16(2, 0);       // active bucket timer
    data.u16(4, 2016);    // active bucket timer threshold
    data.u8(6, 5);        // thresholds A to D, in 5 ms steps
    data.u8(7, 10);
    data.u8(8, 20);
    data.u8(9, 40);
    identifyPage(data, 3, "85D45E58D4E643709C6C84D08CC07A92");
    return cutPage(data.payload(), request);
}

SimResponse generateOcpDeviceCapabilities(const SimLogRequest& request) {
    SimBytes data(4096);
    data.u16(0, 1);       // one PCIe port
    data.u16(2, 0x8003);  // out-of-band management: MCTP over SMBus and PCIe
    data.u16(4, 0x8001);  // write zeroes
    data.u16(6, 0x8007);  // sanitize
    data.u16(8, 0x8001);  // dataset management
    data.u16(10, 0x8001); // write uncorrectable
    data.u16(12, 0x8001); // compare and write
    data.u16(14, 0);      // lowest power state the drive may be set to
    data.u8(16, 0x81);    // power state 0: supported, 25 W
    identifyPage(data, 1, "B7053C914B58495D98C9E1D10D054297");
    return cutPage(data.payload(), request);
}

SimResponse generateOcpUnsupportedRequirements(const SimLogRequest& request) {
    const char* const unsupported[] = {"FWUP-4", "SEC-12", "PLP-5"};
    SimBytes data(4096);
    data.u16(0, 3);
    for (uint32_t i = 0; i < 3; ++i) {
        const std::string id = unsupported[i];
        data.bytes(16 + 16 * i, reinterpret_cast<const uint8_t*>(id.data()), static_cast<uint32_t>(id.size()));
    }
    identifyPage(data, 1, "C7BB98B7D0324863BB2C23990E9C722F");
    return cutPage(data.payload(), request);
}

}  // namespace host::sim
