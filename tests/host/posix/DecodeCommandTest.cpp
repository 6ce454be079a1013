#include <sys/stat.h>

#include <zip.h>

#include <cstring>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "host/decode/DecodeCommand.h"
#include "host/decode/FileKinds.h"
#include "host/decode/PackageReader.h"
#include "support/ScopedVariable.h"
#include "support/TextFiles.h"
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

    // A telemetry log of `bytes` bytes whose header puts the ends of data areas 1, 2 and 3 at
    // blocks 1, 2 and area3LastBlock.
    static std::string telemetry(char logId, uint16_t area3LastBlock, std::size_t bytes) {
        std::string log(std::max<std::size_t>(bytes, 512), '\x5A');
        log.replace(0, 512, std::string(512, '\0'));
        log[0] = logId;
        log[8] = 1;
        log[10] = 2;
        log[12] = static_cast<char>(area3LastBlock & 0xFF);
        log[13] = static_cast<char>(area3LastBlock >> 8);
        log[381] = 4;  // host-initiated data generation number
        log[382] = 1;  // controller-initiated data available
        log[383] = 6;  // controller-initiated data generation number
        log.replace(384, 8, "overheat");
        return log.substr(0, bytes);
    }

    // Zips the entries, stored as they are or compressed.
    static void zipUp(const std::string& archive, const std::vector<std::pair<std::string, std::string>>& entries,
                      bool stored) {
        int error = 0;
        zip_t* zip = zip_open(archive.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
        ASSERT_NE(zip, nullptr);
        for (const auto& [name, bytes] : entries) {
            zip_source_t* source = zip_source_buffer(zip, bytes.data(), bytes.size(), 0);
            const zip_int64_t index = zip_file_add(zip, name.c_str(), source, ZIP_FL_ENC_UTF_8);
            ASSERT_GE(index, 0);
            if (stored) {
                zip_set_file_compression(zip, static_cast<zip_uint64_t>(index), ZIP_CM_STORE, 0);
            }
        }
        ASSERT_EQ(zip_close(zip), 0);
    }

    int run(const std::vector<std::string>& arguments) {
        out_.str("");
        err_.str("");
        return host::runDecode(arguments, out_, err_, host::PackageLimits{});
    }

    bool printed(const std::string& text) const { return out_.str().find(text) != std::string::npos; }

    std::ostringstream out_;
    std::ostringstream err_;
};

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

