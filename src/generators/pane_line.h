// The line buffer a generator gathers returned candidates in before it writes
// them to its pane as one line.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tavrin {

class Pane;

// A pane line is written once it holds this many bytes (the two- and
// three-character, five-element and poetry generators) or this many
// characters (the two recommended generators).
inline constexpr std::size_t kPaneLineBytes = 100;
inline constexpr std::size_t kPaneLineChars = 70;

// Entries of a pane line are separated by three blanks.
inline constexpr std::string_view kEntrySeparator = "   ";

// Appends a returned candidate and the separator; an empty result adds nothing.
// Returns whether something was added.
inline bool AddEntry(std::string& paneLine, std::string_view accepted) {
  if (accepted.empty()) return false;
  paneLine += accepted;
  paneLine += kEntrySeparator;
  return true;
}

// Writes a pane line that is not empty to the pane, and empties it.
void FlushPaneLine(std::string& paneLine, Pane& pane);

// The full name of the entry of a pane line that holds the byte `at` (the
// first byte of a character): the name part before "(" of a candidate text
// "张伟明(85)", or a two-character entry without a score (the
// five-element pane's). Empty when the byte is a blank or lies outside the
// line, or when the text there is not a name (a completion line, say).
std::string NameEntryAt(std::string_view line, std::size_t at);

}  // namespace tavrin
