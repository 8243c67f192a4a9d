#include "device/ReportDescriptor.h"

#include <algorithm>
#include <map>
#include <optional>
#include <utility>

namespace korva::device {

std::uint32_t ReportField::UsageCount() const {
  std::uint32_t count = 0;
  for (const UsageSpan& span : usages) count += span.last - span.first + 1;
  return std::max<std::uint32_t>(count, 1);
}

std::uint32_t UsageAt(std::span<const UsageSpan> usages, std::uint32_t index) {
  if (usages.empty()) return 0;
  for (const UsageSpan& span : usages) {
    const std::uint32_t size = span.last - span.first + 1;
    if (index < size) return span.first + index;
    index -= size;
  }
  return usages.back().last;
}

std::vector<int> ReportDescriptor::TopLevelCollections() const {
  std::vector<int> result;
  for (std::size_t i = 0; i < collections.size(); ++i) {
    if (collections[i].parent < 0) result.push_back(static_cast<int>(i));
  }
  return result;
}

int ReportDescriptor::FindTopLevel(std::uint16_t usagePage, std::uint16_t usage) const {
  for (int index : TopLevelCollections()) {
    const HidCollection& c = collections[static_cast<std::size_t>(index)];
    if (c.usagePage == usagePage && c.usage == usage) return index;
  }
  return -1;
}

std::uint32_t ReportDescriptor::ReportBits(ReportType type, std::uint8_t reportId) const {
  std::uint32_t bits = 0;
  for (const ReportField& f : fields) {
    if (f.type == type && f.reportId == reportId) bits += f.reportSize * f.reportCount;
  }
  return bits;
}

std::size_t ReportDescriptor::ReportByteLength(ReportType type, int topLevel) const {
  std::size_t longest = 0;
  for (const ReportField& f : fields) {
    if (f.type != type || f.topLevel != topLevel) continue;
    const std::size_t bytes = (ReportBits(type, f.reportId) + 7) / 8 + 1;
    longest = std::max(longest, bytes);
  }
  return longest;
}

namespace {

// Item tags (HID 1.11, 6.2.2.4 - 6.2.2.8), by item type.
enum MainTag : std::uint8_t {
  kInput = 0x8,
  kOutput = 0x9,
  kCollection = 0xA,
  kFeature = 0xB,
  kEndCollection = 0xC
};
enum GlobalTag : std::uint8_t {
  kUsagePage = 0x0,
  kLogicalMin = 0x1,
  kLogicalMax = 0x2,
  kPhysicalMin = 0x3,
  kPhysicalMax = 0x4,
  kReportSize = 0x7,
  kReportId = 0x8,
  kReportCount = 0x9,
  kPush = 0xA,
  kPop = 0xB,
};
enum LocalTag : std::uint8_t { kUsage = 0x0, kUsageMin = 0x1, kUsageMax = 0x2, kIgnoredLocalTag = 0xF };
enum ItemType : std::uint8_t { kMain = 0, kGlobal = 1, kLocal = 2, kReserved = 3 };

constexpr std::uint8_t kLongItemPrefix = 0xFE;
// Bounds that keep a hostile descriptor from costing unbounded memory or time.
constexpr std::size_t kMaxCollectionDepth = 64;
constexpr std::size_t kMaxPushDepth = 32;
constexpr std::size_t kMaxUsagesPerItem = 1024;
constexpr std::uint32_t kMaxFieldBits = 32;

struct Item {
  std::size_t offset = 0;
  std::uint8_t type = 0;
  std::uint8_t tag = 0;
  std::uint8_t size = 0;  // data bytes: 0, 1, 2 or 4
  std::uint32_t data = 0;

