// Integrity of the shipped element list "dzwx.dat": five heading lines, each
// followed by one line of characters, every character once, each read as its
// listed element by the program's aligned search, and a layout that a
// byte-wise reader reads the same way but for the few characters the headings
// spell across their character boundaries.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "chars/gbk.h"
#include "data/char_data_files.h"

namespace tavrin {
namespace {

using test::AllGb2312Hanzi;
using test::CrLfGb2312Lines;
using test::IsGb2312Hanzi;
using test::ShippedFile;
using test::TreeTable;

const std::string kHeadingMark = "的字有";

// The element a heading names: the text between its first “ and the ” behind it.
std::string HeadingElement(const std::string& line) {
  const std::size_t open = FindAligned(line, "“");
  if (open == std::string::npos) return "";
  const std::size_t from = open + std::string("“").size();
  const std::size_t close = FindAligned(line, "”", from);
  return line.substr(from, close == std::string::npos ? std::string::npos : close - from);
}

// The element the list gives a character: the heading of the last line that
// contains it (a character line stands for the heading before it); empty
// when no line does. `aligned` selects the character-boundary search,
// otherwise any two adjacent bytes match.
std::string ReadElement(const std::vector<std::string>& lines, const std::string& character, bool aligned) {
  std::string result;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const auto contains = [&](const std::string& line, const std::string& needle) {
      return aligned ? ContainsAligned(line, needle) : line.find(needle) != std::string::npos;
    };
    if (!contains(lines[i], character)) continue;
    if (contains(lines[i], kHeadingMark)) {
      result = HeadingElement(lines[i]);
    } else if (i > 0) {
      result = HeadingElement(lines[i - 1]);
    }
  }
  return result;
}

class DzwxDat : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    lines_ = new std::vector<std::string>(CrLfGb2312Lines(ShippedFile(kCharElementFile)));
  }
  static void TearDownTestSuite() {
    delete lines_;
    lines_ = nullptr;
  }
  void SetUp() override { ASSERT_EQ(lines_->size(), 10u); }
  static const std::vector<std::string>& Lines() { return *lines_; }

  // Listed character -> element of its heading.
  static std::map<std::string, std::string> Listed() {
    std::map<std::string, std::string> listed;
    for (std::size_t i = 1; i < Lines().size(); i += 2) {
      for (const std::string& c : SplitChars(Lines()[i])) listed.emplace(c, HeadingElement(Lines()[i - 1]));
    }
    return listed;
  }

 private:
  static std::vector<std::string>* lines_;
};
std::vector<std::string>* DzwxDat::lines_ = nullptr;

TEST_F(DzwxDat, FiveHeadingsEachFollowedByOneCharacterLine) {
  std::set<std::string> elements;
  for (std::size_t i = 0; i < Lines().size(); i += 2) {
    const std::string& heading = Lines()[i];
    const std::string& list = Lines()[i + 1];
    SCOPED_TRACE(i);
    EXPECT_TRUE(ContainsAligned(heading, kHeadingMark));
    const std::string element = HeadingElement(heading);
    EXPECT_TRUE(element == "金" || element == "木" || element == "水" || element == "火" || element == "土") << element;
    EXPECT_NE(FindAligned(heading, "”"), std::string::npos);
    elements.insert(element);
    // A character line holds no heading mark, not even across two characters.
    EXPECT_EQ(list.find(kHeadingMark), std::string::npos);
  }
  EXPECT_EQ(elements.size(), 5u);
}

TEST_F(DzwxDat, CharacterLinesHoldDistinctGb2312HanziOnly) {
  std::set<std::string> seen;
  for (std::size_t i = 1; i < Lines().size(); i += 2) {
    const std::string& list = Lines()[i];
    SCOPED_TRACE(HeadingElement(Lines()[i - 1]));
    ASSERT_EQ(list.size() % 2, 0u);
    EXPECT_GE(list.size() / 2, 500u);
    for (std::size_t k = 0; k < list.size(); k += 2) {
      EXPECT_TRUE(IsGb2312Hanzi(list[k], list[k + 1])) << "byte " << k;
      EXPECT_TRUE(seen.insert(list.substr(k, 2)).second) << list.substr(k, 2) << " listed twice";
    }
  }
  EXPECT_GE(seen.size(), 6500u);
}

TEST_F(DzwxDat, EveryHanziReadsTheSameByteWiseAndAligned) {
  const std::map<std::string, std::string> listed = Listed();
  // ”的, 的字, 字有 and the pairs around each heading's element character form
  // these characters byte-wise; the program's search never sees them there.
  const std::set<std::string> headingPhantoms = {"钡", "淖", "钟", "敖", "稹", "澳", "尽", "八", "盎", "巴", "痢"};
  for (const std::string& c : AllGb2312Hanzi()) {
    const std::string aligned = ReadElement(Lines(), c, true);
    SCOPED_TRACE(c);
    if (!headingPhantoms.count(c)) {
      EXPECT_EQ(ReadElement(Lines(), c, false), aligned);
    }
    // A listed character reads as its own line's element; an unlisted one is
    // found nowhere (apart from the heading characters, which are listed).
    const auto it = listed.find(c);
    EXPECT_EQ(aligned, it == listed.end() ? "" : it->second);
  }
}

TEST_F(DzwxDat, KnownElements) {
  const struct {
    const char* character;
    const char* element;  // "" when the character is not listed
  } cases[] = {
      // the element characters themselves
      {"金", "金"},
      {"木", "木"},
      {"水", "水"},
      {"火", "火"},
      {"土", "土"},
      // common name characters
      {"鑫", "金"},
      {"铁", "金"},
      {"林", "木"},
      {"森", "木"},
      {"海", "水"},
      {"江", "水"},
      {"炎", "火"},
      {"灿", "火"},
      {"坤", "土"},
      {"城", "土"},
      // by the radical where the package has no element
      {"钱", "金"},
      {"菊", "木"},
      {"炬", "火"},
      {"硝", "土"},
      // what every heading holds takes the last heading's element
      {"的", "水"},
      {"有", "水"},
      // spelled byte-wise across heading characters, but never by the search
      {"钟", "金"},
      {"钡", "金"},
      // no element from either source
      {"女", ""},
      // a surname neither source gives, listed by a reviewed override
      {"吕", "火"},
  };
  const std::map<std::string, std::string> listed = Listed();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.character);
    const auto it = listed.find(c.character);
    EXPECT_EQ(it == listed.end() ? "" : it->second, c.element);
  }
}

// Every reviewed override (峰 土, 剑 金 …) is what the shipped file gives,
// read from the table the generator applies.
TEST_F(DzwxDat, ReviewedOverridesHold) {
  const auto overrides = TreeTable("tools/chars/dzwx_overrides.tsv");
  EXPECT_GE(overrides.size(), 4u);
  for (const auto& row : overrides) {
    ASSERT_EQ(row.size(), 3u);
    SCOPED_TRACE(row[0]);
    EXPECT_EQ(ReadElement(Lines(), row[0], true), row[1]);
  }
}

}  // namespace
}  // namespace tavrin
