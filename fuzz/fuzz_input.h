// Reading a fuzz input as several parts, and what the targets share: the fields of an input are the runs
// of bytes between 0xFF bytes, a byte that no GBK or UTF-8 text holds, so a
// field is any text and a mutation that adds or removes a 0xFF moves the
// fields against each other.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <list>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "base/output_text.h"
#include "core/lines.h"
#include "core/startup.h"

namespace tavrin::fuzz {

// The runs of bytes between the separator bytes; none for an empty text.
inline std::vector<std::string_view> SplitAt(std::string_view bytes, char separator) {
  std::vector<std::string_view> parts;
  if (bytes.empty()) return parts;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = bytes.find(separator, start);
    parts.push_back(bytes.substr(start, end == std::string_view::npos ? end : end - start));
    if (end == std::string_view::npos) return parts;
    start = end + 1;
  }
}

class FuzzInput {
 public:
  FuzzInput(const std::uint8_t* data, std::size_t size)
      : bytes_(reinterpret_cast<const char*>(data), size), fields_(SplitAt(bytes_, '\xFF')) {}

  std::string_view Bytes() const { return bytes_; }
  // Field `index`; the empty text when the input has fewer fields.
  std::string_view Field(std::size_t index) const {
    return index < fields_.size() ? fields_[index] : std::string_view();
  }
  std::size_t FieldCount() const { return fields_.size(); }
  // The first byte of field `index` as a number, 0 when the field is empty.
  unsigned Flags(std::size_t index) const {
    const std::string_view field = Field(index);
    return field.empty() ? 0u : static_cast<unsigned char>(field[0]);
  }

 private:
  std::string_view bytes_;
  std::vector<std::string_view> fields_;
};

// The input as the words of a command line: the runs of bytes between zero
// bytes, as in /proc/PID/cmdline (an argument cannot hold a zero byte).
inline std::vector<std::string> Words(std::string_view bytes) {
  const std::vector<std::string_view> parts = SplitAt(bytes, '\0');
  return {parts.begin(), parts.end()};
}

// The bytes of a shipped data file, which the build copies beside the
// targets.
inline std::string ShippedFile(const std::string& fileName) {
  std::string error;
  auto read = ReadWholeFile(ExecutableDir() + fileName, error);
  if (!read) std::abort();
  return *read;
}

// A broken invariant is a finding.
inline void Check(bool holds) {
  if (!holds) std::abort();
}

// A directory for scratch files of this process, made on first use under
// /dev/shm when it can be written (memory, so fast), else under /tmp, and
// removed when the process exits normally.
inline const std::string& ScratchDir() {
  static const std::string dir = [] {
    const std::string base = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    std::string path = base + "/tavrin-fuzz-XXXXXX";
    if (!::mkdtemp(path.data())) std::abort();
    return path + "/";
  }();
  static const bool removal = [] {
    std::atexit([] { std::filesystem::remove_all(ScratchDir()); });
    return true;
  }();
  (void)removal;
  return dir;
}

// What a target made from a part of its input that is costly to make (the
// stores, the services, a scorer), kept for the `capacity` most recently
// used keys, so that an input whose part recurs takes it again.
template <class Value>
class RecentValues {
 public:
  explicit RecentValues(std::size_t capacity) : capacity_(capacity) {}

  // The value kept for `key`, made with `make()` when there is none.
  template <class Make>
  const Value& Get(std::string_view key, Make&& make) {
    if (const auto found = index_.find(key); found != index_.end()) {
      order_.splice(order_.begin(), order_, found->second);
      return found->second->second;
    }
    Value made = make();
    order_.emplace_front(std::string(key), std::move(made));
    index_.emplace(order_.front().first, order_.begin());
    if (order_.size() > capacity_) {
      index_.erase(order_.back().first);
      order_.pop_back();
    }
    return order_.front().second;
  }

 private:
  using Entry = std::pair<std::string, Value>;
  std::size_t capacity_;
  std::list<Entry> order_;  // most recently used first
  std::unordered_map<std::string_view, typename std::list<Entry>::iterator> index_;
};

// True when the text is well-formed UTF-8.
inline bool ValidUtf8(std::string_view text) { return IsValidUtf8(text); }

}  // namespace tavrin::fuzz
