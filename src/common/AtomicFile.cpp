#include "common/AtomicFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <fstream>
#include <random>
#include <string>
#include <system_error>

#include "common/FileDescriptor.h"

namespace korva {
namespace {

constexpr std::string_view kNameAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
// Links are followed at most this many times, as the kernel does (its ELOOP limit).
constexpr int kMaxLinkHops = 40;
constexpr int kMaxNameAttempts = 100;

Error Failure(const std::filesystem::path& path, const std::string& what, int err) {
  return Error::InFile(path.string(), what + ": " + std::strerror(err));
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

// The file a write to `target` must replace: `target` itself, or, when it is a symbolic link,
// the file at the end of its chain of links (which need not exist yet).
Result<std::filesystem::path> FollowLinks(const std::filesystem::path& target) {
  std::filesystem::path current = target;
  for (int hop = 0; hop < kMaxLinkHops; ++hop) {
    std::error_code ec;
    const std::filesystem::file_status status = std::filesystem::symlink_status(current, ec);
    if (!std::filesystem::is_symlink(status)) return current;
    const std::filesystem::path next = std::filesystem::read_symlink(current, ec);
    if (ec)
      return Error::InFile(target.string(), "cannot read the link " + current.string() + ": " + ec.message());
    current = next.is_absolute() ? next : current.parent_path() / next;
  }
  return Failure(target, "cannot follow the link", ELOOP);
}

std::string RandomLetters() {
  thread_local std::mt19937 engine{std::random_device{}()};
  std::uniform_int_distribution<std::size_t> pick(0, kNameAlphabet.size() - 1);
  std::string letters(kTemporaryRandomLength, 'x');
  for (char& c : letters) c = kNameAlphabet[pick(engine)];
  return letters;
}

struct Temporary {
  std::filesystem::path path;
  int fd = -1;
  int err = 0;
};

// A new temporary in `folder`, created exclusively and locked before anything is written to it.
// Mode 0666 lets the umask decide the permissions of a file that replaces nothing.
Temporary CreateTemporary(const std::filesystem::path& folder) {
  Temporary temp;
  for (int attempt = 0; attempt < kMaxNameAttempts; ++attempt) {
    temp.path = folder / (std::string(kTemporaryPrefix) + RandomLetters());
    temp.fd = ::open(temp.path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (temp.fd >= 0) {
      // Held until the temporary has been renamed or removed; the sweep of stale temporaries
      // skips any file it cannot lock.
      while (::flock(temp.fd, LOCK_EX) != 0 && errno == EINTR) {
      }
      return temp;
    }
    if (errno != EEXIST) {
      temp.err = errno;
      return temp;
    }
  }
  temp.err = EEXIST;
  return temp;
}

// The rename is durable only once the folder itself reaches the disk. Failing here loses no data
// (the new content is in place), so the result is not reported.
void SyncFolder(const std::filesystem::path& folder) {
  const FileDescriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.valid()) ::fsync(dir.get());
}

}  // namespace

Result<void> WriteFileAtomically(const std::filesystem::path& target, std::span<const std::uint8_t> bytes) {
  Result<std::filesystem::path> followed = FollowLinks(target);
  if (!followed) return followed.error();
  const std::filesystem::path real = followed.value();
  std::filesystem::path folder = real.parent_path();
  if (folder.empty()) folder = ".";

  struct stat existing {};
  const bool replaces = ::stat(real.c_str(), &existing) == 0 && S_ISREG(existing.st_mode);

  Temporary temp = CreateTemporary(folder);
  if (temp.fd < 0) return Failure(target, "cannot create a temporary file in " + folder.string(), temp.err);
  FileDescriptor fd(temp.fd);

  int err = 0;
  if (replaces && ::fchmod(fd.get(), existing.st_mode & 07777) != 0) err = errno;
  if (err == 0) err = WriteAll(fd.get(), bytes.data(), bytes.size());
  if (err == 0 && ::fsync(fd.get()) != 0) err = errno;
  // Renamed while still locked: no sweep can take the file between the write and the rename.
  if (err == 0 && ::rename(temp.path.c_str(), real.c_str()) != 0) err = errno;
  if (err != 0) {
    ::unlink(temp.path.c_str());
    return Failure(target, real == target ? "cannot write" : "cannot write " + real.string(), err);
  }
  // Written and renamed: a failing close cannot undo that, and the fsync above already
  // reported any write-back error.
  fd.Close();
  SyncFolder(folder);
  return {};
}

Result<void> WriteFileAtomically(const std::filesystem::path& target, std::string_view text) {
  return WriteFileAtomically(
      target, std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

bool IsTemporaryName(std::string_view fileName) {
  if (fileName.size() != kTemporaryPrefix.size() + kTemporaryRandomLength) return false;
  if (fileName.substr(0, kTemporaryPrefix.size()) != kTemporaryPrefix) return false;
  return fileName.substr(kTemporaryPrefix.size()).find_first_not_of(kNameAlphabet) == std::string_view::npos;
}

std::size_t RemoveStaleTemporaries(const std::filesystem::path& folder, std::chrono::seconds minAge) {
  std::size_t removed = 0;
  std::error_code ec;
  std::filesystem::directory_iterator it(folder, ec);
  if (ec) return 0;
  timespec now{};
  ::clock_gettime(CLOCK_REALTIME, &now);
  for (; it != std::filesystem::directory_iterator(); it.increment(ec)) {
    if (ec) break;
    const std::filesystem::path path = it->path();
    if (!IsTemporaryName(path.filename().string())) continue;
    // O_NOFOLLOW: a link of that name is not ours; O_NONBLOCK: a FIFO cannot hold the sweep up.
    const FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (!fd.valid()) continue;
    struct stat opened {};
    if (::fstat(fd.get(), &opened) != 0 || !S_ISREG(opened.st_mode)) continue;
    if (now.tv_sec - opened.st_mtim.tv_sec < minAge.count()) continue;
    // A live writer holds the lock until its rename; a killed one released it with its process.
    if (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) continue;
    // Still the same file under that name (not a new temporary that happens to reuse it).
    struct stat named {};
    if (::lstat(path.c_str(), &named) != 0 || named.st_dev != opened.st_dev ||
        named.st_ino != opened.st_ino) {
      continue;
    }
    if (::unlink(path.c_str()) == 0) ++removed;
  }
  return removed;
}

bool ReadWholeFile(const std::filesystem::path& path, std::vector<std::uint8_t>& out,
                   std::uintmax_t maxBytes) {
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
