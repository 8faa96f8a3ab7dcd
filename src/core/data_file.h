// Reading a data file the user may have replaced with anything: read as
// base/file_read.h reads a file (no FIFO hangs start-up, only a regular file,
// never beyond a size limit that fits its kind), and a line file is refused
// when one of its lines is longer than its kind allows. Each limit is about
// ten times what the shipped file needs.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "chars/text.h"

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
  Utf8Text reason;  // in Chinese: the system's reason in our words, or why we refused it
};

// Reads the whole file within the limits; nullopt and the reason otherwise.
std::optional<std::string> ReadDataFile(const std::string& path, const DataFileLimits& limits, DataFileError& error);

// The byte length of the longest line, with lines cut as SplitLines cuts them.
std::size_t LongestLine(std::string_view text);

}  // namespace tavrin
