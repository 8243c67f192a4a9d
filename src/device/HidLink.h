#pragma once
// HidLink: one open HID interface (collection) over the backend seam, with the capabilities and
// report-item tables loaded from its report descriptor, and the operations on it: enumeration,
// opening, closing, presence test, report read and write.
//
// Threads: the search state (path list, cursor, open options, device path) belongs to the thread
// that opens the link -- for a device's link the one holding the device lock. The connection
// itself may be closed from any thread: CloseLink aborts a waiting ReadReport or WriteReport,
// which then returns false at once, and the connection is destroyed only after the last transfer
// on it has returned. The HidLink object itself must outlive every call made on it.
//
// A reader of input reports takes a copy of the input table once the link is open, reads into a
// buffer of its own (large enough for every report the node carries: on Linux one hidraw node
// delivers the reports of all collections of the interface), and unpacks:
//   ReportTable table = link.InputTable();
//   if (ReadReport(link, buffer, 500, n) && UnpackInputReport(table.items, std::span(buffer).first(n)))
//     ... table.items[0].usageList[0] ...

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "device/HidBackend.h"
#include "device/ReportItems.h"

namespace korva::device {

// What the collection's report descriptor says about it.
struct HidCapabilities {
  std::uint16_t usage = 0;
  std::uint16_t usagePage = 0;
  // Longest report of each type, report id byte included.
  std::uint16_t inputReportByteLength = 0;
  std::uint16_t outputReportByteLength = 0;
  std::uint16_t featureReportByteLength = 0;
  std::uint16_t numberInputButtonItems = 0;
  std::uint16_t numberInputValueItems = 0;
  std::uint16_t numberOutputButtonItems = 0;
  std::uint16_t numberOutputValueItems = 0;
  std::uint16_t numberFeatureButtonItems = 0;
  std::uint16_t numberFeatureValueItems = 0;
};

struct HidAttributes {
  std::uint16_t vendorId = 0;
  std::uint16_t productId = 0;
};

// One report type of the collection: a zeroed buffer of its report byte length and its items.
struct ReportTable {
  std::vector<std::uint8_t> report;
  std::vector<ReportItem> items;
};

inline constexpr int kWriteTimeoutMs = 1000;

struct LinkCapabilityData;  // what OpenLink loaded; private to HidLink.cpp

class HidLink {
 public:
  explicit HidLink(HidBackend& backend);
  ~HidLink();
  HidLink(const HidLink&) = delete;
  HidLink& operator=(const HidLink&) = delete;

  // Search state, see the threads note above.
  std::vector<HidInterfaceInfo> pathList;  // the collections found by the last EnumerateHidPaths
  std::size_t pathCursor = 0;              // next entry of pathList a search will try
  HidOpenOptions options;                  // the four open options
  HidInterfaceInfo devicePath;             // the collection OpenLink opens

  HidBackend& Backend() const { return backend_; }
  bool IsOpen() const;
  // Of the open collection; all zero while closed.
  HidCapabilities Capabilities() const;
  HidAttributes Attributes() const;
  // Copies of the loaded tables, for a caller to read reports into and unpack them (empty while closed).
  ReportTable InputTable() const;
  ReportTable OutputTable() const;
  ReportTable FeatureTable() const;
  bool ReadPending() const { return readPending_.load() > 0; }
  bool WritePending() const { return writePending_.load() > 0; }

 private:
  friend bool OpenLink(HidLink& link);
  friend void CloseLink(HidLink& link);
  friend bool ReadReport(HidLink& link, std::span<std::uint8_t> buffer, int timeoutMs,
                         std::size_t& bytesRead);
  friend bool WriteReport(HidLink& link, std::span<const std::uint8_t> report, std::size_t& bytesWritten);

  std::shared_ptr<HidConnection> Connection() const;
  std::shared_ptr<const LinkCapabilityData> Snapshot() const;

  HidBackend& backend_;
  mutable std::mutex mutex_;  // guards connection_ and loaded_, never held during a transfer
  std::shared_ptr<HidConnection> connection_;
  std::shared_ptr<const LinkCapabilityData> loaded_;
  std::atomic<int> readPending_{0};
  std::atomic<int> writePending_{0};
};

// Fills link.pathList with every present collection (in the backend's order) and resets the
// cursor. False, with an empty list, when the enumeration failed.
bool EnumerateHidPaths(HidLink& link);

// Closes what was open, then opens link.devicePath with link.options and loads the capabilities
// of that collection from its report descriptor. An open whose descriptor cannot be parsed, or
// does not hold the collection, fails and leaves the link closed.
bool OpenLink(HidLink& link);

// Aborts a waiting transfer, frees the capability data and releases the connection. The path
// list is kept. Safe to call from any thread and more than once.
void CloseLink(HidLink& link);

// Whether the collection's path still exists.
bool IsPresent(HidBackend& backend, const std::string& path);

// Reads one input report (report id first) into `buffer`, waiting at most timeoutMs. False on
// time-out, abort, or failure; bytesRead is then 0. The backend transfers synchronously, so
// nothing writes into `buffer` once this has returned.
bool ReadReport(HidLink& link, std::span<std::uint8_t> buffer, int timeoutMs, std::size_t& bytesRead);

// Writes one report (report id first), waiting at most kWriteTimeoutMs. A short write is a failure.
bool WriteReport(HidLink& link, std::span<const std::uint8_t> report, std::size_t& bytesWritten);

}  // namespace korva::device
