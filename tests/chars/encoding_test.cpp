#include "chars/encoding.h"

#include <gtest/gtest.h>

namespace tavrin {
namespace {

TEST(Encoding, RoundTripsBetweenUtf8AndGbk) {
  const struct {
    const char8_t* utf8;
    const char* gbk;
  } cases[] = {
      {u8"张三", "张三"}, {u8"", ""}, {u8"abc 123", "abc 123"}, {u8"張陳龍", "張陳龍"}, {u8"，。、", "，。、"},
  };
  for (const auto& c : cases) {
    const std::string utf8(reinterpret_cast<const char*>(c.utf8));
    SCOPED_TRACE(utf8);
    EXPECT_EQ(Utf8ToGbk(utf8), std::optional<std::string>(c.gbk));
    EXPECT_EQ(GbkToUtf8(c.gbk), utf8);
  }
}

TEST(Encoding, RefusesWhatGbkCannotHold) {
  EXPECT_EQ(Utf8ToGbk("\xF0\x9F\x98\x80"), std::nullopt);  // an emoji
  EXPECT_EQ(Utf8ToGbk("\xE0\xB8\x81"), std::nullopt);      // Thai
  EXPECT_EQ(Utf8ToGbk("ab\xFF"), std::nullopt);            // not UTF-8
  EXPECT_EQ(Utf8ToGbk("\xE5\xBC"), std::nullopt);          // cut off mid-character
}

TEST(Encoding, RefusesTagCharactersRatherThanDroppingThem) {
  // The system converter skips U+E0000..U+E007F without an error.
  for (const char* utf8 : {"\xF3\xA0\x80\x80", "\xE5\xBC\xBC\xF3\xA0\x80\x81",
                           "\xF3\xA0\x81\xBF"
                           "ab"}) {
    SCOPED_TRACE(utf8);
    EXPECT_EQ(Utf8ToGbk(utf8), std::nullopt);
  }
}

TEST(Encoding, BadGbkBecomesReplacementCharacters) {
  // A lone lead byte at the end and an invalid pair; the good text survives.
  EXPECT_EQ(GbkToUtf8(std::string("张") + "\xFF"), std::string(reinterpret_cast<const char*>(u8"张\uFFFD")));
  EXPECT_EQ(GbkToUtf8(std::string("a") + "\xD5"), std::string(reinterpret_cast<const char*>(u8"a\uFFFD")));
}

TEST(Encoding, LongTextsAcrossTheConversionBuffer) {
  std::string gbk;
  std::string utf8;
  for (int i = 0; i < 2000; ++i) {
    gbk += "张a";
    utf8 += reinterpret_cast<const char*>(u8"张a");
  }
  EXPECT_EQ(GbkToUtf8(gbk), utf8);
  EXPECT_EQ(Utf8ToGbk(utf8), gbk);
}

}  // namespace
}  // namespace tavrin
