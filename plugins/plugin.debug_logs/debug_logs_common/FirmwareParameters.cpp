#include "plugins/plugin.debug_logs/debug_logs_common/FirmwareParameters.h"

#include <cstddef>
#include <cstring>
#include <map>

#include "drivekit/core/DeviceAttributes.h"
#include "drivekit/core/logging/Log.h"
#include "plugins/plugin.debug_logs/debug_logs_common/Console.h"
#include "plugins/shared/life_cycle/LifeCycleState.h"
#include "plugins/shared/vsc/VscDevice.h"

namespace plugin::cli::debug_logs::utils {

namespace {

namespace core = drivekit::core;

struct KeptParameters {
    fw_params_t params;
    uint32_t totalFtls;
};

// Process-wide, one entry per drive serial number; one command runs at a time.
std::map<std::string, KeptParameters>& keptParameters() {
    static std::map<std::string, KeptParameters> kept;
    return kept;
}

std::string driveKey(const core::Device& device) {
    return device.attributes.readString(core::attributes::serialNumber().key());
}

struct PrintedField {
    const char* label;
    size_t offset;
};

constexpr PrintedField printedFields[] = {
    {"product_type      = ", offsetof(fw_params_t, product_type)},
    {"phys_cap          = ", offsetof(fw_params_t, phys_cap)},
    {"log_cap           = ", offsetof(fw_params_t, log_cap)},
    {"total_die         = ", offsetof(fw_params_t, total_die)},
    {"ftl_cores         = ", offsetof(fw_params_t, ftl_cores)},
    {"ch_per_core       = ", offsetof(fw_params_t, ch_per_core)},
    {"ce_per_ch         = ", offsetof(fw_params_t, ce_per_ch)},
    {"die_per_ce        = ", offsetof(fw_params_t, die_per_ce)},
    {"reserved          = ", offsetof(fw_params_t, reserved)},
    {"limited_mode      = ", offsetof(fw_params_t, limited_mode)},
    {"nand_type         = ", offsetof(fw_params_t, nand_type)},
    {"plns_per_die      = ", offsetof(fw_params_t, plns_per_die)},
    {"blks_per_pln      = ", offsetof(fw_params_t, blks_per_pln)},
    {"num_ftl_instances = ", offsetof(fw_params_t, num_ftl_instances)},
};

}  // namespace

std::string formatFirmwareParameters(const fw_params_t& params, uint32_t totalFtls) {
    std::string text;
    for (const PrintedField& field : printedFields) {
        uint32_t value = 0;
        std::memcpy(&value, reinterpret_cast<const uint8_t*>(&params) + field.offset, sizeof(value));
        text += field.label + std::to_string(value) + "\n";
    }
    return text + "totalFTLs (ftl_cores * num_ftl_instances) = " + std::to_string(totalFtls) + "\n";
}

uint32_t totalFTLs(const core::Device& device) {
    const auto found = keptParameters().find(driveKey(device));
    return found == keptParameters().end() ? 0 : found->second.totalFtls;
}

void InitFWParams(core::Status& status, const std::shared_ptr<core::Device>& device) {
    LOG_ENTERING();
    if (!device) {
        status = core::Status::invalidArguments();
        return;
    }
    const std::string key = driveKey(*device);
    if (keptParameters().count(key) != 0) {
        status = core::Status();
        return;
    }
    uint32_t state = 0;
    life_cycle_state::LifeCycleState(device).GetState(status, state);
    if (!status.isSuccess()) {
        printMessage("Error getting current Life Cycle State: " + status.message());
        return;
    }
    if (state == life_cycle_state::DEPLOYED) {
        LOG_INFO(deployedMessage);
        status = core::Status::custom();
        status.setMessage(deployedMessage);
        return;
    }
    core::Payload data;
    vsc::VscDevice(*device, 0).receive(status, firmwareParametersCode, core::Payload(), data,
                                       sizeof(fw_params_t) / 4);
    if (!status.isSuccess()) {
        return;
    }
    if (data.size() < sizeof(fw_params_t)) {
        LOG_ERROR("Firmware parameter record of " + std::to_string(data.size()) + " bytes, expected " +
                  std::to_string(sizeof(fw_params_t)));
        status = core::Status::unexpectedDataLength();
        return;
    }
    KeptParameters kept{*data.safeCast<fw_params_t>(), 0};
    kept.totalFtls = kept.params.num_ftl_instances * kept.params.ftl_cores;
    keptParameters()[key] = kept;
    const std::string block = formatFirmwareParameters(kept.params, kept.totalFtls);
    LOG_INFO(block);
    printMessage(block.substr(0, block.size() - 1), true);
}

}  // namespace plugin::cli::debug_logs::utils
