// Reads the host-initiated telemetry log of a simulated drive (data area 4) with the telemetry
// feature straight into a file, as the package does. scripts/bench runs it under
// /usr/bin/time beside `cat` of a file of the same size; not a test.
#include <iostream>
#include <string>

#include "drivekit/features/telemetry/Telemetry.h"
#include "host/devices/sim/SimulatedDrive.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: bench_telemetry_read PROFILE OUTPUT_FILE\n";
        return 2;
    }
    std::string error;
    const std::shared_ptr<drivekit::core::Device> drive = host::sim::openSimulatedDrive(argv[1], error);
    if (!drive) {
        std::cerr << error << "\n";
        return 2;
    }
    drivekit::features::telemetry::Telemetry telemetry(drive, true, 4);
    drivekit::core::Status status;
    if (!telemetry.readTelemetryDataToFile(status, argv[2]).isSuccess()) {
        std::cerr << status.message() << "\n";
        return 1;
    }
    return 0;
}
