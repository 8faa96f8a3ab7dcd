#include "chars/encoding.h"

#include <iconv.h>
#include <langinfo.h>

#include <clocale>
#include <cstdlib>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <stdexcept>
#include <utility>

#include "chars/gbk.h"

namespace tavrin {

namespace {

// One iconv conversion descriptor per direction and thread.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
    if (cd_ == reinterpret_cast<iconv_t>(-1)) {
      throw std::runtime_error(std::string("no conversion from ") + from + " to " + to);
    }
  }
  ~Converter() { iconv_close(cd_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts a whole input; false when some input could not be converted.
  bool Convert(std::string_view input, std::string& output) {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    output.clear();
    char* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    char buffer[1024];
    while (inLeft > 0) {
      char* out = buffer;
      std::size_t outLeft = sizeof buffer;
      const std::size_t rc = iconv(cd_, &in, &inLeft, &out, &outLeft);
      output.append(buffer, static_cast<std::size_t>(out - buffer));
      if (rc == static_cast<std::size_t>(-1) && errno != E2BIG) return false;
    }
    return true;
  }

 private:
  iconv_t cd_;
};

// True when the UTF-8 text holds a tag character (U+E0000 to U+E007F, the
// UTF-8 bytes F3 A0 80 80 to F3 A0 81 BF). The system's converter drops these
// silently instead of failing, so a text holding one would come out changed.
bool HoldsTagCharacter(std::string_view utf8) {
  for (std::size_t at = utf8.find("\xF3\xA0"); at != std::string_view::npos; at = utf8.find("\xF3\xA0", at + 1)) {
    if (at + 2 < utf8.size() && (utf8[at + 2] == '\x80' || utf8[at + 2] == '\x81')) return true;
  }
  return false;
}

}  // namespace

std::optional<std::string> Utf8ToGbk(std::string_view utf8) {
  if (HoldsTagCharacter(utf8)) return std::nullopt;
  thread_local Converter converter("GBK", "UTF-8");
  std::string gbk;
  if (!converter.Convert(utf8, gbk)) return std::nullopt;
  return gbk;
}

std::string Utf8ToGbkLossy(std::string_view utf8) {
  if (auto gbk = Utf8ToGbk(utf8)) return *gbk;
  std::string kept;
  for (std::size_t pos = 0; pos < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[pos]);
    const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    const auto one = Utf8ToGbk(utf8.substr(pos, length));
    kept += one ? *one : "?";
    pos += length;
  }
  return kept;
}

namespace {

// The UTF-8 of the two-byte GBK characters, a row of trail bytes 0x40..0xFE
// per lead byte 0x81..0xFE, each row converted by the system once, when a
// text first holds a character of it: long outputs (a calendar of 57,000
// days) then cost a table lookup per character rather than a conversion per
// line. An entry is its length (0: no GBK character) and up to three bytes.
class GbkTable {
 public:
  using Entry = std::array<char, 4>;
  const Entry& At(unsigned char lead, unsigned char trail) {
    const std::size_t row = lead - 0x81;
    if (!ready_[row].load(std::memory_order_acquire)) {
      std::call_once(built_[row], [&] { Build(row); });
      ready_[row].store(true, std::memory_order_release);
    }
    return rows_[row][trail - 0x40];
  }

 private:
  static constexpr std::size_t kRows = 0xFE - 0x81 + 1, kTrails = 0xFE - 0x40 + 1;
  std::array<std::once_flag, kRows> built_;
  std::array<std::atomic<bool>, kRows> ready_{};
  std::array<std::array<Entry, kTrails>, kRows> rows_{};

  void Build(std::size_t row) {
    Converter converter("UTF-8", "GBK");
    std::string utf8;
    for (std::size_t t = 0; t < kTrails; ++t) {
      const char gbk[2] = {static_cast<char>(0x81 + row), static_cast<char>(0x40 + t)};
      if (!converter.Convert(std::string_view(gbk, 2), utf8) || utf8.empty() || utf8.size() > 3) continue;
      Entry& entry = rows_[row][t];
      entry[0] = static_cast<char>(utf8.size());
      std::copy(utf8.begin(), utf8.end(), entry.begin() + 1);
    }
  }
};

// The text through the table, appended to `utf8`; false (and `utf8` partly
// written) when it holds a byte sequence the table does not convert, or,
// when `plainOnly`, a control byte but tab.
bool AppendByTable(std::string_view gbk, std::string& utf8, bool plainOnly) {
  static GbkTable table;
  const std::size_t start = utf8.size();
  // Two GBK bytes make at most three UTF-8 ones; a character is copied as
  // its three bytes whatever its length, so the room holds some spare.
  utf8.resize(start + gbk.size() + gbk.size() / 2 + 8);
  char* out = utf8.data() + start;
  for (std::size_t pos = 0; pos < gbk.size();) {
    if (plainOnly && pos + 8 <= gbk.size()) {
      // Eight printable ASCII bytes at a time: none has its high bit, none
      // is below 0x20 (adding 0x60 sets the high bit of every byte from 0x20
      // on) and none is 0x7F (adding one sets the high bit of that byte alone).
      std::uint64_t word = 0;
      std::memcpy(&word, gbk.data() + pos, 8);
      constexpr std::uint64_t kHigh = 0x8080808080808080ull;
      if ((word & kHigh) == 0 && ((word + 0x6060606060606060ull) & kHigh) == kHigh &&
          ((word + 0x0101010101010101ull) & kHigh) == 0) {
        std::memcpy(out, &word, 8);
        out += 8;
        pos += 8;
        continue;
      }
    }
    const auto lead = static_cast<unsigned char>(gbk[pos]);
    if (lead < 0x80) {
      // 0x20..0x7E stay below 0x5F once 0x20 is taken off; the control bytes wrap.
      if (plainOnly && static_cast<unsigned char>(lead - 0x20) > 0x5E && lead != '\t') return false;
      *out++ = static_cast<char>(lead);
      ++pos;
      continue;
    }
    if (lead == 0x80 || lead == 0xFF || pos + 1 == gbk.size()) return false;
    const auto trail = static_cast<unsigned char>(gbk[pos + 1]);
    if (trail < 0x40 || trail == 0xFF) return false;
    const GbkTable::Entry& entry = table.At(lead, trail);
    if (entry[0] == 0) return false;
    std::memcpy(out, entry.data() + 1, 3);
    out += entry[0];
    pos += 2;
  }
  utf8.resize(static_cast<std::size_t>(out - utf8.data()));
  return true;
}

}  // namespace

