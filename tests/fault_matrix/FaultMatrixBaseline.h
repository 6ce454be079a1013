#pragma once
// What the drive served, to compare a faulted run's files with. The simulated drive is
// deterministic, so every drive file of a fault-free run is what any run must hold, with one
// exception: the telemetry logs. A new host-initiated capture, or a log that changes while it
// is read, legitimately gives other bytes; each of their blocks carries its block number and
// the generation of the capture it belongs to, so such a file is checked block by block
// against what a fresh drive serves for that generation.
#include <map>
#include <tuple>

#include "e2e/DriveLogSupport.h"

namespace e2e {

class FaultMatrixBaseline {
public:
    FaultMatrixBaseline(const std::string& profileName, std::map<std::string, std::string> files,
                        const fs::path& scratch)
        : files_(std::move(files)), profile_(scratch / "telemetry-reference.json") {
        auto profile = builtInProfile(profileName);
        profile["nvme"]["telemetry"]["changesDuringRead"] = 255;  // each pass a new generation
        std::ofstream(profile_.string()) << profile.dump(2);
    }

    // Why a file of a faulted run is not what the drive served; empty when it is.
    std::string explainDifference(const std::string& name, const std::string& bytes) {
        const auto logId = telemetryLogId(name);
        if (logId) {
            return telemetryDifference(*logId, bytes);
        }
        const auto earlier = earlierWrites_.find(name);
        if (earlier != earlierWrites_.end() && earlier->second == bytes) {
            return "";
        }
        const auto clean = files_.find(name);
        if (clean == files_.end()) {
            return "not in the fault-free package";
        }
        if (clean->second.size() != bytes.size()) {
            return std::to_string(bytes.size()) + " bytes where the drive holds " + std::to_string(clean->second.size());
        }
        return clean->second == bytes ? "" : "other bytes than the drive served";
    }

    // Two pages of one drive may share a file name, the later replacing the earlier; when the
    // later read fails, the earlier page is the file, and it too is what the drive served.
    void addEarlierWrite(const std::string& name, const std::string& bytes) { earlierWrites_[name] = bytes; }

private:
    static constexpr size_t block = 512;

    static std::optional<unsigned> telemetryLogId(const std::string& name) {
        for (const unsigned logId : {0x07u, 0x08u}) {
            if (name.rfind("log_pages/lid_0x0" + std::to_string(logId) + "_", 0) == 0) {
                return logId;
            }
        }
        return std::nullopt;
    }

    static uint32_t littleEndian(const std::string& bytes, size_t at, size_t width) {
        uint32_t value = 0;
        for (size_t i = width; i-- > 0;) {
            value = (value << 8) | static_cast<uint8_t>(bytes[at + i]);
        }
        return value;
    }

    std::string telemetryDifference(unsigned logId, const std::string& bytes) {
        if (bytes.size() < block) {
            return std::to_string(bytes.size()) + " bytes, less than the telemetry header";
        }
        const uint32_t area4 = littleEndian(bytes, 16, 4);
        const uint64_t declared = (uint64_t{area4 != 0 ? area4 : littleEndian(bytes, 12, 2)} + 1) * block;
        if (bytes.size() != declared) {
            return std::to_string(bytes.size()) + " bytes where its header says " + std::to_string(declared);
        }
        // The header names the generations of both logs; the rest of it is fixed.
        const auto generationAt = [&](size_t at) { return static_cast<uint8_t>(bytes[at]); };
        const uint8_t headerGeneration = generationAt(logId == 0x07 ? 381 : 383);
        const std::string& headerReference = reference(logId, area4 != 0, headerGeneration);
        if (headerReference.size() != bytes.size() || headerReference.compare(0, 381, bytes, 0, 381) != 0 ||
            headerReference.compare(384, block - 384, bytes, 384, block - 384) != 0) {
            return "its header is not one the drive served";
        }
        for (size_t at = block; at < bytes.size(); at += block) {
            const std::string& served = reference(logId, area4 != 0, generationAt(at + 4));
            if (served.size() != bytes.size() || served.compare(at, block, bytes, at, block) != 0) {
                return "block " + std::to_string(at / block) + " is not one the drive served";
            }
        }
        return "";
    }

    // The whole log of a fresh drive at a generation (empty when the drive cannot reach it).
    const std::string& reference(unsigned logId, bool area4, uint8_t generation) {
        const auto key = std::make_tuple(logId, area4, generation);
        const auto found = references_.find(key);
        if (found != references_.end()) {
            return found->second;
        }
        std::string& log = references_[key];
        if (generation == 0) {
            return log;
        }
        log = served(profile_.string(), [&](drivekit::core::Device& drive) {
            if (area4) {
                allowDataArea4(drive);
            }
            // A host-initiated read with Create makes a new capture; a pass that reads past
            // the header makes the next one (the profile changes the log on every pass).
            for (unsigned g = 1; g < generation; ++g) {
                if (logId == 0x07) {
                    readLog(drive, logId, 1, 0, 0, block);
                } else {
                    readLog(drive, logId, 0, 0, 0, block);
                    readLog(drive, logId, 0, 0, block, block);
                }
            }
            const std::string header = readLog(drive, logId, 0, 0, 0, block);
            const uint32_t last = area4 ? littleEndian(header, 16, 4) : littleEndian(header, 12, 2);
            return readLog(drive, logId, 0, 0, 0, static_cast<uint32_t>((uint64_t{last} + 1) * block));
        });
        return log;
    }

    std::map<std::string, std::string> files_;
    std::map<std::string, std::string> earlierWrites_;
    fs::path profile_;
    std::map<std::tuple<unsigned, bool, uint8_t>, std::string> references_;
};

}  // namespace e2e
