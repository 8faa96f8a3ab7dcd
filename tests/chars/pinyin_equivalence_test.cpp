// The precomputed pinyin service answers exactly as the plain scans of the
// file bytes and group lines, for every character of the table.
#include <gtest/gtest.h>

#include <random>

#include "chars/pinyin.h"
#include "core/lines.h"
#include "core/startup.h"
#include "pinyin_file.h"

namespace tavrin {
namespace {

const LineList kInitialGroups = {"b,p,m,f", "d,t,n,l", "g,k,h", "j,q,x,zh,ch,sh,r,z,c,s"};
const LineList kFinalGroups = {"a,ai,ao,an,ang,e,er,ei,en,eng,o,ou,ong", "i,ia,ie,iao,iou,ian,in,iang,ing,iong",
                               "v,ue,uan,un", "u,ua,uo,uai,uei,uan,uen,uang,ueng"};

std::string CellChar(int cell) { return {static_cast<char>(0xA1 + cell / 94), static_cast<char>(0xA1 + cell % 94)}; }

// A file whose records take every odd shape: blanks inside and around,
// capitals, no tone, several syllables, double-byte bytes, digits only.
std::string OddPinyinFile() {
  const std::string shapes[] = {"",    " ",    "zhang1",       "Zhang1", " li3",    "li3 ", "ZH1",
                                "xx",  "a b2", "\xD5\xC5\x31", "sh",     "zhchsh3", "7",    "\t",
                                "ng0", "chi",  "er\xD5",       "nv3",    "ang9",    "\xB0", "u1\r\n"};
  std::mt19937 random(11);
  std::map<std::string, std::string> records;
  for (int cell = 0; cell < kPinyinCellCount; ++cell) {
    records[CellChar(cell)] = shapes[random() % std::size(shapes)];
  }
  std::string bytes = test::PinyinFile(records, '\0');
  return bytes;
}

std::string ShippedPinyinFile() {
  std::string error;
  return ReadWholeFile(ExecutableDir() + kPinyinFile, error).value_or("");
}

// Texts that are not one character of the table.
const std::vector<std::string>& OtherTexts() {
  static const std::vector<std::string> texts = {"",     "a",   "Z",   "zh",       "\xD5",     "張", "\x81\x40", "\xA1",
                                                 "张三", "a张", "张 ", "\xF8\xA1", "\xD5\x41", "1",  "，，"};
  return texts;
}

void ExpectSameAnswers(const std::string& bytes, const LineList& initials, const LineList& finals) {
  const PinyinService service(bytes, initials, finals);
  std::vector<std::string> texts = OtherTexts();
  for (int cell = 0; cell < kPinyinCellCount; ++cell) texts.push_back(CellChar(cell));
  for (const std::string& text : texts) {
    ASSERT_EQ(service.PinyinOf(text), scan::PinyinOf(bytes, text)) << text;
    ASSERT_EQ(service.InitialOf(text), scan::InitialOf(bytes, text)) << text;
    ASSERT_EQ(service.FinalOf(text), scan::FinalOf(bytes, text)) << text;
    ASSERT_EQ(service.ToneOf(text), scan::ToneOf(bytes, text)) << text;
  }

  // Every character against a set of probes, and random pairs.
  std::vector<std::string> probes = OtherTexts();
  for (const char* ch : {"张", "陈", "王", "李", "杨", "安", "二", "五", "何", "许", "女", "石", "啊", "一", "爨"}) {
    probes.push_back(ch);
  }
  std::string serviceReason, scanReason;
  auto expectSameCheck = [&](const std::string& a, const std::string& b) {
    const bool fast = service.SoundCheck(a, b, &serviceReason);
    ASSERT_EQ(fast, scan::SoundCheck(bytes, initials, finals, a, b, &scanReason)) << a << " " << b;
    ASSERT_EQ(serviceReason, scanReason) << a << " " << b;
    ASSERT_EQ(service.SoundCheck(a, b), fast);
    const SoundRule whole = SoundRule::kWholeItem;
    const bool wholeApart = service.SoundCheck(whole, a, b, &serviceReason);
    ASSERT_EQ(wholeApart, scan::SoundCheck(bytes, initials, finals, a, b, &scanReason, whole)) << a << " " << b;
    ASSERT_EQ(serviceReason, scanReason) << a << " " << b;
    // Whole items are found only where the substring search finds them too.
    ASSERT_TRUE(wholeApart || !fast) << a << " " << b;
    // The side a looked up once, in the index's reading, checks as a does.
    const PinyinService::Sounds sounds = service.SoundsOf(a, service.PinyinOf(a));
    std::string soundsReason;
    ASSERT_EQ(service.SoundCheck(whole, sounds, b, &soundsReason), wholeApart) << a << " " << b;
    ASSERT_EQ(soundsReason, scanReason) << a << " " << b;
    ASSERT_EQ(service.SoundCheck(SoundRule::kSubstring, sounds, b), fast) << a << " " << b;
  };
  for (const std::string& text : texts) {
    for (const std::string& probe : probes) {
      expectSameCheck(text, probe);
      expectSameCheck(probe, text);
    }
  }
  std::mt19937 random(5);
  for (int i = 0; i < 20000; ++i) {
    expectSameCheck(texts[random() % texts.size()], texts[random() % texts.size()]);
  }
  for (int i = 0; i < 20000; ++i) {
    std::string name;
    const std::size_t length = 1 + random() % 4;
    for (std::size_t k = 0; k < length; ++k) name += texts[random() % texts.size()];
    ASSERT_EQ(service.ToneCheck(name), scan::ToneCheck(bytes, name)) << name;
  }
}

TEST(PinyinEquivalence, SmallFile) {
  ExpectSameAnswers(test::PinyinFile({{"张", "zhang1"}, {"陈", "chen2"}, {"李", "li3"}, {"一", "yi1"}}), kInitialGroups,
                    kFinalGroups);
}

TEST(PinyinEquivalence, OddRecords) { ExpectSameAnswers(OddPinyinFile(), kInitialGroups, kFinalGroups); }

TEST(PinyinEquivalence, OddGroupLines) {
  // Repeated and overlapping items, an empty line, double-byte text, and
  // more lines than the precomputed masks hold (then the lines are scanned).
  LineList initials = {"zh,ch", "h", "", "zh", "\xD5\xC5,l", "j,q,x,zh,ch,sh,r,z,c,s", "zh,ch"};
  LineList finals = {"ang,iang,uang", "i", "", "ai,ei,ui", "ang", "\xB0\xA1,a"};
  ExpectSameAnswers(OddPinyinFile(), initials, finals);
  LineList many = kFinalGroups;
  while (many.size() <= 40) many.push_back(many.size() % 3 == 0 ? "ang" : "o,e");
  ExpectSameAnswers(OddPinyinFile(), kInitialGroups, many);
}

TEST(PinyinEquivalence, ShippedFile) {
  const std::string bytes = ShippedPinyinFile();
  if (bytes.empty()) GTEST_SKIP() << "no shipped " << kPinyinFile << " beside the tests";
  ExpectSameAnswers(bytes, kInitialGroups, kFinalGroups);
}

}  // namespace
// Pairs that clash by substring only, and pairs that clash under both rules.
TEST(PinyinEquivalence, WholeItemRuleOnTheShippedFile) {
  const std::string bytes = ShippedPinyinFile();
  ASSERT_FALSE(bytes.empty());
  const PinyinService service(bytes, kInitialGroups, kFinalGroups);
  const struct {
    const char *a, *b;
    bool substringApart, wholeApart;
    const char* wholeReason;
  } cases[] = {
      {"王", "良", false, true, ""},                            // ang inside iang
      {"王", "李", false, true, ""},                            // i inside ai
      {"红", "许", false, true, ""},                            // h inside zh, ch and sh
      {"吴", "后", false, true, ""},                            // u inside ou
      {"张", "陈", false, false, "ang\ren张陈韵母为相似发音"},  // zh, ch and ang, en
      {"杨", "杨", false, false, "ang\rang杨杨韵母为相似发音"},
      {"李", "米", false, false, "i\ri李米韵母为相似发音"},
      {"王", "女", true, true, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.a) + c.b);
    std::string reason = "stale";
    EXPECT_EQ(service.SoundCheck(c.a, c.b), c.substringApart);
    EXPECT_EQ(service.SoundCheck(SoundRule::kWholeItem, c.a, c.b, &reason), c.wholeApart);
    EXPECT_EQ(reason, c.wholeReason);
  }
}

}  // namespace tavrin
