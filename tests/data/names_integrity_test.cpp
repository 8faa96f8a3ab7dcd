// Integrity of the shipped name lists: the given-name characters by sex, the
// given names by sex and the recommended full names, as they stand beside the
// built executables. They are checked against the reviewed tables they are
// generated from (tools/names/ in the source tree) and against the
// dictionaries of Debian python3-jieba and friso-dict.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "chars/encoding.h"
#include "chars/gbk.h"
#include "core/lines.h"
#include "core/startup.h"

namespace tavrin {
namespace {

constexpr const char* kJiebaDict = "/usr/lib/python3/dist-packages/jieba/dict.txt";
constexpr const char* kFrisoDir = "/usr/share/friso/dict/UTF-8";

bool IsGb2312Hanzi(const std::string& ch) {
  if (ch.size() != 2) return false;
  const auto lead = static_cast<unsigned char>(ch[0]);
  const auto trail = static_cast<unsigned char>(ch[1]);
  if (lead < 0xB0 || lead > 0xF7 || trail < 0xA1 || trail > 0xFE) return false;
  return !(lead == 0xD7 && trail >= 0xFA);  // the five empty cells after 座
}

std::string ShippedBytes(const char* name) {
  std::string error;
  auto bytes = ReadWholeFile(ExecutableDir() + name, error);
  EXPECT_TRUE(bytes.has_value()) << name << ": " << error;
  return bytes.value_or("");
}

LineList ShippedLines(const char* name) { return SplitLines(ShippedBytes(name)); }

std::set<std::string> AsSet(const LineList& lines) { return {lines.begin(), lines.end()}; }

std::string WholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  EXPECT_TRUE(in) << "cannot read " << path;
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::vector<std::string> Fields(const std::string& line, char separator) {
  std::vector<std::string> fields;
  std::stringstream in(line);
  for (std::string field; std::getline(in, field, separator);) fields.push_back(field);
  return fields;
}

// The rows of a table of tools/names/ (UTF-8, '#' comment lines), each field
// converted to GBK.
std::vector<std::vector<std::string>> NameTable(const char* file) {
  const char* root = std::getenv("TAVRIN_SOURCE_DIR");
  EXPECT_NE(root, nullptr) << "TAVRIN_SOURCE_DIR is not set";
  std::vector<std::vector<std::string>> rows;
  if (!root) return rows;
  for (const std::string& line : SplitLines(WholeFile(std::string(root) + "/tools/names/" + file))) {
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string> row;
    for (const std::string& field : Fields(line, '\t')) {
      auto gbk = Utf8ToGbk(field);
      EXPECT_TRUE(gbk.has_value()) << file << ": not GBK: " << field;
      row.push_back(gbk.value_or(""));
    }
    rows.push_back(row);
  }
  return rows;
}

// The reviewed tables the lists are generated from.
struct NameTables {
  std::map<std::string, std::string> sexOf;  // inventory character -> boy / girl / both
  std::set<std::string> blacklist;
  std::set<std::string> famousFull;   // full names, and name beginnings, never recommended
  std::set<std::string> famousGiven;  // given names never offered
  std::size_t famousEntries = 0;
  std::set<std::string> wordNames;  // names kept although the dictionary lists them as words
  std::set<std::string> surnames;
};

const NameTables& Tables() {
  static const NameTables tables = [] {
    NameTables t;
    for (const auto& row : NameTable("inventory.tsv")) t.sexOf[row.at(0)] = row.at(1);
    for (const auto& row : NameTable("blacklist.txt")) {
      for (const std::string& ch : SplitChars(row.at(0))) t.blacklist.insert(ch);
    }
    for (const auto& row : NameTable("famous.txt")) {
      ++t.famousEntries;
      const std::vector<std::string> parts = Fields(row.at(0), ' ');
      if (parts.size() == 2) {
        t.famousFull.insert(parts[0] + parts[1]);
        if (!(row.size() > 2 && row[2] == "full")) t.famousGiven.insert(parts[1]);
      } else {
        t.famousGiven.insert(row.at(0));
      }
    }
    for (const auto& row : NameTable("word_names.txt")) t.wordNames.insert(row.at(0));
    for (const auto& row : NameTable("surnames.tsv")) t.surnames.insert(row.at(0));
    return t;
  }();
  return tables;
}

// jieba's dictionary: word (UTF-8) -> (corpus count, part-of-speech tag).
const std::unordered_map<std::string, std::pair<long, std::string>>& Jieba() {
  static const auto dict = [] {
    std::unordered_map<std::string, std::pair<long, std::string>> d;
    for (const std::string& line : SplitLines(WholeFile(kJiebaDict))) {
      const std::vector<std::string> f = Fields(line, ' ');
      if (f.size() == 3) d[f[0]] = {std::stol(f[1]), f[2]};
    }
    return d;
  }();
  return dict;
}

// Every entry of friso's word lists (UTF-8), people's names among them.
const std::unordered_set<std::string>& FrisoWords() {
  static const auto words = [] {
    std::unordered_set<std::string> w;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(kFrisoDir, ec)) {
      const std::string name = entry.path().filename().string();
      if (name.rfind("lex-", 0) != 0) continue;
      for (const std::string& line : SplitLines(WholeFile(entry.path().string()))) {
        const std::size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line[start] == '#') continue;
        std::string word = Fields(line.substr(start), '/').at(0);
        word.erase(word.find_last_not_of(" \t") + 1);
        w.insert(word);
      }
    }
    EXPECT_FALSE(w.empty()) << "friso-dict is not installed (" << kFrisoDir << ")";
    return w;
  }();
  return words;
}

