#include "chars/encoding.h"

#include <gtest/gtest.h>
#include <iconv.h>
#include <langinfo.h>

#include <clocale>
#include <cstdlib>
#include <optional>
#include <stdexcept>
#include <string_view>
#include <type_traits>
#include <vector>

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

// Every two-byte code, alone and between ASCII, comes out as the system's
// own converter makes it (or as U+FFFD where that refuses it).
TEST(Encoding, EveryGbkCodeAsTheSystemConvertsIt) {
  const iconv_t cd = iconv_open("UTF-8", "GBK");
  ASSERT_NE(cd, reinterpret_cast<iconv_t>(-1));
  int converted = 0;
  for (int lead = 0x81; lead <= 0xFE; ++lead) {
    for (int trail = 0x30; trail <= 0xFF; ++trail) {
      char gbk[2] = {static_cast<char>(lead), static_cast<char>(trail)}, utf8[8];
      char *in = gbk, *out = utf8;
      std::size_t inLeft = 2, outLeft = sizeof utf8;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
      const bool ok = iconv(cd, &in, &inLeft, &out, &outLeft) != static_cast<std::size_t>(-1);
      const std::string own = GbkToUtf8("a" + std::string(gbk, 2) + "1");
      if (ok) {
        ++converted;
        EXPECT_EQ(own, "a" + std::string(utf8, out) + "1") << std::hex << lead << trail;
      } else {
        EXPECT_NE(own.find("\xEF\xBF\xBD"), std::string::npos) << std::hex << lead << trail;
      }
    }
  }
  iconv_close(cd);
  EXPECT_GT(converted, 21000);
}

// The fast way of long outputs takes a plain text as GBK to UTF-8 does, and
// refuses one with a control byte (but tab) or a broken sequence, wherever
// in its eight-byte steps the byte stands; what it refuses leaves the buffer
// as it was.
TEST(Encoding, PlainTextsAppendAsTheyConvert) {
  const struct {
    const char* piece;
    bool plain;
  } cases[] = {
      {"", true},      {"\t", true},    {"~", true},     {" ", true},         {"张", true},
      {"\x01", false}, {"\x1F", false}, {"\x7F", false}, {"\n", false},       {"\x1B[2J", false},
      {"\x80", false}, {"\xFF", false}, {"\xB0", false}, {"\xB0\x20", false},
  };
  for (const auto& c : cases) {
    for (std::size_t at = 0; at <= 17; ++at) {
      const std::string text = std::string(at, 'a') + c.piece + "1234567890";
      SCOPED_TRACE(testing::Message() << at << ": " << text);
      std::string buffer = "kept";
      EXPECT_EQ(AppendPlainGbkAsUtf8(text, buffer), c.plain);
      EXPECT_EQ(buffer, c.plain ? "kept" + GbkToUtf8(text) : "kept");
    }
  }
}

static_assert(!std::is_convertible_v<std::string, GbkText> && !std::is_convertible_v<GbkText, std::string>);
static_assert(!std::is_convertible_v<Utf8Text, GbkText> && !std::is_convertible_v<GbkText, Utf8Text>);
static_assert(!std::is_convertible_v<const char*, Utf8Text> && !std::is_convertible_v<Utf8Text, std::string_view>);

// The typed conversions and the literals, which are the same bytes in this
// GBK-compiled test as in a UTF-8 folder.
TEST(Encoding, TypedTextsAndLiterals) {
  const struct {
    const char8_t* utf8;
    std::optional<std::string> gbk;  // nullopt: GBK lacks a character
    const char* lossy;
  } cases[] = {
      {u8"出处", "出处", "出处"},    {u8"", "", ""}, {u8"a，b", "a，b", "a，b"}, {u8"婷😀", std::nullopt, "婷?"},
      {u8"𠀀x", std::nullopt, "?x"},
  };
  for (const auto& c : cases) {
    const Utf8Text utf8 = Utf8Literal(c.utf8);
    SCOPED_TRACE(utf8.Bytes());
    EXPECT_EQ(utf8.Bytes(), reinterpret_cast<const char*>(c.utf8));
    EXPECT_EQ(ToGbkLossy(utf8), GbkText(c.lossy));
    if (!c.gbk) {
      EXPECT_EQ(ToGbk(utf8), std::nullopt);
      EXPECT_THROW(GbkLiteral(c.utf8), std::invalid_argument);
      continue;
    }
    EXPECT_EQ(ToGbk(utf8), GbkText(*c.gbk));
    EXPECT_EQ(GbkLiteral(c.utf8), GbkText(*c.gbk));
    EXPECT_EQ(ToUtf8(GbkLiteral(c.utf8)), utf8);
  }
  EXPECT_LT(GbkLiteral(u8"甲"), GbkLiteral(u8"乙"));  // by bytes: BC D7 before D2 D2
}

// Whatever locale the window programs start in, installed or not, they end
// with a UTF-8 character set; the categories the user set besides stay.
TEST(Encoding, TheWindowProgramsGetAUtf8CharacterSet) {
  const struct {
    const char* all;
    const char* lang;
  } cases[] = {{nullptr, nullptr},       {nullptr, "C"},   {"POSIX", nullptr},
               {nullptr, "xx_YY.UTF-8"}, {"C", "C.UTF-8"}, {nullptr, "C.UTF-8"}};
  const char* names[] = {"LC_ALL", "LC_CTYPE", "LC_TIME", "LANG", "LANGUAGE"};
  std::vector<std::optional<std::string>> saved;
  for (const char* name : names)
    saved.push_back(std::getenv(name) ? std::optional<std::string>(std::getenv(name)) : std::nullopt);
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.all ? c.all : "-") + " " + (c.lang ? c.lang : "-"));
    for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG", "LANGUAGE"}) unsetenv(name);
    if (c.all) setenv("LC_ALL", c.all, 1);
    if (c.lang) setenv("LANG", c.lang, 1);
    setenv("LC_TIME", "C", 1);
    UseUtf8CharacterSet();
    EXPECT_STREQ(nl_langinfo(CODESET), "UTF-8");
    EXPECT_STREQ(std::getenv("LC_TIME"), "C");
  }
  for (std::size_t i = 0; i < saved.size(); ++i) {
    saved[i] ? setenv(names[i], saved[i]->c_str(), 1) : unsetenv(names[i]);
  }
  std::setlocale(LC_ALL, "C");
}

}  // namespace
}  // namespace tavrin
