#include "host/devices/sim/SimTrace.h"

#include <cstdio>
#include <fstream>
#include <mutex>

namespace host::sim {

namespace {

struct TraceSink {
    std::mutex mutex;
    std::string path;
};

TraceSink& sink() {
    static TraceSink instance;
    return instance;
}

std::string outcome(const drivekit::core::Status& status) {
    return " -> " + std::to_string(status.category()) + "/" + std::to_string(status.code());
}

// Whole seconds as "60s", a fraction with its significant digits only ("0.5s").
std::string seconds(uint64_t nanoseconds) {
    constexpr uint64_t perSecond = 1000000000ULL;
    std::string text = std::to_string(nanoseconds / perSecond);
    if (nanoseconds % perSecond != 0) {
        char fraction[16];
        std::snprintf(fraction, sizeof(fraction), ".%09llu", static_cast<unsigned long long>(nanoseconds % perSecond));
        std::string digits(fraction);
        digits.erase(digits.find_last_not_of('0') + 1);
        text += digits;
    }
    return text + "s";
}

}  // namespace

void SimTrace::setFile(const std::string& path) {
    std::lock_guard<std::mutex> lock(sink().mutex);
    sink().path = path;
}

void SimTrace::write(const std::string& line) {
    std::lock_guard<std::mutex> lock(sink().mutex);
    if (sink().path.empty()) {
        return;
    }
    // Opened per line so that the trace is complete even when the program stops abruptly.
    std::ofstream out(sink().path, std::ios::app);
    out << line << '\n';
}

std::string SimTrace::nvmeLine(const drivekit::commands::nvme::SubmissionEntry& entry, uint64_t length,
                               uint64_t timeoutNanoseconds, const drivekit::core::Status& status) {
    char text[256];
    std::snprintf(text, sizeof(text),
                  "NVME opc=0x%02x nsid=0x%08x cdw10=0x%08x cdw11=0x%08x cdw12=0x%08x cdw13=0x%08x "
                  "cdw14=0x%08x cdw15=0x%08x len=%llu",
                  entry.opcode(), entry.nsid, entry.cdw10, entry.cdw11, entry.cdw12, entry.cdw13, entry.cdw14,
                  entry.cdw15, static_cast<unsigned long long>(length));
    return text + (" timeout=" + seconds(timeoutNanoseconds)) + outcome(status);
}

std::string SimTrace::ataLine(const std::string& protocol, const drivekit::commands::ata::TaskFile& registers,
                              uint32_t blocks, const drivekit::core::Status& status) {
    char text[192];
    std::snprintf(text, sizeof(text),
                  "ATA proto=%s cmd=0x%02x feature=0x%02x count=0x%02x lbalow=0x%02x lbamid=0x%02x "
                  "lbahigh=0x%02x device=0x%02x blocks=%u",
                  protocol.c_str(), registers.command, registers.feature, registers.sectorCount, registers.lbaLow,
                  registers.lbaMid, registers.lbaHigh, registers.device, blocks);
    return text + outcome(status);
}

std::string SimTrace::otherLine(const std::string& protocol, const std::string& name,
                                const drivekit::core::Status& status) {
    return protocol + " name=" + name + outcome(status);
}

}  // namespace host::sim
