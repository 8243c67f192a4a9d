#include "device/KnownDevices.h"

namespace korva::device {
namespace {

std::optional<DeviceKind> KindOf(std::uint16_t vendorId, std::uint16_t productId, int& keyboardModel) {
  keyboardModel = -1;
  if (vendorId == kHeadsetVendorId && productId == kHeadsetProductId) return DeviceKind::kHeadset;
  if (vendorId != kKorvaVendorId) return std::nullopt;
  switch (productId) {
    case kKeyboardModel0ProductId:
      keyboardModel = 0;
      return DeviceKind::kKeyboard;
    case kKeyboardModel1ProductId:
      keyboardModel = 1;
      return DeviceKind::kKeyboard;
    case kMouseProductId:
      return DeviceKind::kMouse;
    case kMousepadProductId:
      return DeviceKind::kMousepad;
    default:
      return std::nullopt;
  }
}

}  // namespace

CollectionClass ClassifyCollection(const HidInterfaceInfo& info) {
  CollectionClass c;
  c.kind = KindOf(info.vendorId, info.productId, c.keyboardModel);
  if (!c.kind) {
    c.role = CollectionRole::kForeign;
  } else if (info.usagePage == kVendorUsagePage && info.usage == kVendorUsage &&
             c.kind != DeviceKind::kHeadset) {
    c.role = CollectionRole::kCommands;
  } else if (info.usagePage == kConsumerUsagePage && info.usage == kConsumerUsage &&
             (c.kind == DeviceKind::kKeyboard || c.kind == DeviceKind::kMouse)) {
    c.role = CollectionRole::kDeviceReports;
  } else {
    c.role = CollectionRole::kOther;
  }
  return c;
}

std::string_view CollectionRoleName(CollectionRole role) {
  switch (role) {
    case CollectionRole::kCommands:
      return "commands";
    case CollectionRole::kDeviceReports:
      return "device reports";
    case CollectionRole::kOther:
      return "other collection";
    case CollectionRole::kForeign:
      break;
  }
  return "not a KORVA device";
}

}  // namespace korva::device
