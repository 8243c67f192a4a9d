#pragma once
// The mouse's cursor macros: four recoil patterns ("guns") of 30 shots ("bullets"), each shot a
// delay followed by a horizontal and a vertical pointer move. A button of function (0x72, k, 0)
// plays pattern k on the mouse.
//
// Files, in the mouse data folder:
//   msMacro.ini   CURSORCOUNT/count   number of patterns (4; 0 or missing: not set up yet)
//                 CURSORNAME/0 .. 3   name of pattern k ("name_1" .. "name_4" when set up)
//   <name>.cur    a macro file (macro/MacroFiles.h: MACROACTIONCOUNT, MACROACTION lines in the
//                 step text form). Bullet b owns the steps 6b .. 6b + 5; the page edits the last
//                 three of each group:
//                   6b + 3  the bullet's delay (units of 10 ms); kind, code, down, label kept
//                   6b + 4  horizontal move: kind 0x04 (0x84 left), code = distance, down = 1 for
//                           left, "mouse_move_to_left_text" / "mouse_move_to_right_text"
//                   6b + 5  vertical move: kind 0x05 (0x85 up), down = 1 for up,
//                           "mouse_move_to_up_text" / "mouse_move_to_down_text"
//                 MACROACTIONCOUNT is never changed by an edit.
// The shipped defaults "name_1.cur" .. "name_4.cur" live in the program's data folder; they seed
// the data folder and are what a reset restores. Every file is found through CURSORNAME of its
// pattern, whatever name the index gives it.
//
// The block sent to the mouse (command 0x17) has the layout of the macro block (macro/MacroBlock.h)
// and may not exceed 3072 bytes; a larger one is refused with a message, never sent.
//
// Counts and names read from the files are checked before they are used; a file that breaks the
// rules gives an error and changes nothing. Every write replaces its file atomically.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/Result.h"
#include "device/HidDevice.h"
#include "macro/MacroBlock.h"
#include "macro/MacroFiles.h"

namespace korva::mouse {

inline constexpr int kCursorMacroCount = 4;
inline constexpr int kBulletCount = 30;
inline constexpr int kStepsPerBullet = 6;
inline constexpr std::size_t kCursorBlockLimit = 3072;
// The most steps one pattern can count and still fit the block alone: 16 + 6 + 4m <= 3072.
inline constexpr std::size_t kMaxCursorSteps = (kCursorBlockLimit - 16 - 6) / 4;  // 762

inline constexpr std::string_view kCursorCountSection = "CURSORCOUNT";
inline constexpr std::string_view kCursorNameSection = "CURSORNAME";
inline constexpr std::string_view kCursorExtension = ".cur";

inline constexpr std::string_view kLabelLeft = "mouse_move_to_left_text";
inline constexpr std::string_view kLabelRight = "mouse_move_to_right_text";
inline constexpr std::string_view kLabelUp = "mouse_move_to_up_text";
inline constexpr std::string_view kLabelDown = "mouse_move_to_down_text";

// Messages.
inline constexpr std::string_view kTextCursorTooLarge = "message_text_cursor_too_large";  // "%d" = bytes over
inline constexpr std::string_view kTextCursorInvalid = "message_text_cursor_invalid";
inline constexpr std::string_view kTextCursorUnreadable = "message_text_cursor_unreadable";
inline constexpr std::string_view kTextCursorNotSaved = "message_text_cursor_not_saved";

// The default name of pattern k ("name_1" for k = 0 .. "name_4" for k = 3).
std::string DefaultCursorName(int gun);

// One move of a bullet: the distance and whether it goes left (horizontal) or up (vertical).
struct CursorMove {
  std::uint8_t distance = 0;
  bool negative = false;
  friend bool operator==(const CursorMove&, const CursorMove&) = default;
};

// What the page shows of a bullet. A move whose step is missing or of another kind is absent (the
// edit keeps what it showed); a missing delay step reads as 0.
struct CursorBulletView {
  std::uint32_t delayMs = 0;
  std::optional<CursorMove> x;
  std::optional<CursorMove> y;
};

// What the page stores for a bullet: the typed delay in milliseconds and the two moves.
struct CursorBulletEdit {
  std::uint32_t delayMs = 0;
  CursorMove x;
  CursorMove y;
};

// The horizontal (kind 0x04) or vertical (kind 0x05) move step of `move`.
macro::MacroAction CursorMoveStep(bool vertical, const CursorMove& move);

struct CursorResult {
  std::string_view textId;  // the message to show; empty on success
  std::optional<int> number;
  Error error;  // what was wrong, for the trace
  bool ok() const { return textId.empty(); }
};

class CursorMacros {
 public:
  // `dataFolder` is the mouse data folder, `defaultsFolder` the program's data folder.
  CursorMacros(std::filesystem::path dataFolder, std::filesystem::path defaultsFolder);

  // InitialiseCursorMacros: an index without patterns gets the four defaults, and every default
  // file missing from the data folder is copied there. An existing index is left as it is.
  Result<void> Initialise();

  // The names of CURSORNAME, checked (at most four, each a valid file name, none twice).
  Result<std::vector<std::string>> Names() const;
  // The file of pattern `gun` (through CURSORNAME); an error for a gun the index does not name.
  Result<std::filesystem::path> GunFile(int gun) const;

  CursorBulletView ReadBullet(int gun, int bullet) const;
  Result<void> StoreBullet(int gun, int bullet, const CursorBulletEdit& edit);
  // The shipped default of pattern `gun` over its file.
  CursorResult ResetGun(int gun);
  // A copy of the pattern's file at `target`.
  CursorResult ExportGun(int gun, const std::filesystem::path& target) const;
  // `source` over the pattern's file, once it has been read as a cursor macro file.
  CursorResult ImportGun(int gun, const std::filesystem::path& source);

  // The block of all patterns, for command 0x17.
  macro::MacroBlock BuildBlock() const;

  const std::filesystem::path& DataFolder() const { return dataFolder_; }

 private:
  std::filesystem::path IndexPath() const;
  std::filesystem::path DefaultFile(int gun) const;

  std::filesystem::path dataFolder_;
  std::filesystem::path defaultsFolder_;
};

// Checks the text of a cursor macro file: a macro file whose count is at most kMaxCursorSteps and
// whose every counted line is a step.
Result<void> CheckCursorFile(std::string_view text, const std::string& fileName);

// DownloadCursorMacros: the block framed by begin (01) and end (02) on `device`. Nothing is sent
// when no pattern is set up, when the block would exceed 3072 bytes (kTextCursorTooLarge) or when
// a file breaks the rules (kTextCursorUnreadable). The device's answers are not checked.
struct CursorDownload {
  bool sent = false;
  CursorResult result;
};
CursorDownload DownloadCursorMacros(device::HidDevice& device, const CursorMacros& macros);

}  // namespace korva::mouse
