// Times the system commands of "system_info.log" as the plug-in runs them, with nothing else of a
// debug-logs package around them. Run by scripts/bench-system-info; not a test.
//   bench_system_info ROUNDS FOLDER   the median time of ROUNDS runs, each writing FOLDER/system_info.log
//   bench_system_info --commands      the table's command lines, one a line, for a shell to run alike
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "plugins/plugin.debug_logs/debug_logs_common/SystemCommands.h"

namespace dl = plugin::cli::debug_logs;

int main(int argc, char** argv) {
    if (argc == 2 && std::string(argv[1]) == "--commands") {
        for (const dl::SystemCommand& command : dl::systemCommandTable()) {
            if (!command.collect) {
                std::printf("%s\n", dl::commandLineOf(command.arguments).c_str());
            }
        }
        return 0;
    }
    if (argc != 3) {
        std::fprintf(stderr, "usage: bench_system_info ROUNDS FOLDER | --commands\n");
        return 2;
    }
    const int rounds = std::max(1, std::stoi(argv[1]));
    const std::string log = std::string(argv[2]) + "/system_info.log";
    std::vector<double> seconds;
    for (int round = 0; round < rounds; ++round) {
        std::remove(log.c_str());
        drivekit::core::Status status;
        const auto start = std::chrono::steady_clock::now();
        dl::WriteSystemCommandsOutputToLog(status, log);
        seconds.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        if (!status.isSuccess()) {
            std::fprintf(stderr, "bench_system_info: %s\n", status.message().c_str());
            return 1;
        }
    }
    std::sort(seconds.begin(), seconds.end());
    std::printf("%.4f\n", seconds[seconds.size() / 2]);
    return 0;
}
