#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <fstream>
#include <functional>
#include <iterator>
#include <typeindex>

#include <boost/filesystem.hpp>

#include "drivekit/features/AttributeDefinitions.h"
#include "drivekit/features/Registries.h"
#include "drivekit/features/identify/decode/IdentifyRecords.h"
#include "drivekit/features/nvme_get_log/LogPages.h"
#include "tests/features/LogCapture.h"
#include "tests/features/LogPageDrive.h"

using namespace drivekit::features::nvme_get_log;
using namespace log_page_test;
namespace definitions = drivekit::features::definitions;
namespace attributes = drivekit::core::attributes;
using drivekit::features::GetLogRegistry;
using features_test::LogCapture;

namespace {

std::unique_ptr<NVMeGetLog> create(const std::string& name, std::shared_ptr<core::Device> drive,
                                   const core::AttributeCollection& given = {}) {
    return GetLogRegistry::instance().create(name, std::move(drive), given);
}

// size bytes counting up, so that any misplaced piece shows.
core::Payload counting(uint32_t size) {
    core::Payload page(size);
    for (uint32_t i = 0; i < size; ++i) {
        *page.at(i) = static_cast<uint8_t>(i % 251 + 1);
    }
    return page;
}

std::vector<uint8_t> bytes(const core::Payload& payload, uint32_t count) {
    return std::vector<uint8_t>(payload.data(), payload.data() + std::min(count, payload.size()));
}

}  // namespace

