#pragma once
// The messages worker threads and windows send or post to the main window, with the numbers the
// program has always used for them. Each carries two integers (wParam, lParam) whose meaning the
// message's comment gives; unless said otherwise both are 0.
//
// The system messages of the main window (destroy, timer, power broadcast, DPI change, tray and
// menu clicks) have no entry here: Qt delivers them as events and signals of their own.

#include <QString>
#include <cstdint>

namespace korva::app {

enum class WindowMessage : std::uint32_t {
  // A second start asked the running one to show itself; also posted by each watcher after its
  // first pass. Answer: show-or-warn.
  WakeMessage = 0xC000,
  // Skin picker "menu_restore" (sent): restore the default profiles on every page.
  WM_RESTORE_ALL = 0x0064,
  // Keyboard and mouse capture (input hooks): wParam, lParam as the capture gives them.
  WM_HOOK_KEY_SINGLEKEY = 0x0801,    // single key for the keyboard page's key assignment
  WM_HOOK_KEY_KBHITKEY = 0x0802,     // trace only
  WM_HOOK_KEY_MACRO = 0x0803,        // key event for the keyboard macro recorder
  WM_HOOK_KEY_MACRO_MOUSE = 0x0804,  // mouse event for the keyboard macro recorder
  WM_HOOK_MOU_SINGLEKEY = 0x0810,    // single key for the mouse page's button assignment
  WM_HOOK_MOU_HitKEY = 0x0811,       // trace only
  WM_HOOK_MOU_MACRO = 0x0812,        // key event for the mouse macro recorder
  WM_HOOK_MOU_MACRO_MOUSE = 0x0813,  // mouse event for the mouse macro recorder
  // Mouse synchronisation reader (sent): full read / re-read of the active profile, then refresh.
  WM_MS_RELOAD = 0x0901,
  WM_MS_PROFILE = 0x0902,
  // Mousepad: full read (sent by the mousepad restore) / re-read of the active profile, then refresh.
  WM_MP_RELOAD = 0x0A01,
  WM_MP_PROFILE = 0x0A02,
  // Tint of key-button entry 20 + wParam: colour 0x00RRGGBB / alpha 0..255 in lParam.
  WM_KEYBTN_COLOR = 0x0A03,
  WM_KEYBTN_ALPHA = 0x0A04,
  // Keyboard synchronisation reader (sent): full read / re-read of the active profile, then refresh.
  WM_KB_RELOAD = 0x0B01,
  WM_KB_PROFILE = 0x0B02,
  // Read the keyboard's default key table and store it as "kbkeydefault.pro".
  WM_KB_DEFAULTS = 0x0B03,
  // Key-assignment upload buttons (sent): show "setting_progress" before the upload; hide it one
  // second after it (timer 1).
  WM_PROGRESS_SHOW = 0x0C00,
  WM_PROGRESS_DONE = 0x0C01,
};

// "WM_KB_RELOAD", ... for traces; the number in hex for a value without a name.
QString WindowMessageName(WindowMessage message);

}  // namespace korva::app
