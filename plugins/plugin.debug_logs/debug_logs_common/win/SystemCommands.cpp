#include "plugins/plugin.debug_logs/debug_logs_common/SystemCommands.h"

#include <cstdio>
#include <set>

#include "plugins/plugin.debug_logs/debug_logs_common/OutputFilters.h"
#include "plugins/plugin.debug_logs/debug_logs_common/Platform.h"

namespace plugin::cli::debug_logs {

namespace {
const char* const diskScriptName = "getdskpart.bat";

// Lists every disk with its partitions, then the volumes, through diskpart.
const char* const diskScript =
    "@echo off\n"
    "set _dpcmd0=%temp%\\list_disk_%random%.script\n"
    "set _dpcmd1=%temp%\\list_disk_%random%.script\n"
    "set _disk_log=%temp%\\list_disk_%random%.log\n"
    "set _dp_full_log=%temp%\\diskpart.log\n"
    "echo list disk > %_dpcmd0%\n"
    "echo list disk > %_dpcmd1%\n"
    "diskpart /s  %_dpcmd0% >  %_disk_log%\n"
    "FOR /F \"tokens=1,2* \" %%i in (%_disk_log%) do ( call :sub %%i %%j )\n"
    "echo list volume > %_dpcmd1%\n"
    "diskpart /s  %_dpcmd1% >  %_dp_full_log%\n"
    "more %_dp_full_log%\n"
    "del %_dpcmd0%\n"
    "del %_dpcmd1%\n"
    "del %_disk_log%\n"
    "del %_dp_full_log%\n"
    "goto :eof\n"
    ":sub\n"
    "if not [%1]==[Disk] goto :eof\n"
    "if     [%2]==[###] goto :eof\n"
    "echo select disk %2 >> %_dpcmd1%\n"
    "echo list partition >> %_dpcmd1%\n"
    "\n"
    "goto :eof\n";

// "created" when the script was written, otherwise empty text.
std::string createDiskScript(const std::string& fileName) {
    if (fileName.empty()) {
        return {};
    }
    FILE* file = std::fopen(fileName.c_str(), "w");
    if (file == nullptr) {
        return {};
    }
    std::fputs(diskScript, file);
    std::fclose(file);
    return "created";
}

// Variables whose values tell how programs are found and what the machine is, and say nothing an
// outsider could use; every other value is hidden.
const std::set<std::string> shownVariables = {
    "Path", "PATH", "PATHEXT", "OS", "PROCESSOR_ARCHITECTURE", "PROCESSOR_IDENTIFIER", "NUMBER_OF_PROCESSORS",
    "SystemRoot", "SystemDrive", "windir", "ComSpec", "TEMP", "TMP", "USERNAME", "USERPROFILE",
};

// Made from this process's own entries, not from the machine's stored variables with every
// value shown.
std::string environment() { return maskedEnvironment(platform::environmentEntries(), shownVariables); }
}  // namespace

const std::vector<SystemCommand>& systemCommandTable() {
    static const std::vector<SystemCommand> table = {
        {"WMIC", {"wmic", "scsicontroller", "2>", "nul"}, {}, {}},
        {"SCSI controller information", {"wmic", "scsicontroller", "2>", "nul"}, {}, {}},
        {"ACHI controller information", {"wmic", "idecontroller", "2>", "nul"}, {}, {}},
        {"Windows version", {"ver"}, {}, {}},
        {"Processes list and information", {"tasklist"}, {}, {}},
        {"PCI devices list", {"lspci"}, {}, {}},
        {"Disk information", {diskScriptName}, {}, {}},
        {"CPU information", {"wmic", "cpu"}, {}, {}},
        {"IRQ information", {"wmic", "irq"}, {}, {}},
        {"DMA channel", {"wmic", "dmachannel"}, {}, {}},
        {"Environment information", {}, {}, environment},
        {"Registry information", {"wmic", "registry"}, {}, {}},
    };
    return table;
}

// The disk script runs diskpart twice, which takes longest.
const std::vector<std::string>& slowestProgramsFirst() {
    static const std::vector<std::string> programs = {diskScriptName};
    return programs;
}

void prepareSystemCommands() { createDiskScript(diskScriptName); }

void cleanUpSystemCommands() { std::remove(diskScriptName); }

}  // namespace plugin::cli::debug_logs
