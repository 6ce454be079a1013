#include "plugins/plugin.debug_logs/debug_logs_common/ZipArchive.h"

#include <windows.h>

#include <boost/filesystem/operations.hpp>

#include "drivekit/core/logging/Log.h"
#include "plugins/plugin.debug_logs/debug_logs_common/LibzipPacker.h"
#include "plugins/plugin.debug_logs/debug_logs_common/win/Handle.h"
#include "plugins/plugin.debug_logs/debug_logs_common/win/SystemPrograms.h"

namespace plugin::cli::debug_logs {

namespace {
// A PowerShell literal string: single quotes, with each quote inside doubled.
template <typename Char>
std::basic_string<Char> quoted(const std::basic_string<Char>& text) {
    std::basic_string<Char> result(1, Char('\''));
    for (const Char c : text) {
        result += c;
        if (c == Char('\'')) {
            result += c;
        }
    }
    return result + Char('\'');
}

// The command line, as narrow text for the log and as wide text to run: the paths keep every
// character only in their wide form. The whole PowerShell part is one quoted argument, so
// characters such as "&" or ";" in the folder's name stay inside it. Without -Force,
// Compress-Archive fails rather than replace an archive that appeared meanwhile.
template <typename Char>
std::basic_string<Char> compressCommand(const std::basic_string<Char>& folder, const std::basic_string<Char>& archive,
                                        const std::string& pattern) {
    const auto text = [](const std::string& ascii) { return std::basic_string<Char>(ascii.begin(), ascii.end()); };
    return text("powershell -NoProfile -Command \"cd -LiteralPath ") + quoted(folder) + text("; Compress-Archive ") +
           text(pattern) + text(" ") + quoted(archive) + text("\"");
}

// Runs PowerShell from the system folder and waits for its end. False, with reason set, when it
// could not be started; otherwise exitCode is its exit code.
bool runPowerShell(std::wstring commandLine, DWORD& exitCode, std::string& reason) {
    const std::wstring folder = platform::systemFolder(reason);
    if (folder.empty()) {
        return false;
    }
    const std::wstring program = folder + L"\\WindowsPowerShell\\v1.0\\powershell.exe";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &started)) {
        reason = platform::errorText(GetLastError());
        return false;
    }
    const platform::Handle process(started.hProcess);
    const platform::Handle thread(started.hThread);
    // No time limit, as for any packing: a large package takes long to compress.
    WaitForSingleObject(process.get(), INFINITE);
    if (!GetExitCodeProcess(process.get(), &exitCode)) {
        exitCode = GetLastError();
    }
    return true;
}
}  // namespace

namespace platform {

// PowerShell's Compress-Archive first; libzip inside this process only when there is no
// PowerShell to start, or one that ends at once without an archive. One that fails has said why
// on the console: no second try.
int packFolder(const boost::filesystem::path& folder, const std::string& pattern,
               const boost::filesystem::path& archivePath, std::string& description, std::string& problem) {
    const std::string command = compressCommand(folder.string(), archivePath.string(), pattern);
    DWORD exitCode = 0;
    std::string reason;
    if (runPowerShell(compressCommand(folder.wstring(), archivePath.wstring(), pattern), exitCode, reason)) {
        if (exitCode != 0) {
            description = command;
            problem = "Compress-Archive could not write " + archivePath.string() + " (result " +
                      std::to_string(exitCode) + ")";
            return 1;
        }
        boost::system::error_code error;
        if (boost::filesystem::is_regular_file(archivePath, error)) {
            description = command;
            return 0;
        }
        // A stand-in that ends at once without packing anything (Wine ships one) is no PowerShell:
        // its success must not be reported for an archive that does not exist.
        reason = "powershell.exe ended without writing " + archivePath.filename().string();
    }
    LOG_INFO("Zip: PowerShell is not available (" << reason << "); packing in process with libzip");
    std::string packed;
    const int result = packWithLibzip(folder, pattern, archivePath, packed, problem);
    description = "PowerShell is not available (" + reason + "); packed in process with libzip: " + packed;
    return result;
}

bool renameWithoutReplacing(const boost::filesystem::path& from, const boost::filesystem::path& to,
                            boost::system::error_code& error) {
    // Without MOVEFILE_REPLACE_EXISTING the move fails when the name is taken.
    if (MoveFileExW(from.c_str(), to.c_str(), 0)) {
        return true;
    }
    error.assign(static_cast<int>(GetLastError()), boost::system::system_category());
    return false;
}

}  // namespace platform

}  // namespace plugin::cli::debug_logs
