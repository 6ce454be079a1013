// decode's JSON against the schema installed with the tool, checked by python3's jsonschema as a
// script reading it would: each built-in drive's package whole, and every file of it alone.
#include "E2eSupport.h"

namespace e2e {
namespace {

using DecodeJsonSchema = Workspace;

TEST_F(DecodeJsonSchema, EachBuiltInDrivesPackageAndEveryFileOfItMatchTheSchema) {
    const std::string validator = SSDTOOL_SOURCE_DIR "/tests/e2e/validate-json";
    std::vector<std::string> outputs{SSDTOOL_SOURCE_DIR "/share/schema/decode-output.schema.json"};
    const auto keep = [&](const e2e::Run& run, const fs::path& decoded, int exitStatus = 0) {
        EXPECT_EQ(exitStatus, run.exitStatus) << decoded << run.err;
        EXPECT_EQ(0U, run.out.rfind("{\n  \"formatVersion\": 1,\n", 0)) << decoded << ": the version comes first";
        outputs.push_back((scratch / (std::to_string(outputs.size()) + ".json")).string());
        std::ofstream(outputs.back(), std::ios::binary) << run.out;
    };
    for (const std::string profile : {"varnholt-nvme", "kestrova-nvme", "kestrova-sata"}) {
        clear();
        ASSERT_EQ(0, debugLogs({"--sim=" + profile}, {"-extended"}, dir).exitStatus) << profile;
        const fs::path package = onlyPackage(dir);
        keep(ssdtool({"decode", package.string(), "-output", "json"}, dir), package);
        ASSERT_EQ(0, runProgram("unzip", {"-q", package.string(), "-d", (scratch / profile).string()}, dir).exitStatus);
        // A text file has no tree to print; every binary of a built-in drive decodes.
        for (const auto& file : fs::recursive_directory_iterator(scratch / profile)) {
            if (file.path().extension() == ".bin") {
                keep(ssdtool({"decode", file.path().string(), "-output", "json"}, dir), file.path());
            }
        }
    }
    // A package with a damaged file and a page without a decoder fills the summary's other parts.
    const fs::path harmed = scratch / "kestrova-sata";
    std::ofstream((harmed / "SATA_logs/SMART_DATA.bin").string(), std::ios::binary | std::ios::app) << "x";
    std::ofstream((harmed / "lid_0x77_lsp_0x00_lsi_0x0000.bin").string(), std::ios::binary) << std::string(64, 'p');
    const auto damaged = ssdtool({"decode", harmed.string(), "-output", "json"}, dir);
    EXPECT_TRUE(contains(damaged.out, "\"Damaged or unreadable\"") && contains(damaged.out, "\"Without a decoder\""));
    keep(damaged, harmed, 1);
    const auto checked = runProgram(validator, outputs, scratch);
    EXPECT_EQ(0, checked.exitStatus) << checked.out << checked.err;

    // The schema is no blank cheque: another version, or a member misnamed deep in a tree, fails.
    std::string json = readFile(outputs[1]);
    std::ofstream((scratch / "version.json").string()) << json.replace(json.find('1'), 1, "2");
    std::ofstream((scratch / "misnamed.json").string()) << json.replace(json.find('2'), 1, "1").replace(
        json.rfind("\"value\""), 7, "\"valu\"");
    const auto refused = runProgram(validator, {outputs[0], "version.json", "misnamed.json"}, scratch);
    EXPECT_TRUE(contains(refused.out, "version.json: formatVersion: 1 was expected\nmisnamed.json: summary/") &&
                contains(refused.out, ": 'value' is a required property\n")) << refused.out;
}

}  // namespace
}  // namespace e2e
