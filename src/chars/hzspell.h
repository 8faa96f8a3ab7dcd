// THzSpell: toneless pinyin of a GBK text from the compiled-in syllable
// tables, with no data file: HzSpell gives the pinyin of every item of the
// text separated by blanks, PyHead the first letter of each item's pinyin.
#pragma once

#include <string>
#include <string_view>

namespace tavrin {

class THzSpell {
 public:
  const std::string& HzText() const { return hzText_; }
  // Stores the text and empties both caches.
  void SetHzText(std::string text);

  // Computed on the first read after HzText was written, then cached.
  const std::string& HzSpell();
  const std::string& PyHead();

  // The spelling of one item: one byte, or a lead byte 0x81.. with the byte
  // after it.
  static std::string_view SpellOfItem(std::string_view item);

 private:
  std::string hzText_;
  std::string spell_;
  std::string head_;
};

}  // namespace tavrin
