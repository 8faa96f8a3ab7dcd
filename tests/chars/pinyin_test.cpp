#include "chars/pinyin.h"

#include <gtest/gtest.h>

#include <random>

#include "chars/gbk.h"
#include "pinyin_file.h"

namespace tavrin {
namespace {

const LineList kInitialGroups = {"b,p,m,f", "d,t,n,l", "g,k,h", "j,q,x,zh,ch,sh,r,z,c,s"};
const LineList kFinalGroups = {"a,ai,ao,an,ang,e,er,ei,en,eng,o,ou,ong", "i,ia,ie,iao,iou,ian,in,iang,ing,iong",
                               "v,ue,uan,un", "u,ua,uo,uai,uei,uan,uen,uang,ueng"};

// Records of a small pinyin file. 啊 and 呢 have no record (an empty one).
const std::map<std::string, std::string> kRecords = {
    {"张", "zhang1"}, {"三", "san1"},   {"陈", "chen2"},   {"李", "li3"},   {"王", "wang2"},
    {"杨", "yang2"},  {"安", "an1"},    {"二", "er2"},     {"五", "wu3"},   {"四", "si4"},
    {"何", "he2"},    {"许", "xv3"},    {"女", "nv3"},     {"石", "shi2"},  {"吗", "ma5"},
    {"呃", "e"},      {"中", "zhong1"}, {"吵", "chuzhe1"}, {"红", "hong2"},
};

// The reference scan and the precomputed service over the same file.
struct Pinyin {
  explicit Pinyin(std::string file, LineList initials = kInitialGroups, LineList finals = kFinalGroups)
      : bytes(std::move(file)), initialGroups(initials), finalGroups(finals), service(bytes, initials, finals) {}

