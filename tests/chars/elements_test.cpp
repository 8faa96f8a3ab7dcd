#include "chars/elements.h"

#include <gtest/gtest.h>

#include <random>

#include "chars/gbk.h"

namespace tavrin {
namespace {

// The reference scan and the precomputed service answer each case alike.
void ExpectElement(const LineList& list, const std::string& ch, const std::string& expected) {
  EXPECT_EQ(scan::CharElement(list, ch), expected) << ch;
  EXPECT_EQ(ElementService(list).CharElement(ch), expected) << ch;
}

TEST(CharElement, ByStrokeCountWhenTheListIsEmpty) {
  const struct {
    const char* ch;
    const char* element;
  } cases[] = {
      {"张", "金"},  // 7
      {"王", "火"},  // 4
      {"李", "金"},  // 7
      {"一", "木"},  // 1
      {"谢", "木"},  // 12 -> 2
      {"爨", "水"},  // 30 -> 10
      {"氵", "土"},  // a component without a count: 5
      {"啊", "水"},  // 10
      {"马", "火"},  // 3
      {"刘", "土"},  // 6
      {"黄", "木"},  // 11 -> 1
      {"A", "土"},   // no count: 5
      {"", "土"},    // no count: 5
      {"張", "金"},  // counted as its simplified form
  };
  for (const auto& c : cases) ExpectElement({}, c.ch, c.element);
}

TEST(CharElement, StrokeElementsByCount) {
  const char* const expected[] = {"木", "木", "火", "火", "土", "土", "金", "金", "水", "水"};
  for (int strokes = 1; strokes <= 30; ++strokes) {
    EXPECT_EQ(StrokeElement(strokes), expected[(strokes - 1) % 10]) << strokes;
  }
}

TEST(CharElement, LastMatchingLineDecides) {
  const LineList list = {
      "“金”的字有：",      // 0
      "张王陈李",          // 1: 陈李 side by side hold 吕 across their bytes
      "“水”的字有：",      // 2
      "王江",              // 3: 王 again, later
      "“木的字有",         // 4: no closing mark
      "林",                // 5
      "说明",              // 6: no heading; its source is line 5
      "杨",                // 7: its source is line 6, which has no “
      "的字有：没有引号",  // 8: a heading without “
      "松",                // 9
  };
  const struct {
    const char* ch;
    const char* element;
  } cases[] = {
      {"张", "金"},       {"王", "水"},       // listed under 金 and again under the later 水
      {"江", "水"},       {"水", "水"},       // the element character in its own heading
      {"林", "木的字有"},                     // the text after “ up to the end of the line
      {"木", "木的字有"}, {"“", "木的字有"},  // in the first three headings: the last of them
      {"说", "水"},                           // emptied by the source line 林; 9 strokes
      {"杨", "金"},                           // emptied by the source line 说明; 7 strokes
      {"松", "金"},                           // emptied by a heading without “; 8 strokes
      {"字", "土"},                           // in every heading, last in the one without “; 6 strokes
      {"有", "土"},                           // also in 没有 of that heading; 6 strokes
      {"吕", "土"},                           // only across 陈 and 李, which is no match; 6 strokes
      {"谢", "木"},                           // listed nowhere; 12 strokes
  };
  for (const auto& c : cases) ExpectElement(list, c.ch, c.element);
}

TEST(CharElement, FirstLineThatIsNoHeadingIsPassedOver) {
  const LineList list = {"江王", "“火”的字有：", "李"};
  ExpectElement(list, "江", "土");  // 6 strokes
  ExpectElement(list, "李", "火");
}

TEST(CharElement, EmptyTextIsContainedInNoLine) {
  // An empty text matches no line, as an empty marker is never found; it
  // takes the element of its stroke count, 5.
  const LineList lists[] = {{"“火”的字有：", "李"}, {"“水”的字有：", "江", "“金”的字有：", "张"}};
  for (const LineList& list : lists) ExpectElement(list, "", "土");
}

TEST(CharElement, OneByteCharactersAlignedToTheLine) {
  const LineList list = {"“火”的字有：", "ab张"};
  ExpectElement(list, "b", "火");
  ExpectElement(list, "c", "土");     // listed nowhere
  ExpectElement(list, "\xD5", "火");  // a lone lead byte is found where 张 starts
  ExpectElement(list, "\xC5", "土");  // but not at 张's trail byte
}

TEST(NameElements, OneElementPerCharacter) {
  const LineList list = {"“金”的字有：", "张", "“木”的字有：", "三丰", "“水”的字有：", "江"};
  const struct {
    const char* name;
    const char* elements;
  } cases[] = {
      {"张三丰", "金木木"}, {"张三江", "金木水"}, {"", ""}, {"张a", "金土"}, {"李", "金"},
  };
  const ElementService service(list);
  for (const auto& c : cases) {
    EXPECT_EQ(scan::NameElements(list, c.name), c.elements) << c.name;
    EXPECT_EQ(service.NameElements(c.name), c.elements) << c.name;
  }
}

TEST(WeakElements, ElementsOccurringFewerThanTwice) {
  const struct {
    const char* text;
    const char* weak;
  } cases[] = {
      {"金金木木水水火火土土", ""},
      {"金金木木水水火火土", "土"},
      {"", "金木水火土"},
      {"土土土火火火水水水木木木金", "金"},
      {"金木水火土", "金木水火土"},
      {"金金金金木木水水火火土土张", ""},
      {"敖稹敖稹木木水水火火土土", "金"},  // 敖稹 holds 金 only across its two characters
      {"金土", "金木水火土"},              // CombinedElements of an empty chart and a short name
  };
  for (const auto& c : cases) {
    EXPECT_EQ(WeakElements(c.text), c.weak) << c.text;
    EXPECT_EQ(scan::WeakElements(c.text), c.weak) << c.text;
  }
}

TEST(WeakElements, OneWalkCountsAsTheRepeatedSearches) {
  const std::vector<std::string> pieces = {"金", "木", "水", "火", "土", "a", "\xBD", "\xF0", "敖", "稹", "张", "\xCB"};
  std::mt19937 random(3);
  for (int i = 0; i < 50000; ++i) {
    std::string text;
    const std::size_t length = random() % 24;
    for (std::size_t k = 0; k < length; ++k) text += pieces[random() % pieces.size()];
    ASSERT_EQ(WeakElements(text), scan::WeakElements(text)) << text;
  }
}

}  // namespace
}  // namespace tavrin
