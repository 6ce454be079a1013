#pragma once
// The maker's firmware parameter record, read through the vendor channel before the
// Performance Debug Log, and the total FTL count derived from it.
#include <cstdint>
#include <memory>
#include <string>

#include "drivekit/core/HostInterface.h"
#include "drivekit/core/Status.h"

namespace plugin::cli::debug_logs::utils {

#pragma pack(push, 1)
struct fw_params_t {
    uint32_t product_type;
    uint32_t phys_cap;
    uint32_t log_cap;
    uint32_t total_die;
    uint32_t ftl_cores;
    uint32_t ch_per_core;
    uint32_t ce_per_ch;
    uint32_t die_per_ce;
    uint32_t reserved;
    uint32_t limited_mode;
    uint32_t nand_type;
    uint32_t plns_per_die;
    uint32_t blks_per_pln;
    uint8_t uninterpreted[116];
    uint32_t num_ftl_instances;
};
#pragma pack(pop)
static_assert(sizeof(fw_params_t) == 172, "the firmware parameter record is 172 bytes");

constexpr uint32_t firmwareParametersCode = 0x10003;
constexpr char deployedMessage[] = "life_cycle_state::DEPLOYED; Cannot read FW Params VSC Log";

// Reads the drive's record unless it was read before in this process. The record is kept per
// drive (by serial number), so each drive of a run gets its own total FTL count. A drive in the
// deployed state is never asked; a failed attempt leaves nothing kept, so a later call retries.
void InitFWParams(drivekit::core::Status& status, const std::shared_ptr<drivekit::core::Device>& device);

// The drive's num_ftl_instances x ftl_cores (32-bit, wrapping), or 0 before a successful InitFWParams.
uint32_t totalFTLs(const drivekit::core::Device& device);

// The 15-line block of the record and its total, each line ended by a line end.
std::string formatFirmwareParameters(const fw_params_t& params, uint32_t totalFtls);

}  // namespace plugin::cli::debug_logs::utils
