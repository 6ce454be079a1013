// The manual page and the bash completion as a user gets them: written by the build from the
// texts ssdtool's help prints, so neither may leave out what help lists.
#include <cstdio>

#include "E2eSupport.h"

namespace e2e {
namespace {

using Manual = Workspace;

const fs::path share = fs::path(SSDTOOL_BIN_DIR).parent_path() / "share";

// Standard output of a shell command line.
std::string output(const std::string& command) {
    std::string text;
    FILE* pipe = popen(command.c_str(), "r");
    char buffer[4096];
    for (std::size_t n; pipe != nullptr && (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        text.append(buffer, n);
    }
    if (pipe != nullptr) {
        pclose(pipe);
    }
    return text;
}

std::vector<std::string> matches(const std::string& text, const std::string& pattern) {
    const std::regex expression(pattern);
    std::vector<std::string> found;
    for (std::sregex_iterator at(text.begin(), text.end(), expression), end; at != end; ++at) {
        found.push_back((*at)[1]);
    }
    return found;
}

// Every name help lists: the commands and their verbs, the host's commands and options, and
// each verb's options, targets, aliases and properties.
std::set<std::string> namesInHelp(const fs::path& cwd) {
    const std::string overview = ssdtool({"help"}, cwd).out;
    const std::string table = overview.substr(0, overview.find("\n\nHost commands"));
    std::set<std::string> names;
    std::set<std::string> verbs;
    for (const auto& row : matches(table.substr(table.find("Description\n")), "\n(\\S+ +\\S+)")) {
        names.insert(row.substr(0, row.find(' ')));
        verbs.insert(row.substr(row.rfind(' ') + 1));
    }
    for (const auto& usage : matches(overview, "\n  ([-a-z]+)")) {
        names.insert(usage);
    }
    for (const auto& verb : verbs) {
        const std::string help = ssdtool({"help", verb}, cwd).out;
        for (const auto& part : matches(help, "\n  ([-A-Za-z]+)")) {
            names.insert(part);
        }
        for (const auto& alias : matches(help, "\n  [^\n]*, (-\\S+)")) {
            names.insert(alias);
        }
    }
    names.insert(verbs.begin(), verbs.end());
    return names;
}

TEST_F(Manual, ThePageShowsEverythingHelpListsAndRendersWithoutWarnings) {
    const fs::path page = share / "man" / "man1" / "ssdtool.1";
    const auto names = namesInHelp(dir);
    ASSERT_GT(names.size(), 20u);
    ASSERT_TRUE(names.count("--version") && names.count("-output") && names.count("decode"));
    const std::string rendered = output("MANWIDTH=200 LC_ALL=C man -l -P cat " + shellQuote(page.string()));
    for (const auto& name : names) {
        EXPECT_TRUE(contains(rendered, name)) << name;
    }
    for (const auto& section : {"SYNOPSIS", "EXIT STATUS", "FILES", "EXAMPLES", "SEE ALSO"}) {
        EXPECT_TRUE(contains(rendered, std::string("\n") + section + "\n")) << section;
    }
    EXPECT_EQ("", output("LC_ALL=C man --warnings -l " + shellQuote(page.string()) + " 2>&1 >/dev/null"));
    EXPECT_TRUE(contains(output("lexgrog " + shellQuote(page.string())), "ssdtool - collect")) << page;
}

// Runs the completion function for one command line; the completions, one a line.
std::string complete(const fs::path& cwd, const std::vector<std::string>& words) {
    std::string assignment = "COMP_WORDS=(";
    for (const auto& word : words) {
        assignment += shellQuote(word) + " ";
    }
    const fs::path script = cwd / "complete.sh";
    std::ofstream(script.string()) << "source " << shellQuote((share / "bash-completion/completions/ssdtool").string())
                                   << "\n" << assignment << ")\nCOMP_CWORD=" << words.size() - 1
                                   << "\n_ssdtool\nprintf '%s\\n' \"${COMPREPLY[@]}\"\n";
    return output("cd " + shellQuote(cwd.string()) + " && bash --norc --noprofile complete.sh");
}

TEST_F(Manual, CompletionOffersVerbsPartsAndValues) {
    // exact: the completions are exactly these; otherwise they include them.
    const std::vector<std::tuple<std::vector<std::string>, std::string, bool>> cases{
        {{"ssdtool", "du"}, "dump\n", true},
        {{"ssdtool", "dump", "-"}, "-debuglogs\n-destination\n-extended\n-output\n-ssd\n-type\n", false},
        {{"ssdtool", "dump", "-debuglogs", "-type", ""}, "NvmeLogs\nSATALogs\nSystem\nall\nlist\n", false},
        {{"ssdtool", "dump", "-debuglogs", "-output", "x"}, "xml\n", true},
        {{"ssdtool", "--sim=k"}, "--sim=kestrova-nvme\n--sim=kestrova-sata\n", true},
        {{"ssdtool", "--sim", "=", "k"}, "kestrova-nvme\nkestrova-sata\n", true},
        {{"ssdtool", "--sim", "--ve"}, "--vendor-commands\n--version\n", true},
        {{"ssdtool", "--sim", "help", "Deb"}, "DebugLogs\n", true},
        {{"ssdtool", "decode", "-"}, "-family\n-output\n", true},
    };
    for (const auto& [words, expected, exact] : cases) {
        const auto offered = lines(complete(scratch, words));
        const std::set<std::string> got(offered.begin(), offered.end());
        const auto wanted = lines(expected);
        if (exact) {
            EXPECT_EQ(std::set<std::string>(wanted.begin(), wanted.end()), got) << words.back();
        }
        for (const auto& word : wanted) {
            EXPECT_TRUE(got.count(word)) << words.back() << ": " << word;
        }
    }
    // Every log type the plug-in lists is offered after -type.
    const auto list = debugLogs({"--sim"}, {"-type", "list"}, dir);
    const auto types = complete(scratch, {"ssdtool", "dump", "-type", ""});
    for (const auto& type : matches(list.out, "\n  (\\S+)")) {
        EXPECT_TRUE(contains("\n" + types, "\n" + type + "\n")) << type;
    }
}

}  // namespace
}  // namespace e2e
