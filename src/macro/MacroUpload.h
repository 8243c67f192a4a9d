#pragma once
// The macro download of an upload: the library on disk packed into one block and written to the
// device's macro memory, before the key bank goes (the keyboard's upload and the mouse's key save
// both run it first, and stop when it refuses):
//
//   library empty            nothing is sent; the upload goes on
//   block built              01; 15 block (chunked); 02; the upload goes on
//   over capacity            nothing is sent; "message_text_16" with the steps that would have to
//                            go; the upload stops
//   index or file unreadable nothing is sent; kTextMacroLibraryUnreadable; the upload stops
//
// The device's answers are not examined beyond the result code returned.

#include <cstdint>
#include <optional>
#include <string_view>

#include "common/Result.h"
#include "device/HidDevice.h"
#include "macro/MacroFiles.h"

namespace korva::macro {

// The library does not fit the device's macro memory; "%d" = the steps that would have to go.
inline constexpr std::string_view kTextOverCapacity = "message_text_16";

struct MacroUploadResult {
  int result = 1;                 // the device result of what was sent (kResultOk when nothing was)
  bool sent = false;              // a block went to the device
  bool stop = false;              // the upload must end here: nothing more may be sent
  std::string_view textId;        // the message to show when stopped
  std::optional<int> textNumber;  // its "%d"
  Error error;                    // what was wrong, for the trace
};

// `capacityUnits` is byte 6 of the device's information block.
MacroUploadResult UploadMacroLibrary(device::HidDevice& device, const MacroLibrary& library,
                                     std::uint8_t capacityUnits);

}  // namespace korva::macro
