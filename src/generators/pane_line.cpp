#include "generators/pane_line.h"

#include "chars/gbk.h"
#include "core/pane.h"

namespace tavrin {

void FlushPaneLine(std::string& paneLine, Pane& pane) {
  if (paneLine.empty()) return;
  pane.Append(std::move(paneLine));
  paneLine.clear();
}

namespace {

// Every character of the text is a double-byte one.
bool AllDoubleByte(std::string_view text) {
  for (std::size_t pos = 0; pos < text.size(); pos += 2) {
    if (CharLengthAt(text, pos) != 2) return false;
  }
  return true;
}

}  // namespace

std::string NameEntryAt(std::string_view line, std::size_t at) {
  // No GBK trail byte is a blank, so the entry is the run of non-blank bytes
  // around the byte.
  if (at >= line.size() || line[at] == ' ') return {};
  const std::size_t before = line.rfind(' ', at);
  const std::size_t start = before == std::string_view::npos ? 0 : before + 1;
  const std::size_t end = std::min(line.find(' ', at), line.size());
  const std::string_view entry = line.substr(start, end - start);

  const std::size_t open = entry.find('(');
  const std::string_view name = entry.substr(0, open);
  const std::size_t chars = CharCount(name);
  if (!AllDoubleByte(name) || chars < 2 || chars > 4) return {};
  if (open == std::string_view::npos) return chars == 2 ? std::string(name) : std::string();
  // A candidate's score: digits in parentheses, closing the entry.
  const std::string_view score = entry.substr(open + 1);
  if (score.size() < 2 || score.back() != ')') return {};
  for (const char c : score.substr(0, score.size() - 1)) {
    if (c < '0' || c > '9') return {};
  }
  return std::string(name);
}

}  // namespace tavrin
