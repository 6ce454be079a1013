#include <gtest/gtest.h>

#include <array>
#include <csignal>
#include <fstream>
#include <functional>

#include "drivekit/core/StopRequest.h"
#include "drivekit/features/telemetry/Telemetry.h"
#include "support/FakeDrive.h"
#include "support/ScratchFolder.h"
#include "support/TextFiles.h"
#include "tests/features/LogCapture.h"

using namespace test_support;
using drivekit::features::telemetry::Telemetry;
using features_test::LogCapture;
namespace attributes = drivekit::core::attributes;

namespace {

constexpr uint8_t hbsFid = 0x16;

// A telemetry log of (highest last block + 1) blocks, at least 4096 bytes, whose header gives
// lastBlocks (areas 1 to 4) and the capture's data generation number; every other byte depends
// on its offset and the capture, so a misplaced piece or a byte of another capture shows.
core::Payload telemetryLog(uint8_t lid, std::array<uint32_t, 4> lastBlocks, uint8_t generation) {
    const uint64_t blocks = *std::max_element(lastBlocks.begin(), lastBlocks.end()) + 1;
    core::Payload log(std::max<uint64_t>(blocks * 512, 4096));
    for (uint32_t i = 20; i < log.size(); ++i) {
        *log.at(i) = static_cast<uint8_t>(i * 7 + i / 512 + generation * 31);
    }
    *log.at(0) = lid;
    for (unsigned area = 0; area < 3; ++area) {
        put(log, 8 + 2 * area, static_cast<uint16_t>(lastBlocks[area]));
    }
    *log.at(14) = 0x5A;  // reserved: never taken for a last block
    put(log, 16, lastBlocks[3]);
    *log.at(lid == 0x07 ? 381 : 383) = generation;
    return log;
}

// The maker's NVMe drive with telemetry, 16 KiB transfers, a 30-second queue and Host Behavior
// Support all 0 but for advanced command retry; Supported Log Pages lists the extended data
// areas when asked to.
std::shared_ptr<FakeDrive> telemetryDrive(bool extended) {
    auto drive = makersDrive();
    drive->attributes.writeBool(attributes::telemetryLogSupported(), true);
    drive->attributes.writeUint8(attributes::maximumDataTransferSize(), 2);
    drive->pages[0x00] = core::Payload(1024);
    put(drive->pages[0x00], 4 * 7, extended ? 0x10001u : 1u);  // bit 16 of LID 0x07's entry: the extended areas
    put(drive->pages[0x00], 4 * 8, 1u);
    drive->features[hbsFid] = core::Payload(512);
    *drive->features[hbsFid].at(0) = 1;
    drive->queues.push_back(std::make_shared<TimeoutQueue>(30));
    return drive;
}

// A telemetry read at offset (the header check when bytes is 512).
bool isRead(const nvme::SubmissionEntry& entry, uint64_t offset, uint64_t bytes = 0) {
    return entry.opcode() == nvme::opcodes::getLogPage && (entry.cdw10 & 0xFF) != 0 && offsetOf(entry) == offset &&
           (bytes == 0 || bytesOf(entry) == bytes);
}

}  // namespace

