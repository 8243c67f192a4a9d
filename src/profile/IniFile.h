#pragma once
// INI index files ("kbProfile.ini", "msMacro.ini", "main.ini", ...) with the semantics the
// program relies on from the Windows private-profile calls:
//  - sections and keys match without regard to case;
//  - a missing file, section or key reads as the caller's default;
//  - a write changes one key and keeps every other section, key and comment, and creates the
//    file and the section when they are missing;
//  - text is UTF-8.
// Unlike those calls, every write replaces the file atomically (temporary file + rename). A damaged
// file is read line by line: a line with a NUL byte or bytes that are not UTF-8 is left out (its
// keys read as the caller's default) and every other line is read as usual; of a file beyond the
// size limit the lines up to the limit are read. Before such a file is written back, its bytes
// are kept in a numbered backup ("<name>.bad", "<name>.bad.1", ...), which is never overwritten.

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/Result.h"

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

  // A missing file gives an empty document. Of a damaged file the readable lines are read, with
  // corrupt() true and damage() saying which lines were left out; a file that cannot be read at
  // all (a folder, no permission) gives an empty document, also corrupt().
  static IniFile Load(const std::filesystem::path& path);
  // Parses `text` as the content of the INI file `fileName` (same rules as Load; the name only
  // goes into the damage reports).
  static IniFile Parse(std::string_view text, const std::string& fileName = {});

  // Something of the file could not be read.
  bool corrupt() const { return !damage_.empty(); }
  // What could not be read and where ("In file X, line N: ..."), at most a screenful of entries.
  const std::vector<korva::Error>& damage() const { return damage_; }
  // damage() as one text, entries separated by "; ".
  std::string problem() const;
  // True when the document holds no section at all (nothing was read, or nothing was there).
  bool empty() const;

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
  korva::Result<void> Save(const std::filesystem::path& path) const;

 private:
  struct Document;
  std::unique_ptr<Document> doc_;
  std::vector<korva::Error> damage_;
};

std::string ReadIniString(const std::filesystem::path& path, std::string_view section, std::string_view key,
                          std::string_view fallback);
int ReadIniInt(const std::filesystem::path& path, std::string_view section, std::string_view key,
               int fallback);

// Writes one key, keeping the rest of the file. Refused without touching the file when
// IniFile::SetString would refuse the text.
korva::Result<void> WriteIniString(const std::filesystem::path& path, std::string_view section,
                                   std::string_view key, std::string_view value);
korva::Result<void> WriteIniInt(const std::filesystem::path& path, std::string_view section,
                                std::string_view key, int value);

// Loads the file, lets `change` edit it and writes it back in one atomic replacement, so several
// keys change together or not at all. Read-modify-write sequences of this process are
// serialised, so two threads writing different keys of one file never lose each other's change.
// A corrupt file is first kept whole in a numbered backup (BackupPath), then the change is
// applied to what could be read of it. A path that is not a regular file is never replaced.
korva::Result<void> UpdateIniFile(const std::filesystem::path& path,
                                  const std::function<void(IniFile&)>& change);

// The name of backup `number` of `path`: "<name>.bad" for 0, "<name>.bad.<number>" after it.
std::filesystem::path BackupPath(const std::filesystem::path& path, int number);

}  // namespace korva::profile
