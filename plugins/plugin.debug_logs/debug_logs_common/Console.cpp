#include "plugins/plugin.debug_logs/debug_logs_common/Console.h"

#include <iostream>

namespace plugin::cli::debug_logs {

namespace {
int& verbosity() {
    static int level = 0;
    return level;
}

constexpr std::size_t bannerWidth = 110;
}  // namespace

int verbosityLevel() { return verbosity(); }

void setVerbosityLevel(int level) { verbosity() = level; }

std::string bannerText(const std::string& text) {
    std::string framed = text;
    // Front first, then the back, so a text of odd shortfall ends one character long.
    while (framed.size() < bannerWidth) {
        framed.insert(0, "- ");
        if (framed.size() >= bannerWidth) {
            break;
        }
        framed += " -";
    }
    return framed;
}

void printMessage(const std::string& text, bool verboseOnly, bool banner) {
    if (verboseOnly && verbosityLevel() < 1) {
        return;
    }
    std::cout << (banner ? bannerText(text) : text) << '\n';
}

void printPartial(const std::string& text) { std::cout << text << std::flush; }

void printGeneratedTotal(const std::string& title, uint32_t generated, uint32_t failed) {
    if (verbosityLevel() >= 1) {
        printMessage(title + " generated (" + std::to_string(generated) + " of possible " +
                     std::to_string(uint64_t{generated} + failed) + " logs)");
    } else if (generated >= 1) {
        printMessage(title + " generated (" + std::to_string(generated) + " logs)");
    }
}

}  // namespace plugin::cli::debug_logs
