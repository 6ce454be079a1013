// `ssdtool redact` as a support engineer's customer runs it before sending a package: what
// names the computer is gone from every text file, each value under one placeholder, the
// binaries are the drive's bytes, the package is untouched, and hostile inputs leave nothing.
#include <sys/stat.h>

#include "E2eSupport.h"
#include "drivekit/core/Sha256.h"

namespace e2e {
namespace {

using RedactPackage = Workspace;

const std::set<std::string> textNames{"system_info.log", "incident_report.log", "product.json", "version.txt",
                                      "manifest.json"};

bool isText(const std::string& name) { return textNames.count(fs::path(name).filename().string()) != 0; }

// The package's files unpacked into folder (folders themselves are made as needed).
void unpack(const std::map<std::string, std::string>& entries, const fs::path& folder) {
    for (const auto& [name, bytes] : entries) {
        if (name.back() != '/') {
            fs::create_directories((folder / name).parent_path());
            std::ofstream((folder / name).string(), std::ios::binary) << bytes;
        }
    }
}

// The values a user's report holds, and where the test puts them.
const std::vector<std::string> secrets{"testhost-42", "alice", "/home/alice", "10.20.30.40", "52:54:00:ab:cd:ef",
                                       "fe80::5054:ff:feab:cdef", "mail.corp-example.net"};

// The package as a computer with these values writes it, its manifest naming the files' bytes.
std::map<std::string, std::string> withSecrets(std::map<std::string, std::string> entries) {
    for (auto& [name, bytes] : entries) {
        if (fs::path(name).filename() == "system_info.log") {
            bytes += "Linux testhost-42 6.1.0 #1 SMP x86_64 GNU/Linux\nUSER=alice\nHOME=/home/alice\n"
                     "inet 10.20.30.40/24 ether 52:54:00:ab:cd:ef inet6 fe80::5054:ff:feab:cdef/64\n"
                     "search mail.corp-example.net\n";
        } else if (fs::path(name).filename() == "incident_report.log") {
            bytes += "Copied to /home/alice/cases by alice on testhost-42 (10.20.30.40)\n";
        }
    }
    auto manifest = nlohmann::ordered_json::parse(entries.at("manifest.json"));
    for (auto& file : manifest.at("files")) {
        file["size"] = entries.at(file.at("path")).size();
        file["sha256"] = drivekit::core::Sha256::of(entries.at(file.at("path")));
    }
    entries["manifest.json"] = manifest.dump(2);
    return entries;
}

}  // namespace

TEST_F(RedactPackage, CopyHoldsPlaceholdersForEveryValueBinariesWholeAndThePackageUnchanged) {
    ASSERT_EQ(0, debugLogs({"--sim=varnholt-nvme"}, {"-extended"}, scratch).exitStatus);
    const auto entries = withSecrets(readZip(onlyPackage(scratch)));
    const fs::path package = dir / "package";
    unpack(entries, package);
    const auto run = ssdtool({"redact", "package"}, dir);
    ASSERT_EQ(0, run.exitStatus) << run.err;
    const auto copy = readZip(dir / "package-redacted.zip");
    const auto map = nlohmann::json::parse(readFile(dir / "package.redaction-map.json")).at("placeholders");
    std::map<std::string, std::string> placeholderOf;
    for (const auto& [placeholder, value] : map.items()) {
        placeholderOf[value.get<std::string>()] = placeholder;
    }
    for (const auto& [name, bytes] : entries) {
        SCOPED_TRACE(name);
        if (name.back() == '/') {
            continue;
        }
        EXPECT_EQ(bytes, readFile(package / name)) << "the package changed";
        ASSERT_EQ(1U, copy.count(name));
        if (!isText(name)) {
            EXPECT_EQ(bytes, copy.at(name));
            continue;
        }
        for (const auto& secret : secrets) {
            EXPECT_FALSE(contains(copy.at(name), secret)) << secret;
            if (contains(bytes, secret)) {
                ASSERT_EQ(1U, placeholderOf.count(secret)) << secret;
                EXPECT_TRUE(contains(copy.at(name), placeholderOf[secret])) << secret;
            }
        }
    }
    // The copy's manifest lists the redacted files as they are in the copy.
    const auto copyManifest = nlohmann::json::parse(copy.at("manifest.json"));
    ASSERT_FALSE(copyManifest.at("files").empty());
    for (const auto& file : copyManifest.at("files")) {
        const std::string path = file.at("path");
        EXPECT_EQ(entries.at(path) != copy.at(path), file.value("redacted", false)) << path;

    }
    const auto decoded = ssdtool({"decode", "package-redacted.zip"}, dir);
    EXPECT_EQ(0, decoded.exitStatus) << decoded.err;
    EXPECT_EQ(std::vector<std::string>({"package", "package-redacted.zip", "package.redaction-map.json"}),
              folderEntries(dir));
}

// Each run ends in bounded time with a clear message, leaving no copy and no map behind.
TEST_F(RedactPackage, HostileInputsEndWithAMessageAndLeaveNothingBehind) {
    ASSERT_EQ(0, debugLogs({"--sim=varnholt-nvme"}, {}, scratch).exitStatus);
    const fs::path good = onlyPackage(scratch);
    const std::string bytes = readFile(good);
    std::ofstream((scratch / "cut.zip").string(), std::ios::binary) << bytes.substr(0, bytes.size() / 2);
    ASSERT_EQ(0, ::mkfifo((scratch / "fifo.zip").c_str(), 0600));
    fs::create_directories(scratch / "huge");
    std::ofstream((scratch / "huge" / "system_info.log").string()).close();
    fs::resize_file(scratch / "huge" / "system_info.log", 17ULL << 20);
    std::ofstream((scratch / "taken.zip").string()) << "mine";
    struct Case {
        std::vector<std::string> arguments;
        std::string shellPrefix;
        int status;
        std::string message;
    };
    const std::vector<Case> cases{
        {{"redact", (scratch / "cut.zip").string()}, "", 2, "not a readable ZIP archive"},
        {{"redact", (scratch / "fifo.zip").string()}, "", 2, "FIFO"},
        {{"redact", "/dev/zero"}, "", 2, "PACKAGE is a ZIP archive"},
        {{"redact", (scratch / "huge").string()}, "", 1, "more than a text file"},
        {{"redact", good.string(), "-output", (scratch / "taken.zip").string()}, "", 2, "exists already"},
        {{"redact", good.string(), "-output", "/dev/null"}, "", 2, "exists already"},
        {{"redact", good.string(), "-output", (dir / "copy.zip").string()}, "trap '' XFSZ; ulimit -f 4; exec", 1,
         "cannot write"},
        {{"redact"}, "", 2, "no PACKAGE given"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.back());
        const auto before = folderEntries(scratch);
        const auto run = ssdtool(c.arguments, dir, c.shellPrefix, 60);
        EXPECT_EQ(c.status, run.exitStatus) << run.err;
        EXPECT_TRUE(contains(run.err, c.message)) << run.err;
        EXPECT_EQ(before, folderEntries(scratch));
        EXPECT_TRUE(folderEntries(dir).empty());
    }
    EXPECT_EQ(bytes, readFile(good));
    EXPECT_EQ("mine", readFile(scratch / "taken.zip"));
}

}  // namespace e2e
