// The compiled-in syllable table and GBK syllable index of the pinyin
// spelling component.
#include "chars/hzspell_tables.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "chars/pinyin.h"
#include "core/lines.h"
#include "core/startup.h"

namespace tavrin {
namespace {

std::string_view SyllableOf(std::string_view ch) {
  return SyllableOfCell(static_cast<unsigned char>(ch[0]), static_cast<unsigned char>(ch[1]));
}

int CellNumber(int lead, int trail) { return GbkSyllableIndex[(lead - 0x81) * 191 + (trail - 0x40)]; }

bool IsGb2312Hanzi(int lead, int trail) {
  return lead >= 0xB0 && lead <= 0xF7 && trail >= 0xA1 && trail <= 0xFE && !(lead == 0xD7 && trail >= 0xFA);
}

TEST(HzSpellTables, SyllablesAreSortedDistinctAndShort) {
  ASSERT_GT(kSyllableCount, 0);
  EXPECT_EQ(std::string_view(SyllableTable[0]), "");
  for (int n = 1; n <= kSyllableCount; ++n) {
    const std::string_view syllable = SyllableTable[n];
    SCOPED_TRACE(std::string(syllable));
    EXPECT_GE(syllable.size(), 1u);
    EXPECT_LE(syllable.size(), 6u);
    for (char c : syllable) EXPECT_TRUE(c >= 'a' && c <= 'z');
    if (n > 1) {
      EXPECT_LT(std::string_view(SyllableTable[n - 1]), syllable);
    }
  }
  EXPECT_EQ(std::string_view(SyllableTable[1]), "a");
  EXPECT_EQ(std::string_view(SyllableTable[kSyllableCount]), "zuo");
}

TEST(HzSpellTables, EveryNumberIsInRangeAndCellsOutsideGbkAreEmpty) {
  for (int cell = 0; cell < kGbkSyllableCells; ++cell) {
    ASSERT_LE(GbkSyllableIndex[cell], kSyllableCount) << cell;
  }
  for (int lead = 0x81; lead <= 0xFE; ++lead) {
    SCOPED_TRACE(lead);
    EXPECT_EQ(CellNumber(lead, 0x7F), 0);  // no GBK trail byte
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
      const bool userDefined = (lead >= 0xAA && lead <= 0xAF && trail >= 0xA1) || (lead >= 0xF8 && trail >= 0xA1) ||
                               (lead >= 0xA1 && lead <= 0xA7 && trail <= 0xA0);
      const bool symbolRow = lead >= 0xA1 && lead <= 0xA9 && trail >= 0xA1;
      if (userDefined || symbolRow) {
        EXPECT_EQ(CellNumber(lead, trail), 0) << trail;
      }
    }
  }
}

TEST(HzSpellTables, EveryGb2312HanziHasASyllable) {
  int count = 0;
  for (int lead = 0xB0; lead <= 0xF7; ++lead) {
    for (int trail = 0xA1; trail <= 0xFE; ++trail) {
      if (!IsGb2312Hanzi(lead, trail)) continue;
      ++count;
      EXPECT_NE(CellNumber(lead, trail), 0) << lead << " " << trail;
    }
  }
  EXPECT_EQ(count, 6763);
  for (int trail = 0xFA; trail <= 0xFE; ++trail) EXPECT_EQ(CellNumber(0xD7, trail), 0);
}

TEST(HzSpellTables, TellingValues) {
  const struct {
    const char* ch;
    const char* syllable;
  } cases[] = {
      {"张", "zhang"}, {"王", "wang"}, {"李", "li"},   {"中", "zhong"},  {"一", "yi"},     {"爨", "cuan"},
      {"張", "zhang"}, {"陳", "chen"}, {"龍", "long"}, {"绿", "lv"},     {"女", "nv"},     {"略", "lve"},
      {"的", "di"},    {"们", "men"},  {"啊", "a"},    {"丂", "kao"},    {"齄", "zha"},    {"鼾", "han"},
      {"亍", "chu"},   {"黉", "hong"}, {"娜", "na"},   {"撞", "zhuang"}, {"窗", "chuang"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.ch);
    ASSERT_EQ(std::string_view(c.ch).size(), 2u);
    EXPECT_EQ(SyllableOf(c.ch), c.syllable);
  }
}

TEST(HzSpellTables, BytesOutsideTheTableHaveNoSyllable) {
  const struct {
    unsigned char lead, trail;
  } cases[] = {{0x80, 0xA1}, {0xFF, 0xA1}, {0x00, 0x00}, {0x41, 0x42}, {0xD5, 0x3F},
               {0xD5, 0xFF}, {0xD5, 0x7F}, {0xA1, 0xA1}, {0xA3, 0xC1}, {0xAA, 0xA1}};
  for (const auto& c : cases) {
    EXPECT_EQ(SyllableOfCell(c.lead, c.trail), "") << int(c.lead) << " " << int(c.trail);
  }
}

// The spelling tables and the pinyin index file "yq.dat" are built from the
// same readings: over the whole GB2312 area the syllable is the file's
// pinyin without its tone digit, and cells without pinyin have no syllable.
TEST(HzSpellTables, AgreesWithTheShippedPinyinIndex) {
  std::string error;
  const std::string file = ReadWholeFile(ExecutableDir() + kPinyinFile, error).value_or("");
  ASSERT_FALSE(file.empty()) << error;
  int withPinyin = 0;
  for (int lead = 0xA1; lead <= 0xF7; ++lead) {
    for (int trail = 0xA1; trail <= 0xFE; ++trail) {
      SCOPED_TRACE(lead * 256 + trail);
      std::string pinyin;
      const bool has = scan::ReadPinyinRecord(file, PinyinCell(lead, trail), pinyin);
      const std::string_view ours = SyllableOfCell(lead, trail);
      if (!has) {
        EXPECT_EQ(ours, "");
        continue;
      }
      ++withPinyin;
      ASSERT_GE(pinyin.size(), 2u);
      EXPECT_TRUE(pinyin.back() >= '1' && pinyin.back() <= '5');
      EXPECT_EQ(ours, std::string_view(pinyin).substr(0, pinyin.size() - 1));
    }
  }
  EXPECT_EQ(withPinyin, 6763);
}

}  // namespace
}  // namespace tavrin
