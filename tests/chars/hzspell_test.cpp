#include "chars/hzspell.h"

#include <gtest/gtest.h>

namespace tavrin {
namespace {

TEST(HzSpell, SpellAndHead) {
  const struct {
    const char* text;
    const char* spell;
    const char* head;
  } cases[] = {
      {"张三", "zhang san", "zs"},
      {"ＡＢ１", "A B 1", "AB1"},
      {"ab", "a b", "ab"},
      {"张 三,王_李", "zhang san wang li", "zswl"},  // blank, comma and underscore are dropped
      {"②ⅰΩω", "2 1 o o", "21oo"},
      {"⒇⑽Ⅻ", "20 10 12", "211"},
      {"（［ｚ］）＼", "( [ z ] )", "([z])"},  // the full-width backslash gives nothing
      {"Ａ@", "A @", "A@"},
      {"张\xD5", "zhang", "z"},  // a lead byte at the end is an item of its own
      {"\x81\x30", "", ""},      // a trail byte below 0x40: the first byte alone, which gives nothing
      {"", "", ""},
      {"張", "zhang", "z"},  // traditional characters have readings too
  };
  for (const auto& c : cases) {
    THzSpell spell;
    spell.SetHzText(c.text);
    EXPECT_EQ(spell.HzSpell(), c.spell) << c.text;
    EXPECT_EQ(spell.PyHead(), c.head) << c.text;
  }
}

TEST(HzSpell, WritingTheTextEmptiesTheCaches) {
  THzSpell spell;
  spell.SetHzText("张三");
  EXPECT_EQ(spell.HzSpell(), "zhang san");
  EXPECT_EQ(spell.PyHead(), "zs");
  spell.SetHzText("王");
  EXPECT_EQ(spell.HzSpell(), "wang");
  EXPECT_EQ(spell.PyHead(), "w");
  EXPECT_EQ(spell.HzText(), "王");
}

}  // namespace
}  // namespace tavrin
