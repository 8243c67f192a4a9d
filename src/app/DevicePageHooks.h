#pragma once
// What the main window asks of each device's pages. The page controllers fill these in (with
// CMainWnd::SetPageHooks) before the window's "windowinit"; an empty hook does nothing. Every hook
// runs on the UI thread. The device work itself (reads, writes, restores) is the device session's;
// the pages only show what the session holds.

#include <functional>

namespace korva::app {

struct DevicePageHooks {
  // "windowinit": prepares the page (keyboard, mouse, mousepad, headset, in this order).
  std::function<void()> initPage;
  // The device's image changed (an arrival, a read, a reload, another device's same-mode copy):
  // the page shows it again.
  std::function<void()> refresh;
  // "Restore all defaults" restored the device's default profiles (after the refresh): what the
  // page does beyond showing them (the mouse: the desktop pointer settings they leave).
  std::function<void()> restored;
};

}  // namespace korva::app
