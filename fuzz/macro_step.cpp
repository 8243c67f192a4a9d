// One line of a macro file as the step text parser reads it. A line that reads as a step must
// come back as the same step from its own text form, or a save would change the macro. (A label
// with a line break or a CR is never stored: the save refuses the step.)
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/FuzzSupport.h"
#include "macro/MacroAction.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto step = korva::macro::ParseMacroAction(korva::fuzz::AsText(data, size));
  if (!step || step->label.find_first_of("\r\n") != std::string::npos) return 0;
  const auto again = korva::macro::ParseMacroAction(korva::macro::FormatMacroAction(*step));
  if (!again || *again != *step) __builtin_trap();
  return 0;
}
