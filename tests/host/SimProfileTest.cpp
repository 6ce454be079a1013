// Built-in profiles, and the one-line errors of profiles that cannot be used.
#include "tests/host/SimTestSupport.h"

namespace {

using namespace sim_test;

TEST(SimBuiltInProfiles, AllLoadWithTheirMakersFlagsAndTypes) {
    struct Expected {
        std::string name;
        bool kestrova, kestrovaNvme, gen3Sata, nvme, ata;
    };
    const std::vector<Expected> rows = {{"varnholt-nvme", true, true, false, true, false},
                                        {"kestrova-nvme", true, true, false, true, false},
                                        {"kestrova-sata", true, false, true, false, true},
                                        {"other-nvme", false, false, false, true, false}};
    ASSERT_EQ(host::sim::builtInProfileNames().size(), rows.size());
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        auto drive = builtIn(row.name);
        ASSERT_TRUE(drive);
        EXPECT_EQ(drive->attributes.readBool("Kestrova"), row.kestrova);
        EXPECT_EQ(drive->attributes.readBool("KestrovaNVMe"), row.kestrovaNvme);
        EXPECT_EQ(drive->attributes.readBool("KestrovaGen3SATA"), row.gen3Sata);
        EXPECT_EQ(drive->isProtocolSupported("NVME"), row.nvme);
        EXPECT_EQ(drive->isProtocolSupported("ATA"), row.ata);
        EXPECT_FALSE(drive->attributes.readString("SerialNumber").empty());
        EXPECT_EQ(drive->path(), "sim:" + row.name);
        EXPECT_EQ(drive->commandTimeoutSeconds(), 30);
    }
    auto varnholt = builtIn(host::sim::defaultProfileName);
    EXPECT_EQ(varnholt->attributes.readString("Product"), "Varnholt");
    EXPECT_EQ(varnholt->attributes.get("MaximumDataTransferSize").typeName(), "uint8");
    EXPECT_EQ(varnholt->attributes.get("UUIDSupported").typeName(), "boolean");
    EXPECT_EQ(varnholt->attributes.readUint32("NamespaceId"), 1u);  // derived: first active namespace
    EXPECT_TRUE(varnholt->attributes.readBool("OCPSupported"));
    EXPECT_TRUE(builtIn("kestrova-sata")->isProtocolSupported("SMART"));
}

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
    EXPECT_NE(errorFor((dir / "missing.json").string()).find("cannot read"), std::string::npos);
    EXPECT_NE(errorFor(dir.string()).find("folder"), std::string::npos);
    EXPECT_NE(errorForText(R"({"attributes": {"Kestrova": true,}})").find("not valid JSON"), std::string::npos);
    EXPECT_NE(errorForText(R"({"attributes": {"Kestrova": "yes"}, "protocols": ["NVME"]})")
                  .find("\"attributes.Kestrova\" must be true or false"),
              std::string::npos);
    EXPECT_NE(errorForText(R"({"attributes": {"MaximumDataTransferSize": 300}, "protocols": ["NVME"]})")
                  .find("MaximumDataTransferSize"),
              std::string::npos);
    EXPECT_NE(errorForText(R"({"attributes": {"Colour": "red"}, "protocols": ["NVME"]})").find("Colour"),
              std::string::npos);
    EXPECT_NE(errorForText(R"({"attributes": {}, "protocols": ["SCSI"]})").find("protocols"), std::string::npos);
    EXPECT_NE(errorForText(R"({"attributes": {}, "protocols": ["NVME"], "nvme": {"namespaces": [{"id": 0}]}})")
                  .find("id"),
              std::string::npos);
    EXPECT_NE(errorForText(R"({"attributes": {}, "protocols": ["NVME"], "replay": "nowhere"})")
                  .find("does not exist"),
              std::string::npos);
    EXPECT_NE(errorForText(R"({"attributes": {}, "protocols": ["NVME"], "faults": [{"action": "explode"}]})")
                  .find("action"),
              std::string::npos);
    EXPECT_NE(errorForText(R"([1, 2])").find("must be an object"), std::string::npos);
}

TEST_F(SimBadProfiles, TelemetryAreasMustNotShrink) {
    const std::string error = errorForText(
        R"({"attributes": {}, "protocols": ["NVME"],
            "nvme": {"telemetry": {"hostInitiated": [40, 8, 120, 0]}}})");
    EXPECT_NE(error.find("nvme.telemetry.hostInitiated"), std::string::npos) << error;
}

TEST(SimUnknownProfileName, SaysWhichNamesAreBuiltIn) {
    std::string error;
    EXPECT_FALSE(host::sim::openSimulatedDrive("no-such-drive", error));
    EXPECT_NE(error.find("varnholt-nvme"), std::string::npos) << error;
}

}  // namespace
