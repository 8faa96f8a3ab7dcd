#include "core/data_file.h"

#include <algorithm>

#include "base/file_read.h"
#include "chars/encoding.h"

namespace tavrin {

namespace {

struct NamedLimits {
  std::string_view name;
  DataFileLimits limits;
};

// Shipped sizes: the name lists at most 9.4 KB with 5-byte lines, tj.dat
// 23 KB, 5ge.dat 5 KB with 73-byte lines, dzwx.dat 13 KB with 3.4 KB lines,
// yq.dat 67 KB, sancai.dat 11 KB with 89-byte lines.
constexpr std::size_t kKiB = 1024;
const NamedLimits kLimits[] = {
    {"1600nv.dat", {128 * kKiB, kKiB}},
    {"1600nan.dat", {128 * kKiB, kKiB}},
    {reinterpret_cast<const char*>(u8"男.dat"), {128 * kKiB, kKiB}},
    {reinterpret_cast<const char*>(u8"女.dat"), {128 * kKiB, kKiB}},
    {"tj.dat", {256 * kKiB, kKiB}},
    {"5ge.dat", {64 * kKiB, kKiB}},
    {"dzwx.dat", {160 * kKiB, 32 * kKiB}},
    {"yq.dat", {1024 * kKiB, 0}},
    {"sancai.dat", {64 * kKiB, kKiB}},
};

}  // namespace

DataFileLimits LimitsFor(std::string_view fileName) {
  for (const NamedLimits& entry : kLimits) {
    if (entry.name == fileName) return entry.limits;
  }
  return {256 * kKiB, 32 * kKiB};
}

std::size_t LongestLine(std::string_view text) {
  text = text.substr(0, text.find('\0'));
  std::size_t longest = 0;
  std::size_t start = 0;
  for (std::size_t pos = 0; pos <= text.size(); ++pos) {
    if (pos == text.size() || text[pos] == '\r' || text[pos] == '\n') {
      longest = std::max(longest, pos - start);
      start = pos + 1;
    }
  }
  return longest;
}

std::optional<std::string> ReadDataFile(const std::string& path, const DataFileLimits& limits, DataFileError& error) {
  ReadRefusal refusal;
  std::optional<std::string> bytes = ReadRegularFile(path, limits.maxBytes, refusal);
  if (!bytes) {
    static constexpr DataFileRefusal kRefusals[] = {DataFileRefusal::kCannotOpen, DataFileRefusal::kNotRegular,
                                                    DataFileRefusal::kTooLarge};
    error = {kRefusals[refusal.kind], Utf8Text(RefusalText(refusal))};
    return std::nullopt;
  }
  if (limits.maxLineBytes > 0) {
    if (const std::size_t longest = LongestLine(*bytes); longest > limits.maxLineBytes) {
      error = {DataFileRefusal::kLineTooLong,
               Utf8Text(Utf8Literal(u8"有一行长 ").Bytes() + std::to_string(longest) +
                        Utf8Literal(u8" 字节,超过上限 ").Bytes() + std::to_string(limits.maxLineBytes) +
                        Utf8Literal(u8" 字节").Bytes())};
      return std::nullopt;
    }
  }
  return bytes;
}

}  // namespace tavrin
