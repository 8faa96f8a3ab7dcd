// Integrity of the shipped advice tables (data/advice_*.dat, written by
// tools/advice/gen_advice.py): GBK, sorted and unique keys, the sizes the
// reviews promise, and every sound the rules compare known to the character
// table.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "advice/advice.h"
#include "chars/encoding.h"
#include "core/lines.h"
#include "core/startup.h"

namespace tavrin::advice {
namespace {

std::vector<std::vector<std::string>> Rows(const char* file) {
  std::string error;
  const auto bytes = ReadWholeFile(ExecutableDir() + file, error);
  EXPECT_TRUE(bytes.has_value()) << file << ": " << error;
  std::vector<std::vector<std::string>> rows;
  for (const std::string& line : SplitLines(bytes.value_or(""))) {
    std::vector<std::string> fields;
    std::stringstream in(line);
    for (std::string field; std::getline(in, field, '\t');) fields.push_back(field);
    if (!line.empty() && line.back() == '\t') fields.emplace_back();  // an empty last field
    rows.push_back(fields);
  }
  return rows;
}

std::vector<std::string> Words(const std::string& text, char separator) {
  std::vector<std::string> words;
  std::stringstream in(text);
  for (std::string word; std::getline(in, word, separator);) words.push_back(word);
  return words;
}

const AdviceTables& Shipped() {
  static const AdviceTables tables = LoadAdviceTables(ExecutableDir());
  return tables;
}

// The syllable is one of the character's readings; a neutral one (tone 5)
// stands for the same syllable in any tone.
bool ReadingKnown(const std::string& ch, const std::string& syllable) {
  const CharFacts* facts = Shipped().Facts(ch);
  if (!facts) return false;
  std::vector<std::string> all = facts->readings;
  all.insert(all.end(), facts->rareReadings.begin(), facts->rareReadings.end());
  for (const std::string& reading : all) {
    if (reading == syllable) return true;
    if (syllable.back() == '5' && reading.substr(0, reading.size() - 1) == syllable.substr(0, syllable.size() - 1)) {
      return true;
    }
  }
  return false;
}

TEST(AdviceTables, KeysAreGbkSortedAndUnique) {
  const struct {
    const char* file;
    std::size_t minRows;
    std::size_t fields;
  } tables[] = {
      {"advice_chars.dat", 7000, 11},        {"advice_unfortunate.dat", 400, 4},   {"advice_famous.dat", 2500, 4},
      {"advice_unsuitable.dat", 300, 3},     {"advice_surnames.dat", 60, 2},       {"advice_words.dat", 5000, 2},
      {"advice_word_meanings.dat", 3000, 2}, {"advice_surname_words.dat", 250, 4}, {"advice_shapes.dat", 2000, 2},
      {"advice_themes.dat", 20, 4},          {"advice_radicals.dat", 7000, 3},     {"advice_appeal.dat", 300, 4},
  };
  for (const auto& t : tables) {
    const auto rows = Rows(t.file);
    EXPECT_GE(rows.size(), t.minRows) << t.file;
    for (std::size_t i = 0; i < rows.size(); ++i) {
      ASSERT_EQ(rows[i].size(), t.fields) << t.file << " line " << i + 1;
      const std::string& key = rows[i][0];
      EXPECT_TRUE(key.size() >= 2 && key.size() % 2 == 0) << t.file << " line " << i + 1;
      const auto back = Utf8ToGbk(GbkToUtf8(key));
      EXPECT_TRUE(back && *back == key) << t.file << " line " << i + 1 << " is not GBK";
      if (i > 0) {
        EXPECT_LT(rows[i - 1][0], key) << t.file << ": unsorted or repeated at line " << i + 1;
      }
    }
  }
}

TEST(AdviceTables, EverySoundIsKnown) {
  auto rows = Rows("advice_unfortunate.dat");
  const auto phrases = Rows("advice_surname_words.dat");
  rows.insert(rows.end(), phrases.begin(), phrases.end());
  for (const auto& row : rows) {
    const std::vector<std::string> syllables = Words(row[1], ' ');
    const std::size_t length = row[0].size() / 2;
    ASSERT_EQ(syllables.size(), length) << GbkToUtf8(row[0]);
    for (std::size_t i = 0; i < length; ++i) {
      EXPECT_TRUE(ReadingKnown(row[0].substr(2 * i, 2), syllables[i])) << GbkToUtf8(row[0]) << " " << syllables[i];
    }
  }
  const std::set<std::string> tags = {"notorious", "fictional", "historical", "celebrity"};
  std::map<std::string, int> byTag;
  for (const auto& row : Rows("advice_famous.dat")) {
    EXPECT_TRUE(tags.count(row[1])) << GbkToUtf8(row[0]) << " " << row[1];
    ++byTag[row[1]];
    for (std::size_t i = 0; i < row[0].size(); i += 2) {
      EXPECT_NE(Shipped().Facts(row[0].substr(i, 2)), nullptr) << GbkToUtf8(row[0]);
    }
  }
  for (const std::string& tag : tags) EXPECT_GE(byTag[tag], 150) << tag;
}

// Every character of the name lists has a Chinese meaning of 6 to 20
// characters; a word's meaning is one to 40 characters ending a sentence, of
// a word whose both characters are name characters.
TEST(AdviceTables, ChineseMeanings) {
  std::set<std::string> nameChars;
  for (const char* file : {kMaleCharsFile, kFemaleCharsFile}) {
    for (const auto& row : Rows(file)) {
      nameChars.insert(row[0]);
      const CharFacts* facts = Shipped().Facts(row[0]);
      ASSERT_NE(facts, nullptr) << GbkToUtf8(row[0]);
      EXPECT_GE(facts->meaning.size(), 12u) << GbkToUtf8(row[0]);
      EXPECT_LE(facts->meaning.size(), 40u) << GbkToUtf8(row[0]);
    }
  }
  for (const auto& row : Rows("advice_word_meanings.dat")) {
    ASSERT_EQ(row.size(), 2u);
    EXPECT_TRUE(nameChars.count(row[0].substr(0, 2)) && nameChars.count(row[0].substr(2))) << GbkToUtf8(row[0]);
    const std::string& meaning = row[1];
    EXPECT_LE(meaning.size(), 80u) << GbkToUtf8(row[0]);
    const std::string last = meaning.size() >= 2 ? meaning.substr(meaning.size() - 2) : "";
    EXPECT_TRUE(last == "。" || last == "！" || last == "？") << GbkToUtf8(row[0]) << " " << GbkToUtf8(meaning);
  }
  EXPECT_EQ(Shipped().WordMeaningCount(), Rows("advice_word_meanings.dat").size());
}

// Each character's structure is one a parent names, also for characters
// whose radical is no part one sees (中, 乐); almost every name of the bank
// has both structures.
TEST(AdviceTables, StructuresOfTheCharacters) {
  const std::set<std::string> known = {"左右", "上下", "独体", "半包围", "全包围", "品字", "上中下", "左中右"};
  for (const auto& row : Rows("advice_radicals.dat")) {
    EXPECT_TRUE(row[2].empty() || known.count(row[2])) << GbkToUtf8(row[0]) << " " << GbkToUtf8(row[2]);
  }
  const struct {
    const char* ch;
    const char* structure;
  } spot[] = {{"若", "上下"},
              {"晴", "左右"},
              {"中", "独体"},
              {"乐", "独体"},
              {"国", "全包围"},
              {"森", "品字"},
              {"远", "半包围"},
              {"意", "上中下"},
              {"谢", "左中右"},
              {"子", "独体"},
              // the team's own reading where the package has none or another
              {"剑", "左右"},
              {"天", "独体"},
              {"竹", "左右"}};
  for (const auto& s : spot) EXPECT_EQ(Shipped().StructureOf(s.ch), s.structure) << GbkToUtf8(s.ch);
  std::size_t names = 0, built = 0;
  for (const BankName& name : Shipped().Bank()) {
    if (name.given.size() != 4) continue;
    ++names;
    built +=
        !Shipped().StructureOf(name.given.substr(0, 2)).empty() && !Shipped().StructureOf(name.given.substr(2)).empty();
  }
  EXPECT_GE(built * 100, names * 99);
}

TEST(AdviceTables, ListsHoldWhatTheyPromise) {
  for (const char* surname :
       {"欧阳", "诸葛", "司马", "上官", "东方", "皇甫", "尉迟", "公孙", "慕容", "长孙", "宇文", "司徒", "夏侯",
        "轩辕", "令狐", "端木", "独孤", "南宫", "西门", "百里", "呼延", "澹台", "钟离", "闻人", "赫连", "万俟"}) {
    EXPECT_EQ(Shipped().SurnameLength(std::string(surname) + "明"), 2) << GbkToUtf8(surname);
  }
  // No character of the shipped name lists is called unsuitable, and the
  // characters the review found in the element strings are.
  std::set<std::string> unsuitable;
  for (const auto& row : Rows("advice_unsuitable.dat")) {
    unsuitable.insert(row[0]);
    EXPECT_TRUE(row[1] == "serious" || row[1] == "mild") << GbkToUtf8(row[0]);
  }
  for (const char* file : {kMaleCharsFile, kFemaleCharsFile}) {
    for (const auto& row : Rows(file)) EXPECT_FALSE(unsuitable.count(row[0])) << GbkToUtf8(row[0]);
  }
  for (const char* ch : {"村", "柄", "根", "机", "材", "校", "椒", "榄", "槟", "杜", "李", "杨", "梁"}) {
    EXPECT_TRUE(unsuitable.count(ch)) << GbkToUtf8(ch);
  }
}

}  // namespace
}  // namespace tavrin::advice