TEST_F(DecodeCommandTest, UnreadableOrUnknownInputsFailWithOneLine) {
    const auto truncated = write("cntid_0_cns_1_nsid_0_nvmsetid_0_csi_0.bin", std::string(1000, '\0'));
    const auto unknownName = write("mystery.bin", controller());
    const auto unknownCns = write("cntid_0_cns_31_nsid_0_nvmsetid_0_csi_0.bin", controller());
    const auto empty = write("cntid_0_cns_2_nsid_0_nvmsetid_0_csi_0.bin", "");
    const auto missing = (dir / "cntid_0_cns_0_nsid_1_nvmsetid_0_csi_0.bin").string();
    // A special file is refused without being read (the file reader's kinds are the profile
    // test's; a FIFO inside a package is the package test's).
    const auto device = (dir / "cntid_0_cns_1_nsid_3_nvmsetid_0_csi_0.bin").string();
    sim_test::fs::create_symlink("/dev/zero", device);
    sim_test::fs::create_directories(dir / "empty" / "identify");

    // Files that cannot be decoded fail the run (1); packages that cannot be read are usage errors (2).
    const std::vector<std::tuple<std::string, int, std::string>> cases = {
        {truncated, 1, "1000 bytes"},
        {unknownName, 1, "no decoder"},
        {unknownCns, 1, "CNS 31 (0x1F)"},
        {empty, 1, "0 bytes"},
        {missing, 1, "cannot read the file: No such file"},
        {device, 1, "not a regular file but a device"},
        // Names are parsed without recursion; a number wider than its field is refused.
        {"cntid_" + std::string(30000, '7') + "_cns_1_nsid_0_nvmsetid_0_csi_0.bin", 1,
         "CNTID 77777777777777777777... (30000 digits) in the name does not fit its 16-bit field"},
        {"cntid_0_cns_256_nsid_0_nvmsetid_0_csi_0.bin", 1, "CNS 256 in the name does not fit its 8-bit field"},
        {"cntid_0_cns_0_nsid_4294967296_nvmsetid_0_csi_0.bin", 1, "NSID 4294967296 in the name"},
        {"cntid_0_cns_0_nsid_1_nvmsetid_0_csi_0.bin.txt", 1, "a text file, not a binary structure"},
        // Log pages are chosen by the numbers of their names.
        {write("lid_0xE0_lsp_0x13_lsi_0x0a01.bin", controller()), 1, "no decoder for log page 0xE0 (LSP 0x13, LSI 0x0A01)"},
        {write("lid_0xca_lsp_0x0_lsi_0x0000.bin", controller()), 1, "no decoder for a file of this name"},
        {write("text.zip", "not a zip archive"), 2, "cannot read the package: not a readable ZIP archive"},
        {(dir / "missing.zip").string(), 2, "cannot read the package: No such file"},
        {(dir / "empty").string(), 2, "cannot read the package: it holds no files"},
    };
    for (const auto& [file, status, expected] : cases) {
        EXPECT_EQ(run({file}), status) << file;
        EXPECT_EQ(out_.str(), "") << file;
        const std::string message = err_.str();
        EXPECT_EQ(message.rfind("decode: " + file + ": " + (status == 2 ? "cannot read the package: " : ""), 0), 0U)
            << message;
        EXPECT_NE(message.find(expected), std::string::npos) << message;
        EXPECT_EQ(message.find('\n'), message.size() - 1) << message;
    }
}

TEST_F(DecodeCommandTest, BadCommandLinesExitWithTwo) {
    const auto file = write("cntid_0_cns_1_nsid_0_nvmsetid_0_csi_0.bin", controller());
    const std::vector<std::vector<std::string>> cases = {
        {}, {"-output", "json"}, {file, "-output"}, {file, "-output", "yaml"}, {file, file}, {file, "-x"},
        {file, "-family"}, {file, "-family", "Nowhere"}};
    for (const auto& arguments : cases) {
        EXPECT_EQ(run(arguments), 2);
        EXPECT_EQ(out_.str(), "");
        EXPECT_NE(err_.str().find("usage: ssdtool decode FILE|PACKAGE [-output text|json|xml] [-family NAME]"), std::string::npos);
    }
}

// A log shorter than its header block still shows what it holds, and fails. (The fields of a
// whole header are read in the package test below and end to end.)
TEST_F(DecodeCommandTest, ATelemetryHeaderCutShortShowsWhatItHoldsAndFails) {
    EXPECT_EQ(run({write("lid_0x07_lsp_0x01_lsi_0x0000.bin", telemetry(7, 0, 300))}), 1);
    EXPECT_TRUE(printed("Data Area 3 Last Block: 0") && printed("Truncated: the data ends before Reserved")) << out_.str();
    EXPECT_NE(err_.str().find("holds 300 bytes; its header block needs 512"), std::string::npos) << err_.str();
}

