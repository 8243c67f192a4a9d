#include "sim/SimFirmware.h"

#include <algorithm>
#include <stdexcept>

#include "sim/SimFactory.h"
#include "sim/SimFrame.h"

namespace korva::sim {
namespace {

enum Command : std::uint8_t {
  kBeginTransfer = 0x01,
  kEndTransfer = 0x02,
  kReadInfo = 0x03,
  kReadSettings = 0x05,
  kWriteSettings = 0x06,
  kReadDefaultBlock = 0x07,
  kReadBank = 0x08,
  kWriteBank = 0x09,
  kRestoreDefaults = 0x0D,
  kStreamLighting = 0x12,
  kWriteMacroBlock = 0x15,
  kWriteCursorMacroBlock = 0x17,
};

// Whether [address, address + length) lies inside an area of `size` bytes.
bool Inside(std::size_t address, std::size_t length, std::size_t size) {
  return address <= size && length <= size - address;
}

// Copies `length` bytes of `area` from `address` into the answer's data, if they lie inside the area.
std::uint8_t ReadArea(std::span<const std::uint8_t> area, std::size_t address, std::size_t length,
                      SimReport& answer) {
  if (area.empty()) return frame::kStatusUnsupported;
  if (!Inside(address, length, area.size())) return frame::kStatusMalformed;
  std::copy_n(area.begin() + static_cast<std::ptrdiff_t>(address), length, answer.begin() + frame::kPayload);
  return frame::kStatusOk;
}

std::uint8_t WriteArea(std::span<std::uint8_t> area, std::size_t address,
                       std::span<const std::uint8_t> data) {
  if (area.empty()) return frame::kStatusUnsupported;
  if (!Inside(address, data.size(), area.size())) return frame::kStatusMalformed;
  std::copy(data.begin(), data.end(), area.begin() + static_cast<std::ptrdiff_t>(address));
  return frame::kStatusOk;
}

void CheckProfile(int profile) {
  if (profile < 0 || profile >= kSimProfileCount)
    throw std::out_of_range("sim: profile or bank out of range");
}

}  // namespace

SimFirmware::SimFirmware(SimDeviceKind kind) : kind_(kind) {
  std::lock_guard lock(mutex_);
  LoadFactory();
}

void SimFirmware::LoadFactory() {
  SimFactoryImage image = FactoryImage(kind_);
  info_ = image.info;
  settings_ = image.settings;
  hasBanks_ = image.hasBanks;
  defaultBlock_ = image.defaultBlock;
  for (auto& bank : banks_) bank = image.defaultBlock;
  macros_ = std::move(image.macros);
  cursorMacros_ = std::move(image.cursorMacros);
  lighting_.assign(image.ledCount * 3, 0);
  readCursor_ = {};
  writeCursor_ = {};
}

SimReport SimFirmware::Refusal(std::span<const std::uint8_t> request, std::uint8_t status) {
  SimReport padded{};
  std::copy_n(request.begin(), std::min(request.size(), padded.size()), padded.begin());
  SimReport answer = frame::AnswerTo(padded, status);
  frame::Seal(answer);
  return answer;
}

std::optional<SimReport> SimFirmware::Handle(std::span<const std::uint8_t> request) {
  if (request.size() != kReportSize || request[0] != kVendorReportId) return std::nullopt;
  SimReport copy{};
  std::copy(request.begin(), request.end(), copy.begin());
  SimReport answer = frame::AnswerTo(copy, frame::kStatusOk);
  if (kind_ == SimDeviceKind::kForeign) {
    answer[frame::kStatus] = frame::kStatusUnsupported;
  } else if (!frame::ChecksumMatches(copy) || copy[frame::kLength] > kSimMaxPayload) {
    answer[frame::kStatus] = frame::kStatusMalformed;
  } else {
    std::lock_guard lock(mutex_);
    answer[frame::kStatus] = Act(copy, answer);
  }
  if (answer[frame::kStatus] != frame::kStatusOk) {
    std::fill(answer.begin() + frame::kPayload, answer.end(), 0);  // a refusal carries no data
  }
  frame::Seal(answer);
  return answer;
}

std::uint8_t SimFirmware::Act(const SimReport& request, SimReport& answer) {
  const std::uint16_t address = frame::Address(request);
  const std::size_t length = request[frame::kLength];
  const auto payload = std::span<const std::uint8_t>(request).subspan(frame::kPayload, length);
  switch (request[frame::kCommand]) {
    case kBeginTransfer:
      transferOpen_ = true;
      return frame::kStatusOk;
    case kEndTransfer:
      transferOpen_ = false;
      return frame::kStatusOk;
    case kReadInfo:
      // The whole block is answered whatever the length asks; the host copies 33 bytes.
      std::copy(info_.begin(), info_.end(), answer.begin() + frame::kPayload);
      return frame::kStatusOk;
    case kReadSettings:
      return ReadArea(settings_, address, length, answer);
    case kWriteSettings:
      return WriteSettings(address, payload);
    case kReadDefaultBlock:
      if (!hasBanks_) return frame::kStatusUnsupported;
      return ReadArea(defaultBlock_, address, length, answer);
    case kReadBank:
    case kWriteBank: {
      if (!hasBanks_) return frame::kStatusUnsupported;
      const bool write = request[frame::kCommand] == kWriteBank;
      std::size_t bank = 0;
      std::size_t offset = 0;
      const std::uint8_t status =
          BankTransfer(write ? writeCursor_ : readCursor_, address, length, bank, offset);
      if (status != frame::kStatusOk) return status;
      return write ? WriteArea(banks_[bank], offset, payload)
                   : ReadArea(banks_[bank], offset, length, answer);
    }
    case kRestoreDefaults:
      LoadFactory();
      ++restoreCount_;
      transferOpen_ = false;
      return frame::kStatusOk;
    case kStreamLighting:
      return WriteArea(lighting_, address, payload);
    case kWriteMacroBlock:
      return WriteArea(macros_, address, payload);
    case kWriteCursorMacroBlock:
      return WriteArea(cursorMacros_, address, payload);
    default:
      return frame::kStatusUnsupported;
  }
}

std::uint8_t SimFirmware::WriteSettings(std::uint16_t address, std::span<const std::uint8_t> data) {
  if (address != 0 || data.empty()) return WriteArea(settings_, address, data);
  // The active-settings write: byte 0 is the profile it makes active, the rest is that profile's record.
  const std::uint8_t profile = data[0];
  if (profile >= kSimProfileCount || data.size() > kSimRecordStride) return frame::kStatusMalformed;
  settings_[0] = profile;
  const std::size_t record = profile * kSimRecordStride;
  std::copy(data.begin() + 1, data.end(), settings_.begin() + static_cast<std::ptrdiff_t>(record + 1));
  return frame::kStatusOk;
}

std::uint8_t SimFirmware::BankTransfer(BankCursor& cursor, std::uint16_t address, std::size_t length,
                                       std::size_t& bank, std::size_t& offset) {
  // Candidates in order of preference; the first whose chunk fits inside the bank wins.
  struct Place {
    std::size_t bank, offset;
  };
  std::array<Place, 3> candidates{};
  std::size_t count = 0;
  if (cursor.valid) {
    const auto current = static_cast<std::size_t>(cursor.bank);
    // The same chunk again: the host repeats a request whose answer went missing.
    if (address == cursor.lastAddress && length == cursor.lastLength) {
      candidates[count++] = {current, cursor.lastOffset};
    }
    if (cursor.continues && address == cursor.nextAddress)
      candidates[count++] = {current, address - current * kSimBankStride};
  }
  if (address % kSimBankStride == 0 && address / kSimBankStride < kSimProfileCount) {
    candidates[count++] = {std::size_t{address} / kSimBankStride, 0};
  }
  for (std::size_t i = 0; i < count; ++i) {
    if (!Inside(candidates[i].offset, length, kSimBankSize)) continue;
    bank = candidates[i].bank;
    offset = candidates[i].offset;
    cursor.valid = true;
    cursor.bank = static_cast<int>(bank);
    cursor.lastAddress = address;
    cursor.lastLength = length;
    cursor.lastOffset = offset;
    cursor.nextAddress = static_cast<std::uint16_t>(address + length);
    cursor.continues = length == kSimMaxPayload;  // a shorter chunk is the last of its transfer
    return frame::kStatusOk;
  }
  return frame::kStatusMalformed;
}

std::array<std::uint8_t, kSimInfoSize> SimFirmware::Info() const {
  std::lock_guard lock(mutex_);
  return info_;
}

void SimFirmware::SetInfo(std::span<const std::uint8_t> info) {
  std::lock_guard lock(mutex_);
  std::copy_n(info.begin(), std::min(info.size(), info_.size()), info_.begin());
}

std::uint8_t SimFirmware::ActiveProfile() const {
  std::lock_guard lock(mutex_);
  return settings_[0];
}

void SimFirmware::SetActiveProfile(std::uint8_t profile) {
  std::lock_guard lock(mutex_);
  settings_[0] = profile;
}

std::array<std::uint8_t, kSimRecordStride> SimFirmware::Record(int profile) const {
  CheckProfile(profile);
  std::lock_guard lock(mutex_);
  std::array<std::uint8_t, kSimRecordStride> record{};
  std::copy_n(settings_.begin() + profile * static_cast<std::ptrdiff_t>(kSimRecordStride), kSimRecordStride,
              record.begin());
  return record;
}

void SimFirmware::SetRecord(int profile, std::span<const std::uint8_t> bytes) {
  CheckProfile(profile);
  std::lock_guard lock(mutex_);
  std::copy_n(bytes.begin(), std::min(bytes.size(), kSimRecordStride),
              settings_.begin() + profile * static_cast<std::ptrdiff_t>(kSimRecordStride));
}

std::array<std::uint8_t, kSimSettingsSize> SimFirmware::Settings() const {
  std::lock_guard lock(mutex_);
  return settings_;
}

std::array<std::uint8_t, kSimBankSize> SimFirmware::Bank(int bank) const {
  CheckProfile(bank);
  std::lock_guard lock(mutex_);
  return banks_[static_cast<std::size_t>(bank)];
}

void SimFirmware::SetBank(int bank, std::span<const std::uint8_t> bytes) {
  CheckProfile(bank);
  std::lock_guard lock(mutex_);
  auto& target = banks_[static_cast<std::size_t>(bank)];
  std::copy_n(bytes.begin(), std::min(bytes.size(), target.size()), target.begin());
}

std::array<std::uint8_t, kSimBankSize> SimFirmware::DefaultBlock() const {
  std::lock_guard lock(mutex_);
  return defaultBlock_;
}

void SimFirmware::SetDefaultBlock(std::span<const std::uint8_t> bytes) {
  std::lock_guard lock(mutex_);
  std::copy_n(bytes.begin(), std::min(bytes.size(), defaultBlock_.size()), defaultBlock_.begin());
}

std::vector<std::uint8_t> SimFirmware::MacroMemory() const {
  std::lock_guard lock(mutex_);
  return macros_;
}

std::vector<std::uint8_t> SimFirmware::CursorMacroMemory() const {
  std::lock_guard lock(mutex_);
  return cursorMacros_;
}

std::vector<std::uint8_t> SimFirmware::LightingFrame() const {
  std::lock_guard lock(mutex_);
  return lighting_;
}

bool SimFirmware::TransferOpen() const {
  std::lock_guard lock(mutex_);
  return transferOpen_;
}

int SimFirmware::RestoreCount() const {
  std::lock_guard lock(mutex_);
  return restoreCount_;
}

void SimFirmware::RestoreFactory() {
  std::lock_guard lock(mutex_);
  LoadFactory();
}

void SimFirmware::StepSensitivityStage() {
  std::lock_guard lock(mutex_);
  constexpr std::size_t kCurrentStage = 19;
  if (settings_[0] >= kSimProfileCount) return;  // a seeded out-of-range number names no record
  std::uint8_t& stage = settings_[settings_[0] * kSimRecordStride + kCurrentStage];
  stage = static_cast<std::uint8_t>(stage >= 5 ? 0 : stage + 1);
}

void SimFirmware::StepActiveProfile() {
  std::lock_guard lock(mutex_);
  settings_[0] = static_cast<std::uint8_t>((settings_[0] + 1) % kSimProfileCount);
}

std::size_t SimFirmware::MacroCapacity() const {
  std::lock_guard lock(mutex_);
  return macros_.size();
}

std::size_t SimFirmware::LightingSize() const {
  std::lock_guard lock(mutex_);
  return lighting_.size();
}

}  // namespace korva::sim
