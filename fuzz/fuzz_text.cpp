// Fuzzes the GBK text primitives with arbitrary bytes: line splitting, the
// character-aligned search, stroke counts, character forms and the GBK and
// UTF-8 boundary.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "chars/encoding.h"
#include "chars/gbk.h"
#include "chars/strcon.h"
#include "chars/strokes.h"
#include "core/lines.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t cut = size ? data[0] % (size + 1) : 0;
  const std::string_view marker = input.substr(0, cut / 4);
  const std::string_view text = input.substr(cut / 4);

  // A hit of the aligned search is a real occurrence on a character boundary.
  const std::size_t hit = tavrin::FindAligned(text, marker);
  if (hit != std::string_view::npos) {
    if (text.substr(hit, marker.size()) != marker) std::abort();
    std::size_t pos = 0;
    while (pos < hit) pos += tavrin::CharLengthAt(text, pos);
    if (pos != hit) std::abort();
  }
  (void)tavrin::TextAfter(marker, text);
  (void)tavrin::TextBefore(marker, text);
  (void)tavrin::IsChineseText(text);

  std::size_t total = 0;
  for (const std::string& line : tavrin::SplitLines(text)) total += line.size();
  if (total > text.size()) std::abort();

  const int strokes = tavrin::StrokeCount(text);
  if (strokes < 1 || strokes > 30) std::abort();
  const std::string traditional = tavrin::ToTraditional(text);
  if (traditional.size() > text.size()) std::abort();
  (void)tavrin::ToSimplified(traditional);

  // The boundary to the outside world: UTF-8 that GBK can hold comes back
  // unchanged, any bytes read as GBK become valid UTF-8, and GBK text that
  // converts without a replacement character converts back to itself.
  if (auto gbk = tavrin::Utf8ToGbk(text)) {
    if (tavrin::GbkToUtf8(*gbk) != text) std::abort();
  } else if (std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
    std::abort();  // ASCII always converts
  }
  const std::string utf8 = tavrin::GbkToUtf8(text);
  if (!tavrin::fuzz::ValidUtf8(utf8)) std::abort();
  if (utf8.find("\xEF\xBF\xBD") == std::string::npos) {
    const auto back = tavrin::Utf8ToGbk(utf8);
    if (!back || *back != text) std::abort();
  }
  return 0;
}
