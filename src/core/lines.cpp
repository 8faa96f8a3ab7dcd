#include "core/lines.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

namespace tavrin {

LineList SplitLines(std::string_view text) {
  text = text.substr(0, text.find('\0'));
  LineList lines;
  std::size_t start = 0;
  std::size_t pos = 0;
  while (pos < text.size()) {
    const char c = text[pos];
    if (c == '\r' || c == '\n') {
      lines.emplace_back(text.substr(start, pos - start));
      pos += (c == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n') ? 2 : 1;
      start = pos;
    } else {
      ++pos;
    }
  }
  if (start < text.size()) lines.emplace_back(text.substr(start));
  return lines;
}

std::optional<std::string> ReadWholeFile(const std::string& path, std::string& error) {
  // Plain POSIX reads: a stream would throw on a read error (a directory in
  // the file's place opens, then fails to read), and a data file that cannot
  // be read must come back as a failure with the system's reason.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    error = std::strerror(errno);
    return std::nullopt;
  }
  struct FdCloser {
    int fd;
    ~FdCloser() { ::close(fd); }
  } closer{fd};
  struct stat info{};
  if (::fstat(fd, &info) != 0) {
    error = std::strerror(errno);
    return std::nullopt;
  }
  if (S_ISDIR(info.st_mode)) {
    error = std::strerror(EISDIR);
    return std::nullopt;
  }
  std::string bytes;
  if (S_ISREG(info.st_mode) && info.st_size > 0) bytes.reserve(static_cast<std::size_t>(info.st_size));
  char buffer[1 << 16];
  while (true) {
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got == 0) break;
    if (got < 0) {
      if (errno == EINTR) continue;
      error = std::strerror(errno);
      return std::nullopt;
    }
    bytes.append(buffer, static_cast<std::size_t>(got));
  }
  return bytes;
}

bool FileExists(const std::string& path) {
  struct stat info{};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace tavrin
