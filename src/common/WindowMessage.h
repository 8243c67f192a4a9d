#pragma once
// The main window's own messages, by the names the rest of the program uses for them. Worker
// threads hand their requests to the UI thread as these messages: "send" waits until the UI thread
// has handled the message, "post" only queues it.

#include <cstdint>

namespace korva {

enum class WindowMessage : std::uint16_t {
  // The wake-up message: a second start of the program, and the device watchers after their first
  // pass, ask the running instance to show its window (or say that no device is connected). Its
  // number is the first of the range of messages registered by name at run time.
  WakeMessage = 0xC000,
  WM_RESTORE_ALL = 0x0064,
  WM_HOOK_KEY_SINGLEKEY = 0x0801,
  WM_HOOK_KEY_KBHITKEY = 0x0802,
  WM_HOOK_KEY_MACRO = 0x0803,
  WM_HOOK_KEY_MACRO_MOUSE = 0x0804,
  WM_HOOK_MOU_SINGLEKEY = 0x0810,
  WM_HOOK_MOU_HitKEY = 0x0811,
  WM_HOOK_MOU_MACRO = 0x0812,
  WM_HOOK_MOU_MACRO_MOUSE = 0x0813,
  WM_MS_RELOAD = 0x0901,
  WM_MS_PROFILE = 0x0902,
  WM_MP_RELOAD = 0x0A01,
  WM_MP_PROFILE = 0x0A02,
  WM_KEYBTN_COLOR = 0x0A03,
  WM_KEYBTN_ALPHA = 0x0A04,
  WM_KB_RELOAD = 0x0B01,
  WM_KB_PROFILE = 0x0B02,
  WM_KB_DEFAULTS = 0x0B03,
  WM_PROGRESS_SHOW = 0x0C00,
  WM_PROGRESS_DONE = 0x0C01,
};

}  // namespace korva
