// Cursor macro files (.cur) and the cursor block. The first byte says what the rest is: a pattern's
// file (then it is also checked and imported as one) or the mouse's macro index with its
// CURSORCOUNT and CURSORNAME sections. Then the page's reads and edits and the block run on it.
#include <cstddef>
#include <cstdint>

#include "fuzz/FuzzSupport.h"
#include "mouse/CursorMacros.h"

using namespace korva::mouse;

using korva::fuzz::Check;

namespace {

constexpr std::string_view kIndex =
    "[CURSORCOUNT]\ncount=4\n[CURSORNAME]\n0=name_1\n1=name_2\n2=name_3\n3=name_4\n";

// An edit stored over a bullet reads back as stored.
void EditBullet(CursorMacros& macros, int gun, int bullet, std::uint8_t seed) {
  const CursorBulletEdit edit{
      seed * 10u, {seed, (seed & 1) != 0}, {static_cast<std::uint8_t>(~seed), (seed & 2) != 0}};
  if (!macros.StoreBullet(gun, bullet, edit)) return;
  const CursorBulletView view = macros.ReadBullet(gun, bullet);
  Check(view.delayMs == edit.delayMs && view.x == edit.x && view.y == edit.y);
}

void CheckBlock(const CursorMacros& macros) {
  const korva::macro::MacroBlock block = macros.BuildBlock();
  if (block.status == korva::macro::MacroBlockStatus::kBuilt) Check(block.bytes.size() <= kCursorBlockLimit);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::uint8_t mode = data[0];
  const std::string_view text = korva::fuzz::AsText(data + 1, size - 1);
  const std::filesystem::path& folder = korva::fuzz::FreshScratchFolder();
  CursorMacros macros(folder, KORVA_FUZZ_DATA_DIR);
  const int bullet = (mode >> 1) % kBulletCount;

  if ((mode & 1) == 0) {
    korva::fuzz::WriteBytes(folder / "msMacro.ini", kIndex);
    korva::fuzz::WriteBytes(folder / "name_1.cur", text);
    (void)macros.ReadBullet(0, bullet);
    CheckBlock(macros);
    // An import takes exactly the files the check passes, and leaves the pattern alone otherwise.
    const bool valid = static_cast<bool>(CheckCursorFile(text, "fuzz.cur"));
    korva::fuzz::WriteBytes(folder / "import.cur", text);
    Check(macros.ImportGun(1, folder / "import.cur").ok() == valid);
    Check(valid == std::filesystem::exists(folder / "name_2.cur"));
    EditBullet(macros, 0, bullet, mode);
    CheckBlock(macros);
    return 0;
  }

  korva::fuzz::WriteBytes(folder / "msMacro.ini", text);
  if (const auto names = macros.Names(); names) {
    Check(names.value().size() <= static_cast<std::size_t>(kCursorMacroCount));
    for (int gun = 0; gun < static_cast<int>(names.value().size()); ++gun) {
      Check(static_cast<bool>(macros.GunFile(gun)));
      (void)macros.ReadBullet(gun, bullet);
    }
  }
  CheckBlock(macros);
  // An index without patterns gets the defaults; one that has them is left as it is.
  if (macros.Initialise() && macros.Names()) {
    EditBullet(macros, 0, bullet, mode);
    CheckBlock(macros);
  }
  return 0;
}
