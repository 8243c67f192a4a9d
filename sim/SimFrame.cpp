#include "sim/SimFrame.h"

namespace korva::sim::frame {

std::uint16_t Checksum(std::span<const std::uint8_t, kReportSize> report) {
  unsigned sum = 0;
  for (std::size_t i = kCommand; i < kReportSize; ++i) sum += report[i];
  return static_cast<std::uint16_t>(sum & 0xFFFFu);
}

bool ChecksumMatches(std::span<const std::uint8_t, kReportSize> report) {
  const unsigned stored = report[kChecksumLow] | (unsigned{report[kChecksumHigh]} << 8);
  return stored == Checksum(report);
}

void Seal(SimReport& report) {
  const std::uint16_t sum = Checksum(report);
  report[kChecksumLow] = static_cast<std::uint8_t>(sum & 0xFF);
  report[kChecksumHigh] = static_cast<std::uint8_t>(sum >> 8);
}

std::uint16_t Address(std::span<const std::uint8_t, kReportSize> report) {
  return static_cast<std::uint16_t>(report[kAddressLow] | (report[kAddressHigh] << 8));
}

SimReport AnswerTo(std::span<const std::uint8_t, kReportSize> request, std::uint8_t status) {
  SimReport answer{};
  answer[0] = kVendorReportId;
  answer[kCommand] = request[kCommand];
  answer[kLength] = request[kLength];
  answer[kAddressLow] = request[kAddressLow];
  answer[kAddressHigh] = request[kAddressHigh];
  answer[kStatus] = status;
  return answer;
}

}  // namespace korva::sim::frame
