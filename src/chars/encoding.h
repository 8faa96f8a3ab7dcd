// The one place where text crosses between the core's GBK byte strings and
// the UTF-8 of the outside world (the window and the command line).
//
// Every text the core makes for the user, message-box texts and exception
// texts included, is GBK like its other texts; the window and the command
// line convert it here when they show it, so what reaches the user is UTF-8.
// Messages that the command line makes itself are UTF-8 from the start.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "chars/text.h"

namespace tavrin {

// The typed forms of the conversions below: a GBK text as UTF-8 (U+FFFD for
// what is not GBK), a UTF-8 text as GBK (nullopt for what GBK lacks or what
// is not UTF-8), and lossily ("?" for those).
Utf8Text ToUtf8(const GbkText& gbk);
std::optional<GbkText> ToGbk(const Utf8Text& utf8);
GbkText ToGbkLossy(const Utf8Text& utf8);

// A Chinese literal written as u8"..." (UTF-8 in every folder, whatever its
// execution character set) as the text of either encoding. GbkLiteral
// converts on each call (keep the result in a static where it is used
// often) and throws std::invalid_argument for a character GBK lacks: a
// literal the core shows must be one it can hold.
GbkText GbkLiteral(std::u8string_view utf8);
Utf8Text Utf8Literal(std::u8string_view utf8);

// UTF-8 to GBK; nullopt when the input is not valid UTF-8 or holds a
// character that GBK cannot encode.
std::optional<std::string> Utf8ToGbk(std::string_view utf8);

// UTF-8 to GBK for texts that must be shown whatever they hold (file names,
// database texts): a character GBK lacks, or bytes that are not UTF-8, become
// "?".
std::string Utf8ToGbkLossy(std::string_view utf8);

// GBK to UTF-8; a byte sequence that is not valid GBK becomes U+FFFD.
std::string GbkToUtf8(std::string_view gbk);

// GBK to UTF-8 appended to `utf8`, for long outputs that convert line after
// line into one buffer. Refuses (false, `utf8` as it was) a text holding a
// control byte but tab, or a sequence that is not a GBK character, so that
// the caller takes the careful way for the rare text that needs it.
bool AppendPlainGbkAsUtf8(std::string_view gbk, std::string& utf8);

// The window programs' text is Chinese whatever the locale says, and Qt wants
// a UTF-8 character set (it warns on stderr when it finds none: no locale
// set, C, POSIX). Called before the application object exists, this sets the
// character set to C.UTF-8 when the locale's is not UTF-8; the rest of the
// locale stays as the user has it.
void UseUtf8CharacterSet();

// The characters of a UTF-8 text, one string each; a character cut short at
// the end stands as it is.
std::vector<std::string> Utf8Chars(std::string_view utf8);

// A Chinese character of a UTF-8 text: a CJK ideograph of any block, or 〇.
// (A GBK character is told by IsHanzi, chars/gbk.h.)
bool IsHan(std::string_view utf8Char);

}  // namespace tavrin
