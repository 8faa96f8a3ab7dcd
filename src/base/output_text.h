// Text the command-line programs write for a terminal or a spreadsheet:
// arguments quoted safely in messages, CSV cells that no spreadsheet takes
// for a formula, and the check that standard output was really written.
#pragma once

#include <cstddef>
#include <iosfwd>
#include <string>
#include <string_view>

namespace tavrin {

// Exit status when standard output or standard error cannot be written.
inline constexpr int kOutputErrorStatus = 74;

// A text (bytes meant as UTF-8) made safe for a terminal: control characters
// and bytes that are not UTF-8 become escapes (\e, \t, \r, \xNN); a line
// break stays when `keepLineBreaks`.
std::string EscapeForTerminal(std::string_view text, bool keepLineBreaks = false);

// The ASCII control characters of a text escaped as above, every other byte
// kept: for GBK text, whose double-byte characters never hold such a byte.
// With `keepTabs`, a tab stays (the separator of the command line's columns).
std::string EscapeControlBytes(std::string_view text, bool keepTabs = false);

// True when the text is well-formed UTF-8 (no overlong forms, surrogates or
// code points above U+10FFFF).
bool IsValidUtf8(std::string_view text);

// A user's argument as a message quotes it: escaped as above, and cut after
// kQuotedArgumentChars characters with "…".
inline constexpr std::size_t kQuotedArgumentChars = 20;
std::string QuoteArgument(std::string_view argument);

// A CSV cell that a spreadsheet would read as a formula (its first character
// is =, +, -, @, a tab or a CR) with an apostrophe put in front. Works on
// UTF-8 and on GBK alike: these characters are never part of another one.
std::string NeutraliseCsvCell(std::string_view cell);

// Flushes the stream and tells whether anything written to it was lost.
bool OutputFailed(std::ostream& out);

}  // namespace tavrin