class ShippedNames : public ::testing::Test {
 protected:
  void SetUp() override {
    male_ = ShippedLines(kMaleCharsFile);
    female_ = ShippedLines(kFemaleCharsFile);
    maleSet_ = AsSet(male_);
    femaleSet_ = AsSet(female_);
  }
  bool InMale(const std::string& ch) const { return maleSet_.count(ch) > 0; }
  bool InFemale(const std::string& ch) const { return femaleSet_.count(ch) > 0; }

  LineList male_, female_;
  std::set<std::string> maleSet_, femaleSet_;
};

TEST(ShippedNameFiles, EveryLineEndsWithCrLf) {
  for (const char* name : {kMaleCharsFile, kFemaleCharsFile, kBoyNamesFile, kGirlNamesFile, kRecommendedFile}) {
    SCOPED_TRACE(name);
    const std::string bytes = ShippedBytes(name);
    ASSERT_FALSE(bytes.empty());
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
    std::size_t crlf = 0;
    for (std::size_t pos = 0; pos < bytes.size(); ++pos) {
      if (bytes[pos] == '\r') {
        ASSERT_LT(pos + 1, bytes.size());
        ASSERT_EQ(bytes[pos + 1], '\n') << "lone CR at byte " << pos;
        ++crlf;
        ++pos;
      } else {
        ASSERT_NE(bytes[pos], '\n') << "lone LF at byte " << pos;
        ASSERT_NE(bytes[pos], '\0') << "zero byte at " << pos;
      }
    }
    EXPECT_EQ(crlf, SplitLines(bytes).size());
  }
}

TEST(ShippedNameFiles, StartUpLoadsThemWithoutFailure) {
  const SharedStores shared = StartUp(ExecutableDir());
  const DataStores& stores = *shared;
  EXPECT_TRUE(stores.HasAll({kRecommendedFile, kMaleCharsFile, kFemaleCharsFile}));
  EXPECT_FALSE(stores.maleGivenChars.empty());
  EXPECT_FALSE(stores.femaleGivenChars.empty());
  EXPECT_FALSE(stores.boyGivenNames.empty());
  EXPECT_FALSE(stores.girlGivenNames.empty());
  EXPECT_FALSE(stores.recommendedList.empty());
}