// One package, unpacked and zipped: every file has its section; damaged and unreadable files
// are named at the end and on standard error, text files and files without a decoder are
// listed but do not fail the run.
TEST_F(DecodeCommandTest, APackageDecodesEveryFileAndNamesTheDamagedOnes) {
    const std::vector<std::pair<std::string, std::string>> files = {
        {"SN1/identify/cntid_0_cns_1_nsid_0_nvmsetid_0_csi_0.bin", controller()},
        {"SN1/identify/cntid_0_cns_0_nsid_1_nvmsetid_0_csi_0.bin", std::string(1000, '\0')},
        {"SN1/log_pages/lid_0x07_lsp_0x01_lsi_0x0000.bin", telemetry(7, 3, 2048)},
        {"SN1/log_pages/lid_0x08_lsp_0x00_lsi_0x0000.bin", telemetry(8, 10, 2048)},
        {"SN1/log_pages/lid_0xe0_lsp_0x00_lsi_0x0000.bin", std::string(512, '\1')},
        {"SN1/product.json", "{\n    \"product\": 0\n}"},
        {"SN1/system_info.log", "uname\n"},
        {"SN1/mystery.dat", "?"},
    };
    for (const auto& [name, bytes] : files) {
        write("folder/" + name, bytes);
    }
    sim_test::fs::create_directory_symlink(".", dir / "folder/SN1/loop");
    ASSERT_EQ(::mkfifo((dir / "folder/SN1/fifo.bin").c_str(), 0600), 0);

    // The same files zipped, with an entry whose bytes do not match their checksum.
    const std::string archive = (dir / "package.zip").string();
    auto entries = files;
    const std::string corrupt = "CORRUPT" + std::string(4089, '\0');
    entries.emplace_back("SN1/identify/cntid_0_cns_2_nsid_0_nvmsetid_0_csi_0.bin", corrupt);
    zipUp(archive, entries, true);
    std::string zipped = test_support::readFile(archive);
    zipped[zipped.find("CORRUPT")] = 'X';
    write("package.zip", zipped);

    const std::set<std::string> damagedInBoth = {"SN1/identify/cntid_0_cns_0_nsid_1_nvmsetid_0_csi_0.bin",
                                                 "SN1/log_pages/lid_0x08_lsp_0x00_lsi_0x0000.bin"};
    const std::vector<std::tuple<std::string, std::set<std::string>, std::string>> packages = {
        {(dir / "folder").string(), {"SN1/loop", "SN1/fifo.bin"}, "a symbolic link; links are not followed"},
        {archive, {"SN1/identify/cntid_0_cns_2_nsid_0_nvmsetid_0_csi_0.bin"}, "cntid_0_cns_2_nsid_0_nvmsetid_0_csi_0.bin: cannot read it: "},
    };
    for (const auto& [package, damagedHere, reason] : packages) {
        EXPECT_EQ(run({package}), 1) << package;
        std::set<std::string> damaged = damagedInBoth;
        damaged.insert(damagedHere.begin(), damagedHere.end());
        std::set<std::string> named;
        std::istringstream lines(err_.str());
        for (std::string line; std::getline(lines, line);) {
            const std::string prefix = "decode: " + package + ": ";
            ASSERT_EQ(line.rfind(prefix, 0), 0U) << line;
            named.insert(line.substr(prefix.size(), line.find(": ", prefix.size()) - prefix.size()));
        }
        EXPECT_EQ(named, damaged) << err_.str();
        EXPECT_TRUE(printed(reason)) << package;
        for (const auto& [name, bytes] : files) {
            EXPECT_TRUE(printed("== " + name + " ==\n")) << name;
        }
        EXPECT_TRUE(printed("Serial Number (SN)") && printed("Body Size (bytes): 1536")) << package;
        EXPECT_TRUE(printed("Host-Initiated Data Generation Number: 4") &&
                    printed("Reason Identifier: 6F76657268656174000000")) << package;
        EXPECT_TRUE(printed("Telemetry Controller-Initiated Log")) << package;
        EXPECT_TRUE(printed("Text files (not binary structures)\n    SN1/product.json: a text file, not a"));
        EXPECT_TRUE(printed("Without a decoder\n    SN1/log_pages/lid_0xe0_lsp_0x00_lsi_0x0000.bin: no decoder "
                            "for log page 0xE0 (LSP 0x00, LSI 0x0000)\n"));
        EXPECT_TRUE(printed("  Decoded: 2\n")) << out_.str();
    }

    // JSON is one document, XML one element; the format is named in any case and place.
    write("folder/SN1/product.json", "{\"product\": 9}");
    EXPECT_EQ(run({"-output", "JSON", (dir / "folder").string()}), 1);
    const auto document = nlohmann::json::parse(out_.str());
    EXPECT_EQ(document.at("files").size(), files.size() + 2);
    EXPECT_NE(out_.str().find("\"value\": \"SIM0001\""), std::string::npos);
    EXPECT_EQ(run({(dir / "folder").string(), "-output", "XML", "-family", "kestrova"}), 1);
    EXPECT_EQ(out_.str().rfind("<?xml version=\"1.0\" standalone=\"yes\" ?>\n<Package>\n", 0), 0U);
    EXPECT_NE(out_.str().find("name=\"Serial Number (SN)\" value=\"SIM0001\"/>"), std::string::npos);
    EXPECT_EQ(out_.str().substr(out_.str().size() - 11), "</Package>\n");
}

