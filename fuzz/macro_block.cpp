// The device macro block built from a fuzzed library: up to 60 macros (more than an index may
// list) of up to 600 counted lines each, some not steps, against any macro memory a device can
// report. A block that is built must hold exactly the library, in the documented layout.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "fuzz/FuzzSupport.h"
#include "macro/MacroBlock.h"

using namespace korva::macro;

using korva::fuzz::Check;

namespace {

std::size_t Field(const std::vector<std::uint8_t>& bytes, std::size_t at) {
  return bytes[at] | (std::size_t{bytes[at + 1]} << 8);
}

// The block against the library it was built from.
void CheckBlock(const MacroBlock& block, const std::vector<MacroLines>& macros, std::size_t capacity) {
  const std::vector<std::uint8_t>& b = block.bytes;
  Check(b.size() == block.size && b.size() <= capacity && b.size() >= kMacroBlockHeaderSize);
  Check(Field(b, 0) == kMacroBlockMagic && Field(b, 2) == b.size() && Field(b, 4) == macros.size());
  for (std::size_t i = 6; i < kMacroBlockHeaderSize; ++i) Check(b[i] == 0);
  std::size_t expected = kMacroBlockHeaderSize + 2 * macros.size();
  for (std::size_t i = 0; i < macros.size(); ++i) {
    const std::size_t at = Field(b, kMacroBlockHeaderSize + 2 * i);
    Check(at == expected && Field(b, at) == macros[i].size() && Field(b, at + 2) == 0);
    for (std::size_t j = 0; j < macros[i].size(); ++j) {
      const std::size_t s = at + kMacroRecordHeaderSize + kMacroStepSize * j;
      const auto& step = macros[i][j];
      const std::uint8_t want[4] = {step ? step->DelayLow() : std::uint8_t{0},
                                    step ? step->DelayHigh() : std::uint8_t{0},
                                    step ? step->kind : std::uint8_t{0}, step ? step->code : std::uint8_t{0}};
      for (std::size_t k = 0; k < 4; ++k) Check(b[s + k] == want[k]);
    }
    expected = at + kMacroRecordHeaderSize + kMacroStepSize * macros[i].size();
  }
  Check(expected == b.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const std::size_t capacity = MacroCapacity(in.ConsumeIntegral<std::uint8_t>());
  std::vector<MacroLines> macros(in.ConsumeIntegralInRange<std::size_t>(0, kMaxMacroCount + 10));
  for (MacroLines& lines : macros) {
    lines.resize(in.ConsumeIntegralInRange<std::size_t>(0, 600));
    for (auto& line : lines) {
      if (in.ConsumeBool()) continue;  // a counted line that is not a step
      MacroAction step;
      step.delay = in.ConsumeIntegral<std::uint16_t>();
      step.kind = in.ConsumeIntegral<std::uint8_t>();
      step.code = in.ConsumeIntegral<std::uint8_t>();
      line = step;
    }
  }
  const MacroBlock block = BuildMacroBlock(macros, capacity);
  switch (block.status) {
    case MacroBlockStatus::kEmpty:
      Check(macros.empty() && block.bytes.empty());
      break;
    case MacroBlockStatus::kOverCapacity:
      Check(block.bytes.empty() && block.size > capacity && block.stepsOver > 0);
      break;
    case MacroBlockStatus::kUnreadable:
      Check(false);  // lines in memory are always readable
      break;
    case MacroBlockStatus::kBuilt:
      CheckBlock(block, macros, capacity);
      break;
  }
  return 0;
}
