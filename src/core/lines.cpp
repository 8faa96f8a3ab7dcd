#include "core/lines.h"

#include <sys/stat.h>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

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
  errno = 0;
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = std::strerror(errno != 0 ? errno : ENOENT);
    return std::nullopt;
  }
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) {
    error = std::strerror(errno != 0 ? errno : EIO);
    return std::nullopt;
  }
  return bytes;
}

bool FileExists(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace tavrin
