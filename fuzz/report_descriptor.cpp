// HID report descriptors as a device hands them over: parse, then ask the sizes the link asks.
#include <cstddef>
#include <cstdint>
#include <span>

#include "device/ReportDescriptor.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto parsed = korva::device::ParseReportDescriptor(std::span<const std::uint8_t>(data, size));
  if (parsed) {
    for (int id = 0; id < 256; ++id) {
      (void)parsed->ReportBits(korva::device::ReportType::kFeature, static_cast<std::uint8_t>(id));
    }
  }
  return 0;
}
