// The name under a double-click: the entry of a pane line around a byte.
#include <gtest/gtest.h>

#include "generators/pane_line.h"
#include "naming_fixture.h"

namespace tavrin {
namespace {

TEST(NameEntryAt, StartMiddleAndEndOfEntriesAndTheBlanksBetween) {
  // Bytes: 张伟明(85) 0..9, blanks 10..12, 张文(70) 13..20, blanks 21..23,
  // 张炎 24..27, blanks 28..30.
  const std::string line = "张伟明(85)   张文(70)   张炎   ";
  const struct {
    std::size_t at;
    const char* name;
  } cases[] = {
      {0, "张伟明"}, {4, "张伟明"}, {6, "张伟明"}, {9, "张伟明"},  // start, middle, score, closing bracket
      {10, ""},      {12, ""},                                     // the blanks between
      {13, "张文"},  {20, "张文"},                                 // the next entry, start and end
      {24, "张炎"},  {26, "张炎"},                                 // a two-character entry without a score
      {28, ""},      {31, ""},      {1000, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(NameEntryAt(line, c.at), c.name) << c.at;
}

TEST(NameEntryAt, TextsThatAreNoName) {
  const struct {
    const char* line;
    std::size_t at;
  } cases[] = {
      {"2字名分析完成", 0},
      {"推荐名字二分析完成", 2},  // completion lines
      {"五行缺火", 0},
      {"辛卯年 庚子月", 0},  // no score and not two characters
      {"出生日期:2012年1月1日", 0},
      {"张伟明(8a)", 0},  // not a score
      {"张伟明(85", 0},
      {"张(85)", 0},  // unclosed; one character
      {"张伟明大大(85)", 0},
      {"ab(85)", 0},  // too long; not Chinese
  };
  for (const auto& c : cases) EXPECT_EQ(NameEntryAt(c.line, c.at), "") << c.line;
}

// Under the default rule a surname of a common final leaves few characters,
// and the generators stop at their draw caps; comparing whole items gives
// more names, and the note says which rule was used.
TEST(WholeItemSound, MoreNamesAndANoteOfTheDrawCaps) {
  std::size_t rows[2] = {};
  std::string notes[2];
  for (const bool whole : {false, true}) {
    test::NamingFixture fixture;
    fixture.inputs.count = "30";
    fixture.inputs.wholeItemSound = whole;
    ASSERT_EQ(fixture.Generate(), GenerateOutcome::kCompleted);
    rows[whole] = fixture.model->memo2.Rows();
    notes[whole] = fixture.model->DrawCapSummary();
    EXPECT_EQ(fixture.model->Progress(), "");  // the label itself is emptied as ever
  }
  EXPECT_GT(rows[1], rows[0]);
  EXPECT_NE(notes[0].find("二字名 " + std::to_string(rows[0]) + " 行"), std::string::npos) << notes[0];
  EXPECT_NE(notes[0].find("勾选“声韵按整项比较”"), std::string::npos);
  if (!notes[1].empty()) {
    EXPECT_NE(notes[1].find("已按整项比较声韵"), std::string::npos);
  }
}

}  // namespace
}  // namespace tavrin
