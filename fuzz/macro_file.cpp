// Macro files and the macro index as the library reads them. The bytes are one macro file (read
// strictly, as an import is, and leniently, as the library is) and also the library's index, from
// which the device block is built; a macro that loads is saved under another name and must load
// back unchanged.
#include <cstddef>
#include <cstdint>

#include "fuzz/FuzzSupport.h"
#include "macro/MacroBlock.h"
#include "macro/MacroFiles.h"

using namespace korva::macro;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text = korva::fuzz::AsText(data, size);
  const auto strict = ParseMacroLines(text, "fuzz.mac", true);
  const auto lenient = ParseMacroLines(text, "fuzz.mac", false);
  // What the strict reading takes, the lenient one takes the same way.
  if (strict && (!lenient || lenient.value() != strict.value())) __builtin_trap();

  const MacroLibrary library{korva::fuzz::FreshScratchFolder(), korva::DeviceKind::kKeyboard};
  korva::fuzz::WriteBytes(library.folder / "kbMacro.ini", text);
  korva::fuzz::WriteBytes(library.folder / "fuzz.mac", text);
  if (const auto names = LoadMacroIndex(library); names) {
    if (names.value().size() > static_cast<std::size_t>(kMaxMacroCount)) __builtin_trap();
    for (const std::string& name : names.value()) (void)LoadMacro(library, name);
  }
  const MacroBlock block = BuildMacroBlock(library, MacroCapacity(255));
  if (block.status == MacroBlockStatus::kBuilt && block.bytes.size() > MacroCapacity(255)) __builtin_trap();
  const auto steps = LoadMacro(library, "fuzz");
  if (!steps) return 0;
  if (SaveMacro(library, "saved", steps.value())) {
    const auto back = LoadMacro(library, "saved");
    if (!back || back.value() != steps.value()) __builtin_trap();
  }
  return 0;
}
