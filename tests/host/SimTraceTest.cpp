// The trace file: one line per command in the documented format.
#include "drivekit/commands/ata/Command.h"
#include "tests/host/SimTestSupport.h"
#include "tests/support/TextFiles.h"

namespace {

using namespace sim_test;

class SimTrace : public SimFolder {};

// Lines are appended to what the file held, from every drive, until tracing is turned off.
TEST_F(SimTrace, NvmeAndAtaCommandsGiveExactLinesAppendedUntilTurnedOff) {
    const fs::path trace = write("trace.txt", "earlier line\n");
    host::sim::setTraceFile(trace.string());
    auto nvmeDrive = builtIn("varnholt-nvme");
    auto health = logPage(0x02, 1024);
    send(*nvmeDrive, health);
    auto unknown = logPage(0x55, 512, 0, 0);
    send(*nvmeDrive, unknown);

    auto sataDrive = builtIn("kestrova-sata");
    drivekit::commands::ata::Command smart("SMARTReadData");
    smart.current() = {0xD0, 0x01, 0x00, 0x4F, 0xC2, 0x40, 0xB0, 0x00};
    smart.transferBlocks = 1;
    sataDrive->sendCommand(smart);
    host::sim::setTraceFile("");
    send(*nvmeDrive, health);

    const auto written = test_support::lines(test_support::readFile(trace.string()));
    EXPECT_EQ(written, (std::vector<std::string>{
                           "earlier line",
                           "NVME opc=0x02 nsid=0xffffffff cdw10=0x00ff0002 cdw11=0x00000000 cdw12=0x00000000 "
                           "cdw13=0x00000000 cdw14=0x00000000 cdw15=0x00000000 len=1024 timeout=30s -> 0/0",
                           "NVME opc=0x02 nsid=0xffffffff cdw10=0x007f0055 cdw11=0x00000000 cdw12=0x00000000 "
                           "cdw13=0x00000000 cdw14=0x00000000 cdw15=0x00000000 len=512 timeout=30s -> 0/25",
                           "ATA proto=ATA cmd=0xb0 feature=0xd0 count=0x01 lbalow=0x00 lbamid=0x4f lbahigh=0xc2 "
                           "device=0x40 blocks=1 -> 0/0"}));
}

}  // namespace
