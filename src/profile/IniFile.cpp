#include "profile/IniFile.h"

// Only this file sees SimpleIni. Text stays UTF-8 end to end, so no wide-character converter is
// needed (SI_NO_CONVERSION); CSimpleIniA is the variant whose sections and keys ignore case.
// Debian's packaging hides the template bodies behind SI_IMPLEMENTATION (its shared library
// carries only some instantiations); we compile them here, header-only, so nothing else links.
#define SI_NO_CONVERSION
#define SI_IMPLEMENTATION
#include <SimpleIni.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fstream>
#include <mutex>
#include <system_error>

#include "common/AtomicFile.h"
#include "common/Log.h"
#include "profile/TextChecks.h"

namespace korva::profile {
namespace {

// Index, macro and settings files are a few kilobytes; anything far larger is not one of them.
constexpr std::uintmax_t kMaxIniBytes = 4u * 1024u * 1024u;
// A binary file read as text has a "line" every few hundred bytes; the first few say enough.
constexpr std::size_t kMaxDamageEntries = 16;
// Backups of damaged files, per file. A folder that fills up with them needs a person to look.
constexpr int kMaxBackups = 1000;

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

IniFile IniFile::Parse(std::string_view text, const std::string& fileName) {
  IniFile file;
  // Each unreadable line becomes an empty one, so the rest keeps its place and its meaning: the
  // damage of one line never costs the keys of another.
  std::string readable;
  readable.reserve(text.size());
  std::size_t lineNumber = 0;
  std::size_t dropped = 0;
  // After a section line that could not be read, the keys that follow belong to a section of
  // unknown name; they are left out too rather than counted into the section before it.
  bool unknownSection = false;
  for (std::size_t start = 0; start < text.size();) {
    ++lineNumber;
    const std::size_t end = std::min(text.find('\n', start), text.size());
    const std::string_view line = text.substr(start, end - start);
    const std::size_t first = line.find_first_not_of(" \t");
    const bool sectionLine = first != std::string_view::npos && line[first] == '[';
    const char* what = nullptr;
    if (line.find('\0') != std::string_view::npos) {
      what = "holds a NUL byte";
    } else if (!IsValidUtf8(line)) {
      what = "is not UTF-8 text";
    } else if (unknownSection && !sectionLine) {
      what = "belongs to a section whose name cannot be read";
    }
    if (what) {
      if (sectionLine) unknownSection = true;
      ++dropped;
      if (file.damage_.size() < kMaxDamageEntries) {
        file.damage_.push_back(
            korva::Error::InFile(fileName, std::string("the line ") + what + "; it is left out", lineNumber));
      }
    } else {
      if (sectionLine) unknownSection = false;
      readable.append(line);
    }
    if (end < text.size()) readable.push_back('\n');
    start = end + 1;
  }
  if (dropped > file.damage_.size()) {
    file.damage_.push_back(korva::Error::InFile(
        fileName, std::to_string(dropped - file.damage_.size()) + " more lines are left out"));
  }
  file.doc_->ini.SetMultiKey(true);
  if (file.doc_->ini.LoadData(readable.data(), readable.size()) < 0) {
    file.doc_ = std::make_unique<Document>();
    file.damage_.push_back(korva::Error::InFile(fileName, "it cannot be parsed"));
  }
  file.doc_->ini.SetMultiKey(false);
  return file;
}

IniFile IniFile::Load(const std::filesystem::path& path) {
  std::error_code ec;
  const auto status = std::filesystem::status(path, ec);
  if (!std::filesystem::exists(status)) return IniFile();

  IniFile unreadable;
  auto fail = [&](const std::string& what) {
    unreadable.damage_.push_back(korva::Error::InFile(path.string(), what));
    korva::Trace(unreadable.problem());
    return std::move(unreadable);
  };
  if (!std::filesystem::is_regular_file(status)) return fail("it is not a regular file");
  const std::uintmax_t size = std::filesystem::file_size(path, ec);
  if (ec) return fail("its size cannot be read: " + ec.message());
  std::ifstream in(path, std::ios::binary);
  if (!in) return fail("it cannot be opened");
  std::string text(static_cast<std::size_t>(std::min(size, kMaxIniBytes)), '\0');
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  if (in.bad()) return fail("it cannot be read");
  text.resize(static_cast<std::size_t>(in.gcount()));

  std::size_t cutLine = 0;
  if (size > kMaxIniBytes) {
    // Lines up to the limit are read; the line the limit cuts through is not.
    const std::size_t lastBreak = text.rfind('\n');
    text.resize(lastBreak == std::string::npos ? 0 : lastBreak + 1);
    cutLine = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1;
  }
  IniFile file = Parse(text, path.string());
  if (cutLine > 0) {
    file.damage_.push_back(korva::Error::InFile(path.string(),
                                                "the file is larger than " + std::to_string(kMaxIniBytes) +
                                                    " bytes; from this line on it is not read",
                                                cutLine));
  }
  if (file.corrupt()) korva::Trace(file.problem());
  return file;
}

std::string IniFile::problem() const {
  std::string text;
  for (const korva::Error& error : damage_) {
    if (!text.empty()) text += "; ";
    text += error.ToString();
  }
  return text;
}

bool IniFile::empty() const {
  CSimpleIniA::TNamesDepend sections;
  doc_->ini.GetAllSections(sections);
  return sections.empty();
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

korva::Result<void> IniFile::Save(const std::filesystem::path& path) const {
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

std::filesystem::path BackupPath(const std::filesystem::path& path, int number) {
  std::filesystem::path backup = path;
  backup += number == 0 ? std::string(".bad") : ".bad." + std::to_string(number);
  return backup;
}

namespace {

// Keeps the bytes of `path` under the first backup name not yet taken. A hard link makes the
// backup in one step and can never replace an existing name; where the file system has no hard
// links, an exclusive copy does the same.
korva::Result<std::filesystem::path> KeepBackup(const std::filesystem::path& path) {
  for (int number = 0; number < kMaxBackups; ++number) {
    const std::filesystem::path backup = BackupPath(path, number);
    // AT_SYMLINK_FOLLOW: an index that is a link is backed up by its content, not as the link.
    if (::linkat(AT_FDCWD, path.c_str(), AT_FDCWD, backup.c_str(), AT_SYMLINK_FOLLOW) == 0) return backup;
    if (errno == EEXIST) continue;
    if (errno != EPERM && errno != EXDEV && errno != EMLINK && errno != EOPNOTSUPP && errno != ENOSYS) {
      return korva::Error::InFile(path.string(),
                                  "cannot keep a backup as " + backup.string() + ": " + std::strerror(errno));
    }
    std::error_code ec;
    // copy_options::none fails on an existing name instead of writing over it.
    if (std::filesystem::copy_file(path, backup, std::filesystem::copy_options::none, ec)) return backup;
    if (ec == std::errc::file_exists) continue;
    return korva::Error::InFile(path.string(),
                                "cannot keep a backup as " + backup.string() + ": " + ec.message());
  }
  return korva::Error::InFile(path.string(), "cannot keep a backup: " + std::to_string(kMaxBackups) +
                                                 " backups exist already; remove some of them");
}

}  // namespace

korva::Result<void> UpdateIniFile(const std::filesystem::path& path,
                                  const std::function<void(IniFile&)>& change) {
  std::lock_guard lock(UpdateMutex());
  IniFile file = IniFile::Load(path);
  if (file.corrupt()) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
      return korva::Error::InFile(path.string(), file.problem() + "; not replaced");
    }
    // The rewrite keeps only what could be read; the whole file stays in the backup.
    const korva::Result<std::filesystem::path> backup = KeepBackup(path);
    if (!backup) return backup.error();
    korva::Trace("In file " + path.string() + ": kept whole as " + backup.value().string() +
                 " before it is written back with the lines that could be read");
  }
  change(file);
  return file.Save(path);
}

korva::Result<void> WriteIniString(const std::filesystem::path& path, std::string_view section,
                                   std::string_view key, std::string_view value) {
  if (!IsStorable(section, key, value)) {
    return korva::Error::InFile(path.string(),
                                "the entry [" + std::string(section) + "] " + std::string(key) +
                                    " cannot hold a line break, a NUL, text that is not UTF-8, "
                                    "\"]\" in a section or \"=\" in a key");
  }
  return UpdateIniFile(path, [&](IniFile& file) { file.SetString(section, key, value); });
}

korva::Result<void> WriteIniInt(const std::filesystem::path& path, std::string_view section,
                                std::string_view key, int value) {
  return WriteIniString(path, section, key, std::to_string(value));
}

}  // namespace korva::profile
