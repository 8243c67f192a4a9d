#include "device/CommandExchange.h"

#include <algorithm>
#include <chrono>
#include <mutex>
#include <thread>

#include "common/Log.h"

namespace korva::device {
namespace {

using Clock = std::chrono::steady_clock;

// Sets the device's busy flag for the lifetime of the guard, unless told not to.
class BusyGuard {
 public:
  BusyGuard(HidDevice& device, bool active) : device_(device), active_(active) {
    if (active_) device_.busy = true;
  }
  ~BusyGuard() {
    if (active_) device_.busy = false;
  }
  BusyGuard(const BusyGuard&) = delete;
  BusyGuard& operator=(const BusyGuard&) = delete;

 private:
  HidDevice& device_;
  bool active_;
};

bool IsAnswer(std::span<const std::uint8_t> report) {
  return report.size() == CommandReport::kSize && report[0] == CommandReport::kReportId;
}

// Reads until an answer arrives or the answer window closes. Reports that are not answers are
// skipped within the same window: the first read waits the whole window, a read after a skipped
// report what is left of it.
bool AwaitAnswer(HidLink& link, CommandReport& answer) {
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(kAnswerTimeoutMs);
  std::array<std::uint8_t, CommandReport::kSize> buffer{};
  int timeoutMs = kAnswerTimeoutMs;
  for (;;) {
    std::size_t n = 0;
    if (!ReadReport(link, buffer, timeoutMs, n)) return false;
    if (IsAnswer(std::span(buffer).first(n))) {
      answer.bytes = buffer;
      return true;
    }
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) return false;
    timeoutMs = static_cast<int>(left);
  }
}

// An answer that arrived after its exchange gave up (a retry answered twice, a late device) is still
// queued; taken by the next exchange it would pass for that exchange's answer. Each request therefore
// starts from an empty queue. Bounded, so a device that floods reports cannot hold the exchange.
void DiscardStaleReports(HidLink& link) {
  constexpr int kMaxStale = 64;
  std::array<std::uint8_t, CommandReport::kSize> buffer{};
  for (int i = 0; i < kMaxStale; ++i) {
    std::size_t n = 0;
    if (!ReadReport(link, buffer, 0, n)) return;
  }
}

int StatusResult(const CommandReport& answer) {
  switch (answer.Status()) {
    case CommandReport::kStatusRefusedFF:
      return kResultRefusedFF;
    case CommandReport::kStatusRefusedFE:
      return kResultRefusedFE;
    default:
      return kResultOk;
  }
}

// One request, up to `attempts` writes each followed by an answer window, all under the device lock.
int FramedExchange(HidDevice& device, const CommandReport& request, CommandReport& answer, bool markBusy) {
  BusyGuard busy(device, markBusy);
  if (!device.connected) return kResultNoAnswer;
  std::lock_guard lock(device.lock);
  DiscardStaleReports(device.link);
  for (int attempt = 0; attempt < kExchangeAttempts; ++attempt) {
    std::size_t written = 0;
    if (!WriteReport(device.link, request.bytes, written)) return kResultWriteFailed;
    if (AwaitAnswer(device.link, answer)) return StatusResult(answer);
  }
  return kResultNoAnswer;
}

// Single-frame request without data in or out.
int SimpleCommand(HidDevice& device, CommandCode code) {
  CommandReport answer;
  return FramedExchange(device, BuildRequest(code, 0, 0), answer, true);
}

// A transfer longer than one frame: chunks of 56 bytes (the last one shorter) at address
// base + offset; the data of each chunk comes from, or goes to, the same offset of the caller's
// buffer. Exactly one of source and sink is used, by the length of `total`.
struct ChunkedTransfer {
  CommandCode code;
  std::uint16_t base = 0;
  std::size_t total = 0;
  std::span<const std::uint8_t> source;  // writes
  std::span<std::uint8_t> sink;          // reads
  bool stream = false;                   // the lighting stream: no busy flag, skipped while disabled
};

bool AddressesFit(std::size_t base, std::size_t total) {
  return total == 0 || base + ((total - 1) / kChunkSize) * kChunkSize <= 0xFFFF;
}

int RunChunks(HidDevice& device, const ChunkedTransfer& t) {
  if (t.total == 0) return kResultOk;
  if (!AddressesFit(t.base, t.total)) return kResultNoAnswer;
  for (std::size_t offset = 0; offset < t.total; offset += kChunkSize) {
    if (t.stream && !device.streamEnabled) {
      Trace("灯光发送数据停止");
      continue;
    }
    const std::size_t length = offset + kChunkSize < t.total ? kChunkSize : t.total - offset;
    const auto address = static_cast<std::uint16_t>(t.base + offset);
    const std::span<const std::uint8_t> payload =
        t.source.empty() ? std::span<const std::uint8_t>{} : t.source.subspan(offset, length);
    const CommandReport request = BuildRequest(t.code, static_cast<std::uint8_t>(length), address, payload);
    CommandReport answer;
    const int result = FramedExchange(device, request, answer, !t.stream);
    if (result != kResultOk) return result;
    if (!t.sink.empty()) {
      std::copy_n(answer.Payload().begin(), length, t.sink.begin() + static_cast<std::ptrdiff_t>(offset));
    }
  }
  return kResultOk;
}

int ReadBlock(HidDevice& device, CommandCode code, std::uint16_t base, std::span<std::uint8_t> out) {
  const std::size_t total = device.blockSize;
  if (out.size() < total) return kResultNoAnswer;
  return RunChunks(device, {code, base, total, {}, out.first(total), false});
}

int WriteData(HidDevice& device, CommandCode code, std::uint16_t base, std::span<const std::uint8_t> data,
              bool stream = false) {
  return RunChunks(device, {code, base, data.size(), data, {}, stream});
}

bool ValidBank(int bank) {
  return bank >= 0 && bank <= kMaxBank;
}

std::uint16_t BankAddress(int bank) {
  return static_cast<std::uint16_t>(bank * kBankStride);
}

}  // namespace

