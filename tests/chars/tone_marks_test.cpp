#include "chars/tone_marks.h"

#include <gtest/gtest.h>

#include "chars/pinyin.h"
#include "core/lines.h"
#include "core/startup.h"

namespace tavrin {
namespace {

TEST(ToneMarks, TellingSyllables) {
  const struct {
    const char* pinyin;  // GBK, as the tests' literals are
    const char8_t* marked;
  } cases[] = {
      {"Zhang1 Wei3 Ming2", u8"Zhāng Wěi Míng"},
      {"Lv3", u8"Lǚ"},    // v stands for ü and takes the mark
      {"lu:3", u8"lǚ"},   // so does u:
      {"Lve4", u8"Lüè"},  // e before ü
      {"Liu2", u8"Liú"},  // iu: on the u
      {"Gui4", u8"Guì"},  // ui: on the i
      {"Lou2", u8"Lóu"},  // ou: on the o
      {"Hao3", u8"Hǎo"},  // a before o
      {"Er2", u8"Ér"},    // a capital vowel
      {"An1", u8"Ān"},
      {"Ng4", u8"Ǹg"},  // no vowel: on the n
      {"M2", u8"Ḿ"},
      {"Hm4", u8"Hm\xCC\x80"},  // no precomposed form: a combining grave
      {"Ma5 Ma0", u8"Ma Ma"},   // the neutral tone has no mark
      {"Ma", u8"Ma"},           // no tone digit
      {"Ma9", u8"Ma"},          // a digit that is no tone
      {"a Zhang1 b", u8"a Zhāng b"},
      {"\xD5\xC5 Xu3", u8"张 Xǔ"},  // a character without pinyin stands for itself
      {"", u8""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(PinyinWithToneMarks(c.pinyin), reinterpret_cast<const char*>(c.marked)) << c.pinyin;
  }
}

// Every syllable of the shipped file: no digit and no v is left, and a toned
// syllable carries exactly one mark: one non-ASCII character other than a
// bare ü.
TEST(ToneMarks, EverySyllableOfTheShippedFile) {
  std::string error;
  const std::string bytes = ReadWholeFile(ExecutableDir() + kPinyinFile, error).value_or("");
  ASSERT_FALSE(bytes.empty()) << error;
  const std::string bareUmlaut = "\xC3\xBC";
  int syllables = 0;
  for (int cell = 0; cell < kPinyinCellCount; ++cell) {
    std::string pinyin;
    if (!scan::ReadPinyinRecord(bytes, cell, pinyin)) continue;
    ++syllables;
    const std::string marked = PinyinWithToneMarks(pinyin);
    const int tone = pinyin.back() - '0';
    int marks = 0;
    for (std::size_t i = 0; i < marked.size(); ++i) {
      const auto byte = static_cast<unsigned char>(marked[i]);
      ASSERT_FALSE((byte >= '0' && byte <= '9') || byte == 'v') << pinyin;
      // The lead byte of a non-ASCII character.
      if (byte >= 0xC0 && marked.compare(i, bareUmlaut.size(), bareUmlaut) != 0) ++marks;
    }
    ASSERT_EQ(marks, tone >= 1 && tone <= 4 ? 1 : 0) << pinyin;
  }
  EXPECT_GT(syllables, 6000);
}

}  // namespace
}  // namespace tavrin