// A persistent event log of many events decodes whole, every event shown; one whose last event
// runs past its end is damaged and still shows the events before it. The events are written by
// several threads, in the same order and form as by one.
TEST_F(DecodeCommandTest, AnEventLogOfManyEventsIsWholeAndOneCutShortIsDamaged) {
    constexpr uint32_t events = 25000;
    // A timestamp change event (16 bytes of data) after every two without a structure of their own.
    std::string log(512, '\0');
    for (uint32_t n = 0; n < events; ++n) {
        const bool timestamp = n % 3 == 2;
        std::string event(timestamp ? 40 : 24, '\0');
        event[0] = timestamp ? 0x03 : 0x7F;
        event[2] = 21;
        if (timestamp) {
            event[22] = 16;
            event[24] = static_cast<char>(n);  // the previous timestamp's low byte
        }
        log += event;
    }
    const uint64_t length = log.size();
    std::memcpy(&log[4], &events, sizeof(events));
    std::memcpy(&log[8], &length, sizeof(length));
    std::string cut = log;
    cut[cut.size() - 2] = 1;  // the last event states a byte more than the log holds
    const std::string archive = (dir / "events.zip").string();
    for (const std::string& held : {log, cut}) {
        zipUp(archive, {{"SN1/log_pages/lid_0x0d_lsp_0x00_lsi_0x0000.bin", held}}, false);
        for (const char* output : {"text", "json", "xml"}) {
            test_support::ScopedVariable threads("SSDTOOL_DECODE_THREADS", "1");
            EXPECT_EQ(run({archive, "-output", output}), held == log ? 0 : 1) << output;
            const std::string alone = out_.str();
            threads.set("3");
            EXPECT_EQ(run({archive, "-output", output}), held == log ? 0 : 1) << output;
            EXPECT_EQ(out_.str(), alone) << output;
            EXPECT_TRUE(printed("Event 24999") && printed("Event 25000")) << output;
            EXPECT_EQ(printed("run past the end of the log"), held == cut) << output;
            if (std::string(output) == "json") {
                EXPECT_TRUE(nlohmann::json::accept(out_.str())) << "the JSON of a log cut short is still whole";
            }
        }
    }
}

