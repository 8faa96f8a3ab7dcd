// Saving a file without harm to what the user named: the target must be a
// regular file (or a link to one) or not exist yet; a device, FIFO,
// directory or socket is refused and left untouched. The bytes go to a new
// file beside the target, every write, the sync and the close are checked,
// and only then does the new file take the target's place; on any failure
// the target stays exactly as it was. A link stays a link and its target
// gets the bytes. A new file gets the mode any new file gets; a replaced one
// keeps its own. Paths are bytes, passed to the system as they are.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tavrin {

// The system call that writes; a test puts one in that fails as a full disk does.
using WriteCall = ssize_t (*)(int fd, const void* bytes, std::size_t count);

// Why a file was not written.
struct WriteFault {
  enum Kind {
    kNotRegular,  // the target is what `mode` says: a directory, a FIFO, a device, a socket
    kNoFolder,    // the folder it goes in does not exist
    kSystem,      // the system's reason is `error`
  };
  Kind kind = kSystem;
  int error = 0;
  mode_t mode = 0;
};

// Writes `bytes` to the file `requested` names (through a link, to its
// target); nullopt on success.
std::optional<WriteFault> WriteFileAtomically(const std::string& requested, std::string_view bytes,
                                              WriteCall write = nullptr);

// The fault in words (UTF-8, Chinese), to follow "无法写入“…”:".
std::string WriteFaultText(const WriteFault& fault);

// Writes as above and says why it failed (UTF-8, Chinese, with the system's
// reason where there is one; a special file by its kind), or nullopt.
std::optional<std::string> WriteFileSafely(const std::string& path, std::string_view bytes, WriteCall write = nullptr);

}  // namespace tavrin
