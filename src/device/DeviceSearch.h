#pragma once
// How the watchers and the synchronisation readers recognise their device among the enumerated HID
// collections: a cheap test on what enumeration reports (the vendor id, and for the readers the
// product id), then, after opening, the identity test on the opened collection's attributes and
// capabilities. A collection that opens but fails the identity test is closed again and the search
// goes on with the next one.

#include <cstdint>
#include <vector>

#include "device/HidBackend.h"
#include "device/HidDevice.h"
#include "device/HidLink.h"
#include "device/KnownDevices.h"

namespace korva::device {

struct SearchRule {
  std::uint16_t vendorId = 0;
  std::vector<std::uint16_t> productIds;  // any of them passes the identity test
  bool pathTestsProduct = false;          // the readers also test the product id before opening
  std::uint16_t usagePage = 0;
  std::uint16_t usage = 0;
  HidOpenOptions options;
};

// The watchers open for reading and writing; the readers only read.
inline constexpr HidOpenOptions kWatcherOpenOptions{
    .wantRead = true, .wantWrite = true, .overlapped = true, .shareReadOnly = false};
inline constexpr HidOpenOptions kReaderOpenOptions{
    .wantRead = true, .wantWrite = false, .overlapped = true, .shareReadOnly = false};

// Keyboard watcher: vendor 0x0C45; either model (0x8901, 0x7680) on the vendor collection.
SearchRule KeyboardWatcherRule();
// Mouse and mousepad watchers: the device's identity pattern, compared in full after opening.
SearchRule PatternWatcherRule(const HidIdentity& pattern);
// The two devices whose consumer collection a synchronisation reader listens to.
enum class ReaderKind { kKeyboard, kMouse };

// Synchronisation readers (keyboard 0x8901 only, mouse 0x6721): the consumer collection.
SearchRule SyncReaderRule(ReaderKind kind);

bool PassesPathTest(const SearchRule& rule, const HidInterfaceInfo& collection);
bool PassesIdentityTest(const SearchRule& rule, const HidAttributes& attributes,
                        const HidCapabilities& capabilities);

// Tries link.pathList from link.pathCursor on, in order: a collection that passes the path test is
// opened with the rule's options and kept when it passes the identity test. True with the link open
// on the device (the cursor just past it); false with the link closed when none was found.
bool OpenFirstMatch(HidLink& link, const SearchRule& rule);

}  // namespace korva::device
