#include "plugins/plugin.debug_logs/debug_logs_common/SystemCommands.h"

#include <cstdio>

#include "plugins/plugin.debug_logs/debug_logs_common/OutputFilters.h"
#include "plugins/plugin.debug_logs/debug_logs_common/Platform.h"

namespace plugin::cli::debug_logs {

namespace {
// The kernel ring buffer can hold far more than a support engineer reads.
constexpr std::size_t kernelMessageLines = 1000;

std::string lastKernelMessages(const std::string& output) { return lastLines(output, kernelMessageLines); }

std::string redactEnvironment(const std::string& output) {
    return redactSecrets(output, platform::environmentEntries());
}
}  // namespace

const std::vector<SystemCommand>& systemCommandTable() {
    static const std::vector<SystemCommand> table = {
        {"Operating system", "cat /etc/os-release", {}},
        {"Kernel version", "uname -a", {}},
        {"SCSI controller information", "cat /proc/scsi/scsi", {}},
        {"NVMe controller information", "ls -l /sys/class/nvme", {}},
        {"PCI devices list", "lspci -nn", {}},
        {"Disk information", "lsblk -o NAME,TYPE,SIZE,MODEL,SERIAL,REV,TRAN,MOUNTPOINT", {}},
        {"Processes list and information", "ps aux", {}},
        {"CPU information", "lscpu", {}},
        {"IRQ information", "cat /proc/interrupts", {}},
        {"DMA channel", "cat /proc/dma", {}},
        {"Kernel modules", "lsmod", {}},
        {"Kernel messages", "dmesg", lastKernelMessages},
        {"Environment information", "env", redactEnvironment},
    };
    return table;
}

std::string runCommand(const std::string& commandLine) {
    // Grouped, so that the error output of every part of a compound line is captured.
    FILE* pipe = popen(("{ " + commandLine + "; } 2>&1").c_str(), "r");
    if (pipe == nullptr) {
        return {};
    }
    std::string output;
    char buffer[256];
    for (std::size_t count; (count = std::fread(buffer, 1, sizeof(buffer), pipe)) > 0;) {
        output.append(buffer, count);
    }
    pclose(pipe);
    return output;
}

// The Linux commands need no helper file.
void prepareSystemCommands() {}

void cleanUpSystemCommands() {}

}  // namespace plugin::cli::debug_logs
