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

// Every Identify file a package should hold, given the two namespace lists it holds (the order
// and the count of the commands are the collector's unit tests).
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

uint64_t le64(const std::string& bytes, std::size_t at) {
    uint64_t value = 0;
    std::memcpy(&value, bytes.data() + at, sizeof(value));
    return value;
}

}  // namespace

TEST_F(IdentifyPackage, TheFilesTheNamespaceListsCallForAreSavedAndDecodeToWhatTheDriveServed) {
    const auto run = ssdtool({"--sim", "dump", "-debuglogs", "-ssd", "0", "-type", "Identify", "-v"}, dir);
    ASSERT_EQ(0, run.exitStatus) << run.out << run.err;
    const auto left = entries(dir);
    ASSERT_EQ(1u, left.size()) << run.out;
    const auto archive = readZip(dir / left[0]);
    ASSERT_EQ(1u, archive.count(identifyName(0x02, 0)));
    ASSERT_EQ(1u, archive.count(identifyName(0x10, 0)));
    const auto active = namespaceIds(archive.at(identifyName(0x02, 0)));
    const auto allocated = namespaceIds(archive.at(identifyName(0x10, 0)));
    // The default drive has two attached namespaces and a third that is only allocated.
    EXPECT_EQ((std::vector<uint32_t>{1, 2}), active);
    EXPECT_EQ((std::vector<uint32_t>{1, 2, 3}), allocated);
    const auto expected = expectedIdentifyFiles(active, allocated);
    EXPECT_EQ(expected, identifyEntries(archive));
    const std::string total = std::to_string(expected.size());
    EXPECT_TRUE(contains(run.out, "Identify generated (" + total + " of possible " + total + " logs)\n")) << run.out;
    const std::string& controller = archive.at(identifyName(0x01, 0));
    EXPECT_EQ("{\n    \"product\": " + std::to_string(static_cast<uint8_t>(controller.at(0xF05))) + "\n}",
              archive.at("product.json"));

    const fs::path unpacked = dir / "unpacked";
    std::map<std::string, std::string> decoded;
    for (const auto& name : expected) {
        EXPECT_EQ(4096u, archive.at(name).size()) << name;
        const fs::path file = unpacked / name;
        fs::create_directories(file.parent_path());
        std::ofstream(file.string(), std::ios::binary) << archive.at(name);
        const e2e::Run decode = ssdtool({"decode", file.string()}, dir);
        EXPECT_EQ(0, decode.exitStatus) << name << "\n" << decode.err;
        EXPECT_EQ("", decode.err) << name;
        EXPECT_FALSE(decode.out.empty()) << name;
        decoded[name] = decode.out;
    }
    EXPECT_EQ(0u, decoded[identifyName(0x01, 0)].find("Identify Controller\n"));
    EXPECT_TRUE(contains(decoded[identifyName(0x01, 0)], ": " + builtInSerial() + "\n"));
    // Sizes as the drive stored them in each namespace's structure.
    for (const auto& [cns, nsid] : std::vector<std::pair<unsigned, uint32_t>>{{0x00, 1}, {0x00, 2}, {0x11, 3}}) {
        const std::string& bytes = archive.at(identifyName(cns, nsid));
        const std::string& text = decoded[identifyName(cns, nsid)];
        EXPECT_EQ(0u, text.find("Identify Namespace\n")) << text;
        EXPECT_TRUE(contains(text, "Namespace Size (NSZE): " + std::to_string(le64(bytes, 0)) + "\n")) << text;
        EXPECT_NE(0u, le64(bytes, 0));
    }
    EXPECT_TRUE(contains(decoded[identifyName(0x02, 0)], "Namespace ID 1: 2\n"));
    EXPECT_TRUE(contains(decoded[identifyName(0x10, 0)], "Namespace ID 2: 3\n"));
    // The command-set independent structure places its identifiers where readers look for them.
    const std::string& independent = decoded[identifyName(0x08, 1)];
    EXPECT_TRUE(contains(independent, "NVM Set Identifier (NVMSETID): 1\n")) << independent;
    EXPECT_TRUE(contains(independent, "NSTAT: Namespace Ready: 1\n")) << independent;
    // The NVM set, domain and endurance group lists show what the drive reported.
    const std::string& setList = decoded[identifyName(0x04, 0)];
    EXPECT_TRUE(contains(setList, "Total NVM Set Capacity (TNVMSETCAP): " +
                                      std::to_string(le64(archive.at(identifyName(0x04, 0)), 144)) + "\n"))
        << setList;
    const std::string& domainList = decoded[identifyName(0x18, 0)];
    EXPECT_TRUE(contains(domainList, "Unallocated Domain Capacity: " +
                                         std::to_string(le64(archive.at(identifyName(0x18, 0)), 160)) + "\n"))
        << domainList;
    const uint64_t group = le64(archive.at(identifyName(0x19, 0)), 2) & 0xFFFF;
    EXPECT_NE(0u, group);
    EXPECT_TRUE(contains(decoded[identifyName(0x19, 0)], "Endurance Group ID 0: " + std::to_string(group) + "\n"));
    // The UUID list names a vendor UUID of the host's candidates, in its stored byte order.
    EXPECT_TRUE(contains(decoded[identifyName(0x17, 0)], "b2bbf687-4165-aaaa-ad43-1bc16e581996"))
        << decoded[identifyName(0x17, 0)];
}

}  // namespace e2e