int BeginTransfer(HidDevice& device) {
  return SimpleCommand(device, CommandCode::kBeginTransfer);
}

int EndTransfer(HidDevice& device) {
  std::this_thread::sleep_for(device.endTransferPause);
  return SimpleCommand(device, CommandCode::kEndTransfer);
}

int ReadInfo(HidDevice& device, std::span<std::uint8_t, kInfoSize> out) {
  CommandReport answer;
  const int result = FramedExchange(device, BuildRequest(CommandCode::kReadInfo, kInfoSize, 0), answer, true);
  if (result == kResultOk) std::copy_n(answer.Payload().begin(), kInfoSize, out.begin());
  return result;
}

int ReadSettings(HidDevice& device, std::uint16_t address, std::span<std::uint8_t> out) {
  if (out.size() > kChunkSize) return kResultNoAnswer;
  const auto length = static_cast<std::uint8_t>(out.size());
  CommandReport answer;
  const int result =
      FramedExchange(device, BuildRequest(CommandCode::kReadSettings, length, address), answer, true);
  if (result == kResultOk) std::copy_n(answer.Payload().begin(), out.size(), out.begin());
  return result;
}

int WriteSettings(HidDevice& device, std::uint16_t address, std::span<const std::uint8_t> data) {
  if (data.size() > kChunkSize) return kResultNoAnswer;
  device.LeaveSynchronisedLighting();
  const auto length = static_cast<std::uint8_t>(data.size());
  CommandReport answer;
  return FramedExchange(device, BuildRequest(CommandCode::kWriteSettings, length, address, data), answer,
                        true);
}

int ReadDefaultBlock(HidDevice& device, std::span<std::uint8_t> out) {
  return ReadBlock(device, CommandCode::kReadDefaultBlock, 0, out);
}

int ReadBank(HidDevice& device, int bank, std::span<std::uint8_t> out) {
  if (!ValidBank(bank)) return kResultBadBank;
  return ReadBlock(device, CommandCode::kReadBank, BankAddress(bank), out);
}

int WriteBank(HidDevice& device, int bank, std::span<const std::uint8_t> data) {
  if (!ValidBank(bank)) return kResultBadBank;
  const std::size_t total = device.blockSize;
  if (data.size() < total) return kResultNoAnswer;
  return WriteData(device, CommandCode::kWriteBank, BankAddress(bank), data.first(total));
}

int RestoreDefaults(HidDevice& device) {
  if (!device.connected) return kResultNoAnswer;
  const CommandReport request = BuildRequest(CommandCode::kRestoreDefaults, 0, 0);
  std::lock_guard lock(device.lock);
  DiscardStaleReports(device.link);
  std::size_t written = 0;
  // A request that never left cannot have been answered; whatever might still arrive is not its answer.
  if (!WriteReport(device.link, request.bytes, written)) return kResultWriteFailed;
  CommandReport answer;
  return AwaitAnswer(device.link, answer) ? kResultOk : kResultNoAnswer;
}

int StreamLighting(HidDevice& device, std::span<const std::uint8_t> data) {
  return WriteData(device, CommandCode::kStreamLighting, 0, data, true);
}

int WriteMacroBlock(HidDevice& device, std::span<const std::uint8_t> data) {
  return WriteData(device, CommandCode::kWriteMacroBlock, 0, data);
}

int WriteCursorMacroBlock(HidDevice& device, std::span<const std::uint8_t> data) {
  return WriteData(device, CommandCode::kWriteCursorMacroBlock, 0, data);
}

}  // namespace korva::device