TEST_F(ShippedNames, CharacterListsHoldOneGb2312HanziPerLineOnce) {
  const struct {
    const char* file;
    const LineList& lines;
  } lists[] = {{kMaleCharsFile, male_}, {kFemaleCharsFile, female_}};
  for (const auto& list : lists) {
    SCOPED_TRACE(list.file);
    EXPECT_GE(list.lines.size(), 300u);
    EXPECT_LE(list.lines.size(), 400u);
    std::set<std::string> seen;
    for (const std::string& line : list.lines) {
      EXPECT_TRUE(IsGb2312Hanzi(line)) << "line [" << line << "]";
      EXPECT_TRUE(seen.insert(line).second) << "repeated " << line;
    }
  }
}

// The character lists are the inventory split by sex use, nothing more.
TEST_F(ShippedNames, CharacterListsAreTheInventoryBySex) {
  const NameTables& t = Tables();
  std::size_t boys = 0, girls = 0;
  for (const auto& [ch, sex] : t.sexOf) {
    SCOPED_TRACE(ch + " " + sex);
    ASSERT_TRUE(sex == "boy" || sex == "girl" || sex == "both");
    EXPECT_EQ(InMale(ch), sex != "girl");
    EXPECT_EQ(InFemale(ch), sex != "boy");
    EXPECT_EQ(t.blacklist.count(ch), 0u) << "an inventory character is blacklisted";
    boys += sex != "girl";
    girls += sex != "boy";
  }
  EXPECT_EQ(male_.size(), boys);
  EXPECT_EQ(female_.size(), girls);
  // Characters a review found on the wrong side or missing.
  const struct {
    const char* chars;
    bool male, female;
  } cases[] = {
      {"钧骋魁迈廷舜济广尚树阳", true, false},  // boys' characters once in the girls' list
      {"洁瑶琪茗苑雪彤语可", false, true},      // girls' characters once in the boys' list
      {"晴嫣婕悠心凝黛", false, true},          // popular girls' characters once missing
      {"煦霆翰朗琛珩骁勋昆钦", true, false},    // popular boys' characters once missing
      {"亦然安瑾懿曦晗澄", true, true},         // shared
  };
  for (const auto& c : cases) {
    for (const std::string& ch : SplitChars(c.chars)) {
      EXPECT_EQ(InMale(ch), c.male) << ch;
      EXPECT_EQ(InFemale(ch), c.female) << ch;
    }
  }
}

// Every character of every name list is an inventory character of the
// list's sex and not blacklisted. The recommended names' given parts may be
// of either sex.
TEST_F(ShippedNames, EveryNameCharacterIsInTheInventoryAndOfItsSex) {
  const NameTables& t = Tables();
  ASSERT_FALSE(t.blacklist.empty());
  const struct {
    const char* file;
    const char* barredSex;  // inventory sex use the list may not hold
    std::size_t skip;       // leading characters that are not given-name characters
  } lists[] = {{kBoyNamesFile, "girl", 0}, {kGirlNamesFile, "boy", 0}, {kRecommendedFile, "", 1}};
  for (const auto& list : lists) {
    SCOPED_TRACE(list.file);
    for (const std::string& line : ShippedLines(list.file)) {
      const auto chars = SplitChars(line);
      for (std::size_t i = list.skip; i < chars.size(); ++i) {
        const auto it = t.sexOf.find(chars[i]);
        ASSERT_NE(it, t.sexOf.end()) << line << ": " << chars[i] << " is not in the inventory";
        EXPECT_NE(it->second, list.barredSex) << line << ": " << chars[i];
        EXPECT_EQ(t.blacklist.count(chars[i]), 0u) << line << ": " << chars[i];
      }
    }
  }
}