  std::string bytes;
  LineList initialGroups;
  LineList finalGroups;
  PinyinService service;
};

Pinyin& Small() {
  static Pinyin pinyin(test::PinyinFile(kRecords));
  return pinyin;
}

TEST(PinyinOf, SyllablesAndOtherBytes) {
  const struct {
    std::string text;
    std::string expected;
  } cases[] = {
      {"张三", "Zhang1 San1"},
      {"a张b", "a Zhang1 b"},
      {"ab", "ab"},
      {"", ""},
      {"张啊三", "Zhang1 啊 San1"},     // a character without pinyin stands for itself
      {" 张 ", "Zhang1"},               // blanks trimmed at both ends
      {"张12", "Zhang1 12"},            // one blank after a syllable only
      {"張陈", "張 Chen2"},             // outside the table
      {"a\xD5", "a \xD5"},              // a lead byte at the very end
      {"\xD5\x41三", "\xD5\x41 San1"},  // a lead byte with an ASCII trail is one character
      {"呃", "E"},                      // no tone digit
      {"，张", "， Zhang1"},            // a symbol cell without a record
      // 0xFF and 0x80 are no lead bytes: each is copied alone.
      {"\xFF张\x80张", "\xFF Zhang1 \x80 Zhang1"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(scan::PinyinOf(Small().bytes, c.text), c.expected);
    EXPECT_EQ(Small().service.PinyinOf(c.text), c.expected);
  }
}

TEST(PinyinOf, EmptyIndexGivesNoPinyin) {
  const PinyinService empty("", kInitialGroups, kFinalGroups);
  EXPECT_EQ(empty.PinyinOf("张三"), "张 三");
  EXPECT_EQ(scan::PinyinOf("", "张三"), "张 三");
  EXPECT_EQ(empty.ToneOf("张"), 1);
}

TEST(InitialAndFinal, FromTheLowerCasedPinyin) {
  const struct {
    std::string ch;
    std::string initial;
    std::string final;
  } cases[] = {
      {"张", "zh", "ang"}, {"陈", "ch", "en"},         {"李", "l", "i"},  {"杨", "y", "ang"}, {"安", "a", "n"},
      {"二", "e", "r"},    {"五", "w", "u"},           {"石", "sh", "i"}, {"许", "x", "v"},   {"呃", "e", ""},
      {"中", "zh", "ong"}, {"吵", "ch", "uzhe"},        // holds zh and ch: the later test wins
      {"啊", "\xB0", ""},                               // no pinyin: the character's own first byte
      {"", "", ""},        {"张三", "zh", "ang1 san"},  // a longer text: after the initial, without the last byte
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.ch);
    EXPECT_EQ(scan::InitialOf(Small().bytes, c.ch), c.initial);
    EXPECT_EQ(Small().service.InitialOf(c.ch), c.initial);
    EXPECT_EQ(scan::FinalOf(Small().bytes, c.ch), c.final);
    EXPECT_EQ(Small().service.FinalOf(c.ch), c.final);
  }
}

TEST(SoundCheck, ByteWiseGroupsAndTheReasonOfTheLastClash) {
  const struct {
    std::string a, b;
    bool apart;
    std::string reason;
  } cases[] = {
      // zh/ch clash, and ang/en as well: the finals are examined last.
      {"张", "陈", false, "ang\ren张陈韵母为相似发音"},
      // ang and i (inside ai) share the first final line.
      {"王", "李", false, "ang\ri王李韵母为相似发音"},
      // h stands inside zh, ch and sh of the fourth line.
      {"红", "许", false, "h\rx\r红许声母为相似发音"},
      {"红", "女", true, ""},
      {"何", "女", false, "e\rv何女韵母为相似发音"},  // e inside ue, beside v
      {"张", "女", true, ""},
      {"女", "女", false, "v\rv女女韵母为相似发音"},
      {"杨", "杨", false, "ang\rang杨杨韵母为相似发音"},     // y is in no line, ang is
      {"安", "五", false, "n\ru安五韵母为相似发音"},         // u inside ou
      {"啊", "啊", true, ""},                                // no pinyin: a lead byte as initial, no final
      {"", "", true, ""},                                    // empty initials and finals are held by no line
      {"张三", "许", false, "zh\rx\r张三许声母为相似发音"},  // texts longer than a character
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.a + " " + c.b);
    std::string reason = "stale";
    EXPECT_EQ(scan::SoundCheck(Small().bytes, kInitialGroups, kFinalGroups, c.a, c.b, &reason), c.apart);
    EXPECT_EQ(reason, c.reason);
    reason = "stale";
    EXPECT_EQ(Small().service.SoundCheck(c.a, c.b, &reason), c.apart);
    EXPECT_EQ(reason, c.reason);
    EXPECT_EQ(Small().service.SoundCheck(c.a, c.b), c.apart);
  }
}

TEST(ToneOf, LastByteAsDigitElseOne) {
  const struct {
    std::string ch;
    int tone;
  } cases[] = {{"张", 1}, {"陈", 2}, {"李", 3}, {"四", 4}, {"吗", 5}, {"呃", 1}, {"啊", 1}, {"", 1}, {"張", 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.ch);
    EXPECT_EQ(scan::ToneOf(Small().bytes, c.ch), c.tone);
    EXPECT_EQ(Small().service.ToneOf(c.ch), c.tone);
  }
}

TEST(ToneCheck, NamesOfTwoAndThreeCharacters) {
  // Tones: 张 1, 陈 2, 李 3, 四 4, 吗 5, 啊 (no pinyin) 1.
  const struct {
    std::string name;
    bool acceptable;
  } cases[] = {
      {"张张四", true},  {"张张张", false}, {"李李张", false},  {"陈李四", true},     {"陈陈", false},
      {"陈李", true},    {"张啊", false},   {"张张张张", true}, {"张张张(85)", true}, {"张", true},
      {"", true},        {"吗张张", true},  // a first tone outside 1..4 allows anything
      {"张吗四", false},                    // a second tone outside 1..4 allows nothing
      {"ab", false},                        // two one-byte characters without pinyin: tones 1 and 1
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(scan::ToneCheck(Small().bytes, c.name), c.acceptable);
    EXPECT_EQ(Small().service.ToneCheck(c.name), c.acceptable);
  }
}

TEST(ToneCheck, ThirdTonesByFirstAndSecond) {
  // Allowed third tones for first tone t1 (row) and second tone 1..4 (column).
  const char* const allowed[4][4] = {
      {"4", "14", "23", "1"},
      {"124", "134", "124", "23"},
      {"134", "1234", "", "123"},
      {"1234", "14", "124", "2"},
  };
  for (int t1 = 1; t1 <= 4; ++t1) {
    for (int t2 = 1; t2 <= 4; ++t2) {
      for (int t3 = 0; t3 <= 6; ++t3) {
        const std::string allowedThird = allowed[t1 - 1][t2 - 1];
        const bool expected = allowedThird.find(static_cast<char>('0' + t3)) != std::string::npos;
        EXPECT_EQ(pinyin_rules::TonesAcceptable({t1, t2, t3}), expected) << t1 << t2 << t3;
      }
    }
  }
  EXPECT_TRUE(pinyin_rules::TonesAcceptable({0, 3, 3}));
  EXPECT_TRUE(pinyin_rules::TonesAcceptable({5, 0, 9}));
}

// A corrupt or truncated file gives "no pinyin" for every record it cannot
// hold, and is never read outside its bytes (the sanitizer build checks that).
TEST(PinyinIndexFile, CorruptRecordsMeanNoPinyin) {
  const std::string good = test::PinyinFile(kRecords);
  const int zhang = test::CellOfChar("张");
  const std::uint32_t start = test::PinyinEntry(good, zhang);
  const std::uint32_t size = static_cast<std::uint32_t>(good.size());
  const struct {
    const char* what;
    std::uint32_t start, next;
  } cases[] = {
      {"backwards", start + 3, start},         {"start past the end", size + 10, size + 20},
      {"end past the end", start, size + 5},   {"end at the very end", start, size},
      {"both huge", 0xFFFFFFF0u, 0xFFFFFFFFu}, {"empty", start, start},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::string bytes = good;
    test::SetPinyinEntry(bytes, zhang, c.start);
    test::SetPinyinEntry(bytes, zhang + 1, c.next);
    const PinyinService service(bytes, kInitialGroups, kFinalGroups);
    EXPECT_EQ(scan::PinyinOf(bytes, "张三"), "张 San1");
    EXPECT_EQ(service.PinyinOf("张三"), "张 San1");
    EXPECT_EQ(service.ToneOf("张"), 1);
    EXPECT_EQ(service.InitialOf("张"), "\xD5");
  }
}

TEST(PinyinIndexFile, TruncatedAnywhere) {
  const std::string good = test::PinyinFile(kRecords);
  const std::size_t cuts[] = {0,
                              1,
                              3,
                              4,
                              5,
                              5640,
                              5643,
                              32715,
                              32716,
                              32717,
                              32720,
                              good.size() - 40,
                              good.size() - 2,
                              good.size() - 1,
                              good.size()};
  for (std::size_t cut : cuts) {
    SCOPED_TRACE(cut);
    const std::string bytes = good.substr(0, cut);
    const PinyinService service(bytes, kInitialGroups, kFinalGroups);
    for (const auto& [ch, record] : kRecords) {
      // A record is read when both its table entries and its bytes up to the
      // next record's separator lie within the file.
      const int cell = test::CellOfChar(ch);
      const bool readable = static_cast<std::size_t>(cell + 2) * 4 <= cut && test::PinyinEntry(good, cell + 1) < cut;
      std::string expected = ch;
      if (readable) {
        expected = record;
        expected[0] = static_cast<char>(expected[0] - 'a' + 'A');
      }
      EXPECT_EQ(scan::PinyinOf(bytes, ch), expected) << ch;
      EXPECT_EQ(service.PinyinOf(ch), expected) << ch;
    }
  }
}

TEST(PinyinIndexFile, RandomBytesNeverReadOutOfBounds) {
  std::mt19937 random(4);
  for (const std::size_t size : {std::size_t{100}, std::size_t{32716}, std::size_t{40000}}) {
    std::string bytes(size, '\0');
    for (char& byte : bytes) byte = static_cast<char>(random() % 256);
    // Some plausible positions so that records are read, too.
    for (int entry = 0; entry <= kPinyinCellCount && (entry + 1) * 4 <= static_cast<int>(size); entry += 7) {
      test::SetPinyinEntry(bytes, entry, static_cast<std::uint32_t>(random() % (size + 16)));
    }
    const PinyinService service(bytes, kInitialGroups, kFinalGroups);
    for (int cell = 0; cell < kPinyinCellCount; ++cell) {
      const std::string ch = {static_cast<char>(0xA1 + cell / 94), static_cast<char>(0xA1 + cell % 94)};
      ASSERT_EQ(service.PinyinOf(ch), scan::PinyinOf(bytes, ch)) << cell;
    }
  }
}

}  // namespace
}  // namespace tavrin
