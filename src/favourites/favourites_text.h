// Where the favourites' texts change encoding. A favourite holds the core's
// texts (GBK) and the favourites' messages are GBK; the store file, the
// exchange files, file names and the system's failure texts are UTF-8. The
// rest of the favourites converts nothing itself.
#pragma once

#include <optional>

#include "chars/text.h"

namespace tavrin {

// A favourite's text as the store and the exchange files keep it: UTF-8, so
// that any SQLite tool or editor reads it.
Utf8Text StoredText(const GbkText& held);

// A stored text as a favourite holds it; a character GBK lacks, or bytes
// that are not UTF-8, become "?", so that every stored favourite opens.
GbkText HeldText(const Utf8Text& stored);

// A text of an imported file as a favourite holds it; nullopt when it is not
// UTF-8 or holds a character GBK lacks.
std::optional<GbkText> ImportedText(const Utf8Text& imported);

// A text from outside (a database's error, a key of a file, why a write
// failed) as a message says it; what GBK lacks becomes "?".
GbkText MessageText(const Utf8Text& outside);

// The reason of a failed system call (an errno value), in words the user
// reads (base/failure_text.h).
GbkText SystemReason(int error);

// A file name between quotes, for a message: “<name>”.
GbkText QuotedFileName(const Utf8Text& path);

}  // namespace tavrin
