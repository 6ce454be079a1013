// The one-line errors of profiles that cannot be used. (The built-in profiles load in the
// probe and end-to-end tests.)
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/host/SimTestSupport.h"

namespace {

using namespace sim_test;

class SimBadProfiles : public SimFolder {
protected:
    // Opens path, expects failure and returns the error.
    std::string errorFor(const std::string& path) {
        std::string error;
        auto drive = host::sim::openSimulatedDrive(path, error);
        EXPECT_FALSE(drive);
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
        EXPECT_NE(error.find(path), std::string::npos) << error;
        return error;
    }
    std::string errorForText(const std::string& json) { return errorFor(write("bad.json", json).string()); }
};

TEST_F(SimBadProfiles, EachProblemGivesOneLineNamingFileAndProblem) {
    // The FIFO is held open for writing, so that even a wrong reader would not wait for a writer.
    const std::string fifo = (dir / "fifo.json").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const int writer = ::open(fifo.c_str(), O_RDWR | O_NONBLOCK);
    ASSERT_GE(writer, 0);
    const fs::path huge = write("huge.json", "");
    fs::resize_file(huge, 4 * 1024 * 1024 + 1);
    const std::string minimal = R"({"attributes": {}, "protocols": ["NVME"], )";
    const std::vector<std::pair<std::string, std::string>> files = {
        {(dir / "missing.json").string(), "cannot read the profile (No such file or directory)"},
        {dir.string(), "(not a regular file but a folder)"},
        {fifo, "(not a regular file but a FIFO)"},
        {huge.string(), "the profile is larger than 4 MiB"},
        {"no-such-drive", "; built-in profiles are varnholt-nvme, kestrova-nvme, kestrova-sata and other-nvme"},
    };
    for (const auto& [path, message] : files) {
        EXPECT_NE(errorFor(path).find(message), std::string::npos) << errorFor(path);
    }
    ::close(writer);
    const std::vector<std::pair<std::string, std::string>> texts = {
        {R"({"attributes": {"Kestrova": true,}})", "not valid JSON"},
        {R"({"attributes": {"Kestrova": "yes"}, "protocols": ["NVME"]})", "\"attributes.Kestrova\" must be true"},
        {R"({"attributes": {"MaximumDataTransferSize": 300}, "protocols": ["NVME"]})", "MaximumDataTransferSize"},
        {R"({"attributes": {"Colour": "red"}, "protocols": ["NVME"]})", "Colour"},
        {R"({"attributes": {}, "protocols": ["SCSI"]})", "protocols"},
        {minimal + R"("nvme": {"namespaces": [{"id": 0}]}})", "id"},
        {minimal + R"("nvme": {"telemetry": {"hostInitiated": [40, 8, 120, 0]}}})", "nvme.telemetry.hostInitiated"},
        {minimal + R"("replay": "nowhere"})", "does not exist"},
        {minimal + R"("faults": [{"action": "explode"}]})", "action"},
        {R"([1, 2])", "must be an object"},
    };
    for (const auto& [text, message] : texts) {
        EXPECT_NE(errorForText(text).find(message), std::string::npos) << errorForText(text);
    }
}

TEST_F(SimBadProfiles, ReplayedBinariesMustBeRegularFilesOfBoundedSize) {
    const std::string profile =
        write("replayed.json", R"({"attributes": {}, "protocols": ["NVME"], "replay": "replay"})").string();
    const fs::path device = dir / "replay" / "log_pages" / "lid_0x02_lsp_0x00_lsi_0x0000.bin";
    fs::create_directories(device.parent_path());
    fs::create_symlink("/dev/zero", device);
    EXPECT_NE(errorFor(profile).find(device.string() + "\" is not a regular file"), std::string::npos);
    fs::remove(device);
    fs::resize_file(write("replay/identify/cntid_0_cns_1_nsid_0_nvmsetid_0_csi_0.bin", ""), (128 << 20) + 1);
    EXPECT_NE(errorFor(profile).find("larger than the 128 MiB"), std::string::npos) << errorFor(profile);
}

}  // namespace
