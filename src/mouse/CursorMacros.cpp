#include "mouse/CursorMacros.h"

#include <algorithm>
#include <string>

#include "common/AtomicFile.h"
#include "common/Log.h"
#include "device/CommandExchange.h"
#include "profile/IniFile.h"

namespace korva::mouse {
namespace {

using macro::MacroAction;
using profile::IniFile;

// A .cur file larger than this is not a cursor macro file (the largest holds kMaxCursorSteps lines).
constexpr std::uintmax_t kMaxCursorFileBytes = 256 * 1024;

bool ValidBullet(int bullet) {
  return bullet >= 0 && bullet < kBulletCount;
}

std::string StepKey(int bullet, int j) {
  return std::to_string(kStepsPerBullet * bullet + 3 + j);
}

CursorResult Failed(std::string_view textId, Error error) {
  Trace("cursor macros: " + error.ToString());
  return {textId, std::nullopt, std::move(error)};
}

}  // namespace

std::string DefaultCursorName(int gun) {
  return "name_" + std::to_string(gun + 1);
}

MacroAction CursorMoveStep(bool vertical, const CursorMove& move) {
  MacroAction step;
  const std::uint8_t kind = vertical ? macro::step_kind::kMoveVertical : macro::step_kind::kMoveHorizontal;
  step.kind = static_cast<std::uint8_t>(kind | (move.negative ? macro::step_kind::kPressBit : 0));
  step.code = move.distance;
  step.down = move.negative ? 1 : 0;
  step.label = std::string(vertical ? (move.negative ? kLabelUp : kLabelDown)
                                    : (move.negative ? kLabelLeft : kLabelRight));
  return step;
}

CursorMacros::CursorMacros(std::filesystem::path dataFolder, std::filesystem::path defaultsFolder)
    : dataFolder_(std::move(dataFolder)), defaultsFolder_(std::move(defaultsFolder)) {}

std::filesystem::path CursorMacros::IndexPath() const {
  return macro::MacroIndexPath({dataFolder_, DeviceKind::kMouse});
}

std::filesystem::path CursorMacros::DefaultFile(int gun) const {
  return defaultsFolder_ / (DefaultCursorName(gun) + std::string(kCursorExtension));
}

Result<void> CursorMacros::Initialise() {
  const std::filesystem::path index = IndexPath();
  const Result<std::size_t> count =
      macro::ReadCount(IniFile::Load(index), kCursorCountSection, kCursorMacroCount, index.string());
  if (!count) return count.error();
  if (count.value() != 0) return {};
  // The files first: an index naming them is written only once they are there.
  for (int gun = 0; gun < kCursorMacroCount; ++gun) {
    const std::filesystem::path target =
        macro::FindIgnoringCase(dataFolder_, DefaultCursorName(gun) + std::string(kCursorExtension));
    std::error_code ec;
    if (std::filesystem::exists(target, ec)) continue;
    std::vector<std::uint8_t> bytes;
    if (!ReadWholeFile(DefaultFile(gun), bytes, kMaxCursorFileBytes))
      return Error::InFile(DefaultFile(gun).string(), "the shipped cursor macro cannot be read");
    if (Result<void> written = WriteFileAtomically(target, bytes); !written) return written.error();
  }
  return profile::UpdateIniFile(index, [](IniFile& file) {
    file.SetInt(kCursorCountSection, macro::kCountKey, kCursorMacroCount);
    for (int gun = 0; gun < kCursorMacroCount; ++gun)
      file.SetString(kCursorNameSection, std::to_string(gun), DefaultCursorName(gun));
  });
}

Result<std::vector<std::string>> CursorMacros::Names() const {
  return macro::LoadNameList(IndexPath(), kCursorCountSection, kCursorNameSection, kCursorMacroCount);
}

Result<std::filesystem::path> CursorMacros::GunFile(int gun) const {
  Result<std::vector<std::string>> names = Names();
  if (!names) return names.error();
  if (gun < 0 || static_cast<std::size_t>(gun) >= names.value().size())
    return Error::Plain("no cursor macro " + std::to_string(gun + 1) + " in " + IndexPath().string());
  return macro::FindIgnoringCase(
      dataFolder_, names.value()[static_cast<std::size_t>(gun)] + std::string(kCursorExtension));
}

CursorBulletView CursorMacros::ReadBullet(int gun, int bullet) const {
  CursorBulletView view;
  const Result<std::filesystem::path> path = GunFile(gun);
  if (!path || !ValidBullet(bullet)) return view;
  const IniFile file = IniFile::Load(path.value());
  for (int j = 0; j < 3; ++j) {
    const std::string key = StepKey(bullet, j);
    if (!file.HasKey(macro::kStepSection, key)) continue;
    const std::optional<MacroAction> step =
        macro::ParseMacroAction(file.GetString(macro::kStepSection, key, ""));
    if (!step) continue;
    const bool negative = (step->kind & macro::step_kind::kPressBit) != 0;
    if (j == 0) {
      view.delayMs = std::uint32_t{step->delay} * macro::kDelayUnitMs;
    } else if (step->Kind() == macro::step_kind::kMoveHorizontal) {
      view.x = CursorMove{step->code, negative};
    } else if (step->Kind() == macro::step_kind::kMoveVertical) {
      view.y = CursorMove{step->code, negative};
    }
  }
  return view;
}

Result<void> CursorMacros::StoreBullet(int gun, int bullet, const CursorBulletEdit& edit) {
  if (!ValidBullet(bullet)) return Error::Plain("no bullet " + std::to_string(bullet + 1));
  const Result<std::filesystem::path> path = GunFile(gun);
  if (!path) return path.error();
  return profile::UpdateIniFile(path.value(), [&](IniFile& file) {
    const std::string delayKey = StepKey(bullet, 0);
    // The delay step keeps what it was apart from its delay (a missing one starts empty).
    MacroAction delay =
        macro::ParseMacroAction(file.GetString(macro::kStepSection, delayKey, "")).value_or(MacroAction{});
    delay.delay = static_cast<std::uint16_t>(
        macro::ClampTyped(edit.delayMs, macro::kMaxDelayUnits * macro::kDelayUnitMs) / macro::kDelayUnitMs);
    file.SetString(macro::kStepSection, delayKey, macro::FormatMacroAction(delay));
    file.SetString(macro::kStepSection, StepKey(bullet, 1),
                   macro::FormatMacroAction(CursorMoveStep(false, edit.x)));
    file.SetString(macro::kStepSection, StepKey(bullet, 2),
                   macro::FormatMacroAction(CursorMoveStep(true, edit.y)));
  });
}

CursorResult CursorMacros::ResetGun(int gun) {
  const Result<std::filesystem::path> path = GunFile(gun);
  if (!path) return Failed(kTextCursorUnreadable, path.error());
  std::vector<std::uint8_t> bytes;
  if (!ReadWholeFile(DefaultFile(gun), bytes, kMaxCursorFileBytes))
    return Failed(kTextCursorNotSaved,
                  Error::InFile(DefaultFile(gun).string(), "the shipped cursor macro cannot be read"));
  if (Result<void> written = WriteFileAtomically(path.value(), bytes); !written)
    return Failed(kTextCursorNotSaved, written.error());
  return {};
}

CursorResult CursorMacros::ExportGun(int gun, const std::filesystem::path& target) const {
  const Result<std::filesystem::path> path = GunFile(gun);
  if (!path) return Failed(kTextCursorUnreadable, path.error());
  std::vector<std::uint8_t> bytes;
  if (!ReadWholeFile(path.value(), bytes, kMaxCursorFileBytes))
    return Failed(kTextCursorUnreadable, Error::InFile(path.value().string(), "cannot be read"));
  if (Result<void> written = WriteFileAtomically(target, bytes); !written)
    return Failed(kTextCursorNotSaved, written.error());
  return {};
}

Result<void> CheckCursorFile(std::string_view text, const std::string& fileName) {
  const IniFile file = IniFile::Parse(text, fileName);
  const Result<std::size_t> count =
      macro::ReadCount(file, macro::kStepCountSection, kMaxCursorSteps, fileName);
  if (!count) return count.error();
  const Result<macro::MacroLines> lines = macro::ParseMacroLines(text, fileName, /*strict=*/true);
  if (!lines) return lines.error();
  return {};
}

CursorResult CursorMacros::ImportGun(int gun, const std::filesystem::path& source) {
  const Result<std::filesystem::path> path = GunFile(gun);
  if (!path) return Failed(kTextCursorUnreadable, path.error());
  std::vector<std::uint8_t> bytes;
  if (!ReadWholeFile(source, bytes, kMaxCursorFileBytes))
    return Failed(kTextCursorInvalid, Error::InFile(source.string(), "cannot be read, or is far too large"));
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  if (Result<void> checked = CheckCursorFile(text, source.string()); !checked)
    return Failed(kTextCursorInvalid, checked.error());
  if (Result<void> written = WriteFileAtomically(path.value(), bytes); !written)
    return Failed(kTextCursorNotSaved, written.error());
  return {};
}

macro::MacroBlock CursorMacros::BuildBlock() const {
  macro::MacroBlock block;
  const auto unreadable = [&](Error error) {
    block.status = macro::MacroBlockStatus::kUnreadable;
    block.error = std::move(error);
    return block;
  };
  const Result<std::vector<std::string>> names = Names();
  if (!names) return unreadable(names.error());
  std::vector<macro::MacroLines> guns;
  for (std::size_t gun = 0; gun < names.value().size(); ++gun) {
    const Result<std::filesystem::path> path = GunFile(static_cast<int>(gun));
    if (!path) return unreadable(path.error());
    // A missing file counts no step; the macro rules bound every count.
    Result<macro::MacroLines> lines = macro::ReadMacroLines(path.value());
    if (!lines) return unreadable(lines.error());
    guns.push_back(std::move(lines.value()));
  }
  return macro::BuildMacroBlock(guns, kCursorBlockLimit);
}

CursorDownload DownloadCursorMacros(device::HidDevice& device, const CursorMacros& macros) {
  CursorDownload out;
  const macro::MacroBlock block = macros.BuildBlock();
  switch (block.status) {
    case macro::MacroBlockStatus::kEmpty:
      return out;
    case macro::MacroBlockStatus::kOverCapacity:
      out.result = Failed(kTextCursorTooLarge,
                          Error::Plain("the cursor macro block needs " + std::to_string(block.size) +
                                       " bytes; the mouse holds " + std::to_string(kCursorBlockLimit)));
      out.result.number = static_cast<int>(std::min<std::size_t>(block.size - kCursorBlockLimit, 1u << 30));
      return out;
    case macro::MacroBlockStatus::kUnreadable:
      out.result = Failed(kTextCursorUnreadable, block.error);
      return out;
    case macro::MacroBlockStatus::kBuilt:
      break;
  }
  device::BeginTransfer(device);
  device::WriteCursorMacroBlock(device, block.bytes);
  device::EndTransfer(device);
  out.sent = true;
  return out;
}

}  // namespace korva::mouse
