#pragma once
// The main window's messages (korva::WindowMessage, shared with the device layer) and their names
// for traces. What each one asks of the main window:
//   WakeMessage              show-or-warn (a second start; each watcher after its first pass)
//   WM_RESTORE_ALL           restore the default profiles of every page (skin picker "menu_restore")
//   WM_HOOK_*                key and mouse events of the input capture (key assignment, macro recorders)
//   WM_MS_RELOAD/_PROFILE    full read / re-read of the active profile of the mouse, then refresh
//   WM_MP_RELOAD/_PROFILE    the same for the mousepad
//   WM_KB_RELOAD/_PROFILE    the same for the keyboard
//   WM_KB_DEFAULTS           store the keyboard's default key table as "kbkeydefault.pro"
//   WM_KEYBTN_COLOR/_ALPHA   tint colour (0x00RRGGBB) / alpha (0..255) in lParam of key button 20 + wParam
//   WM_PROGRESS_SHOW/_DONE   show "setting_progress" / hide it one second later (timer 1)

#include <QString>

#include "common/WindowMessage.h"

namespace korva::app {

// "WM_KB_RELOAD", ...; the number in hex for a value without a name.
QString WindowMessageName(WindowMessage message);

}  // namespace korva::app
