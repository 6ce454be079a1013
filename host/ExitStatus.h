#pragma once
// The exit statuses of ssdtool, as scripts and the README rely on them.

namespace host {

struct ExitStatus {
    static constexpr int success = 0;
    // The command ran and failed (or, for a package decode, a file in it is damaged).
    static constexpr int failed = 1;
    // A command-line or usage error, or a drive or package that cannot be opened at all.
    static constexpr int usage = 2;
    // An error left the plug-in; reported as one line.
    static constexpr int pluginError = 3;
    // A run stopped by a signal ends with 128 + the signal's number, as the shell reports one
    // that killed the process (130 for SIGINT).
    static constexpr int interruptedBase = 128;
};

}  // namespace host
