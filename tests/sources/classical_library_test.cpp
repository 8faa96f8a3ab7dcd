// The lines well-known names come from, the order of the sources, and the
// search of the library's texts, on the built library.db.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "chars/encoding.h"
#include "chars/gbk.h"
#include "core/startup.h"
#include "sources/classical_library.h"
#include "sources/library_text.h"

namespace tavrin::sources {
namespace {

ClassicalLibrary& Library() {
  static const auto library = std::make_unique<ClassicalLibrary>(ExecutableDir() + kLibraryFile);
  return *library;
}

// Names with a classical source a parent would name, and the line it is:
// the line must be among the first three sources found for at least 90 %
// of them (what is missed is printed).
TEST(ClassicalLibrary, WellKnownNamesFindTheirLine) {
  const struct {
    const char* name;
    const char* line;
    const char* collection;
  } cases[] = {
      {"孟浩然", "我善养吾浩然之气", "孟子"},
      {"李子衿", "青青子衿", "诗经"},
      {"王修远", "路漫漫其修远兮", "楚辞"},
      {"张思齐", "见贤思齐焉", "论语"},
      {"刘明德", "在明明德", "大学"},
      {"陈静姝", "静女其姝", "诗经"},
      {"赵嘉树", "后皇嘉树", "楚辞"},
      {"屈灵均", "字余曰灵均", "楚辞"},
      {"杨清扬", "清扬婉兮", "诗经"},
      {"周伊人", "所谓伊人", "诗经"},
      {"吴怀瑾", "怀瑾握瑜兮", "楚辞"},
      {"郑弘毅", "士不可以不弘毅", "论语"},
      {"孙至善", "在止于至善", "大学"},
      {"林舜华", "颜如舜华", "诗经"},
      {"何淑慎", "淑慎其身", "诗经"},
      {"高锦瑟", "锦瑟无端五十弦", "唐诗三百首"},
      {"罗鹤鸣", "鹤鸣于九皋", "诗经"},
      {"梁令仪", "莫不令仪", "诗经"},
      {"宋蒹葭", "蒹葭苍苍", "诗经"},
      {"韩致远", "致远恐泥", "论语"},
      {"唐星河", "耿耿星河欲曙天", "唐诗三百首"},
      {"冯明哲", "既明且哲", "诗经"},
      {"许宜家", "宜其室家", "诗经"},
      {"沈望舒", "前望舒使先驱兮", "楚辞"},
  };
  int hits = 0;
  std::string missed;
  for (const auto& c : cases) {
    const auto found = Library().FindSources(GbkText(GivenName(c.name, 1)));
    const auto hit = std::find_if(
        found.begin(), found.begin() + std::min<std::ptrdiff_t>(3, std::ssize(found)),
        [&](const NameSource& s) { return s.line.Bytes() == c.line && s.collection.Bytes() == c.collection; });
    if (hit != found.begin() + std::min<std::ptrdiff_t>(3, std::ssize(found))) {
      ++hits;
    } else {
      missed += std::string(" ") + c.name;
    }
  }
  EXPECT_GE(hits * 10, static_cast<int>(std::size(cases)) * 9) << "missed:" << missed;
}

// Adjacent before in order before any order; a collection of higher rank
// first within each; no line twice; each result's positions hold the name.
TEST(ClassicalLibrary, SourcesAreRankedAndMarked) {
  const auto found = Library().FindSources(GbkText("修远"));
  ASSERT_EQ(found.size(), 10u);
  EXPECT_EQ(found[0].line.Bytes(), "路漫漫其修远兮");
  EXPECT_EQ(found[0].title.Bytes(), "离骚");
  EXPECT_EQ(found[0].author.Bytes(), "屈原");
  EXPECT_EQ(found[0].positions, (std::vector<int>{5, 6}));
  Fit previousFit = Fit::kAdjacent;
  int previousRank = 0;
  for (std::size_t i = 0; i < found.size(); ++i) {
    SCOPED_TRACE(found[i].line.Bytes());
    // The line is GBK: two bytes a character.
    for (std::size_t k = 0; k < found[i].positions.size(); ++k) {
      const auto at = static_cast<std::size_t>(found[i].positions[k] - 1) * 2;
      EXPECT_EQ(found[i].line.Bytes().substr(at, 2), std::string("修远").substr(k * 2, 2));
    }
    const bool adjacent = found[i].positions[1] == found[i].positions[0] + 1;
    const bool inOrder = found[i].positions[1] > found[i].positions[0];
    const Fit fit = adjacent ? Fit::kAdjacent : inOrder ? Fit::kInOrder : Fit::kAnyOrder;
    EXPECT_GE(fit, previousFit);
    const int rank = CollectionRank(ToUtf8(found[i].collection).Bytes());
    if (fit == previousFit) {
      EXPECT_GE(rank, previousRank);
    }
    previousFit = fit;
    previousRank = rank;
    for (std::size_t j = 0; j < i; ++j) EXPECT_NE(found[j].line, found[i].line);
  }
  EXPECT_TRUE(Library().FindSources(GbkText("修a")).empty());
  EXPECT_TRUE(Library().FindSources(GbkText()).empty());
  EXPECT_EQ(Library().FindSources(GbkText("浩然"), 2).size(), 2u);
}

// Where no line holds the characters side by side, the lines holding them in
// order come before those holding them in any order, though the latter
// stand in a collection of higher rank (用…歌 and 民…父 in the 诗经; 歌…用
// and 父…民 only in later poetry).
TEST(ClassicalLibrary, InOrderBeforeAnyOrder) {
  for (const char* given : {"歌用", "父民"}) {
    SCOPED_TRACE(given);
    const auto found = Library().FindSources(GbkText(given));
    ASSERT_GE(found.size(), 2u);
    const auto inOrder = [](const NameSource& s) { return s.positions[0] < s.positions[1]; };
    EXPECT_TRUE(inOrder(found.front())) << found.front().line.Bytes();
    EXPECT_FALSE(inOrder(found.back())) << found.back().line.Bytes();
    EXPECT_TRUE(std::is_partitioned(found.begin(), found.end(), inOrder));
    EXPECT_TRUE(
        std::any_of(found.begin(), found.end(), [](const NameSource& s) { return s.collection.Bytes() == "诗经"; }));
  }
}

// The whole list, in order, where the fit decides it: adjacent lines, then
// the lines in order, then those in any order, even when a line of a lower
// fit stands in a collection of higher rank (观中宇兮浩浩 is in the 楚辞) or
// comes first in the index; a short list keeps the better fits.
TEST(ClassicalLibrary, TheFitOrdersTheWholeList) {
  const struct {
    const char* given;
    std::size_t limit;
    const char* lines;  // joined by "/"
  } cases[] = {
      {"浩宇", 10, "浩浩腾腾充宇宙/浩气横秋宇/观中宇兮浩浩"},
      {"浩宇", 2, "浩浩腾腾充宇宙/浩气横秋宇"},
      {"宇浩", 10, "观中宇兮浩浩/浩浩腾腾充宇宙/浩气横秋宇"},
      {"嘉懿", 10, "嘉声懿德/懿此嘉遁士"},
      {"雅琴", 8, "雅琴飞白雪/雅琴驯鲁雉/雕斵为雅琴/雅韵与琴清/清雅似闻琴/闲雅胜闻琴/雅操入孤琴/雅得琴中妙"},
      {"子墨", 10,
       "吾闻夷子墨者/子墨风流更不言/翰林子墨主人卿/子墨相看/惟子通玄得墨灵/宋任子冉之计囚墨翟/墨子兼爱/"
       "寒女眷眷墨子悲/吾虽翰墨子/如何墨子泪"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.given) + " / " + std::to_string(c.limit));
    std::string lines;
    for (const NameSource& source : Library().FindSources(GbkText(c.given), c.limit)) {
      lines += (lines.empty() ? "" : "/") + source.line.Bytes();
    }
    EXPECT_EQ(GbkToUtf8(lines), GbkToUtf8(c.lines));  // readable when it fails
  }
}

TEST(ClassicalLibrary, Search) {
  const struct {
    const char* text;
    const char* collection;
    std::int64_t firstId;  // the first text found
    const char* firstTitle;
    std::size_t atLeast;  // texts found, at least
    std::size_t atMost;
  } cases[] = {
      {"离骚", "", 896, "离骚", 50, 200},             // the title, and poems that name it
      {"青青子衿，悠悠我心", "", 681, "子衿", 2, 2},  // 子衿 and 曹操's 短歌行 quoting it
      {"青青子衿。悠悠我心", "", 0, "", 0, 0},        // the mark must agree
      {"李白", "唐诗三百首", 4, "将进酒", 20, 40},
      {"", "论语", 960, "学而", 20, 20},
      {"", "大学", 980, "大学", 1, 1},
      {"abc", "", 0, "", 0, 0},
      {"离骚", "元曲", 0, "", 0, 10},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.text) + " / " + c.collection);
    const auto entries = Library().Search(GbkText(c.text), GbkText(c.collection));
    EXPECT_GE(entries.size(), c.atLeast);
    EXPECT_LE(entries.size(), c.atMost);
    if (c.firstId != 0 && !entries.empty()) {
      EXPECT_EQ(entries.front().id, c.firstId);
      EXPECT_EQ(entries.front().title.Bytes(), c.firstTitle);
    }
    for (const auto& entry : entries) {
      if (*c.collection) {
        EXPECT_EQ(entry.collection.Bytes(), c.collection);
      }
    }
    EXPECT_TRUE(std::is_sorted(entries.begin(), entries.end(),
                               [](const LibraryEntry& a, const LibraryEntry& b) { return a.id < b.id; }));
  }
}

}  // namespace
}  // namespace tavrin::sources
