#include "chars/hzspell.h"

#include <array>

#include "chars/hzspell_tables.h"

namespace tavrin {

namespace {

// The items of a text: a byte of 0x81 or more with a byte after it starts a
// two-byte item, any other byte is an item of its own.
template <typename Visit>
void ForEachItem(std::string_view text, Visit visit) {
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t length = static_cast<unsigned char>(text[pos]) >= 0x81 && pos + 1 < text.size() ? 2 : 1;
    visit(text.substr(pos, length));
    pos += length;
  }
}

// The printable ASCII characters that spell as themselves.
bool SpellsAsItself(unsigned char c) {
  if (c < 0x21 || c > 0x7E) return false;
  for (const char excluded : std::string_view("',/;=\\_`{}|~")) {
    if (c == static_cast<unsigned char>(excluded)) return false;
  }
  return true;
}

// Row 0xA2 of GB2312: the numbered signs, by trail byte.
std::string_view NumberText(unsigned char trail) {
  static const std::array<std::string_view, 21> kNumbers = {"",   "1",  "2",  "3",  "4",  "5",  "6",
                                                            "7",  "8",  "9",  "10", "11", "12", "13",
                                                            "14", "15", "16", "17", "18", "19", "20"};
  const struct {
    unsigned char first, last;
  } runs[] = {{0xA1, 0xAA}, {0xB1, 0xC4}, {0xC5, 0xD8}, {0xD9, 0xE2}, {0xE5, 0xEE}, {0xF1, 0xFC}};
  for (const auto& run : runs) {
    if (trail >= run.first && trail <= run.last) return kNumbers[trail - run.first + 1];
  }
  return {};
}

// Row 0xA3: full-width ( ) 0-9 A-Z [ ] a-z as their half-width characters.
std::string_view FullWidthText(unsigned char trail) {
  static const std::string kHalfWidth = [] {
    std::string table(256, '\0');
    for (int c = 0; c < 128; ++c) {
      const bool kept = c == '(' || c == ')' || c == '[' || c == ']' || (c >= '0' && c <= '9') ||
                        (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
      if (kept) table[static_cast<std::size_t>(c + 0x80)] = static_cast<char>(c);
    }
    return table;
  }();
  const char& c = kHalfWidth[trail];
  return c ? std::string_view(&c, 1) : std::string_view();
}

// Row 0xA6: the Greek capitals and small letters.
std::string_view GreekText(unsigned char trail) {
  static const std::array<std::string_view, 24> kGreek = {"a", "b", "g", "d", "e",  "z",  "e",  "th",
                                                          "i", "k", "l", "m", "n",  "x",  "o",  "p",
                                                          "r", "s", "t", "u", "ph", "kh", "ps", "o"};
  if (trail >= 0xA1 && trail <= 0xB8) return kGreek[trail - 0xA1];
  if (trail >= 0xC1 && trail <= 0xD8) return kGreek[trail - 0xC1];
  return {};
}

}  // namespace

std::string_view THzSpell::SpellOfItem(std::string_view item) {
  if (item.empty()) return {};
  const auto lead = static_cast<unsigned char>(item[0]);
  if (item.size() == 1 || lead < 0x81 || static_cast<unsigned char>(item[1]) < 0x40) {
    return SpellsAsItself(lead) ? item.substr(0, 1) : std::string_view();
  }
  const auto trail = static_cast<unsigned char>(item[1]);
  switch (lead) {
    case 0xA2:
      return trail > 0xA0 ? NumberText(trail) : std::string_view();
    case 0xA3:
      return FullWidthText(trail);
    case 0xA6:
      return GreekText(trail);
    default:
      return SyllableOfCell(lead, trail);
  }
}

void THzSpell::SetHzText(std::string text) {
  hzText_ = std::move(text);
  spell_.clear();
  head_.clear();
}

const std::string& THzSpell::HzSpell() {
  if (spell_.empty()) {
    ForEachItem(hzText_, [this](std::string_view item) {
      const std::string_view spelled = SpellOfItem(item);
      if (!spell_.empty() && !spelled.empty()) spell_ += ' ';
      spell_ += spelled;
    });
  }
  return spell_;
}

const std::string& THzSpell::PyHead() {
  if (head_.empty()) {
    ForEachItem(hzText_, [this](std::string_view item) {
      const std::string_view spelled = SpellOfItem(item);
      if (!spelled.empty()) head_ += spelled.front();
    });
  }
  return head_;
}

}  // namespace tavrin