TEST(NvmeGetLog, PagesPutTheirFieldsOnTheWire) {
    struct Case {
        const char* page;
        std::function<void(LogPageDrive&)> drive;
        std::function<void(NVMeGetLog&)> adjust;
        uint32_t nsid, cdw10, cdw11, cdw12, cdw13, cdw14;
    };
    const auto none = [](auto&) {};
    const Case cases[] = {
        {"SupportedLogPages", none, none, 0xFFFFFFFF, 0x00FF0000, 0, 0, 0, 0},
        {"ErrorInfo", [](LogPageDrive& d) { d.attributes.writeUint8(attributes::numErrorLogPageEntries(), 63); },
         none, 0xFFFFFFFF, 0x03FF0001, 0, 0, 0, 0},
        {"EnduranceGroupInfo",
         [](LogPageDrive& d) { d.attributes.writeUint16(attributes::enduranceGroupIdentifier(), 7); }, none,
         0xFFFFFFFF, 0x007F0009, 0x00070000, 0, 0, 0},
        {"SmartAttributes", none, none, 0xFFFFFFFF, 0x008000CA, 0, 0, 0, 0},
        {"TemperatureStatistics",
         [](LogPageDrive& d) {
             d.attributes.writeString(attributes::product(), "vh-VARNHOLT");
             d.attributes.writeBool(attributes::smi(), true);
         },
         none, 0xFFFFFFFF, 0x001B00D5, 0, 0, 0, 0},
        {"TemperatureStatistics",
         [](LogPageDrive& d) {
             d.attributes.writeString(attributes::product(), "Kestrova K7");
             d.attributes.writeBool(attributes::smi(), true);
         },
         none, 0xFFFFFFFF, 0x001B00C5, 0, 0, 0, 0},
        {"CommandFeatureLockdown", none,
         [](NVMeGetLog& p) {
             p.attributes().writeUint8(definitions::logSpecificField(), 0x13);
             p.attributes().writeBool(definitions::retainAsynchronousEvent(), true);
             p.attributes().writeUint64(definitions::logPageOffset(), 0x100000004);
             p.attributes().writeUint8(definitions::uuidIndex(), 5);
             p.attributes().writeUint32(definitions::numDwords(), 0x12345);
         },
         0xFFFFFFFF, 0x23459314, 0x00000001, 4, 1, 5},
    };
    for (const Case& c : cases) {
        auto drive = std::make_shared<LogPageDrive>();
        c.drive(*drive);
        auto page = create(c.page, drive);
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
    // A namespace-specific page addresses the drive's namespace.
    auto drive = std::make_shared<LogPageDrive>();
    drive->attributes.writeUint32(attributes::namespaceId(), 3);
    core::AttributeCollection given;
    given.writeUint32(definitions::logId(), 0x81);
    given.writeUint32(definitions::numDwords(), 127);
    given.writeBool(definitions::namespaceSpecific(), true);
    NVMeGetLog page(drive, given);
    core::Status status;
    page.sendCommand(status);
    ASSERT_EQ(drive->sent.size(), 1u);
    EXPECT_EQ(std::make_tuple(drive->sent[0].nsid, drive->sent[0].cdw10), std::make_tuple(3u, 0x007F0081u));
}

TEST(NvmeGetLog, GetByChunksReadsInDriveSizedPiecesHalvesOnFailureAndKeepsWhatCameBefore) {
    struct Case {
        unsigned mdts;
        uint32_t pageBytes;
        uint64_t rejectAbove, failFrom;
        std::vector<Read> reads;
        uint32_t kept;
        std::vector<std::string> halvings;
    };
    const uint64_t any = UINT64_MAX;
    const Case cases[] = {
        // A page shorter than one chunk is one command; an odd length is read in whole dwords.
        {5, 1000, any, any, {{0, 1000, 0}}, 1000, {}},
        {5, 1002, any, any, {{0, 1004, 0}}, 1002, {}},
        // No transfer size: 4096-byte pieces from the start.
        {0, 10000, any, any, {{0, 4096, 0}, {4096, 4096, 0}, {8192, 1808, 0}}, 10000, {}},
        // A size far too large to shift is capped: 1 MiB in one piece.
        {200, 1 << 20, any, any, {{0, 1 << 20, 0}}, 1 << 20, {}},
        // Rejected transfers halve the chunk, once each, down to 4096; a failure there keeps
        // the bytes before the failing offset.
        {2, 20000, 4096, 8192,
         {{0, 16384, 0}, {0, 8192, 0}, {0, 4096, 0}, {4096, 4096, 0}, {8192, 4096, 0}}, 8192,
         {"8192", "4096"}},
    };
    for (const Case& c : cases) {
        LogCapture log;
        auto drive = std::make_shared<LogPageDrive>();
        drive->attributes.writeUint8(attributes::maximumDataTransferSize(), static_cast<uint8_t>(c.mdts));
        const core::Payload served = counting(c.pageBytes);
        drive->pages[0x80] = served;
        drive->rejectAbove = c.rejectAbove;
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
        ASSERT_EQ(soFar.size(), c.kept);
        EXPECT_EQ(bytes(soFar, c.kept), bytes(served, c.kept));
        std::vector<std::string> halvings;
        for (const auto& text : log.textsOf("readChunks")) {
            if (text.rfind("Chunk size changed to: ", 0) == 0) {
                halvings.push_back(text.substr(23));
            }
        }
        EXPECT_EQ(halvings, c.halvings);
        if (c.kept != c.pageBytes) {
            EXPECT_TRUE(log.logged("readChunks", "Failure to read on offset: 8192.. out of 20000"));
        }
    }
}

TEST(NvmeGetLog, GatesComeFirstThenTheDriveTheUuidIndexAndTheDwordCount) {
    using drivekit::features::identify::decode::UuidListStructure;
    const uint8_t listed[16] = {0x96, 0x19, 0x58, 0x6e, 0xc1, 0x1b, 0x43, 0xad,
                                0xaa, 0xaa, 0x65, 0x41, 0x87, 0xf6, 0xbb, 0xb2};
    const auto uuidList = [&](bool withCandidate) {
        core::Payload list(sizeof(UuidListStructure));
        auto& entries = list.safeCast<UuidListStructure>()->entries;
        std::fill(std::begin(entries[0].uuid), std::end(entries[0].uuid), uint8_t{0x77});
        if (withCandidate) {
            std::copy(std::begin(listed), std::end(listed), entries[1].uuid);
        }
        return list;
    };
    struct Case {
        const char* page;
        std::function<void(LogPageDrive&, core::AttributeCollection&)> setUp;
        core::Status expected;
        uint8_t uuidIndex;
        bool identifySent;
    };
    const auto ocp = [](LogPageDrive& d, core::AttributeCollection&) {
        d.attributes.writeBool(attributes::ocpSupported(), true);
        d.attributes.writeBool(attributes::ocp1Point0OrGreater(), true);
    };
    const auto uuids = [&](bool withCandidate) {
        return [&, withCandidate](LogPageDrive& d, core::AttributeCollection&) {
            d.attributes.writeBool(attributes::uuidSupported(), true);
            d.uuidList = uuidList(withCandidate);
        };
    };
    const Case cases[] = {
        {"OCPSMARTCloud", [](auto&, auto&) {}, core::Status::ocpNotSupported(), 0, false},
        {"OCPLatencyMonitor", ocp, core::Status::ocpNotSupported(), 0, false},
        {"PowerUsage", [](auto&, auto&) {}, core::Status::featureNotSupportedByDrive(), 0, false},
        {"OCPErrorRecovery",
         [&](LogPageDrive& d, core::AttributeCollection& a) {
             ocp(d, a);
             d.attributes.writeBool(attributes::kestrova(), false);
         },
         core::Status::notKestrovaDrive(), 0, false},
        {"ChangedNamespaceList", [](LogPageDrive& d, auto&) { d.nvmeDrive = false; },
         core::Status::commandSetNotSupported(), 0, false},
        {"ChangedNamespaceList", [](auto&, core::AttributeCollection& a) { a.writeUint8(definitions::uuidIndex(), 1); },
         core::Status::uuidNotSupportedButIndexGiven(), 1, false},
        {"ChangedNamespaceList",
         [](LogPageDrive& d, auto&) { d.attributes.writeBool(attributes::uuidSupported(), true); },
         core::Status::uuidIndexUnavailable(), 0, true},
        {"ChangedNamespaceList", uuids(false), core::Status::uuidIndexUndetermined(), 0, true},
        {"ChangedNamespaceList", uuids(true), core::Status::success(), 2, true},
        // The vendor's pages are never looked up: no candidates, index 0.
        {"ExtendedSmart", uuids(false), core::Status::success(), 0, false},
    };
    int serial = 0;
    for (const Case& c : cases) {
        auto drive = std::make_shared<LogPageDrive>("GATES-" + std::to_string(++serial));
        core::AttributeCollection given;
        c.setUp(*drive, given);
        auto page = create(c.page, drive, given);
        core::Status status;
        EXPECT_EQ(page->canRun(status), c.expected) << c.page << " " << serial << ": " << status.message();
        EXPECT_EQ(page->getUuidIndex(), c.uuidIndex) << serial;
        EXPECT_EQ(drive->sent.size(), c.identifySent ? 1u : 0u) << serial;
    }
    NVMeGetLog withoutCount(std::make_shared<LogPageDrive>(), {});
    core::Status status;
    EXPECT_EQ(withoutCount.canRun(status), core::Status::numDwordsNotSpecified());
}

TEST(NvmeGetLog, EveryPageIsMadeByItsRegistrationName) {
    const std::vector<std::pair<const char*, std::type_index>> family{
        {"SupportedLogPages", typeid(NVMeGetLog_SupportedLogPages)},
        {"ErrorInfo", typeid(NVMeGetLog_ErrorInfo)},
        {"SmartHealthInfo", typeid(NVMeGetLog_SMARTHealthLog)},
        {"FirmwareSlotInfo", typeid(NVMeGetLog_FirmwareSlotInfo)},
        {"ChangedNamespaceList", typeid(NVMeGetLog_ChangedNamespaceList)},
        {"CommandEffectsLog", typeid(NVMeGetLog_CommandsEffects)},
        {"DeviceSelfTestLog", typeid(NVMeGetLog_DriveSelfTest)},
        {"EnduranceGroupInfo", typeid(NVMeGetLog_EnduranceGroupInfo)},
        {"PersistentEventLog", typeid(NVMeGetLog_PersistentEventLog)},
        {"LBAStatusInfo", typeid(NVMeGetLog_LBAStatusInfo)},
        {"EnduranceGroupEvent", typeid(NVMeGetLog_EnduranceGroupEvent)},
        {"SupportedFeatureIdentifiers", typeid(NVMeGetLog_SupportedFeatureIds)},
        {"MICommandEffects", typeid(NVMeGetLog_MICommandsEffects)},
        {"CommandFeatureLockdown", typeid(NVMeGetLog_CommandFeatureLockdown)},
        {"EyeOpeningMeasurement", typeid(NVMeGetLog_EyeOpeningMeasurement)},
        {"SanitizeStatus", typeid(NVMeGetLog_SanitizeStatus)},
        {"OCPSMARTCloud", typeid(NVMeGetLog_OCPSMARTCloud)},
        {"OCPErrorRecovery", typeid(NVMeGetLog_OCPErrorRecovery)},
        {"OCPFirmwareActivationHistory", typeid(NVMeGetLog_OCPFirmwareActivationHistory)},
        {"OCPLatencyMonitor", typeid(NVMeGetLog_OCPLatencyMonitor)},
        {"OCPDeviceCapabilities", typeid(NVMeGetLog_OCPDeviceCapabilities)},
        {"OCPUnsupportedRequirements", typeid(NVMeGetLog_OCPUnsupportedRequirements)},
        {"TemperatureStatistics", typeid(NVMeGetLog_TempStatistics)},
        {"SmartAttributes", typeid(NVMeGetLog_SMARTAttribute)},
        {"MarketingDescription", typeid(NVMeGetLogMarketingDescription)},
        {"PowerUsage", typeid(NVMeGetLog_PowerUsage)},
        {"NandStats", typeid(NVMeGetLog_VUNandStatistics)},
        {"DefectsCount", typeid(NVMeGetLog_VUDefectsCount)},
        {"PerformanceDebugLog", typeid(NVMeGetLog_PerformanceDebugLog)},
        {"ExtendedSmart", typeid(NVMeGetLog_VUExtendedSmart)},
    };
    auto drive = std::make_shared<LogPageDrive>();
    for (const auto& [name, type] : family) {
        auto page = create(name, drive);
        ASSERT_NE(page, nullptr) << name;
        EXPECT_EQ(std::type_index(typeid(*page)), type) << name;
    }
}

TEST(NvmeGetLog, WritesItsBytesReplacingAFileAndFailsWithoutDataOrAPlaceToWrite) {
    const auto path = boost::filesystem::temp_directory_path() / boost::filesystem::unique_path("getlog-%%%%%%.bin");
    std::ofstream(path.string()) << "an older and longer file";
    NVMeGetLog page(std::make_shared<LogPageDrive>(), 0x02, 127, "Test Page", {});
    core::Status status;
    EXPECT_EQ(page.writeBinaryToFile(path.string(), status), core::Status::failedToWriteFile());
    std::unique_ptr<core::xml::XmlObject> object;
    page.toXmlObject(status, object);
    EXPECT_EQ(object->attribute("name"), "");

    const uint8_t data[] = {0xAB, 0x00, 0xCD};
    page.getPayload() = core::Payload(data, sizeof data);
    ASSERT_TRUE(page.writeBinaryToFile(path.string(), status).isSuccess());
    std::ifstream file(path.string(), std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(file), {}), std::string("\xAB\x00\xCD", 3));
    EXPECT_EQ(page.writeBinaryToFile((path / "below-a-file").string(), status), core::Status::failedToWriteFile());
    page.toXmlObject(status, object);
    EXPECT_EQ(object->attribute("name"), "NVMeGetLog");
    EXPECT_EQ(object->propertyValue("Payload"), "AB00CD");

    // A write cut short (here by a file-size limit, as by a full disk) leaves no partial file,
    // and a special file is written to but never removed.
    page.getPayload() = core::Payload(64 * 1024);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    const auto oldSignal = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 4096;
    setrlimit(RLIMIT_FSIZE, &small);
    const core::Status cut = page.writeBinaryToFile(path.string(), status);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldSignal);
    EXPECT_EQ(cut, core::Status::failedToWriteFile());
    EXPECT_FALSE(boost::filesystem::exists(path));
    EXPECT_EQ(page.writeBinaryToFile("/dev/full", status), core::Status::failedToWriteFile());
    EXPECT_TRUE(boost::filesystem::exists("/dev/full"));
    boost::filesystem::remove(path);
}
