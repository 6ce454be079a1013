#pragma once
// The largest values of the field widths a profile gives, for its section readers.
#include <cstdint>

namespace host::sim {

constexpr uint64_t u8Max = 0xFF;
constexpr uint64_t u16Max = 0xFFFF;
constexpr uint64_t u32Max = 0xFFFFFFFF;
constexpr uint64_t u48Max = 0xFFFFFFFFFFFF;
constexpr uint64_t u64Max = ~0ULL;

}  // namespace host::sim
