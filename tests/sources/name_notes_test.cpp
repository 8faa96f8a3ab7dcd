// Names beside their sources and meanings, as the window and the PDF show
// them: the line of a poem a drawn name comes from, the best line of the
// library, and what each given character means.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "chars/encoding.h"
#include "core/startup.h"
#include "sources/name_notes.h"

namespace tavrin::sources {
namespace {

template <typename Text>
std::vector<std::string> BytesOf(const std::vector<Text>& texts) {
  std::vector<std::string> bytes;
  for (const Text& text : texts) bytes.push_back(text.Bytes());
  return bytes;
}

TEST(NameNotes, LinesOfNameInAPoem) {
  const std::string poem = "青青子衿，悠悠我心。纵我不往，子宁不嗣音？\n青青子佩，悠悠我思。";
  const struct {
    const char* given;
    std::vector<std::string> lines;
  } cases[] = {
      {"子衿", {"青青子衿"}},              // adjacent and in order
      {"悠思", {"悠悠我思"}},              // in order, apart
      {"心我", {"悠悠我心"}},              // any order
      {"子", {"青青子衿"}},                // the first line holding it
      {"衿思", {"青青子衿", "悠悠我思"}},  // no line holds both: each one's line
      {"月心", {"", "悠悠我心"}},
      {"", {}},
  };
  // The poem and the lines are UTF-8, as the window hands them over.
  for (const auto& c : cases) {
    std::vector<std::string> lines;
    for (const std::string& line : c.lines) lines.push_back(GbkToUtf8(line));
    EXPECT_EQ(LinesOfName(GbkToUtf8(poem), GbkToUtf8(c.given)), lines) << c.given;
  }
}

TEST(NameNotes, SourcesAndMeaningsOfFullNames) {
  NameNotes notes(ExecutableDir(), std::make_shared<const advice::AdviceTables>(LoadAdviceTables(ExecutableDir())));
  const struct {
    const char* name;
    const char* given;
    const char* source;    // ShortSource of the best line, empty for none
    std::size_t meanings;  // lines: the pair when it is a word, the given characters the tables know
  } cases[] = {
      {"王子衿", "子衿", "《子衿》佚名：青青子衿", 2},
      {"孟浩然", "浩然", "《公孙丑上》孟轲：我善养吾浩然之气", 2},
      {"欧阳修远", "修远", "《离骚》屈原：路漫漫其修远兮", 3},  // a compound surname; 修远 is a word
      {"欧阳", "阳", "", 1},                                    // two characters: one surname character
      {"王犇犇", "犇犇", "", 2},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(notes.Tables().GivenName(c.name), c.given) << c.name;
    const NameSource* best = notes.BestSource(GbkText(c.name));
    if (*c.source) {
      ASSERT_NE(best, nullptr) << c.name;
      EXPECT_EQ(ShortSource(*best), GbkText(c.source));
      EXPECT_EQ(notes.BestSource(GbkText(c.name)), best);  // remembered
    }
    EXPECT_EQ(notes.Meanings(GbkText(c.name), NameNotes::Glosses::kNone).size(), c.meanings) << c.name;
  }
  // 衿, a character of the name bank beyond the name lists, has the team's meaning.
  EXPECT_EQ(notes.Meanings(GbkText("王子衿"), NameNotes::Glosses::kNone)[1],
            GbkText("衿（jīn）衣领，青青子衿，喻学子"));
  const std::string zi = notes.Meanings(GbkText("王子衿"))[0].Bytes();
  EXPECT_EQ(zi.rfind("子（zǐ）孩子", 0), 0u) << zi;
  EXPECT_NE(zi.find("；常用词：孩子"), std::string::npos) << zi;
  const std::vector<std::string> xiuyuan = BytesOf(notes.Meanings(GbkText("欧阳修远")));
  EXPECT_EQ(xiuyuan[0], "修远：长远，辽远。多指道路。");
  EXPECT_EQ(xiuyuan[1].rfind("修（xiū）修身", 0), 0u) << xiuyuan[1];
}

// The Chinese meaning first, the English gloss only on the line under it
// (never in a meaning's place); the family's page shows the Chinese alone.
TEST(NameNotes, ChineseMeaningFirstAndTheGlossUnder) {
  NameNotes notes(ExecutableDir(), std::make_shared<const advice::AdviceTables>(LoadAdviceTables(ExecutableDir())));
  const struct {
    const char* name;
    std::vector<std::string> lines;  // Meanings with the glosses; the family's page drops the indented ones
  } cases[] = {
      {"王子衿",
       {"子（zǐ）孩子，也是对人的美称；常用词：孩子 儿子 电子 身子 分子", "  child; a master",
        "衿（jīn）衣领，青青子衿，喻学子", "  collar or lapel of garment"}},
      {"王犇", {"犇（bēn）", "  run fast, flee; rush about; run"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(BytesOf(notes.Meanings(GbkText(c.name))), c.lines) << c.name;
    std::vector<std::string> family;
    for (const std::string& line : c.lines) {
      if (!line.starts_with("  ")) family.push_back(GbkToUtf8(line));
    }
    EXPECT_EQ(BytesOf(NotesTextOf(notes, GbkText(c.name)).meanings), family) << c.name;
  }
}

TEST(NameNotes, WithoutLibraryOrTables) {
  NameNotes notes("/nonexistent/", nullptr);
  EXPECT_EQ(notes.Library(), nullptr);
  EXPECT_EQ(notes.BestSource(GbkText("王子衿")), nullptr);
  EXPECT_TRUE(notes.Meanings(GbkText("王子衿")).empty());
  EXPECT_EQ(notes.Tables().GivenName("王子衿"), "子衿");
}

// A source earns the 推荐度's phrase bonus only as a phrase of its line:
// side by side, in order, within one beat of a verse line.
TEST(NameNotes, APhraseOfTheLine) {
  const struct {
    const char* line;
    std::vector<int> positions;
    bool phrase;
  } cases[] = {
      {"青青子衿", {3, 4}, true},        {"杨柳依依", {2, 3}, false},  // 杨柳|依依
      {"路漫漫其修远兮", {5, 6}, true},  {"锦瑟无端五十弦", {1, 2}, true},
      {"锦瑟无端五十弦", {2, 3}, false}, {"曾西艴然不悦", {6, 4}, false},     // reversed
      {"白日依山尽", {4, 5}, true},      {"我善养吾浩然之气", {5, 6}, true},  // no beat in prose
      {"既明且哲", {2, 4}, false},
  };
  for (const auto& c : cases) {
    NameSource source;
    source.line = GbkText(c.line);
    source.positions = c.positions;
    EXPECT_EQ(AsClassicalSource(source).adjacent, c.phrase) << c.line;
  }
}

}  // namespace
}  // namespace tavrin::sources