namespace tavrin::advice {
namespace {

// The name bank and the advice agree: no name the program proposes itself
// carries a serious warning for a sex it is meant for, read with a surname
// that makes no phrase of its own; each sex has a few hundred names the
// team's readers would shortlist (the bank's parts were read once, blind,
// and strictly), and no count lies outside what two readers can give.
TEST(AdviceTables, BankNamesPassTheirOwnAdvice) {
  std::map<Sex, int> names, shortlisted;
  for (const BankName& name : Shipped().Bank()) {
    EXPECT_GE(name.shortlisted, 0);
    EXPECT_LE(name.shortlisted, 2);
    for (const Sex sex : {Sex::kMale, Sex::kFemale}) {
      if (!(sex == Sex::kFemale ? name.forGirls : name.forBoys)) continue;
      ++names[sex];
      if (name.shortlisted > 0) ++shortlisted[sex];
      const Advice advice = Shipped().Advise("林" + name.given, 1, sex);
      for (const Warning& warning : advice.warnings) {
        EXPECT_NE(warning.severity, Severity::kSerious)
            << GbkToUtf8(advice.name) << (sex == Sex::kFemale ? " (f): " : " (m): ") << GbkToUtf8(warning.text);
      }
    }
  }
  for (const Sex sex : {Sex::kMale, Sex::kFemale}) {
    EXPECT_GE(names[sex], 500);
    EXPECT_GE(shortlisted[sex], 250);
  }
}

}  // namespace
}  // namespace tavrin::advice