std::string GbkToUtf8(std::string_view gbk) {
  std::string utf8;
  if (AppendByTable(gbk, utf8, false)) return utf8;
  utf8.clear();
  thread_local Converter converter("UTF-8", "GBK");
  std::string piece;
  // Converted character by character where the whole text fails, so that one
  // bad sequence costs only itself.
  if (converter.Convert(gbk, utf8)) return utf8;
  utf8.clear();
  for (std::size_t pos = 0; pos < gbk.size();) {
    const std::size_t len = CharLengthAt(gbk, pos);
    if (converter.Convert(gbk.substr(pos, len), piece)) {
      utf8 += piece;
    } else {
      utf8 += "\xEF\xBF\xBD";
    }
    pos += len;
  }
  return utf8;
}

bool AppendPlainGbkAsUtf8(std::string_view gbk, std::string& utf8) {
  const std::size_t size = utf8.size();
  if (AppendByTable(gbk, utf8, true)) return true;
  utf8.resize(size);
  return false;
}

Utf8Text ToUtf8(const GbkText& gbk) { return Utf8Text(GbkToUtf8(gbk.View())); }

std::optional<GbkText> ToGbk(const Utf8Text& utf8) {
  auto gbk = Utf8ToGbk(utf8.View());
  if (!gbk) return std::nullopt;
  return GbkText(std::move(*gbk));
}

GbkText ToGbkLossy(const Utf8Text& utf8) { return GbkText(Utf8ToGbkLossy(utf8.View())); }

Utf8Text Utf8Literal(std::u8string_view utf8) {
  return Utf8Text(std::string_view(reinterpret_cast<const char*>(utf8.data()), utf8.size()));
}

GbkText GbkLiteral(std::u8string_view utf8) {
  auto gbk = ToGbk(Utf8Literal(utf8));
  if (!gbk) throw std::invalid_argument("a literal GBK cannot hold: " + Utf8Literal(utf8).Bytes());
  return std::move(*gbk);
}

void UseUtf8CharacterSet() {
  // A locale that is not installed leaves the whole process in C.
  const bool usable = std::setlocale(LC_ALL, "") != nullptr;
  const std::string_view codeset = nl_langinfo(CODESET);
  if (codeset == "UTF-8") return;
  const char* all = std::getenv("LC_ALL");
  ::setenv(!usable || (all != nullptr && *all != '\0') ? "LC_ALL" : "LC_CTYPE", "C.UTF-8", 1);
  std::setlocale(LC_ALL, "");
}

namespace {

std::size_t Utf8Length(unsigned char lead) {
  if (lead < 0x80) return 1;
  if (lead < 0xE0) return 2;
  if (lead < 0xF0) return 3;
  return 4;
}

char32_t CodePoint(std::string_view c) {
  const auto byte = [&](std::size_t i) { return static_cast<char32_t>(static_cast<unsigned char>(c[i])); };
  switch (c.size()) {
    case 1:
      return byte(0);
    case 2:
      return (byte(0) & 0x1F) << 6 | (byte(1) & 0x3F);
    case 3:
      return (byte(0) & 0x0F) << 12 | (byte(1) & 0x3F) << 6 | (byte(2) & 0x3F);
    case 4:
      return (byte(0) & 0x07) << 18 | (byte(1) & 0x3F) << 12 | (byte(2) & 0x3F) << 6 | (byte(3) & 0x3F);
    default:
      return 0;
  }
}

}  // namespace

std::vector<std::string> Utf8Chars(std::string_view utf8) {
  std::vector<std::string> chars;
  for (std::size_t at = 0; at < utf8.size();) {
    const std::size_t length = std::min(Utf8Length(static_cast<unsigned char>(utf8[at])), utf8.size() - at);
    chars.emplace_back(utf8.substr(at, length));
    at += length;
  }
  return chars;
}

bool IsHan(std::string_view utf8Char) {
  const char32_t c = CodePoint(utf8Char);
  return c == 0x3007 || (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF) ||
         (c >= 0x20000 && c <= 0x3FFFF);
}

}  // namespace tavrin
