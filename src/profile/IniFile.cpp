#include "profile/IniFile.h"

// Only this file sees SimpleIni. Text stays UTF-8 end to end, so no wide-character converter is
// needed (SI_NO_CONVERSION); CSimpleIniA is the variant whose sections and keys ignore case.
// Debian's packaging hides the template bodies behind SI_IMPLEMENTATION (its shared library
// carries only some instantiations); we compile them here, header-only, so nothing else links.
#define SI_NO_CONVERSION
#define SI_IMPLEMENTATION
#include <SimpleIni.h>

#include <cerrno>
#include <climits>
#include <fstream>
#include <mutex>
#include <system_error>

#include "common/Log.h"
#include "profile/TextChecks.h"

namespace korva::profile {
namespace {

// Index, macro and settings files are a few kilobytes; anything far larger is not one of them.
constexpr std::uintmax_t kMaxIniBytes = 4u * 1024u * 1024u;

// Serialises the read-modify-write sequences of this process (the Windows calls serialised
// single calls; we serialise whole updates so no change is lost between two writers).
std::mutex& UpdateMutex() {
  static std::mutex mutex;
  return mutex;
}

// atoi semantics without its undefined behaviour on overflow.
int ParseLeadingInt(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) break;
  }
  if (negative) value = -value;
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

bool HasLineBreakOrNul(std::string_view text) {
  return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

// What SetString can store so that a later read finds the same section, key and value.
bool IsStorable(std::string_view section, std::string_view key, std::string_view value) {
  return !HasLineBreakOrNul(section) && section.find(']') == std::string_view::npos && !key.empty() &&
         !HasLineBreakOrNul(key) && key.find('=') == std::string_view::npos && !HasLineBreakOrNul(value) &&
         IsValidUtf8(section) && IsValidUtf8(key) && IsValidUtf8(value);
}

}  // namespace

struct IniFile::Document {
  // UTF-8 data, "key=value" without spaces as the Windows calls write it. Several equal keys are
  // kept on load (multi-key), reads return the first; once loaded, multi-key is switched off so
  // that a write updates that first key in place, spelling and position unchanged, as the
  // Windows calls do (saving then writes only the first of equal keys).
  CSimpleIniA ini{/*a_bIsUtf8=*/true, /*a_bMultiKey=*/false, /*a_bMultiLine=*/false};
  Document() { ini.SetSpaces(false); }
};

IniFile::IniFile() : doc_(std::make_unique<Document>()) {}
IniFile::~IniFile() = default;
IniFile::IniFile(IniFile&&) noexcept = default;
IniFile& IniFile::operator=(IniFile&&) noexcept = default;

IniFile IniFile::Parse(std::string_view text) {
  IniFile file;
  if (text.find('\0') != std::string_view::npos) {
    file.problem_ = "it holds binary data";
  } else if (!IsValidUtf8(text)) {
    file.problem_ = "it is not UTF-8 text";
  } else {
    file.doc_->ini.SetMultiKey(true);
    if (file.doc_->ini.LoadData(text.data(), text.size()) < 0) file.problem_ = "it cannot be parsed";
    file.doc_->ini.SetMultiKey(false);
  }
  if (file.corrupt()) file.doc_ = std::make_unique<Document>();
  return file;
}

IniFile IniFile::Load(const std::filesystem::path& path) {
  std::error_code ec;
  const auto status = std::filesystem::status(path, ec);
  if (!std::filesystem::exists(status)) return IniFile();

  IniFile file;
  std::string text;
  if (!std::filesystem::is_regular_file(status)) {
    file.problem_ = "it is not a regular file";
  } else if (const auto size = std::filesystem::file_size(path, ec); ec || size > kMaxIniBytes) {
    file.problem_ = ec ? "its size cannot be read" : "it is too large for an index file";
  } else {
    std::ifstream in(path, std::ios::binary);
    text.resize(static_cast<std::size_t>(size));
    if (!in || !in.read(text.data(), static_cast<std::streamsize>(text.size()))) {
      file.problem_ = "it cannot be read";
    }
  }
  if (file.corrupt()) {
    korva::Trace("In file " + path.string() + ": read as empty: " + file.problem_);
    return file;
  }
  file = Parse(text);
  if (file.corrupt()) korva::Trace("In file " + path.string() + ": read as empty: " + file.problem_);
  return file;
}

std::string IniFile::GetString(std::string_view section, std::string_view key,
                               std::string_view fallback) const {
  const std::string s(section), k(key);
  const char* value = doc_->ini.GetValue(s.c_str(), k.c_str(), nullptr);
  return value ? std::string(value) : std::string(fallback);
}

int IniFile::GetInt(std::string_view section, std::string_view key, int fallback) const {
  const std::string s(section), k(key);
  const char* value = doc_->ini.GetValue(s.c_str(), k.c_str(), nullptr);
  return value ? ParseLeadingInt(value) : fallback;
}

bool IniFile::HasKey(std::string_view section, std::string_view key) const {
  const std::string s(section), k(key);
  return doc_->ini.GetValue(s.c_str(), k.c_str(), nullptr) != nullptr;
}

bool IniFile::SetString(std::string_view section, std::string_view key, std::string_view value) {
  if (!IsStorable(section, key, value)) return false;
  const std::string s(section), k(key), v(value);
  return doc_->ini.SetValue(s.c_str(), k.c_str(), v.c_str()) >= 0;
}

bool IniFile::SetInt(std::string_view section, std::string_view key, int value) {
  return SetString(section, key, std::to_string(value));
}

void IniFile::DeleteKey(std::string_view section, std::string_view key) {
  const std::string s(section), k(key);
  doc_->ini.Delete(s.c_str(), k.c_str());
}

std::string IniFile::ToText() const {
  std::string text;
  doc_->ini.Save(text);
  return text;
}

korva::FileResult IniFile::Save(const std::filesystem::path& path) const {
  return korva::WriteFileAtomically(path, std::string_view(ToText()));
}

std::string ReadIniString(const std::filesystem::path& path, std::string_view section, std::string_view key,
                          std::string_view fallback) {
  return IniFile::Load(path).GetString(section, key, fallback);
}

int ReadIniInt(const std::filesystem::path& path, std::string_view section, std::string_view key,
               int fallback) {
  return IniFile::Load(path).GetInt(section, key, fallback);
}

korva::FileResult UpdateIniFile(const std::filesystem::path& path,
                                const std::function<void(IniFile&)>& change) {
  std::lock_guard lock(UpdateMutex());
  IniFile file = IniFile::Load(path);
  if (file.corrupt()) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
      return {false, "In file " + path.string() + ": " + file.problem() + "; not replaced"};
    }
    // Keep the unreadable bytes for the user instead of writing over them.
    std::filesystem::path aside = path;
    aside += ".corrupt";
    std::filesystem::rename(path, aside, ec);
    if (ec) {
      return {false, "In file " + path.string() + ": " + file.problem() +
                         ", and it cannot be moved aside: " + ec.message()};
    }
    korva::Trace("In file " + path.string() + ": " + file.problem() + "; moved aside to " + aside.string());
  }
  change(file);
  return file.Save(path);
}

korva::FileResult WriteIniString(const std::filesystem::path& path, std::string_view section,
                                 std::string_view key, std::string_view value) {
  if (!IsStorable(section, key, value)) {
    return {
        false,
        "In file " + path.string() + ": the entry [" + std::string(section) + "] " + std::string(key) +
            " cannot hold a line break, a NUL, text that is not UTF-8, \"]\" in a section or \"=\" in a key"};
  }
  return UpdateIniFile(path, [&](IniFile& file) { file.SetString(section, key, value); });
}

korva::FileResult WriteIniInt(const std::filesystem::path& path, std::string_view section,
                              std::string_view key, int value) {
  return WriteIniString(path, section, key, std::to_string(value));
}

}  // namespace korva::profile
