// Reads a large endurance group event log and a large persistent event log from the simulated
// drive through the chunked get-log reader, and reports the rate and the process's peak
// resident memory. Run by scripts/bench; not a test.
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>

#include <nlohmann/json.hpp>

#include "drivekit/core/DeviceAttributes.h"
#include "drivekit/features/AttributeDefinitions.h"
#include "drivekit/features/nvme_get_log/NVMeGetLog.h"
#include "host/devices/sim/SimulatedDrive.h"

namespace {

namespace definitions = drivekit::features::definitions;
using drivekit::core::AttributeCollection;
using drivekit::core::Payload;
using drivekit::core::Status;
using drivekit::features::nvme_get_log::NVMeGetLog;

constexpr uint64_t mebibyte = 1ULL << 20;

double peakResidentMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;  // kilobytes on Linux
}

// Reads the page's first headerBytes, takes its total length from the header, then the rest
// through getByChunks into one buffer of that length.
struct Reading {
    Status status;
    uint64_t bytes = 0;     // read
    uint64_t expected = 0;  // the header's length
    double seconds = 0;
};

Reading readLog(const std::shared_ptr<drivekit::core::Device>& drive, uint8_t logId, uint32_t headerBytes,
                uint64_t (*totalFromHeader)(const Payload&)) {
    Reading reading;
    const auto start = std::chrono::steady_clock::now();
    AttributeCollection attributes;
    NVMeGetLog page(drive, logId, headerBytes / 4 - 1, "benchmark", attributes);
    page.attributes().writeUint64(definitions::logPageOffset(), 0);
    if (!page.sendCommand(reading.status).isSuccess()) {
        return reading;
    }
    Payload soFar = page.getPayload();
    reading.expected = totalFromHeader(soFar);
    Payload buffer(reading.expected);
    page.getByChunks(reading.status, soFar, buffer);
    reading.bytes = soFar.size();
    reading.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return reading;
}

uint64_t enduranceGroupEventLength(const Payload& header) { return 8 + 2 * *header.safeCast<uint64_t>(0); }
uint64_t persistentEventLength(const Payload& header) { return *header.safeCast<uint64_t>(8); }

bool report(const char* name, const Reading& reading) {
    const uint64_t expected = reading.expected;
    const double mib = static_cast<double>(reading.bytes) / mebibyte;
    std::printf("%-28s %8.1f MiB in %7.3f s = %8.1f MiB/s, peak resident %7.1f MiB (%s)\n", name, mib,
                reading.seconds, mib / reading.seconds, peakResidentMiB(),
                reading.status.isSuccess() && reading.bytes == expected ? "complete" : reading.status.message().c_str());
    return reading.status.isSuccess() && reading.bytes == expected;
}

}  // namespace

int main(int argc, char** argv) {
    const uint64_t size = (argc > 1 ? std::stoull(argv[1]) : 64) * mebibyte;
    const std::string base = std::string(SSDTOOL_SOURCE_DIR) + "/host/devices/sim/profiles/varnholt-nvme.json";
    nlohmann::json profile = nlohmann::json::parse(std::ifstream(base));
    profile["nvme"]["enduranceGroupEvents"] = (size - 8) / 2;
    profile["nvme"]["persistentEventLogBytes"] = size;
    const std::string file = "/tmp/ssdtool-bench-profile-" + std::to_string(getpid()) + ".json";
    std::ofstream(file) << profile.dump();
    std::string error;
    const std::shared_ptr<drivekit::core::Device> drive = host::sim::openSimulatedDrive(file, error);
    std::remove(file.c_str());
    if (!drive) {
        std::cerr << error << "\n";
        return 2;
    }
    std::printf("chunk: %u KiB (MDTS %u); goal: >= 1024 MiB/s, peak <= 1.2 x log + 30 MiB = %.1f MiB\n",
                4u << drive->attributes.readUint8(drivekit::core::attributes::maximumDataTransferSize().key()),
                drive->attributes.readUint8(drivekit::core::attributes::maximumDataTransferSize().key()),
                1.2 * size / mebibyte + 30);
    // Three rounds: the first also pays for taking fresh memory from the system.
    bool complete = true;
    for (int round = 1; round <= 3; ++round) {
        complete = report("endurance group event log", readLog(drive, 0x0F, 4096, enduranceGroupEventLength)) && complete;
        complete = report("persistent event log", readLog(drive, 0x0D, 512, persistentEventLength)) && complete;
    }
    return complete ? 0 : 1;
}
