#include <gtest/gtest.h>

#include <fstream>
#include <functional>

#include "drivekit/features/AttributeDefinitions.h"
#include "drivekit/features/Registries.h"
#include "drivekit/features/nvme_get_log/LogPages.h"
#include "support/FakeDrive.h"
#include "support/ScratchFolder.h"
#include "support/TextFiles.h"
#include "tests/features/LogCapture.h"

using namespace drivekit::features::nvme_get_log;
using namespace test_support;
namespace definitions = drivekit::features::definitions;
namespace attributes = drivekit::core::attributes;
using drivekit::features::GetLogRegistry;
using features_test::LogCapture;

namespace {

std::unique_ptr<NVMeGetLog> create(const std::string& name, std::shared_ptr<core::Device> drive,
                                   const core::AttributeCollection& given = {}) {
    return GetLogRegistry::instance().create(name, std::move(drive), given);
}

}  // namespace

TEST(NvmeGetLog, PagesPutTheirFieldsOnTheWire) {
    struct Case {
        const char* page;
        std::function<void(FakeDrive&, core::AttributeCollection&)> setUp;  // the drive and the page's attributes
        std::function<void(NVMeGetLog&)> adjust; uint32_t nsid, cdw10, cdw11, cdw12, cdw13, cdw14;
    };
    const auto none = [](auto&...) {};
    const auto withSmi = [](const char* product) {
        return [product](FakeDrive& d, auto&) {
            d.attributes.writeString(attributes::product(), product);
            d.attributes.writeBool(attributes::smi(), true);
        };
    };
    const Case cases[] = {
        {"ErrorInfo", [](FakeDrive& d, auto&) { d.attributes.writeUint8(attributes::numErrorLogPageEntries(), 63); },
         none, 0xFFFFFFFF, 0x03FF0001, 0, 0, 0, 0},
        {"EnduranceGroupInfo",
         [](FakeDrive& d, auto&) { d.attributes.writeUint16(attributes::enduranceGroupIdentifier(), 7); }, none,
         0xFFFFFFFF, 0x007F0009, 0x00070000, 0, 0, 0},
        {"TemperatureStatistics", withSmi("vh-VARNHOLT"), none, 0xFFFFFFFF, 0x001B00D5, 0, 0, 0, 0},
        {"TemperatureStatistics", withSmi("Kestrova K7"), none, 0xFFFFFFFF, 0x001B00C5, 0, 0, 0, 0},
        {"CommandFeatureLockdown", none,
         [](NVMeGetLog& p) {
             p.attributes().writeUint8(definitions::logSpecificField(), 0x13);
             p.attributes().writeBool(definitions::retainAsynchronousEvent(), true);
             p.attributes().writeUint64(definitions::logPageOffset(), 0x100000004);
             p.attributes().writeUint8(definitions::uuidIndex(), 5);
             p.attributes().writeUint32(definitions::numDwords(), 0x12345);
         },
         0xFFFFFFFF, 0x23459314, 0x00000001, 4, 1, 5},
        // A namespace-specific page (a plain one, by its attributes) addresses the drive's namespace.
        {"",
         [](FakeDrive& d, core::AttributeCollection& given) {
             d.attributes.writeUint32(attributes::namespaceId(), 3);
             given.writeUint32(definitions::logId(), 0x81);
             given.writeUint32(definitions::numDwords(), 127);
             given.writeBool(definitions::namespaceSpecific(), true);
         },
         none, 3, 0x007F0081, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        auto drive = makersDrive();
        core::AttributeCollection given;
        c.setUp(*drive, given);
        auto page = *c.page ? create(c.page, drive) : std::make_unique<NVMeGetLog>(drive, given);
        ASSERT_NE(page, nullptr) << c.page;
        c.adjust(*page);
        core::Status status;
        page->sendCommand(status);
        ASSERT_EQ(drive->sent.size(), 1u) << c.page;
        const auto& e = drive->sent[0];
        EXPECT_EQ(std::make_tuple(e.opcode(), e.nsid, e.cdw10, e.cdw11, e.cdw12, e.cdw13, e.cdw14),
                  std::make_tuple(uint8_t{0x02}, c.nsid, c.cdw10, c.cdw11, c.cdw12, c.cdw13, c.cdw14))
            << c.page;
    }
}

TEST(NvmeGetLog, GetByChunksReadsInDriveSizedPiecesHalvesOnFailureAndKeepsWhatCameBefore) {
    struct Case {
        unsigned mdts; uint32_t pageBytes; uint64_t rejectAbove, failFrom; std::vector<Read> reads; uint32_t kept;
        uint64_t nextFirstPiece;  // the first piece of the drive's next log
        uint64_t refuseAbove = UINT64_MAX;  // the system refuses larger transfers
    };
    const uint64_t any = UINT64_MAX;
    const Case cases[] = {
        // A page shorter than one chunk is one command; an odd length is read in whole dwords.
        {5, 1000, any, any, {{0, 1000, 0}}, 1000, 1000},
        {5, 1002, any, any, {{0, 1004, 0}}, 1002, 1004},
        // No transfer size: 4096-byte pieces from the start.
        {0, 10000, any, any, {{0, 4096, 0}, {4096, 4096, 0}, {8192, 1808, 0}}, 10000, 4096},
        // A size far too large to shift is capped: 1 MiB in one piece.
        {200, 1 << 20, any, any, {{0, 1 << 20, 0}}, 1 << 20, 1 << 20},
        // Rejected transfers halve the chunk, once each, down to 4096; a failure there keeps
        // the bytes before the failing offset. The drive's failures are this log's alone.
        {2, 20000, 4096, 8192,
         {{0, 16384, 0}, {0, 8192, 0}, {0, 4096, 0}, {4096, 4096, 0}, {8192, 4096, 0}}, 8192, 16384},
        // The system's refusals halve the chunk too, and the size it took is the next log's.
        {4, 40000, any, any, {{0, 40000, 0}, {0, 32768, 0}, {0, 16384, 0}, {16384, 16384, 0}, {32768, 7232, 0}},
         40000, 16384, 16384},
    };
    for (const Case& c : cases) {
        LogCapture log;
        auto drive = makersDrive();
        drive->attributes.writeUint8(attributes::maximumDataTransferSize(), static_cast<uint8_t>(c.mdts));
        const core::Payload served = pageOf(c.pageBytes);
        drive->pages[0x80] = served;
        drive->rejectAbove = c.rejectAbove;
        drive->refuseAbove = c.refuseAbove;
        drive->failFrom = c.failFrom;
        NVMeGetLog page(drive, 0x80, 0, "Test Page", {});
        core::Payload soFar;
        core::Payload buffer(c.pageBytes);
        core::Status status;
        page.getByChunks(status, soFar, buffer);
        EXPECT_EQ(status.isSuccess(), c.kept == c.pageBytes) << c.pageBytes;
        EXPECT_EQ(drive->reads(), c.reads) << c.pageBytes;
        // The result is the caller's buffer, shortened, not a copy of it.
        EXPECT_EQ(soFar.data(), buffer.data());
        EXPECT_EQ(page.getPayload().data(), buffer.data());
        EXPECT_EQ(bytes(soFar), bytes(served, c.kept));
        if (c.kept != c.pageBytes) {
            EXPECT_TRUE(log.logged("readChunks", "Failure to read on offset: 8192.. out of 20000"));
        }
        const char* refusal =
            "The system refused a transfer of 40000 bytes at offset 0; reading in pieces of 32768 bytes";
        EXPECT_EQ(log.logged("noteSystemRefusal", refusal), c.refuseAbove != any) << c.pageBytes;
        drive->sent.clear();
        NVMeGetLog next(drive, 0x80, 0, "Test Page", {});
        core::Payload nextSoFar;
        core::Payload nextBuffer(c.pageBytes);
        next.getByChunks(status, nextSoFar, nextBuffer);
        EXPECT_EQ(drive->reads().at(0).bytes, c.nextFirstPiece) << c.pageBytes;
    }
}

TEST(NvmeGetLog, GatesComeFirstThenTheDriveTheUuidIndexAndTheDwordCount) {
    const drivekit::features::uuid::Uuid listed = {0x96, 0x19, 0x58, 0x6e, 0xc1, 0x1b, 0x43, 0xad,
                                                   0xaa, 0xaa, 0x65, 0x41, 0x87, 0xf6, 0xbb, 0xb2};
    drivekit::features::uuid::Uuid other{};
    other.fill(0x77);
    struct Case {
        const char* page; std::function<void(FakeDrive&, core::AttributeCollection&)> setUp;
        core::Status expected; uint8_t uuidIndex; bool identifySent;
    };
    const auto ocp = [](FakeDrive& d, core::AttributeCollection&) {
        d.attributes.writeBool(attributes::ocpSupported(), true);
        d.attributes.writeBool(attributes::ocp1Point0OrGreater(), true);
    };
    const auto uuids = [&](bool withCandidate) {
        return [&, withCandidate](FakeDrive& d, core::AttributeCollection&) {
            d.attributes.writeBool(attributes::uuidSupported(), true);
            d.identify[{0x17, 0}] = withCandidate ? uuidListOf({other, listed}) : uuidListOf({other});
        };
    };
    const Case cases[] = {
        {"OCPSMARTCloud", [](auto&, auto&) {}, core::Status::ocpNotSupported(), 0, false},
        {"OCPLatencyMonitor", ocp, core::Status::ocpNotSupported(), 0, false},
        {"PowerUsage", [](auto&, auto&) {}, core::Status::featureNotSupportedByDrive(), 0, false},
        {"OCPErrorRecovery",
         [&](FakeDrive& d, core::AttributeCollection& a) {
             ocp(d, a);
             d.attributes.writeBool(attributes::kestrova(), false);
         },
         core::Status::notKestrovaDrive(), 0, false},
        {"ChangedNamespaceList", [](FakeDrive& d, auto&) { d.protocols.clear(); },
         core::Status::commandSetNotSupported(), 0, false},
        {"ChangedNamespaceList", [](auto&, core::AttributeCollection& a) { a.writeUint8(definitions::uuidIndex(), 1); },
         core::Status::uuidNotSupportedButIndexGiven(), 1, false},
        {"ChangedNamespaceList",
         [](FakeDrive& d, auto&) { d.attributes.writeBool(attributes::uuidSupported(), true); },
         core::Status::uuidIndexUnavailable(), 0, true},
        {"ChangedNamespaceList", uuids(false), core::Status::uuidIndexUndetermined(), 0, true},
        {"ChangedNamespaceList", uuids(true), core::Status::success(), 2, true},
        // The vendor's pages are never looked up: no candidates, index 0.
        {"ExtendedSmart", uuids(false), core::Status::success(), 0, false},
    };
    int serial = 0;
    for (const Case& c : cases) {
        auto drive = makersDrive("GATES-" + std::to_string(++serial));
        core::AttributeCollection given;
        c.setUp(*drive, given);
        auto page = create(c.page, drive, given);
        core::Status status;
        EXPECT_EQ(page->canRun(status), c.expected) << c.page << " " << serial << ": " << status.message();
        EXPECT_EQ(page->getUuidIndex(), c.uuidIndex) << serial;
        EXPECT_EQ(drive->sent.size(), c.identifySent ? 1u : 0u) << serial;
    }
    NVMeGetLog withoutCount(makersDrive(), {});
    core::Status status;
    EXPECT_EQ(withoutCount.canRun(status), core::Status::numDwordsNotSpecified());
    // Temperature statistics behind its gate is not even read (with the page, the wire test reads it).
    auto drive = makersDrive();
    drive->pages[0xC5] = pageOf(112);
    NVMeGetLog_TempStatistics temperatures(drive, {});
    EXPECT_EQ(temperatures.sendCommand(status), core::Status::featureNotSupportedByDrive());
    EXPECT_TRUE(drive->sent.empty() && temperatures.getPayload().empty());
}

TEST(NvmeGetLog, WritesItsBytesReplacingAFileAndFailsWithoutDataOrAPlaceToWrite) {
    const test_support::ScratchFolder scratch;
    const auto path = scratch.path() / "page.bin";
    std::ofstream(path.string()) << "an older and longer file";
    NVMeGetLog page(makersDrive(), 0x02, 127, "Test Page", {});
    core::Status status;
    EXPECT_EQ(page.writeBinaryToFile(path.string(), status), core::Status::failedToWriteFile());
    std::unique_ptr<core::xml::XmlObject> object;
    page.toXmlObject(status, object);
    EXPECT_EQ(object->attribute("name"), "");

    const uint8_t data[] = {0xAB, 0x00, 0xCD};
    page.getPayload() = core::Payload(data, sizeof data);
    ASSERT_TRUE(page.writeBinaryToFile(path.string(), status).isSuccess());
    EXPECT_EQ(test_support::readFile(path), std::string("\xAB\x00\xCD", 3));
    EXPECT_EQ(page.writeBinaryToFile((path / "below-a-file").string(), status), core::Status::failedToWriteFile());
    page.toXmlObject(status, object);
    EXPECT_EQ(object->attribute("name"), "NVMeGetLog");
    EXPECT_EQ(object->propertyValue("Payload"), "AB00CD");
}

TEST(LogPages, PagesOfDriveGivenLengthReadTheHeaderThenTheRest) {
    struct Case {
        const char* page; uint8_t lid; core::Payload served; std::vector<Read> reads; uint32_t kept; bool retain;
    };
    const auto u32 = [](uint32_t at, uint32_t v) { return [=](core::Payload& p) { put(p, at, v); }; };
    const auto eventsHeader = [](core::Payload& p) { put(p, 8, uint64_t{5000}); };
    const auto entries = [](uint64_t count) { return [=](core::Payload& p) { put(p, 0, count); }; };
    const auto defects = [](uint16_t length, uint16_t count) {
        return [=](core::Payload& p) {
            put(p, 0, length);
            put(p, 2, count);
        };
    };
    const Case cases[] = {
        {"LBAStatusInfo", 0x0E, pageOf(200, u32(0, 200)), {{0, 16, 0}, {16, 184, 0}}, 200, false},
        // Read with the asynchronous event retained, the page is released by one more read.
        {"LBAStatusInfo", 0x0E, pageOf(200, u32(0, 200)), {{0, 16, 0}, {16, 184, 0}, {0, 16, 0}}, 200, true},
        {"EyeOpeningMeasurement", 0x19, pageOf(320, u32(4, 320)), {{0, 64, 0}, {64, 256, 0}}, 320, false},
        // The context is established by the header read; the rest goes by the drive's pieces.
        {"PersistentEventLog", 0x0D, pageOf(5000, eventsHeader),
         {{0, 512, 1}, {512, 4096, 0}, {4608, 392, 0}}, 5000, false},
        // 3000 entries are 6008 bytes: two whole 4096-byte pieces.
        {"EnduranceGroupEvent", 0x0F, pageOf(6008, entries(3000)), {{0, 4096, 0}, {4096, 4096, 0}}, 8192, false},
        {"DefectsCount", 0xF5, pageOf(40, defects(40, 3)), {{0, 4, 0}, {4, 12, 0}, {16, 12, 0}, {28, 12, 0}}, 40,
         false},
        // No entries: the header is the page, and nothing is divided by the count.
        {"DefectsCount", 0xF5, pageOf(40, defects(40, 0)), {{0, 4, 0}}, 4, false},
    };
    for (const Case& c : cases) {
        core::AttributeCollection given;
        if (c.retain) {
            given.writeBool(definitions::retainAsynchronousEvent(), true);
        }
        auto drive = makersDrive();
        drive->pages[c.lid] = c.served;
        auto page = create(c.page, drive, given);
        core::Status status;
        EXPECT_TRUE(page->sendCommand(status).isSuccess()) << c.page << ": " << status.message();
        EXPECT_EQ(drive->reads(), c.reads) << c.page;
        const core::Payload& kept = page->getPayload();
        ASSERT_EQ(kept.size(), c.kept) << c.page;
        EXPECT_EQ(bytes(kept, c.served.size()), bytes(c.served, c.kept)) << c.page;
        if (c.retain) {
            ASSERT_EQ(drive->sent.size(), 3u);
            EXPECT_EQ(drive->sent[1].cdw10 & 0x8000, 0x8000u);
            EXPECT_EQ(drive->sent[2].cdw10 & 0x8000, 0u);
        }
    }
}

// A length beyond the largest read is bounded, and says so; a header shorter than the page
// needs is a failed status.
TEST(LogPages, LengthsAndHeadersFromTheDriveAreCheckedBeforeAnythingIsReserved) {
    struct Case {
        const char* page; uint8_t lid;
        uint32_t lengthAt; uint64_t length;  // the page's own length field
        uint64_t answered, failFrom;  // the most bytes a read answers; where the drive's page ends
        core::Status expected; size_t sent; uint64_t kept;
        std::string reported;  // the length logged as bounded, if any
    };
    const uint64_t any = UINT64_MAX, huge = uint64_t{1} << 40;
    const Case cases[] = {
        {"EnduranceGroupEvent", 0x0F, 0, huge, any, 8192, core::Status::nvmeCommandProblem(), 3, 8192, "2199023255560"},
        {"PersistentEventLog", 0x0D, 8, huge, any, 8192, core::Status::nvmeCommandProblem(), 4, 8704, "1099511627776"},
        {"LBAStatusInfo", 0x0E, 0, 8192, 8, any, core::Status::unexpectedDataLength(), 1, 0, ""},
        {"EyeOpeningMeasurement", 0x19, 0, 8192, 32, any, core::Status::unexpectedDataLength(), 1, 0, ""},
        {"PersistentEventLog", 0x0D, 0, 8192, 100, any, core::Status::unexpectedDataLength(), 1, 0, ""},
        {"EnduranceGroupEvent", 0x0F, 0, 8192, 4, any, core::Status::allocationFailed(), 1, 0, ""},
        {"DefectsCount", 0xF5, 0, 8192, 2, any, core::Status::allocationFailed(), 1, 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.page) + " #" + std::to_string(&c - cases));
        LogCapture log;
        auto drive = makersDrive();
        drive->pages[c.lid] = pageOf(16384, [&](core::Payload& p) { put(p, c.lengthAt, c.length); });
        drive->answerLimit = c.answered;
        drive->failFrom = c.failFrom;
        auto page = create(c.page, drive);
        core::Status status;
        EXPECT_EQ(page->sendCommand(status), c.expected) << status.message();
        EXPECT_EQ(std::make_pair(drive->sent.size(), uint64_t{page->getPayload().size()}),
                  std::make_pair(c.sent, c.kept));
        EXPECT_EQ(log.textsOf("boundedLength").empty(), c.reported.empty());
        if (!c.reported.empty()) {
            EXPECT_TRUE(log.logged("boundedLength", "The drive reports a log length of " + c.reported +
                                                        " bytes, above the largest read of 268435456 bytes; only the "
                                                        "first 268435456 bytes are read"));
        }
    }
}