// Text that cannot all be written (a full disk, a closed pipe) fails the decode, whatever the
// files held, and says so.
TEST_F(DecodeCommandTest, AnOutputThatCannotBeWrittenFailsTheDecode) {
    struct FullDisk : std::streambuf {
        std::size_t room = 4096;
        int overflow(int c) override { return room == 0 ? traits_type::eof() : (--room, c); }
    };
    constexpr uint32_t events = 2000;
    std::string log(512 + 24 * events, '\0');
    const uint64_t length = log.size();
    std::memcpy(&log[4], &events, sizeof(events));
    std::memcpy(&log[8], &length, sizeof(length));
    for (uint32_t n = 0; n < events; ++n) {
        log[512 + 24 * n] = 0x7F;
        log[512 + 24 * n + 2] = 21;
    }
    const std::string archive = (dir / "events.zip").string();
    zipUp(archive, {{"SN1/log_pages/lid_0x0d_lsp_0x00_lsi_0x0000.bin", log}}, false);
    for (const char* output : {"text", "json"}) {
        FullDisk disk;
        std::ostream full(&disk);
        err_.str("");
        EXPECT_EQ(host::runDecode({archive, "-output", output}, full, err_, host::PackageLimits{}), 1) << output;
        EXPECT_EQ(err_.str(), "decode: cannot write the decoded text (the output is closed or its disk is full)\n");
        EXPECT_EQ(run({archive, "-output", output}), 0) << "the same package whole";
    }
}

// Of a long file, decode reads what the file's decoder can use and no more: a fixed-size
// page's structure, a self-sizing log's stated length. A 1 GiB entry named as a page must not
// be held (or inflated) whole.
TEST_F(DecodeCommandTest, OfALongFileOnlyWhatItsDecoderUsesIsRead) {
    constexpr std::size_t longFile = 4 << 20;
    std::string eventLog(longFile, '\0');
    eventLog[9] = 0x20;  // the persistent event log states 8192 bytes
    const std::vector<std::tuple<std::string, std::string, std::size_t>> files = {
        {"SN1/log_pages/lid_0x02_lsp_0x00_lsi_0x0000.bin", std::string(longFile, '\0'), 512},
        {"SN1/log_pages/lid_0x0d_lsp_0x00_lsi_0x0000.bin", eventLog, 8192},
        {"SN2/log_pages/lid_0x0d_lsp_0x00_lsi_0x0000.bin", std::string(longFile, '\0'), 512},
        {"SN1/identify/cntid_0_cns_1_nsid_0_nvmsetid_0_csi_0.bin", std::string(longFile, '\1'), 4096},
        {"SN1/log_pages/lid_0x0d_lsp_0x00_lsi_0x0001.bin", eventLog.substr(0, 600), 600},
    };
    const std::string archive = (dir / "package.zip").string();
    std::vector<std::pair<std::string, std::string>> entries;
    std::map<std::string, std::size_t> expected;
    for (const auto& [name, bytes, used] : files) {
        write("folder/" + name, bytes);
        entries.emplace_back(name, bytes);
        expected[name] = used;
    }
    zipUp(archive, entries, false);
    // An unpacked package may hold a file of any size; a sparse one costs nothing to make.
    const std::string huge = "SN3/log_pages/lid_0x02_lsp_0x00_lsi_0x0000.bin";
    write("folder/" + huge, "");
    sim_test::fs::resize_file(dir / "folder" / huge, 1ULL << 30);
    expected[huge] = 512;

    for (const std::string& package : {archive, (dir / "folder").string()}) {
        std::string problem;
        const auto reader = host::PackageReader::open(package, host::PackageLimits{}, problem);
        ASSERT_TRUE(reader) << problem;
        ASSERT_EQ(reader->entries().size(), package == archive ? files.size() : files.size() + 1);
        for (std::size_t i = 0; i < reader->entries().size(); ++i) {
            const std::string& name = reader->entries()[i].path;
            host::FileNumbers numbers;
            const host::FileKind* kind = host::chooseFileKind(sim_test::fs::path(name).filename().string(), numbers, problem);
            ASSERT_NE(kind, nullptr) << name;
            const auto contents = host::readDecodable<host::EntryContents>(
                *kind, numbers, [&](uint64_t keep) { return reader->read(i, keep); });
            EXPECT_EQ(contents.error, "") << name;
            EXPECT_EQ(contents.bytes.size(), expected.at(name)) << package << " " << name;
        }
    }
}

}  // namespace
