#include "device/CommandReport.h"

#include <algorithm>
#include <numeric>

namespace korva::device {

std::uint16_t CommandReport::Address() const {
  return static_cast<std::uint16_t>(bytes[kAddressOffset] | (bytes[kAddressOffset + 1] << 8));
}

std::uint16_t CommandReport::StoredChecksum() const {
  return static_cast<std::uint16_t>(bytes[kChecksumOffset] | (bytes[kChecksumOffset + 1] << 8));
}

std::uint16_t ComputeChecksum(const CommandReport& report) {
  const unsigned sum =
      std::accumulate(report.bytes.begin() + CommandReport::kCommandOffset, report.bytes.end(), 0u);
  return static_cast<std::uint16_t>(sum & 0xFFFFu);
}

void StoreChecksum(CommandReport& report) {
  const std::uint16_t sum = ComputeChecksum(report);
  report.bytes[CommandReport::kChecksumOffset] = static_cast<std::uint8_t>(sum & 0xFF);
  report.bytes[CommandReport::kChecksumOffset + 1] = static_cast<std::uint8_t>(sum >> 8);
}

CommandReport BuildRequest(CommandCode command, std::uint8_t length, std::uint16_t address,
                           std::span<const std::uint8_t> payload) {
  CommandReport report;
  report.bytes[0] = CommandReport::kReportId;
  report.bytes[CommandReport::kCommandOffset] = static_cast<std::uint8_t>(command);
  report.bytes[CommandReport::kLengthOffset] = length;
  report.bytes[CommandReport::kAddressOffset] = static_cast<std::uint8_t>(address & 0xFF);
  report.bytes[CommandReport::kAddressOffset + 1] = static_cast<std::uint8_t>(address >> 8);
  const std::size_t n = std::min(payload.size(), CommandReport::kMaxPayload);
  std::copy_n(payload.begin(), n, report.Payload().begin());
  StoreChecksum(report);
  return report;
}

}  // namespace korva::device