// Per case: how far the header says the log goes, whether the drive reports the extended data
// areas, Host Behavior Support's byte 1 and the queue's time-out before the read.
TEST(TelemetryFeature, ReadsTheWholeLogWithDataArea4AndTheTimeOutSetOnlyWhileItReads) {
    struct Case {
        uint8_t lid; uint32_t dataArea; bool extended; std::array<uint32_t, 4> lastBlocks; uint64_t total;
        uint8_t firstLsp; uint8_t hbsByte1;
        int64_t queueSeconds;  // -1: no queue
        const char* commands;  // L Get Log Page (a run as one), G Get and S Set Features
        int64_t timeoutDuringReads; uint8_t hbsByte1DuringReads;
        uint64_t hbsAnswerBytes = UINT64_MAX;  // what Get Features answers of Host Behavior Support
    };
    const Case cases[] = {
        {7, 3, false, {0, 0, 0, 0}, 4096, 1, 0, 30, "L", 60, 0},
        {7, 3, true, {8, 40, 60, 100}, 31232, 7, 0, 30, "L", 60, 0},
        // Data area 4 falls back to the standard areas when its own field is 0.
        {7, 4, true, {8, 40, 0, 0}, 20992, 9, 0, 30, "LGSLS", 60, 1},
        {7, 4, true, {8, 40, 60, 100}, 51712, 9, 1, 30, "LGL", 60, 1},  // already on: no Set Features
        // Controller-initiated: no Supported Log Pages, LSP 0; a longer time-out is kept.
        {8, 4, true, {8, 40, 0, 100}, 51712, 0, 0, 120, "GSLS", 120, 1},
        {7, 4, false, {8, 40, 0, 100}, 51712, 1, 0, -1, "LGSLS", -1, 1},  // no queue is given one
        // A setting that cannot be read cannot be switched: data area 3, asked for as such.
        {7, 4, true, {8, 40, 60, 100}, 31232, 7, 0, 30, "LGL", 60, 0, 1},
    };
    for (const Case& c : cases) {
        const std::string name = std::to_string(c.lid) + "/" + std::to_string(c.total) + "/" + c.commands;
        auto drive = telemetryDrive(c.extended);
        drive->queues.clear();
        if (c.queueSeconds >= 0) {
            drive->queues.push_back(std::make_shared<TimeoutQueue>(c.queueSeconds));
        }
        *drive->features[hbsFid].at(1) = c.hbsByte1;
        drive->featureAnswerLimit = c.hbsAnswerBytes;
        const core::Payload hbsBefore(drive->features[hbsFid].data(), 512);
        const core::Payload log = telemetryLog(c.lid, c.lastBlocks, 1);
        drive->pages[c.lid] = log;
        std::vector<std::pair<int64_t, uint8_t>> duringReads;
        std::vector<int64_t> featureTimeouts;
        drive->beforeAnswer = [&](const nvme::SubmissionEntry& entry) {
            if (isRead(entry, offsetOf(entry))) {
                duringReads.emplace_back(drive->commandTimeoutSeconds(), *drive->features[hbsFid].at(1));
            } else if (entry.opcode() != nvme::opcodes::getLogPage) {
                featureTimeouts.push_back(drive->commandTimeoutSeconds());
            }
        };
        Telemetry telemetry(drive, c.lid == 7, c.dataArea);
        uint32_t fellBackTo = 0;
        telemetry.setDataAreaFallback([&](uint32_t area) { fellBackTo = area; });
        std::vector<std::pair<uint64_t, uint64_t>> progress;
        telemetry.setProgress([&](uint64_t done, uint64_t total) { progress.emplace_back(done, total); });
        core::Status status;
        ASSERT_TRUE(telemetry.readTelemetryData(status).isSuccess()) << name << ": " << status.message();
        // A new capture first, then the rest of it in contiguous pieces no larger than the
        // drive moves, then the header again; only the first asks for a capture.
        const auto reads = drive->reads(c.lid);
        ASSERT_GE(reads.size(), 2u) << name;
        EXPECT_EQ(reads.front(), (Read{0, 4096, c.firstLsp})) << name;
        EXPECT_EQ(reads.back(), (Read{0, 512, 0})) << name;
        // The controller-initiated log is kept latched by every read but the last.
        EXPECT_EQ(drive->reads(c.lid, true), c.lid == 8 ? std::vector<Read>{reads.back()} : reads) << name;
        uint64_t next = 4096;
        for (size_t i = 1; i + 1 < reads.size(); ++i) {
            EXPECT_EQ(std::make_tuple(reads[i].offset, reads[i].lsp), std::make_tuple(next, uint8_t{0})) << name;
            EXPECT_LE(reads[i].bytes, 16384u) << name;
            next += reads[i].bytes;
            // Progress grows piece by piece to the log's length.
            EXPECT_EQ(progress.at(i - 1), std::make_pair(next, c.total)) << name;
        }
        EXPECT_EQ(std::make_tuple(next, progress.size()), std::make_tuple(c.total, reads.size() - 2)) << name;
        // Features and time-out set around the reads, in that order, and put back.
        std::string commands;
        for (const auto& entry : drive->sent) {
            const char letter = entry.opcode() == nvme::opcodes::getLogPage    ? 'L'
                                : entry.opcode() == nvme::opcodes::getFeatures ? 'G'
                                : entry.opcode() == nvme::opcodes::setFeatures ? 'S'
                                                                               : '?';
            commands += commands.empty() || letter != 'L' || commands.back() != 'L' ? std::string(1, letter) : "";
        }
        EXPECT_EQ(commands, c.commands) << name;
        for (const auto& during : duringReads) {
            EXPECT_EQ(during, std::make_pair(c.timeoutDuringReads, c.hbsByte1DuringReads)) << name;
        }
        // Host Behavior Support, its put-back too, has the reads' time-out.
        EXPECT_EQ(featureTimeouts, std::vector<int64_t>(featureTimeouts.size(), c.timeoutDuringReads)) << name;
        EXPECT_EQ(drive->commandTimeoutSeconds(), c.queueSeconds) << name;
        EXPECT_EQ(bytes(drive->features[hbsFid], 512), bytes(hbsBefore, 512)) << name;
        EXPECT_EQ(std::make_pair(telemetry.dataArea(), fellBackTo),
                  c.hbsAnswerBytes == UINT64_MAX ? std::make_pair(c.dataArea, 0u) : std::make_pair(3u, 3u))
            << name;
        EXPECT_EQ(std::make_tuple(telemetry.readPasses(), telemetry.mayBeInconsistent()), std::make_tuple(1u, false));
        EXPECT_EQ(bytes(telemetry.getPayload()), bytes(log, c.total)) << name;
    }
}

