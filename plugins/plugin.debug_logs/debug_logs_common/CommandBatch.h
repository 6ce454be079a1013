#pragma once
// Runs system commands side by side in the calling thread, which blocks until whichever ends
// first: the plug-in starts no thread of its own. Each command keeps its own time and output
// limits and has everything it started stopped at its time limit (its process group on Linux,
// its job on Windows); a stop request (Ctrl-C and the like) stops every one still running.
#include <cstddef>
#include <memory>
#include <utility>
#include <vector>

#include "plugins/plugin.debug_logs/debug_logs_common/CommandProblems.h"
#include "plugins/plugin.debug_logs/debug_logs_common/SystemCommands.h"

namespace plugin::cli::debug_logs {

class CommandBatch {
public:
    // A finished command: the number it was started under, and how it ran.
    using Finished = std::pair<std::size_t, CommandRun>;

    explicit CommandBatch(const CommandLimits& limits);
    CommandBatch(const CommandBatch&) = delete;
    CommandBatch& operator=(const CommandBatch&) = delete;
    // Stops whatever still runs and waits for it (within the grace after the kill).
    ~CommandBatch();

    // Starts the command (see runCommand for how); one that cannot start is finished at once.
    void start(std::size_t number, const std::vector<std::string>& arguments);

    // How many started commands wait() has not handed back yet.
    std::size_t unfinished() const { return children_.size() + finished_.size(); }

    // Blocks until at least one started command has finished (none when nothing is unfinished)
    // and hands back every one that has.
    std::vector<Finished> wait();

private:
    struct Child;

    // Stops every command still running and waits for each (within the grace after the kill).
    void stopAll();
    // One wait for the next event of any child, then the bookkeeping it calls for.
    void waitForEvents();
    // Kills the child's process group (its job) and gives it the grace to end.
    void stop(Child& child, OutputStop why);
    // Moves the children that are done into finished_.
    void collectDone();

    CommandLimits limits_;
    std::vector<std::unique_ptr<Child>> children_;
    std::vector<Finished> finished_;
};

}  // namespace plugin::cli::debug_logs