// The given-name lists: 1,600 names of one or two characters each, no name
// twice or in both lists, no doubled character, no famous person's given
// name, and no dictionary word unless it is one of the reviewed names that
// are also words, each rare in the dictionary's corpus.
TEST_F(ShippedNames, GivenNamesAreNamesAndNobodysInParticular) {
  const NameTables& t = Tables();
  const auto& jieba = Jieba();
  ASSERT_FALSE(jieba.empty()) << "python3-jieba is not installed (" << kJiebaDict << ")";
  EXPECT_GE(t.famousEntries, 300u);
  for (const std::string& name : t.wordNames) {
    const auto it = jieba.find(GbkToUtf8(name));
    ASSERT_NE(it, jieba.end()) << name << " is listed as a word but is none";
    EXPECT_LE(it->second.first, 3) << name << " is a common word";
  }
  const LineList boys = ShippedLines(kBoyNamesFile);
  const LineList girls = ShippedLines(kGirlNamesFile);
  const std::set<std::string> boySet = AsSet(boys);
  for (const LineList* list : {&boys, &girls}) {
    EXPECT_EQ(list->size(), 1600u);
    std::set<std::string> seen;
    for (const std::string& name : *list) {
      SCOPED_TRACE(name);
      const auto chars = SplitChars(name);
      ASSERT_GE(chars.size(), 1u);
      ASSERT_LE(chars.size(), 2u);
      EXPECT_TRUE(seen.insert(name).second) << "repeated";
      EXPECT_FALSE(chars.size() == 2 && chars[0] == chars[1]) << "doubled";
      EXPECT_EQ(t.famousGiven.count(name), 0u) << "a famous person's given name";
      const auto word = jieba.find(GbkToUtf8(name));
      if (chars.size() == 2 && word != jieba.end() && word->second.second.rfind("nr", 0) != 0) {
        EXPECT_EQ(t.wordNames.count(name), 1u) << "a dictionary word (" << word->second.second << ")";
      }
      if (list == &girls) {
        EXPECT_EQ(boySet.count(name), 0u) << "in both lists";
      }
    }
  }
}

// The recommended names: 3,000 full names, a common surname and a
// two-character given name of the given-name lists, drawn by population
// share, none a famous person or a dictionary's person name, none beginning
// with a famous two-character name or a pun.
TEST(ShippedNameFiles, RecommendedNamesAreNobodysName) {
  const NameTables& t = Tables();
  const auto& jieba = Jieba();
  const auto& friso = FrisoWords();
  ASSERT_EQ(t.surnames.size(), 100u);
  std::set<std::string> given = AsSet(ShippedLines(kBoyNamesFile));
  for (const std::string& name : ShippedLines(kGirlNamesFile)) given.insert(name);
  const LineList lines = ShippedLines(kRecommendedFile);
  EXPECT_EQ(lines.size(), 3000u);
  std::set<std::string> seen;
  std::map<std::string, std::size_t> bySurname;
  for (const std::string& line : lines) {
    SCOPED_TRACE(line);
    const auto chars = SplitChars(line);
    ASSERT_EQ(chars.size(), 3u);
    EXPECT_TRUE(seen.insert(line).second) << "repeated";
    EXPECT_EQ(t.surnames.count(chars[0]), 1u) << "not a common surname";
    EXPECT_EQ(given.count(chars[1] + chars[2]), 1u) << "given name not in the given-name lists";
    EXPECT_EQ(t.famousFull.count(line), 0u) << "a famous person";
    EXPECT_EQ(t.famousFull.count(chars[0] + chars[1]), 0u) << "begins with a famous name or a pun";
    const std::string utf8 = GbkToUtf8(line);
    EXPECT_EQ(jieba.count(utf8), 0u) << "in jieba's dictionary";
    EXPECT_EQ(friso.count(utf8), 0u) << "in friso's word lists";
    ++bySurname[chars[0]];
  }
  // The draw follows the population shares: the three most common surnames
  // (about 7 % each) stand in many lines.
  for (const char* surname : {"王", "李", "张"}) EXPECT_GE(bySurname[surname], lines.size() / 25) << surname;
}

TEST(ShippedNameFiles, FamousPeopleAreLeftOut) {
  const std::set<std::string> recommended = AsSet(ShippedLines(kRecommendedFile));
  const char* const famous[] = {"毛泽东", "邓小平", "江泽民", "胡锦涛", "温家宝", "孙中山", "袁世凯", "李鸿章",
                                "刘德华", "周星驰", "李小龙", "梁朝伟", "范冰冰", "李嘉诚", "吴彦祖", "张无忌",
                                "韦小宝", "郭靖笑", "王先生", "刘若英", "彭丽媛", "侯宝林"};
  for (const char* name : famous) EXPECT_EQ(recommended.count(name), 0u) << name;
}

}  // namespace
}  // namespace tavrin
