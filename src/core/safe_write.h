// Saving an export (CSV, JSON, PDF) without harm to what the user named: the
// target must be a regular file (or a link to one) or not exist yet; a
// device, FIFO, directory or socket is refused and left untouched. The bytes
// go to a new file beside the target, every write, the sync and the close
// are checked, and only then does the new file take the target's place; on
// any failure the target stays exactly as it was. Paths are bytes, passed
// to the system as they are.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tavrin {

// The system call that writes; a test puts one in that fails as a full disk does.
using WriteCall = ssize_t (*)(int fd, const void* bytes, std::size_t count);

// Writes `bytes` to `path`. Returns nullopt on success, else why it failed
// (UTF-8, Chinese, with the system's reason where there is one).
std::optional<std::string> WriteFileSafely(const std::string& path, std::string_view bytes, WriteCall write = nullptr);

}  // namespace tavrin
