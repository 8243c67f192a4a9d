#pragma once
// The changes the macro editor makes to one step: the mouse steps it inserts, and the key,
// button, direction, delay and distance chosen for a step. Bit 7 of the kind always equals down
// for key and button steps; steps made here set down to bit 7 for moves too.
//
// The mouse list (the editor's mouse combo and its insert buttons, in this order):
//   0/1 left down/up     2/3 right down/up    4/5 middle down/up    6/7 forward down/up
//   8/9 back down/up     10 move left  11 move right  12 move up  13 move down

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "macro/MacroAction.h"
#include "macro/MacroRecorder.h"

namespace korva::macro {

struct MouseListItem {
  std::uint8_t kind;
  std::uint8_t code;  // 0 for moves: the distance is the step's own
  std::string_view label;
};

inline constexpr int kMouseListSize = 14;
inline constexpr int kFirstMoveItem = 10;
// The delay of an inserted step: 5 units (the delay cell shows 50).
inline constexpr std::uint16_t kInsertedDelayUnits = 5;

std::span<const MouseListItem> MouseList();
// The item that shows `step` (a mouse step); nullopt for a step no item stands for.
std::optional<int> MouseListItemOf(const MacroAction& step);

// The step an insert button makes: item 0..13 of the mouse list; `distance` (low byte) for moves.
std::optional<MacroAction> InsertedMouseStep(int item, std::uint32_t distance);

// `step` with the key of the key table chosen: a key with a usage is a key step, else a modifier
// step; the press stays what it was.
MacroAction WithKey(MacroAction step, const RecordableKey& key);
// `step` with mouse item `item` chosen; a move keeps its distance when it was a move already.
std::optional<MacroAction> WithMouseItem(MacroAction step, int item);
// `step` pressed (down 1) or released (down 0).
MacroAction WithDirection(MacroAction step, bool down);

}  // namespace korva::macro
