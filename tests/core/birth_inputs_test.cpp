#include "core/birth_inputs.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace tavrin {
namespace {

// Messages quote a field's text whole up to 20 characters; a longer text is
// cut after its 20th character, never inside a double-byte one.
TEST(QuotedFieldText, CutsLongTextsAtACharacter) {
  const struct {
    std::string text;
    std::string quoted;
  } cases[] = {
      {"", "“”"},
      {std::string(20, '1'), "“" + std::string(20, '1') + "”"},
      {std::string(10000, '1'), "“" + std::string(20, '1') + "…”"},
      {"张三" + std::string(18, '1'), "“张三" + std::string(18, '1') + "”"},
      {std::string(19, '1') + "张三", "“" + std::string(19, '1') + "张…”"},
      {[] {
         std::string text;
         for (int i = 0; i < 25; ++i) text += "明";
         return text;
       }(),
       [] {
         std::string text = "“";
         for (int i = 0; i < 20; ++i) text += "明";
         return text + "…”";
       }()},
      {std::string(20, '1') + "\xD5", "“" + std::string(20, '1') + "…”"},  // a lone lead byte after the cut
      {"1\xD5", "“1\xD5”"},                                                // a lone lead byte kept whole
  };
  for (const auto& c : cases) EXPECT_EQ(QuotedFieldText(c.text), c.quoted) << c.text.size();
  EXPECT_EQ(CountNotAnIntegerMessage(std::string(30, '9')), "产生名字个数“" + std::string(20, '9') + "…”不是整数");
}

// The commands read an hour field strictly; a kept birth reads it as the
// analysis once did, leading blanks allowed. Either takes the list's unknown
// item, whatever its text.
TEST(BirthHourField, CommandsAndKeptBirthsReadIt) {
  const struct {
    HourField field;
    std::optional<BirthHour> command;  // none: refused
    std::optional<BirthHour> kept;
  } cases[] = {
      {{"7"}, BirthHour::At(7), BirthHour::At(7)},    {{"+7"}, BirthHour::At(7), BirthHour::At(7)},
      {{"24"}, BirthHour::At(24), BirthHour::At(24)}, {{"-1"}, BirthHour::At(-1), BirthHour::At(-1)},
      {{" 7"}, std::nullopt, BirthHour::At(7)},       {{"", true}, BirthHour::Unknown(), BirthHour::Unknown()},
      {{"时辰不详"}, std::nullopt, std::nullopt},     {{""}, std::nullopt, std::nullopt},
      {{"7x"}, std::nullopt, std::nullopt},           {{"1.5"}, std::nullopt, std::nullopt},
      {{"99999999999"}, std::nullopt, std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.field.text);
    BirthHour hour = BirthHour::At(99);
    const std::optional<std::string> refusal = CheckBirthHour(c.field, hour);
    EXPECT_EQ(refusal.has_value(), !c.command);
    if (c.command) {
      EXPECT_EQ(hour, *c.command);
    }
    if (refusal) {
      EXPECT_EQ(*refusal, NotAnIntegerMessage("出生时辰", c.field.text));
    }
    EXPECT_EQ(ReadBirthHour(c.field), c.kept);
  }
}

// A typed hour is unknown as the option word or as the lists' caption.
TEST(BirthHourField, TypedOnTheCommandLine) {
  EXPECT_TRUE(TypedHourField("时辰不详", false).unknown);
  EXPECT_TRUE(TypedHourField("unknown", true).unknown);
  EXPECT_FALSE(TypedHourField("unknown", false).unknown);
  EXPECT_FALSE(TypedHourField("7", false).unknown);
  EXPECT_EQ(TypedHourField("7", false).text, "7");
}

}  // namespace
}  // namespace tavrin
