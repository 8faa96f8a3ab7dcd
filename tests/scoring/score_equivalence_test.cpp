// The precomputed scorer answers exactly as the plain scan of the numerology
// table and the element list.
#include <gtest/gtest.h>

#include <random>

#include "chars/gbk.h"
#include "core/lines.h"
#include "core/startup.h"
#include "scoring/score.h"

namespace tavrin {
namespace {

// Overlapping, repeated and malformed keys, and every verdict.
const LineList& SyntheticTable() {
  static const LineList table = [] {
    LineList lines = {
        "第1数 吉",
        "第11数 凶",
        "第111数 半吉",
        "第1数第11数 吉凶",
        "第0数 吉",
        "第01数 吉",
        "第8数 第8数 半吉",
        "第255数 吉",
        "第256数 凶",
        "第300数 吉",
        "第1000数 吉",
        "第 9数 吉",
        "第９数 吉",
        "第9数",
        "",
        "\xB0\xB5\xDA\x37数 吉",
        "第7数 半吉 凶",
        "第7数 吉",
        "第12数第13数第14数 吉",
        "第99999999999数 凶",
        "数第15数第",
        "第16数第16数第17数 凶",
    };
    // Every number up to 40 at least once more, some twice.
    for (int n = 2; n <= 40; ++n) {
      lines.push_back("第" + std::to_string(n) + "数 " + (n % 3 == 0 ? "吉" : n % 3 == 1 ? "半吉" : "凶"));
      if (n % 7 == 0) lines.push_back("重复第" + std::to_string(n) + "数吉");
    }
    return lines;
  }();
  return table;
}

const LineList& SyntheticElements() {
  static const LineList list = {"江王",       "“金”的字有：", "张王陈李", "“水”的字有：", "王江敖稹",
                                "“木”的字有", "林",           "说明",     "“土”的字有：", "后"};
  return list;
}

std::optional<LineList> ShippedLines(const char* fileName) {
  std::string error;
  if (auto bytes = ReadWholeFile(ExecutableDir() + fileName, error)) return SplitLines(*bytes);
  return std::nullopt;
}

// Random names of characters of every kind, with and without an annotation.
std::vector<std::string> RandomNames(std::size_t count) {
  std::mt19937 random(21);
  const std::vector<std::string> oddChars = {
      "張", "陳", "后", "干", "a", "(", "(85)", "\x81\x40", "\xD5", std::string(1, '\0'), std::string("\xD5\0", 2),
      "，", "氵"};
  std::vector<std::string> names = {"", "(85)", "李马林", "李马林(85)"};
  while (names.size() < count) {
    std::string name;
    const std::size_t length = random() % 5;
    for (std::size_t k = 0; k < length; ++k) {
      if (random() % 8 == 0) {
        name += oddChars[random() % oddChars.size()];
      } else {
        name += {static_cast<char>(0xB0 + random() % 72), static_cast<char>(0xA1 + random() % 94)};
      }
    }
    names.push_back(name);
  }
  return names;
}

std::vector<std::string> RandomBirthElements(std::size_t count) {
  std::mt19937 random(22);
  const char* const elements[] = {"金", "木", "水", "火", "土"};
  std::vector<std::string> births = {""};
  while (births.size() < count) {
    std::string birth;
    for (int k = 0; k < 8; ++k) birth += elements[random() % 5];
    births.push_back(birth);
  }
  return births;
}

void ExpectSameScores(const LineList& table, const LineList& elementList, std::size_t nameCount) {
  const ElementService elements(elementList);
  const NameScorer scorer(table, elements);
  for (int number = 0; number <= 300; ++number) {
    ASSERT_EQ(scorer.MatchingLines(number), scan::MatchingLines(table, number)) << number;
  }
  const std::vector<std::string> births = RandomBirthElements(16);
  std::size_t i = 0;
  for (const std::string& name : RandomNames(nameCount)) {
    const std::string& birth = births[i++ % births.size()];
    const std::string expected = scan::ScoreName(table, elementList, birth, name);
    ASSERT_EQ(scorer.ScoreName(name, birth), expected) << name << " / " << birth;
    ASSERT_EQ(scorer.Score(name, birth), std::stoi(expected.substr(0, expected.find(',')))) << name;
  }
}

TEST(ScoreEquivalence, SyntheticTableAndElements) { ExpectSameScores(SyntheticTable(), SyntheticElements(), 20000); }

TEST(ScoreEquivalence, EmptyTableAndElements) { ExpectSameScores({}, {}, 2000); }

TEST(ScoreEquivalence, ShippedTableAndElements) {
  const auto table = ShippedLines(kNumerologyFile);
  const auto elementList = ShippedLines(kCharElementFile);
  if (!table || !elementList) GTEST_SKIP() << "no shipped numerology table and element list beside the tests";
  ExpectSameScores(*table, *elementList, 1500);
}

// Every two-character and one-character name of the hanzi area scores alike,
// which covers each character's traditional stroke count in every position.
TEST(ScoreEquivalence, EveryHanziAsSurnameAndAsGivenName) {
  const LineList& table = SyntheticTable();
  const ElementService elements(SyntheticElements());
  const NameScorer scorer(table, elements);
  for (int lead = 0xB0; lead <= 0xF7; ++lead) {
    for (int trail = 0xA1; trail <= 0xFE; ++trail) {
      const std::string ch = {static_cast<char>(lead), static_cast<char>(trail)};
      for (const std::string& name : {ch, ch + "林", "李" + ch, "李马" + ch}) {
        ASSERT_EQ(scorer.ScoreName(name, "金金木木水水火火"),
                  scan::ScoreName(table, SyntheticElements(), "金金木木水水火火", name))
            << name;
      }
    }
  }
}

}  // namespace
}  // namespace tavrin
