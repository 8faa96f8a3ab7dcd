// The candidate under a double-click: the entry of a pane line around a byte.
#include <gtest/gtest.h>

#include "core/pane.h"
#include "naming_fixture.h"

namespace tavrin {
namespace {

Candidate Named(const char* name, int score, bool scored = true) {
  Candidate candidate;
  candidate.fullName = name;
  candidate.surnameBytes = 2;
  candidate.score = score;
  candidate.scored = scored;
  return candidate;
}

TEST(PaneCandidateAt, StartMiddleAndEndOfEntriesAndTheBlanksBetween) {
  // Bytes: 张伟明(85) 0..9, blanks 10..12, 张文(-5) 13..20, blanks 21..23,
  // 张炎 24..27, blanks 28..30.
  PaneLine line;
  line.Add(Named("张伟明", 85));
  line.Add(Named("张文", -5));
  line.Add(Named("张炎", 0, false));
  EXPECT_EQ(line.Text(), "张伟明(85)   张文(-5)   张炎   ");
  Pane pane("Memo2");
  pane.Append("2字名分析完成");
  line.FlushTo(pane);
  EXPECT_TRUE(line.Empty());
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
  for (const auto& c : cases) {
    const Candidate* candidate = pane.CandidateAt(1, c.at);
    EXPECT_EQ(candidate ? candidate->fullName : "", c.name) << c.at;
  }
  // A line of plain text, and lines the pane does not have.
  for (const std::size_t line : {0, 2, 100}) EXPECT_EQ(pane.CandidateAt(line, 0), nullptr) << line;
  pane.Clear();
  EXPECT_EQ(pane.CandidateAt(0, 0), nullptr);
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
    rows[whole] = fixture.model->PaneOf(Origin::kTwoChar).Rows();
    notes[whole] = DrawCapSummary(fixture.model->Session());
    EXPECT_EQ(fixture.model->Presentation().Progress(), "");  // the label itself is emptied as ever
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
