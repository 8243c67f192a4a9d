#pragma once
// INI index files ("kbProfile.ini", "msMacro.ini", "main.ini", ...) with the semantics the
// program relies on from the Windows private-profile calls:
//  - sections and keys match without regard to case;
//  - a missing file, section or key reads as the caller's default;
//  - a write changes one key and keeps every other section, key and comment, and creates the
//    file and the section when they are missing;
//  - text is UTF-8.
// Unlike those calls, every write replaces the file atomically (temporary file + rename), and a
// file that is not INI text (binary data, invalid UTF-8, absurdly large) reads as empty instead
// of as whatever garbage a lenient parser would find in it.

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "common/AtomicFile.h"

namespace korva::profile {

// One INI document in memory. Load, query and change it, then Save it whole. For the common
// one-key operations use the free functions below, which do this under a lock.
class IniFile {
 public:
  IniFile();
  ~IniFile();
  IniFile(IniFile&&) noexcept;
  IniFile& operator=(IniFile&&) noexcept;
  IniFile(const IniFile&) = delete;
  IniFile& operator=(const IniFile&) = delete;

  // A missing file gives an empty document. A file that cannot be read or is not INI text also
  // gives an empty document, with corrupt() true and problem() saying why.
  static IniFile Load(const std::filesystem::path& path);
  // Parses `text` as the content of an INI file (same rules as Load).
  static IniFile Parse(std::string_view text);

  bool corrupt() const { return !problem_.empty(); }
  const std::string& problem() const { return problem_; }

  // The value of section/key, surrounding spaces removed; `fallback` when either is missing.
  // A key present with an empty value reads as "" (not as the fallback).
  std::string GetString(std::string_view section, std::string_view key, std::string_view fallback) const;
  // The value read as a decimal integer the way the C library's atoi does (leading spaces, an
  // optional sign, then digits; no digits give 0; out-of-range values saturate); `fallback`
  // when the key is missing.
  int GetInt(std::string_view section, std::string_view key, int fallback) const;
  bool HasKey(std::string_view section, std::string_view key) const;

  // Sets section/key, creating the section; of several equal keys the first (the one reads
  // return) is changed, keeping its spelling and place, and the later ones, which no read can
  // reach, are not written back. Refused (false, nothing changed) when the text could not
  // be read back as the same entry: a line break, a NUL or text that is not UTF-8 anywhere, "]" in the
  // section,
  // "=" in the key, an empty key.
  bool SetString(std::string_view section, std::string_view key, std::string_view value);
  bool SetInt(std::string_view section, std::string_view key, int value);
  void DeleteKey(std::string_view section, std::string_view key);

  std::string ToText() const;
  korva::FileResult Save(const std::filesystem::path& path) const;

 private:
  struct Document;
  std::unique_ptr<Document> doc_;
  std::string problem_;
};

std::string ReadIniString(const std::filesystem::path& path, std::string_view section, std::string_view key,
                          std::string_view fallback);
int ReadIniInt(const std::filesystem::path& path, std::string_view section, std::string_view key,
               int fallback);

// Writes one key, keeping the rest of the file. Refused without touching the file when
// IniFile::SetString would refuse the text.
korva::FileResult WriteIniString(const std::filesystem::path& path, std::string_view section,
                                 std::string_view key, std::string_view value);
korva::FileResult WriteIniInt(const std::filesystem::path& path, std::string_view section,
                              std::string_view key, int value);

// Loads the file, lets `change` edit it and writes it back in one atomic replacement, so several
// keys change together or not at all. Read-modify-write sequences of this process are
// serialised, so two threads writing different keys of one file never lose each other's change.
// A corrupt file is first moved aside to "<name>.corrupt" (its bytes are kept, not overwritten)
// and the change is applied to an empty document.
korva::FileResult UpdateIniFile(const std::filesystem::path& path,
                                const std::function<void(IniFile&)>& change);

}  // namespace korva::profile
