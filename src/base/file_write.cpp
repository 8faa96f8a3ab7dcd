#include "base/file_write.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <memory>

#include "base/failure_text.h"

namespace tavrin {

namespace {

std::string U8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

bool WriteAll(int fd, std::string_view bytes, WriteCall write) {
  while (!bytes.empty()) {
    const ssize_t wrote = write(fd, bytes.data(), bytes.size());
    if (wrote < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (wrote == 0) {
      errno = ENOSPC;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(wrote));
  }
  return true;
}

// The bytes into a new file beside `path`, which then takes its place; the
// errno of the first failure, or 0.
int WriteBeside(const std::string& path, std::string_view bytes, mode_t mode, WriteCall write) {
  const std::size_t slash = path.rfind('/');
  const std::string dir = slash == std::string::npos ? "" : path.substr(0, slash + 1);
  const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
  std::string temp = dir + "." + base + ".XXXXXX";
  const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) return errno;
  int failure = 0;
  if (::fchmod(fd, mode) != 0 || !WriteAll(fd, bytes, write) || ::fsync(fd) != 0) failure = errno;
  if (::close(fd) != 0 && failure == 0) failure = errno;
  if (failure == 0 && ::rename(temp.c_str(), path.c_str()) != 0) failure = errno;
  if (failure != 0) ::unlink(temp.c_str());
  return failure;
}

std::string KindOfFile(mode_t mode) {
  if (S_ISDIR(mode)) return U8(u8"一个文件夹");
  if (S_ISFIFO(mode)) return U8(u8"一个管道");
  if (S_ISSOCK(mode)) return U8(u8"一个套接字");
  if (S_ISCHR(mode) || S_ISBLK(mode)) return U8(u8"一个设备");
  return U8(u8"一个特殊文件");
}

}  // namespace

std::string WriteFaultText(const WriteFault& fault) {
  switch (fault.kind) {
    case WriteFault::kNotRegular:
      return S_ISDIR(fault.mode) ? FailureText(EISDIR) : U8(u8"不是普通文件");
    case WriteFault::kNoFolder:
      return U8(u8"文件夹不存在");
    case WriteFault::kSystem:
      break;
  }
  return FailureText(fault.error);
}

std::optional<WriteFault> WriteFileAtomically(const std::string& requested, std::string_view bytes, WriteCall write) {
  if (!write) write = [](int fd, const void* data, std::size_t count) { return ::write(fd, data, count); };
  // The file the name leads to: a link is followed, so the link stays and
  // its target gets the new content.
  std::string path = requested;
  struct stat info{};
  const bool exists = ::stat(requested.c_str(), &info) == 0;
  mode_t mode = info.st_mode & 07777;
  if (exists) {
    if (!S_ISREG(info.st_mode)) return WriteFault{WriteFault::kNotRegular, 0, info.st_mode};
    if (std::unique_ptr<char, decltype(&std::free)> real(::realpath(requested.c_str(), nullptr), &std::free); real) {
      path = real.get();
    }
  } else if (errno != ENOENT) {
    return WriteFault{WriteFault::kSystem, errno};
  } else {
    // A new file gets the mode any new file gets here.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  const int failure = WriteBeside(path, bytes, mode, write);
  if (failure == 0) return std::nullopt;
  // The new file could not be made in the folder the name gives.
  if (failure == ENOENT) return WriteFault{WriteFault::kNoFolder, failure};
  return WriteFault{WriteFault::kSystem, failure};
}

std::optional<std::string> WriteFileSafely(const std::string& path, std::string_view bytes, WriteCall write) {
  const std::optional<WriteFault> fault = WriteFileAtomically(path, bytes, write);
  if (!fault) return std::nullopt;
  if (fault->kind == WriteFault::kNotRegular) {
    return U8(u8"目标是") + KindOfFile(fault->mode) + U8(u8",不是普通文件,没有写入");
  }
  return WriteFaultText(*fault);
}

}  // namespace tavrin