  std::int32_t Signed() const {
    switch (size) {
      case 1:
        return static_cast<std::int8_t>(data);
      case 2:
        return static_cast<std::int16_t>(data);
      case 4:
        return static_cast<std::int32_t>(data);
      default:
        return 0;
    }
  }
};

struct GlobalState {
  std::uint16_t usagePage = 0;
  std::int32_t logicalMin = 0;
  std::int32_t logicalMax = 0;
  std::uint32_t logicalMaxRaw = 0;
  std::uint8_t logicalMaxSize = 0;
  std::int32_t physicalMin = 0;
  std::int32_t physicalMax = 0;
  std::uint32_t reportSize = 0;
  std::uint32_t reportCount = 0;
  std::uint8_t reportId = 0;
};

// A usage as declared: 16-bit usages take the usage page at the main item, 32-bit ones carry their own.
struct DeclaredUsage {
  std::uint32_t value = 0;
  bool extended = false;
};

struct LocalState {
  std::vector<std::pair<DeclaredUsage, DeclaredUsage>> spans;
  std::optional<DeclaredUsage> pendingMin;
  std::optional<DeclaredUsage> pendingMax;
};

class Parser {
 public:
  explicit Parser(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

  Result<ReportDescriptor> Run() {
    while (pos_ < bytes_.size()) {
      Item item;
      if (!ReadItem(item) || !Dispatch(item)) return Failure();
    }
    if (!open_.empty()) {
      FailAt(bytes_.size(),
             "collection opened at byte " + std::to_string(openedAt_.back()) + " is not closed");
      return Failure();
    }
    for (const ReportField& f : descriptor_.fields) {
      if (descriptor_.usesReportIds && f.reportId == 0) {
        FailAt(bytes_.size(), "a main item comes before the first Report ID");
        return Failure();
      }
    }
    return std::move(descriptor_);
  }

 private:
  bool Dispatch(const Item& item) {
    switch (item.type) {
      case kMain:
        return Main(item);
      case kGlobal:
        return Global(item);
      case kLocal:
        return Local(item);
      default:
        return Reject(item, "reserved item type");
    }
  }

  Error Failure() const { return Error::AtByte(errorAt_, error_); }

  bool FailAt(std::size_t offset, std::string what) {
    errorAt_ = offset;
    error_ = std::move(what);
    return false;
  }

  bool Reject(const Item& item, std::string what) { return FailAt(item.offset, std::move(what)); }

  bool ReadItem(Item& item) {
    item.offset = pos_;
    const std::uint8_t prefix = bytes_[pos_];
    if (prefix == kLongItemPrefix) {
      // Long items (6.2.2.3) define nothing we use: skip them whole, as a local item of no known tag.
      if (pos_ + 3 > bytes_.size() || pos_ + 3u + bytes_[pos_ + 1] > bytes_.size()) {
        return Reject(item, "long item is cut short");
      }
      pos_ += 3u + bytes_[pos_ + 1];
      item.type = kLocal;
      item.tag = kIgnoredLocalTag;
      return true;
    }
    static constexpr std::uint8_t kSizes[4] = {0, 1, 2, 4};
    item.size = kSizes[prefix & 0x03];
    item.type = static_cast<std::uint8_t>((prefix >> 2) & 0x03);
    item.tag = static_cast<std::uint8_t>(prefix >> 4);
    if (pos_ + 1 + item.size > bytes_.size()) return Reject(item, "item is cut short");
    item.data = 0;
    for (std::uint8_t i = 0; i < item.size; ++i) {
      item.data |= static_cast<std::uint32_t>(bytes_[pos_ + 1 + i]) << (8 * i);
    }
    pos_ += 1u + item.size;
    return true;
  }

  bool Global(const Item& item) {
    GlobalState& g = global_;
    switch (item.tag) {
      case kUsagePage:
        g.usagePage = static_cast<std::uint16_t>(item.data);
        break;
      case kLogicalMin:
        g.logicalMin = item.Signed();
        break;
      case kLogicalMax:
        g.logicalMax = item.Signed();
        g.logicalMaxRaw = item.data;
        g.logicalMaxSize = item.size;
        break;
      case kPhysicalMin:
        g.physicalMin = item.Signed();
        break;
      case kPhysicalMax:
        g.physicalMax = item.Signed();
        break;
      case kReportSize:
        if (item.data > kMaxFieldBits) return Reject(item, "Report Size above 32 bits");
        g.reportSize = item.data;
        break;
      case kReportId:
        if (item.data == 0 || item.data > 0xFF) return Reject(item, "Report ID outside 1..255");
        g.reportId = static_cast<std::uint8_t>(item.data);
        descriptor_.usesReportIds = true;
        break;
      case kReportCount:
        if (item.data > kMaxReportBytes * 8) return Reject(item, "Report Count too large");
        g.reportCount = item.data;
        break;
      case kPush:
        if (stack_.size() >= kMaxPushDepth) return Reject(item, "Push nested too deeply");
        stack_.push_back(g);
        break;
      case kPop:
        if (stack_.empty()) return Reject(item, "Pop without Push");
        g = stack_.back();
        stack_.pop_back();
        break;
      default:
        break;  // unit, unit exponent and reserved tags carry nothing we use
    }
    return true;
  }

  bool Local(const Item& item) {
    const DeclaredUsage usage{item.data, item.size == 4};
    switch (item.tag) {
      case kUsage:
        if (!AddSpan(item, usage, usage)) return false;
        break;
      case kUsageMin:
        if (local_.pendingMin) return Reject(item, "Usage Minimum without Usage Maximum");
        local_.pendingMin = usage;
        if (!CloseRange(item)) return false;
        break;
      case kUsageMax:
        if (local_.pendingMax) return Reject(item, "Usage Maximum without Usage Minimum");
        local_.pendingMax = usage;
        if (!CloseRange(item)) return false;
        break;
      default:
        break;  // designators, strings and delimiters name nothing we use
    }
    return true;
  }

  bool CloseRange(const Item& item) {
    if (!local_.pendingMin || !local_.pendingMax) return true;
    const bool ok = AddSpan(item, *local_.pendingMin, *local_.pendingMax);
    local_.pendingMin.reset();
    local_.pendingMax.reset();
    return ok;
  }

  bool AddSpan(const Item& item, DeclaredUsage first, DeclaredUsage last) {
    if (local_.spans.size() >= kMaxUsagesPerItem) return Reject(item, "too many usages before one main item");
    local_.spans.emplace_back(first, last);
    return true;
  }

  std::uint32_t Resolve(DeclaredUsage usage) const {
    if (usage.extended) return usage.value;
    return (static_cast<std::uint32_t>(global_.usagePage) << 16) | (usage.value & 0xFFFFu);
  }

  bool Main(const Item& item) {
    if (local_.pendingMin || local_.pendingMax) {
      return Reject(item, "Usage Minimum and Usage Maximum must come in pairs");
    }
    std::vector<UsageSpan> usages;
    for (const auto& [first, last] : local_.spans) {
      UsageSpan span{Resolve(first), Resolve(last)};
      if (span.first > span.last) return Reject(item, "Usage Minimum above Usage Maximum");
      usages.push_back(span);
    }
    local_ = LocalState{};

    switch (item.tag) {
      case kInput:
        return AddField(item, ReportType::kInput, std::move(usages));
      case kOutput:
        return AddField(item, ReportType::kOutput, std::move(usages));
      case kFeature:
        return AddField(item, ReportType::kFeature, std::move(usages));
      case kCollection:
        return OpenCollection(item, usages);
      case kEndCollection:
        if (open_.empty()) return Reject(item, "End Collection without Collection");
        open_.pop_back();
        openedAt_.pop_back();
        return true;
      default:
        return Reject(item, "unknown main item");
    }
  }

  bool OpenCollection(const Item& item, const std::vector<UsageSpan>& usages) {
    if (open_.size() >= kMaxCollectionDepth) return Reject(item, "collections nested too deeply");
    HidCollection c;
    const std::uint32_t usage =
        usages.empty() ? (static_cast<std::uint32_t>(global_.usagePage) << 16) : usages.front().first;
    c.usagePage = UsagePageOf(usage);
    c.usage = UsageIdOf(usage);
    c.kind = static_cast<std::uint8_t>(item.data);
    c.parent = open_.empty() ? -1 : open_.back();
    descriptor_.collections.push_back(c);
    open_.push_back(static_cast<int>(descriptor_.collections.size() - 1));
    openedAt_.push_back(item.offset);
    return true;
  }

  bool AddField(const Item& item, ReportType type, std::vector<UsageSpan> usages) {
    const GlobalState& g = global_;
    std::uint32_t& bits = reportBits_[{type, g.reportId}];
    const std::uint64_t added = static_cast<std::uint64_t>(g.reportSize) * g.reportCount;
    if (bits + added > kMaxReportBytes * 8) return Reject(item, "report longer than 4096 bytes");

    ReportField f;
    f.type = type;
    f.reportId = g.reportId;
    f.bitOffset = bits;
    f.reportSize = g.reportSize;
    f.reportCount = g.reportCount;
    f.flags = item.data;
    f.logicalMin = g.logicalMin;
    f.logicalMax = g.logicalMax;
    // Many devices declare e.g. Logical Maximum (255) in one byte, which reads as -1 when taken as
    // signed; with a non-negative minimum the maximum can only have been meant unsigned.
    if (g.logicalMin >= 0 && g.logicalMax < g.logicalMin && g.logicalMaxSize < 4) {
      f.logicalMax = static_cast<std::int32_t>(g.logicalMaxRaw);
    }
    f.physicalMin = g.physicalMin;
    f.physicalMax = g.physicalMax;
    f.usages = std::move(usages);
    f.collection = open_.empty() ? -1 : open_.back();
    f.topLevel = open_.empty() ? -1 : open_.front();
    bits += static_cast<std::uint32_t>(added);
    descriptor_.fields.push_back(std::move(f));
    return true;
  }

  std::span<const std::uint8_t> bytes_;
  std::size_t pos_ = 0;
  std::size_t errorAt_ = 0;
  std::string error_;
  GlobalState global_;
  std::vector<GlobalState> stack_;
  LocalState local_;
  std::vector<int> open_;
  std::vector<std::size_t> openedAt_;
  std::map<std::pair<ReportType, std::uint8_t>, std::uint32_t> reportBits_;
  ReportDescriptor descriptor_;
};

}  // namespace

Result<ReportDescriptor> ParseReportDescriptor(std::span<const std::uint8_t> bytes) {
  return Parser(bytes).Run();
}

}  // namespace korva::device
