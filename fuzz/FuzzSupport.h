#pragma once
// What several fuzz targets share: the check of a property, a scratch folder of the process for
// the inputs that are read from files, and the split of an input into command-line words.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace korva::fuzz {

// A property every input must keep; a broken one is reported as a crash with its input.
inline void Check(bool condition) {
  if (!condition) __builtin_trap();
}

// A folder of this process, created on first use, emptied by FreshScratchFolder and removed when
// the run ends. In memory (/dev/shm) where there is one: the atomic writes sync every file, which
// on a disk would cost more than everything else the targets do.
inline const std::filesystem::path& ScratchFolder() {
  struct Folder {
    std::filesystem::path path = Base() / ("korva-fuzz-" + std::to_string(::getpid()));
    static std::filesystem::path Base() {
      std::error_code ec;
      return std::filesystem::is_directory("/dev/shm", ec) ? std::filesystem::path("/dev/shm")
                                                           : std::filesystem::temp_directory_path();
    }
    Folder() { std::filesystem::create_directories(path); }
    ~Folder() {
      std::error_code ec;
      std::filesystem::remove_all(path, ec);
    }
  };
  static const Folder folder;
  return folder.path;
}

// The scratch folder without anything left from the previous input.
inline const std::filesystem::path& FreshScratchFolder() {
  const std::filesystem::path& folder = ScratchFolder();
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec))
    std::filesystem::remove_all(entry.path(), ec);
  return folder;
}

inline void WriteBytes(const std::filesystem::path& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string_view AsText(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// The words of a command line, one per NUL-separated run of the input (empty words kept: a
// program can be given "").
inline std::vector<std::string> SplitWords(std::string_view text) {
  std::vector<std::string> words;
  if (text.empty()) return words;
  for (std::size_t start = 0;;) {
    const std::size_t end = text.find('\0', start);
    words.emplace_back(
        text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
    if (end == std::string_view::npos) return words;
    start = end + 1;
  }
}

}  // namespace korva::fuzz
