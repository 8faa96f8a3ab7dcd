#include "chars/strcon.h"

#include <gtest/gtest.h>

#include <optional>

#include "chars/gbk.h"

namespace tavrin {
namespace {

struct MarkerCase {
  const char* marker;
  const char* text;
  const char* after;
  const char* before;
};

TEST(TextCutting, AfterAndBeforeTheFirstMarker) {
  const MarkerCase cases[] = {
      {"(", "张三(85)", "85)", "张三"},
      {")", "85)", "", "85"},
      {",", "85,人格", "人格", "85"},
      {",", "没有逗号", "", "没有逗号"},
      {",", "", "", ""},
      {"", "abc", "", "abc"},  // an empty marker is never found
      {"张", "张三", "三", ""},
      {"三", "张三", "", "张"},
      {"a", "banana", "nana", "b"},
      {"的字有", "五行属“金”的字有:", ":", "五行属“金”"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(TextAfter(c.marker, c.text), c.after);
    EXPECT_EQ(TextBefore(c.marker, c.text), c.before);
  }
}

TEST(TextCutting, NeverMatchesAcrossCharacterBoundaries) {
  // 中文 is D6 D0 CE C4; the middle bytes D0 CE spell 形, which the text does
  // not hold: the trail of 中 and the lead of 文 must never form a hit.
  const std::string zhongwen = "中文";
  ASSERT_EQ(std::string("\xD0\xCE"), "形");
  EXPECT_EQ(SharedStrings().FindMarker("形", zhongwen, false, 0), 0);
  EXPECT_EQ(SharedStrings().FindMarker("形", zhongwen, false, 2), 0);
  EXPECT_EQ(TextAfter("形", zhongwen), "");
  EXPECT_EQ(TextBefore("形", zhongwen), zhongwen);
  EXPECT_FALSE(IsChineseText("") || ContainsAligned("a中文", "形"));
  EXPECT_TRUE(ContainsAligned("中形文", "形"));
  EXPECT_EQ(TextAfter("形", "中文形状"), "状");

  // An ASCII letter or sign can be a trail byte: 丂 is 81 40 ('@').
  EXPECT_EQ(SharedStrings().FindMarker("@", "\x81\x40", false, 0), 0);
  EXPECT_EQ(SharedStrings().FindMarker("@", "\x81\x40@", false, 0), 3);

  // A phantom before the real hit is skipped, and the real hit is found.
  const std::string text = "中文形";
  EXPECT_EQ(SharedStrings().FindMarker("形", text, false, 0), 5);
}

TEST(FindMarker, StartCountsBytesFromOne) {
  const struct {
    const char* marker;
    const char* text;
    int start;
    int expected;
  } cases[] = {
      {"x", "abcdx", 3, 5}, {"x", "abcdx", 0, 5}, {"x", "abcdx", 1, 5}, {"x", "xbcde", 3, 0}, {"x", "xbcdx", 2, 5},
      {"x", "abc", 9, 0},   {"", "abc", 0, 0},    {"张", "李张", 0, 3}, {"张", "李张", 3, 3}, {"张", "李张", 4, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.text) + " @" + std::to_string(c.start));
    EXPECT_EQ(SharedStrings().FindMarker(c.marker, c.text, false, c.start), c.expected);
  }
}

TEST(FindMarker, IgnoreCaseUpperCasesAsciiOnly) {
  EXPECT_EQ(SharedStrings().FindMarker("AB", "xxab", true, 0), 3);
  EXPECT_EQ(SharedStrings().FindMarker("AB", "xxab", false, 0), 0);
  EXPECT_EQ(SharedStrings().UpperText("abc张z"), "ABC张Z");
  // A trail byte in the letter range is not a letter: 乬 is 81 67 ('g').
  EXPECT_EQ(SharedStrings().UpperText("\x81\x67g"), "\x81\x67G");  // 乬 then g
}

TEST(IsChineseText, DoubleByteAnywhereButNotAFullWidthMarkAlone) {
  const struct {
    const char* text;
    bool expected;
  } cases[] = {
      {"张", true},  {"张三", true}, {"a1张", true}, {"", false},    {"abc", false},
      {"，", false}, {"。", false},  {"？", false},  {"！", false},  {"；", false},
      {"：", false}, {"、", true},   {"，张", true}, {"，，", true}, {"123", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(IsChineseText(c.text), c.expected);
  }
}

TEST(GbkCharacters, CountSplitAndIndex) {
  EXPECT_EQ(CharCount("张三a"), 3u);
  EXPECT_EQ(CharCount(""), 0u);
  EXPECT_EQ(CharCount("\xD5"), 1u);  // a lone lead byte at the end
  EXPECT_EQ(SplitChars("a张三"), (std::vector<std::string>{"a", "张", "三"}));
  EXPECT_EQ(CharAt("张三丰", 2), "丰");
  EXPECT_EQ(CharAt("张三丰", 3), "");
}

// The advice reads names by their double-byte characters alone: a stray
// byte, ASCII or a lead byte left at the end, is no character of the name.
TEST(GbkCharacters, DoubleByteCharactersAlone) {
  const struct {
    const char* text;
    std::vector<std::string> chars;
  } cases[] = {
      {"张三", {"张", "三"}}, {"a张b三c", {"张", "三"}}, {"张\xD5", {"张"}}, {"abc", {}}, {"", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(DoubleByteChars(c.text), c.chars) << c.text;
  EXPECT_TRUE(IsDoubleByteChar("张"));
  EXPECT_FALSE(IsDoubleByteChar("ab"));
  EXPECT_FALSE(IsDoubleByteChar("\xD5"));
}

TEST(StringHelpers, DecimalIntegers) {
  const struct {
    const char* text;
    std::optional<int> value;
  } cases[] = {
      {"500", 500},
      {"0", 0},
      {"-3", -3},
      {"+7", 7},
      {"007", 7},
      {"", {}},
      {"5 0", {}},
      {" 5", {}},
      {"5 ", {}},
      {"5.", {}},
      {"-", {}},
      {"+-1", {}},
      {"2147483647", 2147483647},
      {"2147483648", {}},
      {"-2147483648", -2147483647 - 1},
      {"-2147483649", {}},
      {"abc", {}},
      {"１", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseDecimalInteger(c.text), c.value) << '"' << c.text << '"';
}

}  // namespace
}  // namespace tavrin
