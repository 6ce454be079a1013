#include "plugins/plugin.debug_logs/debug_logs_common/SystemCommands.h"

#include <set>

#include "plugins/plugin.debug_logs/debug_logs_common/OutputFilters.h"
#include "plugins/plugin.debug_logs/debug_logs_common/Platform.h"

namespace plugin::cli::debug_logs {

namespace {
// The kernel ring buffer can hold far more than a support engineer reads.
constexpr std::size_t kernelMessageLines = 1000;

std::string lastKernelMessages(const std::string& output) { return lastLines(output, kernelMessageLines); }

// Variables whose values tell how programs are found and how text is shown, and say nothing
// an outsider could use; every other value is hidden.
const std::set<std::string> shownVariables = {
    "PATH", "LD_LIBRARY_PATH", "HOME", "USER", "LOGNAME", "SHELL", "TERM", "PWD", "TZ", "LANG", "LANGUAGE",
    "LC_ALL", "LC_CTYPE", "LC_NUMERIC", "LC_TIME", "LC_COLLATE", "LC_MONETARY", "LC_MESSAGES", "LC_PAPER",
    "LC_NAME", "LC_ADDRESS", "LC_TELEPHONE", "LC_MEASUREMENT", "LC_IDENTIFICATION",
};

// Made from this process's own entries: the commands run with an environment of their own.
std::string environment() { return maskedEnvironment(platform::environmentEntries(), shownVariables); }
}  // namespace

const std::vector<SystemCommand>& systemCommandTable() {
    static const std::vector<SystemCommand> table = {
        {"Operating system", {"cat", "/etc/os-release"}, {}, {}},
        {"Kernel version", {"uname", "-a"}, {}, {}},
        {"SCSI controller information", {"cat", "/proc/scsi/scsi"}, {}, {}},
        {"NVMe controller information", {"ls", "-l", "/sys/class/nvme"}, {}, {}},
        {"PCI devices list", {"lspci", "-nn"}, {}, {}},
        {"Disk information", {"lsblk", "-o", "NAME,TYPE,SIZE,MODEL,SERIAL,REV,TRAN,MOUNTPOINT"}, {}, {}},
        // Program names only: command lines carry passwords and tokens.
        {"Processes list and information", {"ps", "-e", "-o", "pid,user,rss,comm"}, {}, {}},
        {"CPU information", {"lscpu"}, {}, {}},
        {"IRQ information", {"cat", "/proc/interrupts"}, {}, {}},
        {"DMA channel", {"cat", "/proc/dma"}, {}, {}},
        {"Kernel modules", {"lsmod"}, {}, {}},
        {"Kernel messages", {"dmesg"}, lastKernelMessages, {}},
        {"Environment information", {}, {}, environment},
    };
    return table;
}

// As measured one by one on a small machine: lspci about 30 ms, ps 20 ms, the others about 10 ms;
// cat, uname and ls take 1 or 2 ms.
const std::vector<std::string>& slowestProgramsFirst() {
    static const std::vector<std::string> programs = {"lspci", "ps", "lsblk", "lscpu", "lsmod", "dmesg"};
    return programs;
}

// The Linux commands need no helper file.
void prepareSystemCommands() {}

void cleanUpSystemCommands() {}

}  // namespace plugin::cli::debug_logs
