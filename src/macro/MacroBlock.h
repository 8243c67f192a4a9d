#pragma once
// The device macro block: the whole library packed for the device's macro memory, sent as the
// payload of one WriteMacroBlock (command 0x15). Little-endian; offsets from the block's start:
//
//   offset      size   content
//   0           2      0x55AA
//   2           2      total size S of the block
//   4           2      macro count n
//   6           10     reserved (zeros)
//   16          2 x n  offset of macro i's record, i = 0 .. n-1
//   16 + 2n     ...    the records in macro-number order, without gaps
//
// Record of one macro: 2 bytes step count m, 2 bytes reserved (zeros), then m steps of 4 bytes:
// delay low, delay high, kind, code. Hence S = 16 + 6n + 4 x (all steps), and record i starts at
// 16 + 2n + the sizes (4 + 4m) of the records before it. A counted step whose line is not a step
// (an edited or imported file) still takes its four bytes, as zeros.
//
// The device's macro memory holds (information byte 6) x 128 bytes; a larger block is not built.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "common/Result.h"
#include "macro/MacroFiles.h"

namespace korva::macro {

inline constexpr std::uint16_t kMacroBlockMagic = 0x55AA;
inline constexpr std::size_t kMacroBlockHeaderSize = 16;
inline constexpr std::size_t kMacroRecordHeaderSize = 4;
inline constexpr std::size_t kMacroStepSize = 4;
inline constexpr std::size_t kMacroMemoryUnit = 128;

// The macro memory of a device reporting `units` (its information byte 6).
constexpr std::size_t MacroCapacity(std::uint8_t units) {
  return std::size_t{units} * kMacroMemoryUnit;
}

enum class MacroBlockStatus {
  kBuilt,         // bytes hold the block
  kEmpty,         // the library holds no macro: nothing to send
  kOverCapacity,  // the block would not fit the device's memory
  kUnreadable,    // the index or a macro file breaks the file rules (error says where)
};

struct MacroBlock {
  MacroBlockStatus status = MacroBlockStatus::kEmpty;
  std::vector<std::uint8_t> bytes;
  std::size_t size = 0;       // S, also when it does not fit
  std::size_t stepsOver = 0;  // when over capacity: (S - C) / 4 + 1, the steps that would have to go
  Error error;
};

// The block of a library given as the counted lines of its macros, in macro-number order.
MacroBlock BuildMacroBlock(std::span<const MacroLines> macros, std::size_t capacity);
// The block of the library on disk.
MacroBlock BuildMacroBlock(const MacroLibrary& library, std::size_t capacity);

}  // namespace korva::macro