TEST(TelemetryFeature, AnyFailureLeavesNoDataAndAnEarlierFileAsItWas) {
    struct Case {
        const char* name; std::function<void(FakeDrive&)> setUp; core::Status expected;
        size_t commandsSent;  // SIZE_MAX: not checked
        bool refusedInMemoryOnly = false;  // streamed to a file, the body is asked for
    };
    const auto any = SIZE_MAX;
    const Case cases[] = {
        {"300-byte first piece", [](FakeDrive& d) { d.answerLimit = 300; }, core::Status::telemetryRetrievalFailed(),
         any},
        {"failing piece", [](FakeDrive& d) { d.failFrom = 8192; }, core::Status::telemetryRetrievalFailed(), any},
        {"no telemetry", [](FakeDrive& d) { d.attributes.writeBool(attributes::telemetryLogSupported(), false); },
         core::Status::telemetryRetrievalFailed(), 1},  // Supported Log Pages only
        // A header that gives 5 GiB: into memory, no part of the body is read (header, check,
        // features); streamed, the read goes on until the drive fails a piece past its log.
        {"larger than a payload", [](FakeDrive& d) { put<uint32_t>(d.pages[7], 16, (5u << 21) - 1); },
         core::Status::telemetryRetrievalFailed(), 6, true},
        {"second pass fails",
         [](FakeDrive& d) {
             d.beforeAnswer = [&d](const nvme::SubmissionEntry& entry) {
                 if (isRead(entry, 0, 512)) {
                     d.pages[7] = telemetryLog(7, {8, 40, 0, 0}, 2);
                     d.failFrom = 4096;
                 }
             };
         },
         core::Status::telemetryRetrievalFailed(), any},
        // A stop between pieces ends the read there: the piece in flight is the last one sent.
        {"stop requested",
         [](FakeDrive& d) {
             d.beforeAnswer = [&d](const nvme::SubmissionEntry& entry) {
                 if (isRead(entry, 4096)) {
                     core::StopRequest::request(SIGINT);
                 } else if (core::StopRequest::requested() && entry.opcode() == nvme::opcodes::getLogPage) {
                     ADD_FAILURE() << "read after the stop at offset " << offsetOf(entry);
                 }
             };
         },
         core::Status::interrupted(), any},
        {"not NVMe", [](FakeDrive& d) { d.protocols.clear(); }, core::Status::commandSetNotSupported(), 0},
        {"another maker's drive", [](FakeDrive& d) { d.attributes.writeBool(attributes::kestrova(), false); },
         core::Status::featureNotSupportedByDrive(), 0},
    };
    namespace fs = boost::filesystem;
    const test_support::ScratchFolder scratch;
    const fs::path& folder = scratch.path();
    const std::string path = (folder / "log.bin").string();
    for (const Case& c : cases) {
        for (const bool streamed : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (streamed ? ", streamed to a file" : ""));
            core::StopRequest::clear();
            std::ofstream(path) << "an earlier file";
            auto drive = telemetryDrive(true);
            drive->pages[7] = telemetryLog(7, {8, 40, 0, 0}, 1);
            c.setUp(*drive);
            Telemetry telemetry(drive, true, 4);
            std::vector<core::Status> notified;
            telemetry.setStatusNotification([&](const core::Status& status) { notified.push_back(status); });
            core::Status status;
            EXPECT_EQ(streamed ? telemetry.readTelemetryDataToFile(status, path) : telemetry.readTelemetryData(status),
                      c.expected)
                << status.message();
            EXPECT_EQ(notified.size(), 1u);
            EXPECT_TRUE(telemetry.getPayload().empty());
            if (c.commandsSent != any && !(streamed && c.refusedInMemoryOnly)) {
                EXPECT_EQ(drive->sent.size(), c.commandsSent);
            }
            const auto reads = drive->reads(7);
            if (c.refusedInMemoryOnly) {
                EXPECT_EQ(std::any_of(reads.begin(), reads.end(), [](const Read& r) { return r.offset == 4096; }),
                          streamed);
            }
            // The drive is left as it was found, and no file, not even a partial one, replaces the earlier one.
            EXPECT_EQ(drive->commandTimeoutSeconds(), 30);
            EXPECT_EQ(*drive->features[hbsFid].at(1), 0);
            if (!streamed) {
                EXPECT_EQ(telemetry.writeBinaryToFile(path, status), core::Status::failedToWriteFile());
            }
            EXPECT_EQ(test_support::readFile(path), "an earlier file");
            EXPECT_FALSE(fs::exists(path + ".part"));
        }
    }
    core::StopRequest::clear();
    // A log read whole that cannot be written is a failure to write it.
    auto drive = telemetryDrive(false);
    drive->pages[7] = telemetryLog(7, {8, 40, 0, 0}, 1);
    Telemetry telemetry(drive, true, 3);
    core::Status status;
    const std::string missing = (folder / "missing" / "log.bin").string();
    EXPECT_EQ(telemetry.readTelemetryDataToFile(status, missing), core::Status::failedToWriteFile());
    EXPECT_FALSE(fs::exists(missing + ".part"));
}

