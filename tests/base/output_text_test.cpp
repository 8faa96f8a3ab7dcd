#include "base/output_text.h"

#include <gtest/gtest.h>

namespace tavrin {
namespace {

std::string U8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

TEST(OutputText, ArgumentsAreQuotedShortAndHarmless) {
  const struct {
    std::string argument, quoted;
  } cases[] = {
      {"male", "male"},
      {"\x1b[31m", "\\e[31m"},  // a terminal escape is shown, not obeyed
      {"a\tb\r\n\x7f", "a\\tb\\r\\n\\x7f"},
      {"bad\xff\xfe", "bad\\xff\\xfe"},  // not UTF-8
      {"\xe5\xbc", "\\xe5\\xbc"},        // a character cut short
      {"\xc2\x9b"
       "1m",
       "\\xc2\\x9b1m"},  // a C1 control
      {U8(u8"张伟"), U8(u8"张伟")},
      {std::string(128 * 1024, 'x'), std::string(20, 'x') + U8(u8"…")},
      {U8(u8"张张张张张张张张张张张张张张张张张张张张张"), U8(u8"张张张张张张张张张张张张张张张张张张张张…")},
  };
  for (const auto& c : cases) EXPECT_EQ(QuoteArgument(c.argument), c.quoted) << c.quoted;
  EXPECT_EQ(EscapeForTerminal("a\nb\x1b", true), "a\nb\\e");
}

TEST(OutputText, CsvCellsThatWouldBeFormulas) {
  const struct {
    std::string cell, written;
  } cases[] = {
      {"=1+1", "'=1+1"},
      {"+1", "'+1"},
      {"-1", "'-1"},
      {"@SUM(A1)", "'@SUM(A1)"},
      {"\tx", "'\tx"},
      {"\rx", "'\rx"},
      {U8(u8"=鬓沉"), U8(u8"'=鬓沉")},
      {U8(u8"张=伟"), U8(u8"张=伟")},
      {"", ""},
      {"1-2", "1-2"},
  };
  for (const auto& c : cases) EXPECT_EQ(NeutraliseCsvCell(c.cell), c.written) << c.cell;
}

}  // namespace
}  // namespace tavrin
