#pragma once
// The simulated USB bus: KORVA's keyboard (both models), mouse and mousepad, and a foreign device of the
// same vendor, behind the HidBackend seam. The tests, the benchmarks and the demo mode (--simulate) run on
// it. Each device's firmware model (SimFirmware.h) answers the 64-byte command protocol with its own frame
// parsing, so the host's framing code is checked against an independent implementation.
//
// Interfaces and nodes. A node stands for one hidraw node, i.e. one USB interface; like Linux hidraw,
// every connection open on a node receives a copy of every input report of that node, whichever of the
// node's collections it was opened for, so a host must skip report ids it does not want:
//   keyboard 0x8901  interface 0: boot keyboard (0x0001/0x0006, no reports sent)
//                    interface 1: vendor collection (0xFF1C/0x0092, report id 4, 63 bytes in and out)
//                                 + consumer collection (0x000C/0x0001, report id 3, one 16-bit usage)
//   keyboard 0x7680  interface 0: boot keyboard;  interface 1: vendor collection only
//   mouse 0x6721     interface 0: boot mouse (0x0001/0x0002);  interface 1: vendor + consumer, as above
//   mousepad 0x6621  interface 0: vendor collection only
//   foreign (vendor 0x0C45, product 0x5011)  interface 0: vendor collection; refuses every request (0xFE)
// Paths look like "sim:hidraw7"; a number is never given twice, so a re-plugged device gets new paths.
//
// Timing. A full-speed interrupt link moves one report per endpoint per report interval (default 1 ms),
// so an exchange costs two: the request goes out in the node's next free OUT interval and the answer
// becomes readable one interval after the previous input report of its node, or after the request that
// caused it. A request the device answers is taken as soon as its interval is booked; its Write returns
// once the answer is readable (within the write's time-out), so the host sleeps once per exchange and
// the other readers of the node are woken once, when the answer can be read. Any other write returns
// once it has gone out. A write that cannot go out within its time-out (the interval is longer, or the
// device is stalled) returns kTimeout and the device never sees it. Nothing else waits. Each connection
// queues at most 64 unread reports; further reports are dropped for that connection, as hidraw does.
//
// Thread safety: every member may be called from any thread; connections may be used from several threads.

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "device/HidBackend.h"
#include "sim/SimDeviceKind.h"

namespace korva::sim {

class SimFirmware;

// One request as the device received it (only requests that reached the firmware are logged).
struct SimRequest {
  std::uint64_t sequence = 0;  // bus-wide order of arrival, starting at 1
  int deviceId = 0;
  std::string path;
  std::array<std::uint8_t, kReportSize> bytes{};  // starts with the report id; short writes zero-padded
};

class SimBus final : public device::HidBackend {
 public:
  SimBus();
  ~SimBus() override;
  SimBus(const SimBus&) = delete;
  SimBus& operator=(const SimBus&) = delete;

  // --- HidBackend ---
  // Fails (false, `out` cleared) while FailEnumerations is counting down.
  bool Enumerate(std::vector<device::HidInterfaceInfo>& out) override;
  // Rings on every plug and unplug.
  std::unique_ptr<device::HidChangeSignal> WatchChanges() override;
  bool IsPresent(const std::string& path) override;
  // Null when the path is unknown or unplugged, the path has no collection with the asked usage page and
  // usage, or FailOpens is counting down. The connection's Info() is the collection asked for.
  std::unique_ptr<device::HidConnection> Open(const device::HidInterfaceInfo& collection,
                                              const device::HidOpenOptions& options) override;

  // --- plugging; ids start at 1 and are never reused ---
  int Plug(SimDeviceKind kind);  // a new device with factory memory
  // Open connections fail from now on (a waiting Read returns kFailed at once). Memory and log are kept.
  void Unplug(int id);
  bool Replug(int id);  // the same device, same memory, comes back under new paths; false if unknown/plugged
  bool IsPlugged(int id) const;
  // The collections of the device as enumeration shows them while it is plugged (empty for unknown ids).
  std::vector<device::HidInterfaceInfo> Collections(int id) const;
  std::string VendorPath(int id) const;  // the node carrying the vendor collection ("" for unknown ids)

  // The device's memory, for seeding and assertions. Valid as long as the bus; its members are
  // thread-safe. Unknown ids are a programming error (std::out_of_range).
  SimFirmware& Firmware(int id);
  const SimFirmware& Firmware(int id) const;

  // --- the user at the device ---
  // Sends the consumer report with `usage` and then the release report (usage 0). False when the device
  // is unplugged or has no consumer collection. The devices raise 0x0402 by themselves after answering a
  // restore-defaults request.
  bool RaiseConsumerReport(int id, std::uint16_t usage);
  // The profile button: the next device profile (4 wraps to 0) becomes active, then 0x0401 is raised
  // where the device has a consumer collection. False for unknown, unplugged or foreign devices.
  bool PressProfileButton(int id);
  // The mouse's sensitivity button: the active profile's current stage (record byte 19) steps 0..5, then
  // 0x0402 is raised. False for anything but a plugged mouse.
  bool PressStageButton(int id);

  // --- fault injection, per device; each count starts from the next request (or write, or open) ---
  void DropAnswers(int id, int n);                        // the next n requests are acted on, not answered
  void AnswerStatus(int id, std::uint8_t status, int n);  // the next n requests are refused with `status`
  void FailWrites(int id, int n);                         // the next n writes fail (kFailed), nothing sent
  void FailOpens(int id, int n);                          // the next n opens of the device return null
  // The n-th request from now arrives (it is logged, not acted on) and the device vanishes before it
  // answers, as when the cable is pulled in the middle of a transfer. 0 turns it off.
  void UnplugAfterRequests(int id, int n);
  // The next n requests are served as usual; every later one arrives (it is logged) but is neither
  // acted on nor answered, as when the firmware hangs while the device stays on the bus. The silence
  // lasts until a replug or a call with a negative n.
  void SilenceAfterRequests(int id, int n);
  // The USB report interval of the device's nodes (default 1 ms), for output and input reports alike;
  // 0 makes writes go out and answers readable at once.
  void SetReportInterval(int id, std::chrono::microseconds interval);
  // While stalled, the device takes no output report: a write waits until the stall ends (and then goes
  // out), its time-out passes (kTimeout), it is aborted, or the device is unplugged.
  void StallWrites(int id, bool stalled);
  // Waits (condition variable) until a write on the device is held by the stall; false on time-out.
  bool WaitForStalledWrite(int id, std::chrono::milliseconds timeout) const;
  // A stray input report on the vendor node, readable at once (after the report interval). False, with
  // nothing queued, for a report longer than kReportSize (no input report of these devices is).
  bool InjectInputReport(int id, std::span<const std::uint8_t> report);
  // A stray input report queued just ahead of the next answer, i.e. while the next command is in flight
  // (at most kReportSize bytes, as above).
  bool InjectBeforeNextAnswer(int id, std::span<const std::uint8_t> report);
  void FailEnumerations(int n);  // bus-wide: the next n enumerations fail

  // --- request log ---
  std::vector<SimRequest> Requests(int id) const;
  void ClearRequests(int id);
  // Waits (condition variable) until the device's log holds at least `count` requests; false on time-out.
  bool WaitForRequests(int id, std::size_t count, std::chrono::milliseconds timeout) const;
  // The log keeps the newest `perDevice` requests of each device (default 65536), so a long demo session
  // stays bounded; 0 turns logging off.
  void SetRequestLogLimit(std::size_t perDevice);

 private:
  class Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace korva::sim
