// Reading a file the user may have put anything in place of: it is opened
// without blocking (a FIFO must not hang the program) and close-on-exec, read
// only when it is a regular file, and never beyond a size limit, checked when
// it is opened and again while it is read (a file may grow meanwhile).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace tavrin {

// Why a file was not read.
struct ReadRefusal {
  enum Kind {
    kCannotOpen,  // the system's reason is `error` (EISDIR for a directory)
    kNotRegular,  // a FIFO, a device, a socket
    kTooLarge,    // `size` bytes when it was opened, or 0 when it grew past the limit while read
  };
  Kind kind = kCannotOpen;
  int error = 0;
  std::uintmax_t size = 0;
  std::size_t limit = 0;
};

// The refusal in words (UTF-8, Chinese): the system's reason, "不是普通文件",
// or the size against the limit.
std::string RefusalText(const ReadRefusal& refusal);

// Opens `path` without blocking and checks that it is a regular file of at
// most `maxBytes`; returns the open descriptor (the caller closes it), or -1
// and the refusal.
int OpenRegularFile(const std::string& path, std::size_t maxBytes, ReadRefusal& refusal);

// The whole file, within the limit; nullopt and the refusal otherwise.
std::optional<std::string> ReadRegularFile(const std::string& path, std::size_t maxBytes, ReadRefusal& refusal);

}  // namespace tavrin
