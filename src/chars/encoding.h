// The one place where text crosses between the core's GBK byte strings and
// the UTF-8 of the outside world (the window and the command line).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tavrin {

// UTF-8 to GBK; nullopt when the input is not valid UTF-8 or holds a
// character that GBK cannot encode.
std::optional<std::string> Utf8ToGbk(std::string_view utf8);

// GBK to UTF-8; a byte sequence that is not valid GBK becomes U+FFFD.
std::string GbkToUtf8(std::string_view gbk);

}  // namespace tavrin
