// The Identify part of a debug-logs package, as a user gets it from a simulated drive and as an
// engineer who receives the package reads it back.
#include <cstring>

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

uint64_t le64(const std::string& bytes, std::size_t at) {
    uint64_t value = 0;
    std::memcpy(&value, bytes.data() + at, sizeof(value));
    return value;
}

}  // namespace

TEST_F(IdentifyPackage, TheFilesTheNamespaceListsCallForAreSavedAndDecodeToWhatTheDriveServed) {
    const auto run = debugLogs({"--sim"}, {"-type", "Identify", "-v"}, dir);
    ASSERT_EQ(0, run.exitStatus) << run.out << run.err;
    const auto archive = onlyArchive(dir);
    ASSERT_EQ(1u, archive.count(identifyName(0x02, 0))) << run.out;
    ASSERT_EQ(1u, archive.count(identifyName(0x10, 0)));
    const auto active = namespaceIds(archive.at(identifyName(0x02, 0)));
    const auto allocated = namespaceIds(archive.at(identifyName(0x10, 0)));
    // The default drive has two attached namespaces and a third that is only allocated.
    EXPECT_EQ((std::vector<uint32_t>{1, 2}), active);
    EXPECT_EQ((std::vector<uint32_t>{1, 2, 3}), allocated);
    // Which structures each list calls for, and in what order, is the collector's unit test;
    // here, every file whole and counted.
    const auto saved = packedUnder(dir, "identify/");
    for (const auto& [name, bytes] : saved) {
        EXPECT_EQ(4096u, bytes.size()) << name;
    }
    const std::string total = std::to_string(saved.size());
    EXPECT_TRUE(contains(run.out, "Identify generated (" + total + " of possible " + total + " logs)\n")) << run.out;
    const std::string& controller = archive.at(identifyName(0x01, 0));
    EXPECT_EQ("{\n    \"product\": " + std::to_string(static_cast<uint8_t>(controller.at(0xF05))) + "\n}",
              archive.at("product.json"));

    // Every file decoding cleanly is the package decoding test; here, the values the drive served.
    const e2e::Run decode = ssdtool({"decode", onlyPackage(dir).string()}, dir);
    EXPECT_EQ(0, decode.exitStatus) << decode.err;
    const auto decoded = [&](unsigned cns, uint32_t nsid) { return section(decode.out, identifyName(cns, nsid)); };
    // Sizes as the drive stored them in each namespace's structure.
    for (const auto& [cns, nsid] : std::vector<std::pair<unsigned, uint32_t>>{{0x00, 1}, {0x00, 2}, {0x11, 3}}) {
        ASSERT_EQ(1u, archive.count(identifyName(cns, nsid))) << nsid;
        const std::string& bytes = archive.at(identifyName(cns, nsid));
        const std::string text = decoded(cns, nsid);
        EXPECT_EQ(0u, text.find("Identify Namespace\n")) << text;
        EXPECT_TRUE(contains(text, "Namespace Size (NSZE): " + std::to_string(le64(bytes, 0)) + "\n")) << text;
        EXPECT_NE(0u, le64(bytes, 0));
    }
    EXPECT_TRUE(contains(decoded(0x02, 0), "Namespace ID 1: 2\n"));
    EXPECT_TRUE(contains(decoded(0x10, 0), "Namespace ID 2: 3\n"));
    // The domain list shows what the drive reported (the other structures' fields are the
    // decoders' own tests).
    EXPECT_TRUE(contains(decoded(0x18, 0), "Unallocated Domain Capacity: " +
                                               std::to_string(le64(archive.at(identifyName(0x18, 0)), 160)) + "\n"))
        << decoded(0x18, 0);
}

}  // namespace e2e
