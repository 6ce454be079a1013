#include "plugins/plugin.debug_logs/debug_logs_common/ProgressLine.h"

#include <algorithm>
#include <cstdio>

namespace plugin::cli::debug_logs {

namespace {

constexpr auto redrawInterval = std::chrono::milliseconds(100);
constexpr double mebibyte = 1024.0 * 1024.0;

}  // namespace

ProgressLine::ProgressLine(std::string label, bool shown, std::ostream& out)
    : label_(std::move(label)), shown_(shown), out_(out), start_(std::chrono::steady_clock::now()) {}

ProgressLine::~ProgressLine() { finish(); }

std::function<void(uint64_t, uint64_t)> ProgressLine::callback() {
    return [this](uint64_t done, uint64_t total) { update(done, total); };
}

std::string ProgressLine::text(const std::string& label, uint64_t done, uint64_t total, double seconds) {
    char line[160];
    const double rate = seconds > 0 ? static_cast<double>(done) / mebibyte / seconds : 0.0;
    std::snprintf(line, sizeof(line), ": %.1f of %.1f MiB (%.1f MiB/s)", static_cast<double>(done) / mebibyte,
                  static_cast<double>(total) / mebibyte, rate);
    return label + line;
}

void ProgressLine::update(uint64_t done, uint64_t total) {
    if (!shown_ || total < smallestShownBytes) {
        return;
    }
    const auto now = std::chrono::steady_clock::now();
    if (drawn_ && done < total && now - lastDraw_ < redrawInterval) {
        return;
    }
    lastDraw_ = now;
    const std::string line = text(label_, done, total, std::chrono::duration<double>(now - start_).count());
    // Spaces cover what a longer earlier line left behind.
    out_ << '\r' << line << std::string(width_ > line.size() ? width_ - line.size() : 0, ' ') << std::flush;
    width_ = std::max(width_, line.size());
    drawn_ = true;
}

void ProgressLine::finish() {
    if (drawn_) {
        out_ << '\r' << std::string(width_, ' ') << '\r' << std::flush;
        drawn_ = false;
    }
}

}  // namespace plugin::cli::debug_logs
