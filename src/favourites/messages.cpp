#include "favourites/messages.h"

#include <cerrno>
#include <cstring>

#include "chars/encoding.h"

namespace tavrin {

// The reason of a failed system call, in words the user reads.
std::string SystemReason(int error) {
  switch (error) {
    case ENOENT: return "不存在";
    case EACCES:
    case EPERM: return "没有权限";
    case EROFS: return "在只读的文件系统上";
    case ENOSPC:
    case EDQUOT: return "磁盘已满";
    case EISDIR: return "是一个目录,不是文件";
    case ENOTDIR: return "路径中有一段不是目录";
    default: return Utf8ToGbkLossy(std::strerror(error));
  }
}

std::string QuotedFileName(std::string_view path) { return "“" + Utf8ToGbkLossy(path) + "”"; }

}  // namespace tavrin
