#include "core/data_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstdint>
#include <cstring>

namespace tavrin {

namespace {

std::string U8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

// Why the system would not give the file, in words the user reads.
std::string CannotReadReason(int error) {
  switch (error) {
    case ENOENT:
      return U8(u8"文件不存在");
    case EACCES:
    case EPERM:
      return U8(u8"没有读取权限");
    case EISDIR:
      return U8(u8"是一个文件夹,不是文件");
    case ENOTDIR:
      return U8(u8"路径中有一段不是文件夹");
    case ELOOP:
      return U8(u8"符号链接的层数太多");
    case EIO:
      return U8(u8"读取时出错");
    default:
      return std::strerror(error);
  }
}

struct NamedLimits {
  std::string_view name;
  DataFileLimits limits;
};

// Shipped sizes: the name lists at most 9.4 KB with 5-byte lines, tj.dat
// 23 KB, 5ge.dat 5 KB with 73-byte lines, dzwx.dat 13 KB with 3.4 KB lines,
// yq.dat 67 KB, sancai.dat 11 KB with 89-byte lines.
constexpr std::size_t kKiB = 1024;
const NamedLimits kLimits[] = {
    {"1600nv.dat", {128 * kKiB, kKiB}},
    {"1600nan.dat", {128 * kKiB, kKiB}},
    {reinterpret_cast<const char*>(u8"男.dat"), {128 * kKiB, kKiB}},
    {reinterpret_cast<const char*>(u8"女.dat"), {128 * kKiB, kKiB}},
    {"tj.dat", {256 * kKiB, kKiB}},
    {"5ge.dat", {64 * kKiB, kKiB}},
    {"dzwx.dat", {160 * kKiB, 32 * kKiB}},
    {"yq.dat", {1024 * kKiB, 0}},
    {"sancai.dat", {64 * kKiB, kKiB}},
};

}  // namespace

DataFileLimits LimitsFor(std::string_view fileName) {
  for (const NamedLimits& entry : kLimits) {
    if (entry.name == fileName) return entry.limits;
  }
  return {256 * kKiB, 32 * kKiB};
}

std::size_t LongestLine(std::string_view text) {
  text = text.substr(0, text.find('\0'));
  std::size_t longest = 0;
  std::size_t start = 0;
  for (std::size_t pos = 0; pos <= text.size(); ++pos) {
    if (pos == text.size() || text[pos] == '\r' || text[pos] == '\n') {
      longest = std::max(longest, pos - start);
      start = pos + 1;
    }
  }
  return longest;
}

int OpenRegularFile(const std::string& path, std::size_t maxBytes, DataFileError& error) {
  // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    error = {DataFileRefusal::kCannotOpen, CannotReadReason(errno)};
    return -1;
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0) {
    error = {DataFileRefusal::kCannotOpen, CannotReadReason(errno)};
  } else if (S_ISDIR(info.st_mode)) {
    error = {DataFileRefusal::kCannotOpen, CannotReadReason(EISDIR)};
  } else if (!S_ISREG(info.st_mode)) {
    error = {DataFileRefusal::kNotRegular, U8(u8"不是普通文件")};
  } else if (static_cast<std::uintmax_t>(info.st_size) > maxBytes) {
    error = {DataFileRefusal::kTooLarge, U8(u8"文件有 ") + std::to_string(info.st_size) + U8(u8" 字节,超过上限 ") +
                                             std::to_string(maxBytes) + U8(u8" 字节")};
  } else {
    return fd;
  }
  ::close(fd);
  return -1;
}

std::optional<std::string> ReadDataFile(const std::string& path, const DataFileLimits& limits, DataFileError& error) {
  const int fd = OpenRegularFile(path, limits.maxBytes, error);
  if (fd < 0) return std::nullopt;
  struct FdCloser {
    int fd;
    ~FdCloser() { ::close(fd); }
  } closer{fd};
  std::string bytes;
  char buffer[1 << 16];
  while (true) {
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got == 0) break;
    if (got < 0) {
      if (errno == EINTR || errno == EAGAIN) continue;
      error = {DataFileRefusal::kCannotOpen, CannotReadReason(errno)};
      return std::nullopt;
    }
    // A file that grows while it is read is held to the same limit.
    if (bytes.size() + static_cast<std::size_t>(got) > limits.maxBytes) {
      error = {DataFileRefusal::kTooLarge, U8(u8"文件超过上限 ") + std::to_string(limits.maxBytes) + U8(u8" 字节")};
      return std::nullopt;
    }
    bytes.append(buffer, static_cast<std::size_t>(got));
  }
  if (limits.maxLineBytes > 0) {
    if (const std::size_t longest = LongestLine(bytes); longest > limits.maxLineBytes) {
      error = {DataFileRefusal::kLineTooLong, U8(u8"有一行长 ") + std::to_string(longest) + U8(u8" 字节,超过上限 ") +
                                                  std::to_string(limits.maxLineBytes) + U8(u8" 字节")};
      return std::nullopt;
    }
  }
  return bytes;
}

}  // namespace tavrin
