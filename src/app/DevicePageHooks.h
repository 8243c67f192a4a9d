#pragma once
// What the main window asks of each device page. The page controllers fill these in (with
// CMainWnd::SetPageHooks) before the window's "windowinit"; an empty hook does nothing. Every hook
// runs on the UI thread, except readOnArrival.

#include <functional>

namespace korva::device {
class HidDevice;
struct Arrival;
}  // namespace korva::device

namespace korva::app {

// Device pages, in the order of the device tabs; also the values of CurrentDevicePage.
enum class DevicePage : int { kKeyboard = 0, kMouse = 1, kMousepad = 2, kHeadset = 3 };
inline constexpr int kDevicePageCount = 4;

struct DevicePageHooks {
  // "windowinit": prepares the page (keyboard, mouse, mousepad, headset, in this order).
  std::function<void()> initPage;
  // Timer 2, keyboard and mousepad, while the device's deferred-write flag is set: writes the
  // device's settings record (keyboard 21 bytes, mousepad 21 bytes, padded to 56) with
  // WriteSettings at address 0 and returns its result. The flag is cleared when it returns 1 or
  // the device is not connected, and kept (retried on the next tick) otherwise.
  std::function<int(device::HidDevice& device)> writeSettings;
  // Full read of the device, then refresh of its page: timer 11 (keyboard), timer 12 (mousepad),
  // WM_KB_RELOAD, WM_MS_RELOAD, WM_MP_RELOAD. The mouse has a built-in one (see CMainWnd).
  std::function<void()> readAll;
  // Re-read of the device's active profile, then refresh: WM_KB_PROFILE, WM_MS_PROFILE,
  // WM_MP_PROFILE. The mouse has a built-in one.
  std::function<void()> reloadProfile;
  // Refresh of the device's page from its image: after an arrival, and after the mouse's built-in
  // reads.
  std::function<void()> refresh;
  // Arrival, first half, ON THE WATCHER THREAD with the device's lock held: the device's full read
  // into a fresh image that the page keeps for applyArrival. It must touch no control and no image
  // of the UI thread, and never wait for the UI thread. Keyboard and mousepad; the mouse has a
  // built-in one (light profile of arrival.profileDengSelect, then the read, then the saves).
  std::function<void(const device::Arrival& arrival)> readOnArrival;
  // Arrival, second half, on the UI thread: puts the image readOnArrival read into effect. The main
  // window then selects the stored profiles in the profile combos and calls refresh.
  std::function<void(const device::Arrival& arrival)> applyArrival;
  // WM_RESTORE_ALL: the device's default profiles -- keyboard light then key, mouse light then key,
  // mousepad light (pages called in the order keyboard, mouse, mousepad).
  std::function<void()> restoreDefaults;
};

}  // namespace korva::app
