#include <gtest/gtest.h>

#include "drivekit/core/CommandJournal.h"
#include "drivekit/core/FileReadScope.h"

using drivekit::core::CommandJournal;
using drivekit::core::FileReadScope;

namespace {
void read(const std::string& key) { CommandJournal::noteCommand({"NVME", key, {}, key, "success", 0}); }
}  // namespace

// Reads named for a file stay with it whatever is written between; the rest go to the next
// file written, and a nested scope gives the outer file back when it ends.
TEST(FileReadScope, ReadsGoToTheFileTheyWereForAndTheRestToTheNextFileWritten) {
    CommandJournal::start();
    read("loose");
    {
        const FileReadScope outer("out/a.bin");
        read("a1");
        {
            const FileReadScope inner("out/./b.bin");
            read("b");
        }
        read("a2");
    }
    CommandJournal::noteFileWritten("out/b.bin");
    CommandJournal::noteFileWritten("out/c.bin");
    CommandJournal::noteFileWritten("out/sub/../a.bin");
    CommandJournal::stop();
    std::vector<std::pair<std::string, std::vector<std::string>>> credited;
    for (const auto& file : CommandJournal::files()) {
        credited.emplace_back(file.path, std::vector<std::string>{});
        for (const auto& command : file.commands) {
            credited.back().second.push_back(command.key);
        }
    }
    const decltype(credited) expected{
        {"out/b.bin", {"b"}}, {"out/c.bin", {"loose"}}, {"out/sub/../a.bin", {"a1", "a2"}}};
    EXPECT_EQ(expected, credited);
}
