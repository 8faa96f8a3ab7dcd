// The shipped element list "dzwx.dat", read the way the program reads it,
// gives every listed character the element of its heading.
#include <gtest/gtest.h>

#include <set>

#include "chars/elements.h"
#include "chars/gbk.h"
#include "chars/strcon.h"
#include "core/lines.h"
#include "core/startup.h"

namespace tavrin {
namespace {

const std::set<std::string> kElements = {"金", "木", "水", "火", "土"};

bool IsHeading(const std::string& line) { return ContainsAligned(line, "的字有"); }

LineList ShippedElementList() {
  std::string error;
  const auto bytes = ReadWholeFile(ExecutableDir() + kCharElementFile, error);
  if (!bytes) ADD_FAILURE() << "the shipped " << kCharElementFile << " cannot be read: " << error;
  return bytes ? SplitLines(*bytes) : LineList{};
}

TEST(ShippedElementList, PairsOfHeadingAndCharacterLine) {
  const LineList list = ShippedElementList();
  ASSERT_FALSE(list.empty());
  std::set<std::string> headed;
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (!IsHeading(list[i])) {
      EXPECT_TRUE(i > 0 && IsHeading(list[i - 1])) << "line " << i << " follows no heading";
      continue;
    }
    const std::string element = TextBefore("”", TextAfter("“", list[i]));
    EXPECT_TRUE(kElements.count(element)) << "line " << i;
    headed.insert(element);
    EXPECT_TRUE(i + 1 < list.size() && !IsHeading(list[i + 1])) << "heading " << i << " has no character line";
  }
  EXPECT_EQ(headed, kElements);
}

TEST(ShippedElementList, EveryListedCharacterGetsItsListedElement) {
  const LineList list = ShippedElementList();
  const ElementService service(list);
  // The characters that the headings hold themselves (的 字 有, the element
  // characters, the marks): a later heading holding one of them overrides
  // its listing, as the last matching line decides.
  std::string headingChars;
  std::string lastHeadingElement;
  for (const std::string& line : list) {
    if (!IsHeading(line)) continue;
    headingChars += line;
    lastHeadingElement = TextBefore("”", TextAfter("“", line));
  }
  std::size_t listed = 0;
  for (std::size_t i = 1; i < list.size(); ++i) {
    if (IsHeading(list[i]) || !IsHeading(list[i - 1])) continue;
    const std::string element = TextBefore("”", TextAfter("“", list[i - 1]));
    for (const std::string& ch : SplitChars(list[i])) {
      ++listed;
      std::string expected = element;
      for (std::size_t later = i + 1; later < list.size(); ++later) {
        if (!ContainsAligned(list[later], ch)) continue;
        EXPECT_TRUE(IsHeading(list[later])) << ch << " is listed twice";
        EXPECT_TRUE(ContainsAligned(headingChars, ch));
        expected = TextBefore("”", TextAfter("“", list[later]));
      }
      EXPECT_EQ(service.CharElement(ch), expected) << ch;
    }
  }
  EXPECT_GT(listed, 6000u);
  // Characters of the headings that no line lists take the last heading's element.
  for (const char* ch : {"的", "字", "有"}) EXPECT_EQ(service.CharElement(ch), lastHeadingElement) << ch;
}

}  // namespace
}  // namespace tavrin
