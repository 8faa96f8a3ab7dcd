// Integrity of the shipped pinyin index "yq.dat": the position table over the
// GB2312 area, the record framing, and a plausible reading for every hanzi.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <set>
#include <string>

#include "data/char_data_files.h"

namespace tavrin {
namespace {

using test::IsGb2312Hanzi;
using test::ShippedFile;

constexpr int kFirstLead = 0xA1;
constexpr int kLastLead = 0xF7;
constexpr std::size_t kCells = (kLastLead - kFirstLead + 1) * 94;
constexpr std::size_t kTableBytes = (kCells + 1) * 4;  // one end entry behind the last cell
constexpr char kSeparator = ' ';

std::size_t EntryOffset(int lead, int trail) { return ((lead - kFirstLead) * 94 + (trail - 0xA1)) * 4; }

std::uint32_t EntryAt(const std::string& file, std::size_t offset) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(file[offset + i]);
  return value;
}

// The pinyin of a cell, read as the program reads it: the `next - start`
// bytes behind the separator at `start`; blank when they are only blanks and
// control bytes, else those bytes without the last (the next separator).
std::string ReadPinyin(const std::string& file, int lead, int trail) {
  const std::uint32_t start = EntryAt(file, EntryOffset(lead, trail));
  const std::uint32_t next = EntryAt(file, EntryOffset(lead, trail) + 4);
  const std::string bytes = file.substr(start + 1, next - start);
  const bool blank =
      std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) <= 0x20; });
  if (blank) return "";
  return bytes.substr(0, bytes.size() - 1);
}

std::string ReadPinyin(const std::string& file, const char* character) {
  return ReadPinyin(file, static_cast<unsigned char>(character[0]), static_cast<unsigned char>(character[1]));
}

// One syllable in lower-case letters (u-umlaut as v) followed by a tone 1..5.
bool IsToneSyllable(const std::string& text) {
  if (text.size() < 2 || text.size() > 7) return false;
  for (std::size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] < 'a' || text[i] > 'z') return false;
  }
  return text.back() >= '1' && text.back() <= '5';
}

class YqDat : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { file_ = new std::string(ShippedFile(kPinyinFile)); }
  static void TearDownTestSuite() {
    delete file_;
    file_ = nullptr;
  }
  void SetUp() override { ASSERT_GT(file_->size(), kTableBytes); }
  static const std::string& File() { return *file_; }

 private:
  static std::string* file_;
};
std::string* YqDat::file_ = nullptr;

TEST_F(YqDat, TableHasOneEntryPerCellPlusAnEndEntry) {
  const std::string& file = File();
  // Where the layout puts the first hanzi and the end entry.
  EXPECT_EQ(EntryOffset(0xB0, 0xA1), 5640u);
  EXPECT_EQ(EntryOffset(0xF7, 0xFE) + 4, 32712u);
  // Records start right behind the table, run in cell order without gaps,
  // and the end entry points at the closing separator, the file's last byte.
  EXPECT_EQ(EntryAt(file, 0), kTableBytes);
  for (std::size_t cell = 0; cell < kCells; ++cell) {
    ASSERT_LT(EntryAt(file, cell * 4), EntryAt(file, cell * 4 + 4)) << "cell " << cell;
  }
  EXPECT_EQ(EntryAt(file, kCells * 4), file.size() - 1);
}

TEST_F(YqDat, EveryRecordIsASeparatorFollowedByPinyinOnly) {
  const std::string& file = File();
  for (std::size_t cell = 0; cell <= kCells; ++cell) {
    const std::uint32_t start = EntryAt(file, cell * 4);
    ASSERT_LT(start, file.size());
    EXPECT_EQ(file[start], kSeparator) << "cell " << cell;
    if (cell == kCells) break;
    const std::string body = file.substr(start + 1, EntryAt(file, cell * 4 + 4) - start - 1);
    EXPECT_TRUE(body.empty() || IsToneSyllable(body)) << "cell " << cell << ": " << body;
  }
}

TEST_F(YqDat, EveryGb2312HanziHasOneToneSyllable) {
  const std::string& file = File();
  std::set<std::string> syllables;
  std::map<char, int> tones;
  int withPinyin = 0;
  for (int lead = 0xB0; lead <= kLastLead; ++lead) {
    for (int trail = 0xA1; trail <= 0xFE; ++trail) {
      if (!IsGb2312Hanzi(lead, trail)) continue;
      const std::string pinyin = ReadPinyin(file, lead, trail);
      SCOPED_TRACE(testing::Message() << std::hex << lead << trail << " " << pinyin);
      ASSERT_TRUE(IsToneSyllable(pinyin));
      // u-umlaut is written v, which pinyin needs only after l and n (lv, nve).
      const std::size_t v = pinyin.find('v');
      if (v != std::string::npos) {
        EXPECT_TRUE(v > 0 && (pinyin[v - 1] == 'l' || pinyin[v - 1] == 'n'));
      }
      syllables.insert(pinyin.substr(0, pinyin.size() - 1));
      ++tones[pinyin.back()];
      ++withPinyin;
    }
  }
  EXPECT_EQ(withPinyin, 6763);
  // Standard Mandarin has a little over 400 toneless syllables; GB2312 uses
  // nearly all of them.
  EXPECT_GE(syllables.size(), 380u);
  EXPECT_LE(syllables.size(), 420u);
  for (char tone : {'1', '2', '3', '4'}) EXPECT_GT(tones[tone], 1000) << "tone " << tone;
  // Tone 5 only for the few characters that have no toned reading at all.
  EXPECT_LE(tones['5'], 5);
}

TEST_F(YqDat, CellsWithoutAHanziHaveEmptyRecords) {
  const std::string& file = File();
  for (int lead = kFirstLead; lead <= kLastLead; ++lead) {
    for (int trail = 0xA1; trail <= 0xFE; ++trail) {
      if (IsGb2312Hanzi(lead, trail)) continue;
      SCOPED_TRACE(testing::Message() << std::hex << lead << trail);
      EXPECT_EQ(EntryAt(file, EntryOffset(lead, trail) + 4) - EntryAt(file, EntryOffset(lead, trail)), 1u);
      EXPECT_EQ(ReadPinyin(file, lead, trail), "");
    }
  }
}

TEST_F(YqDat, KnownReadings) {
  const struct {
    const char* character;
    const char* pinyin;
  } cases[] = {
      // common surnames and characters
      {"张", "zhang1"},
      {"三", "san1"},
      {"陈", "chen2"},
      {"李", "li3"},
      {"王", "wang2"},
      {"一", "yi1"},
      {"啊", "a1"},  // first cell; its default reading is neutral
      // default reading neutral: the first toned reading instead
      {"的", "di4"},
      {"们", "men2"},
      {"着", "zhuo2"},
      {"么", "mo2"},
      // neutral and no toned reading at all
      {"蓿", "xu5"},
      // u-umlaut written v
      {"绿", "lv4"},
      {"女", "nv3"},
      {"吕", "lv3"},
      {"略", "lve4"},
      // the last cells of both levels
      {"座", "zuo4"},
      {"齄", "zha1"},
      {"爨", "cuan4"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.pinyin);
    EXPECT_EQ(ReadPinyin(File(), c.character), c.pinyin);
  }
}

}  // namespace
}  // namespace tavrin
