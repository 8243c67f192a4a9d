#include "macro/MacroBlock.h"

#include <limits>

namespace korva::macro {
namespace {

constexpr std::size_t kMaxField = std::numeric_limits<std::uint16_t>::max();

// Writes little-endian fields into a block of fixed size; a field that would pass the end or does
// not fit its width is not written and marks the block failed, so a miscount can never write
// outside the buffer or send a truncated number.
class BlockWriter {
 public:
  explicit BlockWriter(std::vector<std::uint8_t>& bytes) : bytes_(bytes) {}

  void Put8(std::size_t at, std::size_t value) {
    if (value > 0xFF || at >= bytes_.size()) {
      ok_ = false;
      return;
    }
    bytes_[at] = static_cast<std::uint8_t>(value);
  }
  void Put16(std::size_t at, std::size_t value) {
    if (value > kMaxField || at > bytes_.size() || bytes_.size() - at < 2) {
      ok_ = false;
      return;
    }
    bytes_[at] = static_cast<std::uint8_t>(value & 0xFF);
    bytes_[at + 1] = static_cast<std::uint8_t>(value >> 8);
  }
  bool ok() const { return ok_; }

 private:
  std::vector<std::uint8_t>& bytes_;
  bool ok_ = true;
};

}  // namespace

MacroBlock BuildMacroBlock(std::span<const MacroLines> macros, std::size_t capacity) {
  MacroBlock block;
  const std::size_t n = macros.size();
  if (n == 0) return block;
  // Sizes in a wide type: the count is bounded by the index rules and each macro by
  // kMaxMacroSteps, so no sum below can wrap, and S is checked against its 16-bit field.
  std::size_t size = kMacroBlockHeaderSize + 2 * n;
  for (const MacroLines& lines : macros) size += kMacroRecordHeaderSize + kMacroStepSize * lines.size();
  block.size = size;
  if (size > capacity) {
    block.status = MacroBlockStatus::kOverCapacity;
    block.stepsOver = (size - capacity) / kMacroStepSize + 1;
    return block;
  }
  if (size > kMaxField || n > kMaxField) {
    block.status = MacroBlockStatus::kOverCapacity;
    block.stepsOver = (size - kMaxField) / kMacroStepSize + 1;
    return block;
  }

  std::vector<std::uint8_t> bytes(size, 0);
  BlockWriter out(bytes);
  out.Put16(0, kMacroBlockMagic);
  out.Put16(2, size);
  out.Put16(4, n);
  std::size_t w = kMacroBlockHeaderSize + 2 * n;
  for (std::size_t i = 0; i < n; ++i) {
    const MacroLines& lines = macros[i];
    out.Put16(kMacroBlockHeaderSize + 2 * i, w);
    out.Put16(w, lines.size());
    for (std::size_t j = 0; j < lines.size(); ++j) {
      if (!lines[j]) continue;  // the zeros stand for a line that is not a step
      const std::size_t at = w + kMacroRecordHeaderSize + kMacroStepSize * j;
      out.Put8(at, lines[j]->DelayLow());
      out.Put8(at + 1, lines[j]->DelayHigh());
      out.Put8(at + 2, lines[j]->kind);
      out.Put8(at + 3, lines[j]->code);
    }
    w += kMacroRecordHeaderSize + kMacroStepSize * lines.size();
  }
  if (!out.ok() || w != size) {
    block.status = MacroBlockStatus::kUnreadable;
    block.error = Error::Plain("the macro block does not come out at its computed size");
    return block;
  }
  block.status = MacroBlockStatus::kBuilt;
  block.bytes = std::move(bytes);
  return block;
}

MacroBlock BuildMacroBlock(const MacroLibrary& library, std::size_t capacity) {
  MacroBlock block;
  const Result<std::vector<std::string>> names = LoadMacroIndex(library);
  if (!names) {
    block.status = MacroBlockStatus::kUnreadable;
    block.error = names.error();
    return block;
  }
  std::vector<MacroLines> macros;
  macros.reserve(names.value().size());
  for (const std::string& name : names.value()) {
    const Result<std::filesystem::path> path = MacroFilePath(library, name);
    Result<MacroLines> lines = path ? ReadMacroLines(path.value()) : Result<MacroLines>(path.error());
    if (!lines) {
      block.status = MacroBlockStatus::kUnreadable;
      block.error = lines.error();
      return block;
    }
    macros.push_back(std::move(lines.value()));
  }
  return BuildMacroBlock(macros, capacity);
}

}  // namespace korva::macro
