#include "core/birth_inputs.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace tavrin
