#pragma once
// One updating line on standard error while a large log is read: bytes read of the total and
// the rate. It is drawn only when standard error is a terminal and the log is large enough to
// take a while; standard output is never touched.
#include <chrono>
#include <cstdint>
#include <functional>
#include <ostream>
#include <string>

namespace plugin::cli::debug_logs {

class ProgressLine {
public:
    // Logs smaller than this are read too quickly to need a progress line.
    static constexpr uint64_t smallestShownBytes = 8ULL << 20;

    // label names the log ("Telemetry 0x07"); shown decides whether anything is drawn
    // (standard error is a terminal); the line goes to out.
    ProgressLine(std::string label, bool shown, std::ostream& out);
    ~ProgressLine();
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    // The function a chunked read calls after every piece.
    std::function<void(uint64_t done, uint64_t total)> callback();
    // Draws the line for done of total bytes; redrawn at most ten times a second and when done
    // reaches the total.
    void update(uint64_t done, uint64_t total);
    // Clears the line, if one was drawn.
    void finish();

    // "<label>: 12.5 of 512.0 MiB (1234.5 MiB/s)".
    static std::string text(const std::string& label, uint64_t done, uint64_t total, double seconds);

private:
    std::string label_;
    bool shown_;
    std::ostream& out_;
    bool drawn_ = false;
    std::size_t width_ = 0;
    std::chrono::steady_clock::time_point start_;
    std::chrono::steady_clock::time_point lastDraw_;
};

}  // namespace plugin::cli::debug_logs