TEST(LogPages, PerformanceDebugReadsAreSizedByTheLspAndTheFtlCount) {
    struct Case {
        uint8_t lsp; uint32_t ftls; uint16_t major, minor; std::vector<uint64_t> dwords; std::string printed;
    };
    const Case cases[] = {
        {0, 4, 0, 0, {1217}, ""},
        {5, 4, 0, 0, {512}, ""},
        {4, 4, 0, 0, {453}, ""},
        {4, 2, 0, 0, {227}, ""},
        {4, 3, 0, 0, {1}, ""},
        {2, 4, 2, 0, {1, 2685}, ""},
        {2, 2, 1, 1, {1, 1003}, ""},
        {2, 4, 3, 7, {1, 1}, "UNKNOWN version for Log Specific Field 2; version : 3.7\n"},
        {6, 4, 0, 0, {}, "Unsupported Log Specific Field : 6\n"},
    };
    for (const Case& c : cases) {
        core::AttributeCollection given;
        given.writeUint32(definitions::maxFtlCount(), c.ftls);
        auto drive = makersDrive();
        drive->pages[0xFA] = pageOf(16384, [&](core::Payload& p) {
            put(p, 0, c.major);
            put(p, 2, c.minor);
        });
        NVMeGetLog_PerformanceDebugLog page(drive, given);
        page.attributes().writeUint8(definitions::logSpecificField(), c.lsp);
        core::Status status;
        testing::internal::CaptureStdout();
        page.sendCommand(status);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), c.printed);
        EXPECT_EQ(status.isSuccess(), !c.dwords.empty()) << int(c.lsp);
        std::vector<uint64_t> dwords;
        for (const Read& read : drive->reads()) {
            EXPECT_EQ(std::make_pair(read.offset, read.lsp), std::make_pair(uint64_t{0}, c.lsp));
            dwords.push_back(read.bytes / 4);
        }
        EXPECT_EQ(dwords, c.dwords) << int(c.lsp) << " " << c.ftls;
        EXPECT_EQ(page.getPayload().size(), c.dwords.empty() ? 0 : c.dwords.back() * 4);
    }
}

