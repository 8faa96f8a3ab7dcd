#include "base/file_read.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "base/failure_text.h"

namespace tavrin {

namespace {

std::string U8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

struct Closer {
  int fd;
  ~Closer() { ::close(fd); }
};

}  // namespace

std::string RefusalText(const ReadRefusal& refusal) {
  switch (refusal.kind) {
    case ReadRefusal::kCannotOpen:
      return FailureText(refusal.error);
    case ReadRefusal::kNotRegular:
      return U8(u8"不是普通文件");
    case ReadRefusal::kTooLarge:
      break;
  }
  const std::string limit = std::to_string(refusal.limit) + U8(u8" 字节");
  if (refusal.size == 0) return U8(u8"文件超过上限 ") + limit;
  return U8(u8"文件有 ") + std::to_string(refusal.size) + U8(u8" 字节,超过上限 ") + limit;
}

int OpenRegularFile(const std::string& path, std::size_t maxBytes, ReadRefusal& refusal) {
  refusal = {ReadRefusal::kCannotOpen, 0, 0, maxBytes};
  // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a writer.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    refusal.error = errno;
    return -1;
  }
  struct stat info{};
  if (::fstat(fd, &info) != 0) {
    refusal.error = errno;
  } else if (S_ISDIR(info.st_mode)) {
    refusal.error = EISDIR;
  } else if (!S_ISREG(info.st_mode)) {
    refusal.kind = ReadRefusal::kNotRegular;
  } else if (static_cast<std::uintmax_t>(info.st_size) > maxBytes) {
    refusal.kind = ReadRefusal::kTooLarge;
    refusal.size = static_cast<std::uintmax_t>(info.st_size);
  } else {
    return fd;
  }
  ::close(fd);
  return -1;
}

std::optional<std::string> ReadRegularFile(const std::string& path, std::size_t maxBytes, ReadRefusal& refusal) {
  const int fd = OpenRegularFile(path, maxBytes, refusal);
  if (fd < 0) return std::nullopt;
  const Closer closer{fd};
  std::string bytes;
  char buffer[1 << 16];
  while (true) {
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got == 0) break;
    if (got < 0) {
      if (errno == EINTR || errno == EAGAIN) continue;
      refusal.error = errno;
      return std::nullopt;
    }
    if (bytes.size() + static_cast<std::size_t>(got) > maxBytes) {
      refusal.kind = ReadRefusal::kTooLarge;
      return std::nullopt;
    }
    bytes.append(buffer, static_cast<std::size_t>(got));
  }
  return bytes;
}

}  // namespace tavrin
