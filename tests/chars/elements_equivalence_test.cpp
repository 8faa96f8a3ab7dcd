// The precomputed element service answers exactly as the plain scan of the
// element list, for every double-byte and one-byte character.
#include <gtest/gtest.h>

#include <random>

#include "chars/elements.h"
#include "core/lines.h"
#include "core/startup.h"

namespace tavrin {
namespace {

// Other texts: empty, several characters, a character cut short.
const std::vector<std::string> kOtherTexts = {"", "张三", "ab", "a张", "金木", "\xD5\xC5\xD5", "“金”"};

void ExpectSameAnswers(const LineList& list, bool everyTwoByteCode) {
  const ElementService service(list);
  std::vector<std::string> texts = kOtherTexts;
  for (int byte = 1; byte < 0x100; ++byte) texts.push_back(std::string(1, static_cast<char>(byte)));
  for (int lead = 0x81; lead <= 0xFE; ++lead) {
    const bool gb2312Row = lead >= 0xA1 && lead <= 0xF7;
    if (!everyTwoByteCode && !gb2312Row) continue;
    for (int trail = everyTwoByteCode ? 0 : 0xA1; trail <= (everyTwoByteCode ? 0xFF : 0xFE); ++trail) {
      texts.push_back({static_cast<char>(lead), static_cast<char>(trail)});
    }
  }
  for (const std::string& text : texts) {
    ASSERT_EQ(service.CharElement(text), scan::CharElement(list, text)) << text;
  }
  std::mt19937 random(8);
  for (int i = 0; i < 3000; ++i) {
    std::string name;
    const std::size_t length = random() % 5;
    for (std::size_t k = 0; k < length; ++k) name += texts[random() % texts.size()];
    ASSERT_EQ(service.NameElements(name), scan::NameElements(list, name)) << name;
  }
}

TEST(ElementEquivalence, EmptyList) { ExpectSameAnswers({}, true); }

TEST(ElementEquivalence, OverlappingAndRepeatedEntries) {
  const LineList list = {
      "张王李张",  // first line, no heading: passed over
      "“金”的字有：",
      "张王陈李李李abc\xD5",  // repeats, ASCII, a lone lead byte at the end
      "“水”的字有：",
      "王江敖稹",          // 王 again; 敖稹 holds 金 across its bytes
      "",                  // an empty line: its source is the one before
      "“木”的字有：“火”",  // two opening marks
      "林“”",
      "“土的字有",  // no closing mark
      "土金木",
      "“”的字有：",  // an empty element text
      "松",
      "说明",  // a second list line in a row
      "“水”的字有：",
      "李",                         // 李 last under a repeated heading
      "\x81\x40\xFE\xFE\xA1\xA1 ",  // codes outside the hanzi rows
  };
  ExpectSameAnswers(list, true);
}

TEST(ElementEquivalence, ShippedList) {
  std::string error;
  const auto bytes = ReadWholeFile(ExecutableDir() + kCharElementFile, error);
  if (!bytes) GTEST_SKIP() << "no shipped " << kCharElementFile << " beside the tests";
  ExpectSameAnswers(SplitLines(*bytes), false);
}

}  // namespace
}  // namespace tavrin
