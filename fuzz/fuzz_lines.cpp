// Fuzzes the line lists of the data files: a file read whole and cut into
// lines. Every line is a run of the text, the runs are separated by exactly
// one line end (CR LF, CR or LF) each, and nothing after a zero byte counts.
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <string_view>

#include "core/lines.h"

#include "fuzz_input.h"

namespace {

const std::string& ScratchFile() {
  static const std::string path = tavrin::fuzz::ScratchDir() + "lines.dat";
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  {
    std::ofstream out(ScratchFile(), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  std::string error;
  const std::optional<std::string> read = tavrin::ReadWholeFile(ScratchFile(), error);
  if (!read || *read != bytes || !tavrin::FileExists(ScratchFile())) std::abort();

  const std::string_view text = std::string_view(bytes).substr(0, bytes.find('\0'));
  const tavrin::LineList lines = tavrin::SplitLines(bytes);
  std::size_t pos = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    if (line.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos) std::abort();
    if (text.substr(pos, line.size()) != line) std::abort();
    pos += line.size();
    // Every line but the last ends in a line end; the last one may.
    if (pos == text.size()) {
      if (i + 1 != lines.size()) std::abort();
      break;
    }
    if (text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n') {
      pos += 2;
    } else if (text[pos] == '\r' || text[pos] == '\n') {
      pos += 1;
    } else {
      std::abort();
    }
  }
  if (pos != text.size()) std::abort();
  return 0;
}
