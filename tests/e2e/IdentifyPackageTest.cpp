// The Identify part of a debug-logs package, as a user gets it from a simulated drive and as an
// engineer who receives the package reads it back.
#include <cstring>
#include <set>

#include "E2eSupport.h"

namespace e2e {
namespace {

using IdentifyPackage = Workspace;

std::string identifyName(unsigned cns, uint32_t nsid) {
    return "identify/cntid_0_cns_" + std::to_string(cns) + "_nsid_" + std::to_string(nsid) + "_nvmsetid_0_csi_0.bin";
}

// The NSIDs of a namespace list as the drive served it.
std::vector<uint32_t> namespaceIds(const std::string& list) {
    std::vector<uint32_t> ids;
    for (std::size_t at = 0; at + 4 <= list.size(); at += 4) {
        uint32_t id = 0;
        std::memcpy(&id, list.data() + at, 4);
        if (id == 0) {
            break;
        }
        ids.push_back(id);
    }
    return ids;
}

// Every Identify file a package should hold, given the two namespace lists it holds.
std::set<std::string> expectedIdentifyFiles(const std::vector<uint32_t>& active, const std::vector<uint32_t>& allocated) {
    std::set<std::string> names{identifyName(0x02, 0), identifyName(0x10, 0)};
    for (const unsigned cns : {0x00, 0x03, 0x05, 0x08, 0x12}) {
        for (const uint32_t nsid : active) {
            names.insert(identifyName(cns, nsid));
        }
    }
    for (const unsigned cns : {0x11, 0x1B}) {
        for (const uint32_t nsid : allocated) {
            names.insert(identifyName(cns, nsid));
        }
    }
    for (const unsigned cns : {0x01, 0x04, 0x06, 0x07, 0x13, 0x14, 0x15, 0x16, 0x17, 0x18, 0x19, 0x1A, 0x1C}) {
        names.insert(identifyName(cns, 0));
    }
    return names;
}

std::set<std::string> identifyEntries(const std::map<std::string, std::string>& archive) {
    std::set<std::string> names;
    for (const auto& [name, bytes] : archive) {
        if (name.rfind("identify/", 0) == 0 && name != "identify/") {
            names.insert(name);
        }
    }
    return names;
}

// Runs the Identify collection and returns the one archive it left in dir.
std::map<std::string, std::string> identifyPackage(const fs::path& dir, std::vector<std::string> hostOptions,
                                                   Run& run, const std::vector<std::string>& more = {}) {
    hostOptions.insert(hostOptions.end(), {"dump", "-debuglogs", "-ssd", "0", "-type", "Identify"});
    hostOptions.insert(hostOptions.end(), more.begin(), more.end());
    run = ssdtool(hostOptions, dir);
    for (const auto& entry : fs::directory_iterator(dir)) {
        if (entry.path().extension() == ".zip") {
            return readZip(entry.path());
        }
    }
    ADD_FAILURE() << "no package in " << dir << "\n" << run.out << run.err;
    return {};
}

// A copy of the default drive's profile with other namespaces (and attributes), kept out of
// the folder the package is written to.
fs::path profileWith(const fs::path& dir, const nlohmann::json& namespaces, const nlohmann::json& attributes = {},
                     const nlohmann::json& faults = nlohmann::json::array()) {
    auto profile = readProfile(builtInProfile("varnholt-nvme"));
    profile["nvme"]["namespaces"] = namespaces;
    for (const auto& [key, value] : attributes.items()) {
        profile["attributes"][key] = value;
    }
    profile["faults"] = faults;
    const fs::path folder = dir / "profiles";
    fs::create_directories(folder);
    const fs::path file = folder / "identify.json";
    std::ofstream(file.string()) << profile.dump(2);
    return file;
}

uint64_t le64(const std::string& bytes, std::size_t at) {
    uint64_t value = 0;
    std::memcpy(&value, bytes.data() + at, sizeof(value));
    return value;
}

}  // namespace

TEST_F(IdentifyPackage, DefaultDriveGivesExactlyTheFilesItsNamespaceListsCallFor) {
    e2e::Run run;
    const auto archive = identifyPackage(dir, {"--sim"}, run, {"-v"});
    ASSERT_EQ(0, run.exitStatus) << run.out << run.err;
    ASSERT_EQ(1u, archive.count(identifyName(0x02, 0)));
    ASSERT_EQ(1u, archive.count(identifyName(0x10, 0)));
    const auto active = namespaceIds(archive.at(identifyName(0x02, 0)));
    const auto allocated = namespaceIds(archive.at(identifyName(0x10, 0)));
    // The default drive has two attached namespaces and a third that is only allocated.
    EXPECT_EQ((std::vector<uint32_t>{1, 2}), active);
    EXPECT_EQ((std::vector<uint32_t>{1, 2, 3}), allocated);

    const auto expected = expectedIdentifyFiles(active, allocated);
    EXPECT_EQ(expected, identifyEntries(archive));
    for (const auto& name : expected) {
        EXPECT_EQ(4096u, archive.count(name) ? archive.at(name).size() : 0u) << name;
    }
    const std::string total = std::to_string(expected.size());
    EXPECT_TRUE(contains(run.out, "Identify generated (" + total + " of possible " + total + " logs)\n")) << run.out;
    EXPECT_TRUE(contains(run.out, "Total drive logs generated: " + total + "\n"));
    // Every file is in the incident report's list of saved binaries.
    const std::string& report = archive.at("incident_report.log");
    for (const auto& name : expected) {
        EXPECT_TRUE(contains(report, name + " was saved successfully\n")) << name;
    }
    ASSERT_EQ(1u, archive.count("product.json"));
    const std::string& controller = archive.at(identifyName(0x01, 0));
    EXPECT_EQ("{\n    \"product\": " + std::to_string(static_cast<uint8_t>(controller.at(0xF05))) + "\n}",
              archive.at("product.json"));
}

TEST_F(IdentifyPackage, AllTypesIncludeTheIdentifyFiles) {
    const auto run = ssdtool({"--sim", "dump", "-debuglogs", "-ssd", "0"}, dir);
    ASSERT_EQ(0, run.exitStatus) << run.out << run.err;
    std::map<std::string, std::string> archive;
    for (const auto& entry : fs::directory_iterator(dir)) {
        if (entry.path().extension() == ".zip") {
            archive = readZip(entry.path());
        }
    }
    ASSERT_EQ(1u, archive.count(identifyName(0x02, 0))) << run.out;
    EXPECT_EQ(expectedIdentifyFiles(namespaceIds(archive.at(identifyName(0x02, 0))),
                                    namespaceIds(archive.at(identifyName(0x10, 0)))),
              identifyEntries(archive));
}

TEST_F(IdentifyPackage, SataDriveIsSkippedWithoutAnIdentifyFolder) {
    const fs::path log = dir / "plugin.log";
    const auto run = ssdtool({"--sim=kestrova-sata", "--log=" + log.string(), "dump", "-debuglogs", "-ssd", "0",
                              "-type", "Identify", "-v"},
                             dir);
    EXPECT_EQ(0, run.exitStatus) << run.out << run.err;
    EXPECT_TRUE(contains(run.out, "Identify logs: Skipped, drive not NVMe.\n")) << run.out;
    EXPECT_FALSE(contains(run.out, "Identify generated"));
    EXPECT_TRUE(contains(run.out, "Total drive logs generated: 0\n"));
    EXPECT_TRUE(contains(readFile(log), "Feature is not supported.")) << readFile(log);
    // No drive file was written, so the folder is left unpacked: it holds no identify folder.
    bool sawOutput = false;
    for (const auto& entry : fs::directory_iterator(dir)) {
        if (std::regex_match(entry.path().filename().string(), packageName(builtInSerial("kestrova-sata"), ""))) {
            sawOutput = true;
            EXPECT_TRUE(fs::is_directory(entry.path()));
            EXPECT_FALSE(fs::exists(entry.path() / "identify"));
        } else if (entry.path().extension() == ".zip") {
            EXPECT_TRUE(identifyEntries(readZip(entry.path())).empty());
            sawOutput = true;
        }
    }
    EXPECT_TRUE(sawOutput) << run.out;
}

TEST_F(IdentifyPackage, DriveReceivesTheTwentyTwoIdentifyCommandsInOrder) {
    // One namespace, attached: NSID 1 is the only entry of both lists. Through the inbox driver
    // the namespace is read with CNS 0x00 as asked.
    const fs::path profile = profileWith(dir, nlohmann::json::array({{{"id", 1}, {"sizeBlocks", 1875385008},
                                                                      {"blockSize", 512}, {"attached", true}}}),
                                         {{"IsCommandPathNVMeMSFT", true}});
    const fs::path trace = dir / "trace.txt";
    e2e::Run run;
    const auto archive =
        identifyPackage(dir, {"--sim=" + profile.string(), "--sim-trace=" + trace.string()}, run, {"-v"});
    ASSERT_EQ(0, run.exitStatus) << run.out << run.err;

    std::vector<std::string> identify;
    for (const auto& line : lines(readFile(trace))) {
        if (line.rfind("NVME opc=0x06 ", 0) == 0) {
            identify.push_back(line.substr(0, line.find(" cdw11=")));
        }
    }
    const std::vector<std::pair<unsigned, unsigned>> order{
        {0x02, 0}, {0x00, 1}, {0x03, 1}, {0x05, 1}, {0x08, 1}, {0x12, 1}, {0x10, 0}, {0x11, 1},
        {0x1B, 1}, {0x01, 0}, {0x04, 0}, {0x06, 0}, {0x07, 0}, {0x13, 0}, {0x14, 0}, {0x15, 0},
        {0x16, 0}, {0x17, 0}, {0x18, 0}, {0x19, 0}, {0x1A, 0}, {0x1C, 0}};
    ASSERT_GE(identify.size(), order.size()) << readFile(trace);
    for (std::size_t i = 0; i < order.size(); ++i) {
        char expected[64];
        std::snprintf(expected, sizeof(expected), "NVME opc=0x06 nsid=0x%08x cdw10=0x%08x", order[i].second,
                      order[i].first);
        EXPECT_EQ(expected, identify[i]) << "command " << i;
    }
    EXPECT_TRUE(contains(run.out, "Identify generated (22 of possible 22 logs)\n"));
    EXPECT_EQ(22u, identifyEntries(archive).size());
}

TEST_F(IdentifyPackage, StructureTheDriveRejectsIsCountedAndLeftOut) {
    const auto namespaces = readProfile(builtInProfile("varnholt-nvme"))["nvme"]["namespaces"];
    const fs::path profile = profileWith(dir, namespaces, {},
                                         nlohmann::json::array({{{"opcode", 6}, {"cns", 0x18}}}));
    e2e::Run run;
    const auto archive = identifyPackage(dir, {"--sim=" + profile.string()}, run, {"-v"});
    ASSERT_EQ(0, run.exitStatus) << run.out << run.err;
    EXPECT_TRUE(contains(run.out, "Error in Identify CNS(0x18): NVMe command reported a problem.\n")) << run.out;
    EXPECT_EQ(0u, archive.count(identifyName(0x18, 0)));
    const std::string generated = std::to_string(identifyEntries(archive).size());
    EXPECT_TRUE(contains(run.out, "Identify generated (" + generated + " of possible " +
                                      std::to_string(identifyEntries(archive).size() + 1) + " logs)\n"));
}

TEST_F(IdentifyPackage, EveryFileDecodesAndShowsWhatTheDriveServed) {
    e2e::Run run;
    const auto archive = identifyPackage(dir, {"--sim"}, run);
    ASSERT_EQ(0, run.exitStatus) << run.out << run.err;
    const fs::path unpacked = dir / "unpacked";
    std::map<std::string, std::string> decoded;
    for (const auto& name : identifyEntries(archive)) {
        const fs::path file = unpacked / name;
        fs::create_directories(file.parent_path());
        std::ofstream(file.string(), std::ios::binary) << archive.at(name);
        const e2e::Run decode = ssdtool({"decode", file.string()}, dir);
        EXPECT_EQ(0, decode.exitStatus) << name << "\n" << decode.err;
        EXPECT_EQ("", decode.err) << name;
        EXPECT_FALSE(decode.out.empty()) << name;
        decoded[name] = decode.out;
    }

    const std::string serial = builtInSerial();
    EXPECT_EQ(0u, decoded[identifyName(0x01, 0)].find("Identify Controller\n"));
    EXPECT_TRUE(contains(decoded[identifyName(0x01, 0)], ": " + serial + "\n"));
    // Sizes as the drive stored them in each namespace's structure.
    for (const auto& [cns, nsid] : std::vector<std::pair<unsigned, uint32_t>>{{0x00, 1}, {0x00, 2}, {0x11, 3}}) {
        const std::string& bytes = archive.at(identifyName(cns, nsid));
        const std::string& text = decoded[identifyName(cns, nsid)];
        EXPECT_EQ(0u, text.find("Identify Namespace\n")) << text;
        EXPECT_TRUE(contains(text, "Namespace Size (NSZE): " + std::to_string(le64(bytes, 0)) + "\n")) << text;
        EXPECT_NE(0u, le64(bytes, 0));
    }
    EXPECT_TRUE(contains(decoded[identifyName(0x02, 0)], "Namespace ID 1: 2\n"));
    // The command-set independent structure places its identifiers where readers look for them.
    const std::string& independent = decoded[identifyName(0x08, 1)];
    EXPECT_TRUE(contains(independent, "NVM Set Identifier (NVMSETID): 1\n")) << independent;
    EXPECT_TRUE(contains(independent, "Endurance Group Identifier (ENDGID): " +
                                          std::to_string(le64(archive.at(identifyName(0x08, 1)), 12) & 0xFFFF) + "\n"))
        << independent;
    EXPECT_TRUE(contains(independent, "NSTAT: Namespace Ready: 1\n")) << independent;
    EXPECT_TRUE(contains(decoded[identifyName(0x10, 0)], "Namespace ID 2: 3\n"));
    // The NVM set and domain lists show the capacities the drive reported, in bytes.
    const std::string& sets = archive.at(identifyName(0x04, 0));
    const std::string& setList = decoded[identifyName(0x04, 0)];
    EXPECT_EQ(0u, setList.find("NVM Set List\n")) << setList;
    EXPECT_TRUE(contains(setList, "Number of Identifiers: 1\n")) << setList;
    EXPECT_TRUE(contains(setList, "Total NVM Set Capacity (TNVMSETCAP): " + std::to_string(le64(sets, 144)) + "\n"))
        << setList;
    EXPECT_NE(0u, le64(sets, 144));
    const std::string& domains = archive.at(identifyName(0x18, 0));
    const std::string& domainList = decoded[identifyName(0x18, 0)];
    EXPECT_EQ(0u, domainList.find("Domain List\n")) << domainList;
    EXPECT_TRUE(contains(domainList, "Unallocated Domain Capacity: " + std::to_string(le64(domains, 160)) + "\n"))
        << domainList;
    const std::string& groups = archive.at(identifyName(0x19, 0));
    const std::string& groupList = decoded[identifyName(0x19, 0)];
    EXPECT_EQ(0u, groupList.find("Endurance Group List\n")) << groupList;
    EXPECT_TRUE(contains(groupList, "Endurance Group ID 0: " + std::to_string(le64(groups, 2) & 0xFFFF) + "\n"))
        << groupList;
    EXPECT_NE(0u, le64(groups, 2) & 0xFFFF);
    // The UUID list names a vendor UUID of the host's candidates, in its stored byte order.
    EXPECT_TRUE(contains(decoded[identifyName(0x17, 0)], "b2bbf687-4165-aaaa-ad43-1bc16e581996"))
        << decoded[identifyName(0x17, 0)];
}

}  // namespace e2e
