#include "macro/MacroUpload.h"

#include <algorithm>
#include <climits>

#include "common/Log.h"
#include "device/CommandExchange.h"
#include "device/CommandReport.h"
#include "macro/MacroBlock.h"

namespace korva::macro {

MacroUploadResult UploadMacroLibrary(device::HidDevice& device, const MacroLibrary& library,
                                     std::uint8_t capacityUnits) {
  MacroUploadResult out;
  out.result = device::kResultOk;
  const MacroBlock block = BuildMacroBlock(library, MacroCapacity(capacityUnits));
  switch (block.status) {
    case MacroBlockStatus::kEmpty:
      return out;
    case MacroBlockStatus::kOverCapacity:
      out.stop = true;
      out.textId = kTextOverCapacity;
      out.textNumber = static_cast<int>(std::min<std::size_t>(block.stepsOver, INT_MAX));
      out.error = Error::Plain("the macro block needs " + std::to_string(block.size) + " bytes; the device holds " +
                               std::to_string(MacroCapacity(capacityUnits)));
      Trace("macros: " + out.error.ToString());
      return out;
    case MacroBlockStatus::kUnreadable:
      out.stop = true;
      out.textId = kTextMacroLibraryUnreadable;
      out.error = block.error;
      Trace("macros: not sent: " + out.error.ToString());
      return out;
    case MacroBlockStatus::kBuilt:
      break;
  }
  out.sent = true;
  out.result = device::BeginTransfer(device);
  const int written = device::WriteMacroBlock(device, block.bytes);
  const int ended = device::EndTransfer(device);
  if (out.result == device::kResultOk) out.result = written;
  if (out.result == device::kResultOk) out.result = ended;
  return out;
}

}  // namespace korva::macro
