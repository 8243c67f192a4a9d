#include "device/DeviceSearch.h"

#include <algorithm>

namespace korva::device {

SearchRule KeyboardWatcherRule() {
  return {kKorvaVendorId, {kKeyboardModel0ProductId, kKeyboardModel1ProductId},
          false,          kVendorUsagePage,
          kVendorUsage,   kWatcherOpenOptions};
}

SearchRule PatternWatcherRule(const HidIdentity& pattern) {
  return {pattern.vendorId,  {pattern.productId}, false,
          pattern.usagePage, pattern.usage,       kWatcherOpenOptions};
}

SearchRule SyncReaderRule(ReaderKind kind) {
  // The second keyboard model (0x7680) has no consumer collection; no reader listens to it.
  const std::uint16_t product = kind == ReaderKind::kKeyboard ? kKeyboardModel0ProductId : kMouseProductId;
  return {kKorvaVendorId, {product}, true, kConsumerUsagePage, kConsumerUsage, kReaderOpenOptions};
}

bool PassesPathTest(const SearchRule& rule, const HidInterfaceInfo& collection) {
  if (collection.vendorId != rule.vendorId) return false;
  return !rule.pathTestsProduct ||
         std::ranges::find(rule.productIds, collection.productId) != rule.productIds.end();
}

bool PassesIdentityTest(const SearchRule& rule, const HidAttributes& attributes,
                        const HidCapabilities& capabilities) {
  return attributes.vendorId == rule.vendorId &&
         std::ranges::find(rule.productIds, attributes.productId) != rule.productIds.end() &&
         capabilities.usagePage == rule.usagePage && capabilities.usage == rule.usage;
}

bool OpenFirstMatch(HidLink& link, const SearchRule& rule) {
  while (link.pathCursor < link.pathList.size()) {
    const HidInterfaceInfo& candidate = link.pathList[link.pathCursor++];
    if (!PassesPathTest(rule, candidate)) continue;
    link.devicePath = candidate;
    link.options = rule.options;
    if (!OpenLink(link)) continue;
    if (PassesIdentityTest(rule, link.Attributes(), link.Capabilities())) return true;
    CloseLink(link);
  }
  return false;
}

}  // namespace korva::device
