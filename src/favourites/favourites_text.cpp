#include "favourites/favourites_text.h"

#include <algorithm>

#include "base/failure_text.h"
#include "chars/encoding.h"

namespace tavrin {

namespace {

bool Ascii(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

}  // namespace

std::string StoredText(std::string_view gbk) {
  // ASCII reads the same in both.
  return Ascii(gbk) ? std::string(gbk) : GbkToUtf8(gbk);
}

std::string HeldText(std::string_view utf8) { return Utf8ToGbkLossy(utf8); }

std::optional<std::string> ImportedText(std::string_view utf8) {
  if (Ascii(utf8)) return std::string(utf8);
  return Utf8ToGbk(utf8);
}

std::string MessageText(std::string_view utf8) { return Utf8ToGbkLossy(utf8); }

std::string SystemReason(int error) { return MessageText(FailureText(error)); }

std::string QuotedFileName(std::string_view path) { return "“" + MessageText(path) + "”"; }

}  // namespace tavrin
