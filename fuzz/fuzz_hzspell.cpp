// Fuzzes THzSpell: the pinyin of any text is the spellings of its items
// joined by single blanks (no blank at either end, none doubled), the head
// is their first letters, both are cached until the text is written again,
// and writing the same text again gives the same results.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "chars/hzspell.h"

#include "fuzz_input.h"

using tavrin::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::string spell;
  std::string head;
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t length = static_cast<unsigned char>(text[pos]) >= 0x81 && pos + 1 < text.size() ? 2 : 1;
    const std::string_view item = tavrin::THzSpell::SpellOfItem(std::string_view(text).substr(pos, length));
    Check(item.find(' ') == std::string_view::npos);
    if (!item.empty()) {
      if (!spell.empty()) spell += ' ';
      spell += item;
      head += item.front();
    }
    pos += length;
  }

  tavrin::THzSpell hz;
  hz.SetHzText("张三");
  (void)hz.HzSpell();
  (void)hz.PyHead();
  hz.SetHzText(text);
  Check(hz.HzText() == text);
  Check(hz.HzSpell() == spell);
  Check(hz.PyHead() == head);
  Check(&hz.HzSpell() == &hz.HzSpell());
  Check(spell.find("  ") == std::string::npos && (spell.empty() || (spell.front() != ' ' && spell.back() != ' ')));
  for (const char c : spell) Check(c == ' ' || (c >= 0x21 && c <= 0x7E));
  hz.SetHzText(text);
  Check(hz.PyHead() == head && hz.HzSpell() == spell);
  return 0;
}
