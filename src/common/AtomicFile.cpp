#include "common/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>

namespace korva {
namespace {

std::string Describe(const std::filesystem::path& path, const char* what, int err) {
  return "In file " + path.string() + ": " + what + ": " + std::strerror(err);
}

// Writes everything or reports the errno of the first failing call.
int WriteAll(int fd, const std::uint8_t* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return 0;
}

}  // namespace

FileResult WriteFileAtomically(const std::filesystem::path& target, std::span<const std::uint8_t> bytes) {
  std::filesystem::path folder = target.parent_path();
  if (folder.empty()) folder = ".";
  // mkstemp gives a name no other writer uses; it lives beside the target so rename() stays atomic.
  std::string pattern = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
  const int fd = ::mkstemp(pattern.data());
  if (fd < 0) return {false, Describe(target, "cannot create a temporary file", errno)};

  int err = WriteAll(fd, bytes.data(), bytes.size());
  if (err == 0 && ::fsync(fd) != 0) err = errno;
  if (::close(fd) != 0 && err == 0) err = errno;
  if (err == 0 && ::rename(pattern.c_str(), target.c_str()) != 0) err = errno;
  if (err != 0) {
    ::unlink(pattern.c_str());
    return {false, Describe(target, "cannot write", err)};
  }
  // mkstemp creates the file 0600; give it the usual permissions of a user's data file.
  ::chmod(target.c_str(), 0644);
  return {true, {}};
}

FileResult WriteFileAtomically(const std::filesystem::path& target, std::string_view text) {
  return WriteFileAtomically(
      target, std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

bool ReadWholeFile(const std::filesystem::path& path, std::vector<std::uint8_t>& out, std::uintmax_t maxBytes) {
  out.clear();
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return false;
  const std::uintmax_t size = std::filesystem::file_size(path, ec);
  if (ec || size > maxBytes) return false;
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  out.resize(static_cast<std::size_t>(size));
  if (size > 0 && !in.read(reinterpret_cast<char*>(out.data()), static_cast<std::streamsize>(size))) {
    out.clear();
    return false;
  }
  return true;
}

}  // namespace korva
