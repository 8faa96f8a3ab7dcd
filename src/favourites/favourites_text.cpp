#include "favourites/favourites_text.h"

#include <algorithm>
#include <string_view>

#include "base/failure_text.h"
#include "chars/encoding.h"

namespace tavrin {

namespace {

bool Ascii(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

}  // namespace

Utf8Text StoredText(const GbkText& held) {
  // ASCII reads the same in both.
  return Ascii(held.View()) ? Utf8Text(held.View()) : ToUtf8(held);
}

GbkText HeldText(const Utf8Text& stored) { return ToGbkLossy(stored); }

std::optional<GbkText> ImportedText(const Utf8Text& imported) {
  if (Ascii(imported.View())) return GbkText(imported.View());
  return ToGbk(imported);
}

GbkText MessageText(const Utf8Text& outside) { return ToGbkLossy(outside); }

GbkText SystemReason(int error) { return MessageText(Utf8Text(FailureText(error))); }

GbkText QuotedFileName(const Utf8Text& path) { return GbkText("“" + MessageText(path).Bytes() + "”"); }

}  // namespace tavrin
