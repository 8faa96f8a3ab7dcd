#include "chars/strokes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "chars/gbk.h"

namespace tavrin {
namespace {

std::string CellText(int cell) { return {static_cast<char>(0xB0 + cell / 94), static_cast<char>(0xA1 + cell % 94)}; }

TEST(StrokeTable, TellingValues) {
  const struct {
    const char* text;
    int strokes;
  } cases[] = {
      {"一", 1}, {"乙", 1},  {"二", 2},  {"人", 2},  {"马", 3},  {"王", 4},  {"刘", 6},  {"张", 7},  {"李", 7},
      {"陈", 7}, {"啊", 10}, {"黄", 11}, {"谢", 12}, {"魏", 17}, {"攮", 25}, {"蠼", 26}, {"爨", 30},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(StrokeLookup(c.text), c.strokes);
    EXPECT_EQ(StrokeCount(c.text), c.strokes);
  }
}

TEST(StrokeTable, ZeroExactlyInTheUnassignedAndRadicalCells) {
  std::set<int> expectedZero = {(0xD7 - 0xB0) * 94 + (0xFA - 0xA1), (0xD7 - 0xB0) * 94 + (0xFB - 0xA1),
                                (0xD7 - 0xB0) * 94 + (0xFC - 0xA1), (0xD7 - 0xB0) * 94 + (0xFD - 0xA1),
                                (0xD7 - 0xB0) * 94 + (0xFE - 0xA1)};
  for (const std::string& radical :
       SplitChars("丨丿丶匚刂冂亻勹亠冫冖讠卩阝廴凵艹廾尢扌囗彡犭夂饣忄丬氵宀辶彐屮纟攵灬礻肀钅疒衤虍")) {
    const int cell =
        (static_cast<unsigned char>(radical[0]) - 0xB0) * 94 + static_cast<unsigned char>(radical[1]) - 0xA1;
    ASSERT_TRUE(cell >= 0 && cell < kStrokeTableSize) << radical;
    expectedZero.insert(cell);
  }
  ASSERT_EQ(expectedZero.size(), 46u);
  for (int cell = 0; cell < kStrokeTableSize; ++cell) {
    SCOPED_TRACE(cell);
    if (expectedZero.count(cell)) {
      EXPECT_EQ(StrokeTable[cell], 0);
    } else {
      EXPECT_GE(StrokeTable[cell], 1);
      EXPECT_LE(StrokeTable[cell], 30);
    }
  }
  EXPECT_EQ(*std::max_element(StrokeTable, StrokeTable + kStrokeTableSize), 30);
  EXPECT_EQ(StrokeTable[0], 10);  // 啊, the first cell
}

TEST(StrokeCount, FallsBackOnTheSimplifiedFormThenFive) {
  const struct {
    const char* text;
    int lookup;
    int count;
  } cases[] = {
      {"张三", 7, 7},  // only the first character counts
      {"張", 0, 7},    // lead byte below the table, counted as 张
      {"陳", 0, 7},    // trail byte below the table's cells, counted as 陈
      {"龍", 0, 5},    // lead byte above the table, counted as 龙
      {"", 0, 5},         {"A", 0, 5}, {"1", 0, 5}, {"，", 0, 5}, {"氵", 0, 5},  // a radical component without a count
      {"\xB0", 0, 5},                                                            // a lone lead byte
      {"\xB0\xFF", 0, 5},                                                        // trail byte 0xFF
      {"\xD7\xFA", 0, 5},                                                        // an unassigned cell
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(StrokeLookup(c.text), c.lookup);
    EXPECT_EQ(StrokeCount(c.text), c.count);
  }
}

TEST(CharacterForms, ConvertCharacterByCharacter) {
  const struct {
    const char* simplified;
    const char* traditional;
  } cases[] = {
      {"张三", "張三"}, {"陈龙", "陳龍"}, {"", ""}, {"abc，123", "abc，123"}, {"张a陈", "張a陳"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.simplified);
    EXPECT_EQ(ToTraditional(c.simplified), c.traditional);
    EXPECT_EQ(ToSimplified(c.traditional), c.simplified);
  }
  // A zero byte ends the text, as it would for a C string.
  EXPECT_EQ(ToTraditional(std::string("张\0陈", 5)), "張");
}

TEST(CharacterForms, OneToOneRoundTripOverEveryDoubleByteCode) {
  int mapped = 0;
  for (int lead = 0x81; lead <= 0xFE; ++lead) {
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
      const std::string ch{static_cast<char>(lead), static_cast<char>(trail)};
      const std::string traditional = ToTraditional(ch);
      ASSERT_EQ(traditional.size(), 2u);
      if (traditional != ch) {
        ++mapped;
        EXPECT_EQ(ToSimplified(traditional), ch) << std::hex << lead << trail;
      }
      const std::string simplified = ToSimplified(ch);
      if (simplified != ch) {
        EXPECT_EQ(ToTraditional(simplified), ch) << std::hex << lead << trail;
      }
    }
  }
  EXPECT_GT(mapped, 2000);  // every common simplified character has a traditional form
}

TEST(CharacterForms, ATraditionalFormOutsideTheTableCountsAsItsSimplifiedForm) {
  int outside = 0;
  for (int cell = 0; cell < kStrokeTableSize; ++cell) {
    if (StrokeTable[cell] == 0) continue;
    const std::string traditional = ToTraditional(CellText(cell));
    if (StrokeLookup(traditional) != 0) continue;
    ++outside;
    EXPECT_EQ(StrokeCount(traditional), StrokeTable[cell]) << CellText(cell);
  }
  EXPECT_GT(outside, 2000);
}

}  // namespace
}  // namespace tavrin
