// Texts the favourites' messages share (GBK).
#pragma once

#include <string>
#include <string_view>

namespace tavrin {

// The reason of a failed system call (an errno value), in words the user
// reads (base/failure_text.h), as GBK.
std::string SystemReason(int error);

// A file name (UTF-8) between quotes, for a message: “<name>”.
std::string QuotedFileName(std::string_view path);

}  // namespace tavrin
