// Reading a data file the user may have replaced with anything: it is opened
// without blocking (a FIFO must not hang start-up), read only when it is a
// regular file, never beyond a size limit that fits its kind, and a line file
// is refused when one of its lines is longer than its kind allows. Each limit
// is about ten times what the shipped file needs.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tavrin {

struct DataFileLimits {
  std::size_t maxBytes = 0;
  std::size_t maxLineBytes = 0;  // 0: a binary file, no lines
};

// The limits of a data file by its name (UTF-8, as in core/startup.h);
// unknown names get the most generous line-file limits.
DataFileLimits LimitsFor(std::string_view fileName);

// The limits of the poem database file.
inline constexpr std::size_t kPoetryMaxBytes = 5u << 20;

// Why a file was not read.
enum class DataFileRefusal {
  kCannotOpen,  // the system's reason: missing, a directory, no permission
  kNotRegular,  // a FIFO, a device, a socket
  kTooLarge,
  kLineTooLong,
};

struct DataFileError {
  DataFileRefusal refusal = DataFileRefusal::kCannotOpen;
  std::string reason;  // UTF-8, in Chinese: the system's reason in our words, or why we refused it
};

// Opens `path` without blocking and checks that it is a regular file of at
// most `maxBytes`; on success returns the open descriptor (the caller closes
// it), else -1 and the reason.
int OpenRegularFile(const std::string& path, std::size_t maxBytes, DataFileError& error);

// Reads the whole file within the limits; nullopt and the reason otherwise.
std::optional<std::string> ReadDataFile(const std::string& path, const DataFileLimits& limits, DataFileError& error);

// The byte length of the longest line, with lines cut as SplitLines cuts them.
std::size_t LongestLine(std::string_view text);

}  // namespace tavrin
