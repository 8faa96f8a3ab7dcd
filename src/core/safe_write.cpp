#include "core/safe_write.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace tavrin {

namespace {

std::string U8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

// The system's reason, in words the user can act on where we have them.
std::string Reason(int error) {
  switch (error) {
    case ENOSPC:
      return U8(u8"磁盘空间不足");
    case EDQUOT:
      return U8(u8"超出磁盘配额");
    case EACCES:
    case EPERM:
      return U8(u8"没有写入权限");
    case EROFS:
      return U8(u8"文件系统是只读的");
    case ENOENT:
      return U8(u8"文件夹不存在");
    default:
      return std::strerror(error);
  }
}

std::string KindOf(mode_t mode) {
  if (S_ISDIR(mode)) return U8(u8"一个文件夹");
  if (S_ISFIFO(mode)) return U8(u8"一个管道");
  if (S_ISSOCK(mode)) return U8(u8"一个套接字");
  if (S_ISCHR(mode) || S_ISBLK(mode)) return U8(u8"一个设备");
  return U8(u8"一个特殊文件");
}

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

}  // namespace

std::optional<std::string> WriteFileSafely(const std::string& requested, std::string_view bytes, WriteCall write) {
  if (!write) write = [](int fd, const void* data, std::size_t count) { return ::write(fd, data, count); };
  // The file the name leads to: a link is followed, so the link stays and
  // its target gets the new content.
  std::string path = requested;
  struct stat info {};
  const bool exists = ::stat(requested.c_str(), &info) == 0;
  if (exists) {
    if (!S_ISREG(info.st_mode)) return U8(u8"目标是") + KindOf(info.st_mode) + U8(u8",不是普通文件,没有写入");
    if (std::unique_ptr<char, decltype(&std::free)> real(::realpath(requested.c_str(), nullptr), &std::free); real) {
      path = real.get();
    }
  } else if (errno != ENOENT) {
    return Reason(errno);
  }

  const std::size_t slash = path.rfind('/');
  const std::string dir = slash == std::string::npos ? "" : path.substr(0, slash + 1);
  const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
  std::string temp = dir + "." + base + ".XXXXXX";
  const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) return Reason(errno);
  // A new file gets the mode any new file gets here; a replaced one keeps its own.
  mode_t mode = info.st_mode & 07777;
  if (!exists) {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  int failure = 0;
  if (::fchmod(fd, mode) != 0 || !WriteAll(fd, bytes, write) || ::fsync(fd) != 0) failure = errno;
  if (::close(fd) != 0 && failure == 0) failure = errno;
  if (failure == 0 && ::rename(temp.c_str(), path.c_str()) != 0) failure = errno;
  if (failure != 0) {
    ::unlink(temp.c_str());
    return Reason(failure);
  }
  return std::nullopt;
}

}  // namespace tavrin
