#include "base/failure_text.h"

#include <cerrno>
#include <cstring>

namespace tavrin {

std::string FailureText(int error) {
  // Worded to read after "无法打开…:", "无法写入…:" and inside "不能写入(…)" alike.
  struct Entry {
    int error;
    const char8_t* text;
  };
  static constexpr Entry kTexts[] = {
      {ENOENT, u8"文件不存在"},
      {EACCES, u8"没有权限"},
      {EPERM, u8"没有权限"},
      {EROFS, u8"文件系统是只读的"},
      {ENOSPC, u8"磁盘已满"},
      {EDQUOT, u8"超出磁盘配额"},
      {EISDIR, u8"是一个目录,不是文件"},
      {ENOTDIR, u8"路径中有一段不是目录"},
      {ELOOP, u8"符号链接的层数太多"},
      {EIO, u8"读写出错"},
  };
  for (const Entry& entry : kTexts) {
    if (entry.error == error) return reinterpret_cast<const char*>(entry.text);
  }
  return std::strerror(error);
}

}  // namespace tavrin
