#include "favourites/messages.h"

#include "base/failure_text.h"
#include "chars/encoding.h"

namespace tavrin {

std::string SystemReason(int error) { return Utf8ToGbkLossy(FailureText(error)); }

std::string QuotedFileName(std::string_view path) { return "“" + Utf8ToGbkLossy(path) + "”"; }

}  // namespace tavrin
