#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "host/decode/DecodeCommand.h"
#include "tests/host/SimTestSupport.h"

namespace {

class DecodeCommandTest : public sim_test::SimFolder {
protected:
    std::string write(const std::string& name, const std::string& bytes) const {
        return SimFolder::write(name, bytes).string();
    }

    static std::string controller() {
        std::string bytes(4096, '\0');
        bytes.replace(0, 24, std::string("\x5C\x1C\0\0SIM0001             ", 24));
        return bytes;
    }

    int run(const std::vector<std::string>& arguments) {
        out_.str("");
        err_.str("");
        return host::runDecode(arguments, out_, err_);
    }

    std::ostringstream out_;
    std::ostringstream err_;
};

// The text form of every Identify file a package holds is decoded end to end.
TEST_F(DecodeCommandTest, JsonAndXmlOutputs) {
    const auto file = write("cntid_0_cns_1_nsid_0_nvmsetid_0_csi_0.bin", controller());
    EXPECT_EQ(run({file, "-output", "json"}), 0);
    EXPECT_EQ(out_.str().rfind("{\n  \"name\": \"Identify Controller\",\n  \"fields\": [\n", 0), 0U);
    EXPECT_NE(out_.str().find("\"value\": \"SIM0001\""), std::string::npos);

    EXPECT_EQ(run({"-output", "XML", file}), 0);
    EXPECT_EQ(out_.str().rfind("<?xml version=\"1.0\" standalone=\"yes\" ?>\n<Object ", 0), 0U);
    EXPECT_NE(out_.str().find("<Property description=\"Bytes 23:04\" name=\"Serial Number (SN)\" "
                              "value=\"SIM0001\"/>"),
              std::string::npos);
}

TEST_F(DecodeCommandTest, AFileLongerThanItsStructureIsDecodedToItsSize) {
    // 16 MiB of one-byte namespace descriptors: only the 819 that fit in 4096 bytes are read.
    const auto descriptors = write("cntid_0_cns_3_nsid_1_nvmsetid_0_csi_0.bin", std::string(16 << 20, '\1'));
    const auto ata = write("ata_identify_device.bin", std::string(513, '\0'));
    for (const auto& [file, size, last, beyond] : {std::tuple(descriptors, "4096", "Descriptor 818", "Descriptor 819"),
                                                   std::tuple(ata, "512", "Integrity Word", "Word 256")}) {
        EXPECT_EQ(run({file}), 0) << file;
        EXPECT_NE(out_.str().find(last), std::string::npos) << file;
        EXPECT_EQ(out_.str().find(beyond), std::string::npos) << file;
        EXPECT_EQ(err_.str(), "decode: " + file + ": the file is longer than the " + size +
                                  "-byte structure; the rest was ignored\n");
    }
}

TEST_F(DecodeCommandTest, UnreadableOrUnknownFilesFailWithOneLine) {
    const auto truncated = write("cntid_0_cns_1_nsid_0_nvmsetid_0_csi_0.bin", std::string(1000, '\0'));
    const auto unknownName = write("mystery.bin", controller());
    const auto unknownCns = write("cntid_0_cns_31_nsid_0_nvmsetid_0_csi_0.bin", controller());
    const auto empty = write("cntid_0_cns_2_nsid_0_nvmsetid_0_csi_0.bin", "");
    const auto missing = (dir / "cntid_0_cns_0_nsid_1_nvmsetid_0_csi_0.bin").string();
    sim_test::fs::create_directories(dir / "cntid_0_cns_1_nsid_9_nvmsetid_0_csi_0.bin");
    const auto directory = (dir / "cntid_0_cns_1_nsid_9_nvmsetid_0_csi_0.bin").string();
    // Special files are refused without being read: the FIFO is held open for writing with
    // more bytes than a structure, so even a wrong reader would not wait for a writer.
    const auto fifo = (dir / "cntid_0_cns_1_nsid_2_nvmsetid_0_csi_0.bin").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const int writer = ::open(fifo.c_str(), O_RDWR | O_NONBLOCK);
    ASSERT_GE(writer, 0);
    ASSERT_EQ(::write(writer, std::vector<char>(8192, 1).data(), 8192), 8192);
    const auto device = (dir / "cntid_0_cns_1_nsid_3_nvmsetid_0_csi_0.bin").string();
    sim_test::fs::create_symlink("/dev/zero", device);

    const std::vector<std::pair<std::string, std::string>> cases = {
        {truncated, "1000 bytes"},
        {unknownName, "no decoder"},
        {unknownCns, "CNS 31 (0x1F)"},
        {empty, "0 bytes"},
        {missing, "cannot read the file: No such file"},
        {directory, "not a regular file but a folder"},
        {fifo, "not a regular file but a FIFO"},
        {device, "not a regular file but a device"},
        // Names are parsed without recursion; a number wider than its field is refused.
        {"cntid_" + std::string(30000, '7') + "_cns_1_nsid_0_nvmsetid_0_csi_0.bin",
         "CNTID 77777777777777777777... (30000 digits) in the name does not fit its 16-bit field"},
        {"cntid_0_cns_256_nsid_0_nvmsetid_0_csi_0.bin", "CNS 256 in the name does not fit its 8-bit field"},
        {"cntid_0_cns_0_nsid_4294967296_nvmsetid_0_csi_0.bin", "NSID 4294967296 in the name"},
        {"cntid_0_cns_0_nsid_1_nvmsetid_0_csi_0.bin.txt", "no decoder for a file of this name"},
    };
    for (const auto& [file, expected] : cases) {
        EXPECT_EQ(run({file}), 1) << file;
        EXPECT_EQ(out_.str(), "") << file;
        const std::string message = err_.str();
        EXPECT_EQ(message.rfind("decode: " + file + ": ", 0), 0U) << message;
        EXPECT_NE(message.find(expected), std::string::npos) << message;
        EXPECT_EQ(message.find('\n'), message.size() - 1) << message;
    }
    ::close(writer);
}

TEST_F(DecodeCommandTest, BadCommandLinesExitWithTwo) {
    const auto file = write("cntid_0_cns_1_nsid_0_nvmsetid_0_csi_0.bin", controller());
    const std::vector<std::vector<std::string>> cases = {
        {}, {"-output", "json"}, {file, "-output"}, {file, "-output", "yaml"}, {file, file}, {file, "-x"}};
    for (const auto& arguments : cases) {
        EXPECT_EQ(run(arguments), 2);
        EXPECT_EQ(out_.str(), "");
        EXPECT_NE(err_.str().find("usage: ssdtool decode FILE [-output text|json|xml]"), std::string::npos);
    }
}

}  // namespace
