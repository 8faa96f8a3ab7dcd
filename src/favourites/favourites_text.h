// Where the favourites' texts change encoding. A favourite holds the core's
// texts (GBK) and the favourites' messages are GBK; the store file, the
// exchange files, file names and the system's failure texts are UTF-8. The
// rest of the favourites converts nothing itself.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tavrin {

// A favourite's text (GBK) as the store and the exchange files keep it:
// UTF-8, so that any SQLite tool or editor reads it.
std::string StoredText(std::string_view gbk);

// A stored text (UTF-8) as a favourite holds it; a character GBK lacks, or
// bytes that are not UTF-8, become "?", so that every stored favourite opens.
std::string HeldText(std::string_view utf8);

// A text of an imported file (UTF-8) as a favourite holds it; nullopt when
// it is not UTF-8 or holds a character GBK lacks.
std::optional<std::string> ImportedText(std::string_view utf8);

// A text from outside (UTF-8: a database's error, a key of a file, why a
// write failed) as a message says it; what GBK lacks becomes "?".
std::string MessageText(std::string_view utf8);

// The reason of a failed system call (an errno value), in words the user
// reads (base/failure_text.h), as GBK.
std::string SystemReason(int error);

// A file name (UTF-8) between quotes, for a message: “<name>”.
std::string QuotedFileName(std::string_view path);

}  // namespace tavrin