TEST(TelemetryFeature, ALogThatChangesIsReadAgainAndOneThatKeepsChangingIsKeptAndMarked) {
    struct Case {
        const char* name; uint8_t lid;
        unsigned changes;  // how many reads find a new capture
        uint64_t changeAt;  // at the header check (0) or at the body's first piece (4096)
        std::array<uint32_t, 4> secondBlocks; bool unreadableCheck; bool inconsistent;
    };
    const Case cases[] = {
        {"changes once", 7, 1, 0, {8, 40, 0, 0}, false, false},
        {"changes once, controller-initiated", 8, 1, 0, {8, 40, 0, 0}, false, false},
        {"changes once, grows", 7, 1, 0, {8, 80, 0, 0}, false, false},
        {"changes once, shrinks", 7, 1, 0, {8, 20, 0, 0}, false, false},
        // The drive refuses the rest of the first pass: the log it holds is shorter now.
        {"shrinks in the middle of the read", 7, 1, 4096, {8, 20, 0, 0}, false, false},
        {"keeps changing", 7, 2, 0, {8, 40, 0, 0}, false, true},
        {"check unreadable", 7, 0, 0, {}, true, true},
    };
    for (const Case& c : cases) {
        LogCapture log;
        auto drive = telemetryDrive(false);
        const core::Payload first = telemetryLog(c.lid, {8, 40, 0, 0}, 1);
        drive->pages[c.lid] = first;
        Telemetry telemetry(drive, c.lid == 7, 3);
        unsigned changes = 0;
        const uint8_t* firstBuffer = nullptr;
        core::Payload second;
        drive->beforeAnswer = [&](const nvme::SubmissionEntry& entry) {
            if (isRead(entry, 0, 512)) {
                firstBuffer = firstBuffer ? firstBuffer : telemetry.getPayload().data();
                drive->answerLimit = c.unreadableCheck ? 100 : drive->answerLimit;
            }
            if (isRead(entry, c.changeAt, c.changeAt == 0 ? 512 : 0) && changes++ < c.changes) {
                const core::Payload next = telemetryLog(c.lid, c.secondBlocks, static_cast<uint8_t>(changes + 1));
                second = second.empty() ? next : second;
                drive->pages[c.lid] = next;
            }
        };
        core::Status status;
        ASSERT_TRUE(telemetry.readTelemetryData(status).isSuccess()) << c.name << ": " << status.message();
        const unsigned passes = c.changes > 0 ? 2 : 1;
        EXPECT_EQ(telemetry.readPasses(), passes) << c.name;
        EXPECT_EQ(telemetry.mayBeInconsistent(), c.inconsistent) << c.name;
        // The data is the capture the last pass read, whole.
        const core::Payload& expected = passes == 2 ? second : first;
        ASSERT_EQ(telemetry.getPayload().size(), expected.size()) << c.name;
        EXPECT_EQ(bytes(telemetry.getPayload(), expected.size()), bytes(expected, expected.size())) << c.name;
        // A second pass reads the same capture without asking for a new one, into the first
        // pass's buffer when the log still fits in it.
        const auto reads = drive->reads(c.lid);
        EXPECT_EQ(std::count_if(reads.begin(), reads.end(), [](const Read& r) { return r.lsp != 0; }), c.lid == 7)
            << c.name;
        // The controller-initiated log's notice is let go by the header check of each pass read
        // whole, the last read among them.
        if (c.lid == 8) {
            EXPECT_EQ(drive->reads(c.lid, true), std::vector<Read>(passes, Read{0, 512, 0})) << c.name;
            EXPECT_TRUE(isRead(drive->sent.back(), 0, 512)) << c.name;
        }
        if (passes == 2 && c.changeAt == 0 && expected.size() <= first.size()) {
            EXPECT_EQ(telemetry.getPayload().data(), firstBuffer) << c.name;
        }
        const auto texts = log.textsOf("readConsistentLog");
        EXPECT_EQ(texts.size(), c.changes + (c.unreadableCheck ? 1 : 0)) << c.name;  // each re-read, the warning
        if (c.inconsistent) {
            ASSERT_FALSE(texts.empty());
            EXPECT_NE(texts.back().find("the log may be inconsistent"), std::string::npos) << c.name;
        }
    }
}
