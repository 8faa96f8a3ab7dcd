// A text that says its encoding in its type: GbkText holds the core's GBK
// bytes, Utf8Text the UTF-8 of the window, the command line, the files and
// the databases. Neither turns into a std::string or into the other by
// itself: a text is made from bytes explicitly, its bytes are read through
// Bytes(), and it changes encoding only through chars/encoding.h.
#pragma once

#include <string>
#include <string_view>
#include <utility>

namespace tavrin {

namespace text_encoding {
struct Gbk;
struct Utf8;
}  // namespace text_encoding

template <typename Encoding>
class EncodedText {
 public:
  EncodedText() = default;
  explicit EncodedText(std::string bytes) : bytes_(std::move(bytes)) {}
  explicit EncodedText(std::string_view bytes) : bytes_(bytes) {}
  explicit EncodedText(const char* bytes) : bytes_(bytes) {}

  const std::string& Bytes() const& { return bytes_; }
  std::string Bytes() && { return std::move(bytes_); }
  std::string_view View() const { return bytes_; }
  bool empty() const { return bytes_.empty(); }

  friend bool operator==(const EncodedText&, const EncodedText&) = default;
  friend bool operator<(const EncodedText& a, const EncodedText& b) { return a.bytes_ < b.bytes_; }

 private:
  std::string bytes_;
};

using GbkText = EncodedText<text_encoding::Gbk>;
using Utf8Text = EncodedText<text_encoding::Utf8>;

}  // namespace tavrin
