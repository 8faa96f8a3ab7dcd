#include "favourites/messages.h"

#include <cerrno>
#include <cstring>
#include <utility>

#include "chars/encoding.h"

namespace tavrin {

// The reason of a failed system call, in words the user reads.
std::string SystemReason(int error) {
  static constexpr std::pair<int, const char*> kReasons[] = {
      {ENOENT, "不存在"},
      {EACCES, "没有权限"},
      {EPERM, "没有权限"},
      {EROFS, "在只读的文件系统上"},
      {ENOSPC, "磁盘已满"},
      {EDQUOT, "磁盘已满"},
      {EISDIR, "是一个目录,不是文件"},
      {ENOTDIR, "路径中有一段不是目录"},
  };
  for (const auto& [code, reason] : kReasons) {
    if (error == code) return reason;
  }
  return Utf8ToGbkLossy(std::strerror(error));
}

std::string QuotedFileName(std::string_view path) { return "“" + Utf8ToGbkLossy(path) + "”"; }

}  // namespace tavrin
