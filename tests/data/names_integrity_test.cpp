// Integrity of the shipped name lists: the given-name characters by sex, the
// given names by sex and the recommended full names, as they stand beside the
// built executables.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "chars/gbk.h"
#include "core/lines.h"
#include "core/random.h"
#include "core/startup.h"

namespace tavrin {
namespace {

// Characters the lists must never offer (ominous, ugly or out of place in a
// child's name). Kept in step with tools/names/gen_names.py.
const char* const kBlacklist =
    "死亡丧病疾痛伤鬼魔凶煞灾祸殃毒杀灭残败衰亏损"
    "贫穷贱奴婢妓娼乞丑哀悲愁苦忧泪孤寡"
    "愚蠢呆傻笨懒屎尿粪屁臭腐朽"
    "枯萎凋零坟墓棺尸"
    "晾窍埃孰凉涣媚寒逗";

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

class ShippedNames : public ::testing::Test {
 protected:
  void SetUp() override {
    male_ = ShippedLines(kMaleNameFile);
    female_ = ShippedLines(kFemaleNameFile);
    maleSet_ = AsSet(male_);
    femaleSet_ = AsSet(female_);
  }
  bool InMale(const std::string& ch) const { return maleSet_.count(ch) > 0; }
  bool InFemale(const std::string& ch) const { return femaleSet_.count(ch) > 0; }

  LineList male_, female_;
  std::set<std::string> maleSet_, femaleSet_;
};

TEST(ShippedNameFiles, EveryLineEndsWithCrLf) {
  for (const char* name : {kMaleNameFile, kFemaleNameFile, kBoyCharFile, kGirlCharFile, kRecommendedFile}) {
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
  EXPECT_TRUE(stores.HasAll({kRecommendedFile, kMaleNameFile, kFemaleNameFile}));
  EXPECT_FALSE(stores.maleNameList.empty());
  EXPECT_FALSE(stores.femaleNameList.empty());
  EXPECT_FALSE(stores.boyCharList.empty());
  EXPECT_FALSE(stores.girlCharList.empty());
  EXPECT_FALSE(stores.recommendedList.empty());
}

TEST_F(ShippedNames, CharacterListsHoldOneGb2312HanziPerLineOnce) {
  const struct {
    const char* file;
    const LineList& lines;
  } lists[] = {{kMaleNameFile, male_}, {kFemaleNameFile, female_}};
  for (const auto& list : lists) {
    SCOPED_TRACE(list.file);
    EXPECT_GE(list.lines.size(), 200u);
    EXPECT_LE(list.lines.size(), 600u);
    std::set<std::string> seen;
    for (const std::string& line : list.lines) {
      EXPECT_TRUE(IsGb2312Hanzi(line)) << "line [" << line << "]";
      EXPECT_TRUE(seen.insert(line).second) << "repeated " << line;
      EXPECT_FALSE(ContainsAligned(kBlacklist, line)) << "blacklisted " << line;
    }
  }
}

TEST_F(ShippedNames, CharacterListsSplitBySex) {
  // Typical characters land on their side; a few serve both sexes.
  const struct {
    const char* ch;
    bool male, female;
  } cases[] = {
      {"强", true, false}, {"刚", true, false}, {"军", true, false}, {"鹏", true, false},
      {"婷", false, true}, {"娟", false, true}, {"芳", false, true}, {"萍", false, true},
      {"海", true, true},  {"春", true, true},  {"玉", true, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.ch);
    EXPECT_EQ(InMale(c.ch), c.male);
    EXPECT_EQ(InFemale(c.ch), c.female);
  }
  // Both lists are mostly their own: the shared characters are a minority.
  std::size_t shared = 0;
  for (const std::string& ch : female_) shared += InMale(ch) ? 1 : 0;
  EXPECT_LT(shared * 4, female_.size());
}

TEST_F(ShippedNames, FemaleListHoldsTheBuiltInGirlCharacters) {
  const SharedStores shared = StartUp(ExecutableDir());
  const DataStores& stores = *shared;
  std::size_t core = 0;
  for (const std::string& ch : SplitChars(stores.girlNameChars)) {
    if (!IsGb2312Hanzi(ch) || ContainsAligned(kBlacklist, ch)) continue;
    EXPECT_TRUE(InFemale(ch)) << ch;
    ++core;
  }
  EXPECT_GE(core, 240u);  // 254 less the few outside GB2312 or blacklisted
}

TEST_F(ShippedNames, GivenNameListsHoldOneOrTwoNameCharacters) {
  const struct {
    const char* file;
    bool girls;
  } lists[] = {{kBoyCharFile, false}, {kGirlCharFile, true}};
  for (const auto& list : lists) {
    SCOPED_TRACE(list.file);
    const LineList lines = ShippedLines(list.file);
    EXPECT_GE(lines.size(), 1400u);
    EXPECT_LE(lines.size(), 1700u);
    std::set<std::string> seen;
    for (const std::string& line : lines) {
      SCOPED_TRACE(line);
      EXPECT_TRUE(seen.insert(line).second) << "repeated";
      const auto chars = SplitChars(line);
      ASSERT_GE(chars.size(), 1u);
      ASSERT_LE(chars.size(), 2u);
      bool anyFemaleOnly = false;
      for (const std::string& ch : chars) {
        EXPECT_TRUE(IsGb2312Hanzi(ch));
        EXPECT_TRUE(InMale(ch) || InFemale(ch)) << ch << " is in neither list";
        anyFemaleOnly = anyFemaleOnly || (InFemale(ch) && !InMale(ch));
        // A boy's name is made of the male list's characters only.
        if (!list.girls) {
          EXPECT_TRUE(InMale(ch)) << ch;
        }
      }
      // A girl's name carries at least one character of the female list only.
      if (list.girls) {
        EXPECT_TRUE(anyFemaleOnly);
      }
    }
  }
}

TEST_F(ShippedNames, GivenNameListsDoNotShareNames) {
  const std::set<std::string> boys = AsSet(ShippedLines(kBoyCharFile));
  for (const std::string& girl : ShippedLines(kGirlCharFile)) EXPECT_EQ(boys.count(girl), 0u) << girl;
}

TEST_F(ShippedNames, RecommendedNamesAreSurnameAndNameCharacters) {
  const LineList lines = ShippedLines(kRecommendedFile);
  EXPECT_GE(lines.size(), 2000u);
  EXPECT_LE(lines.size(), 5000u);
  std::set<std::string> seen;
  for (const std::string& line : lines) {
    SCOPED_TRACE(line);
    EXPECT_TRUE(seen.insert(line).second) << "repeated";
    const auto chars = SplitChars(line);
    ASSERT_GE(chars.size(), 2u);
    ASSERT_LE(chars.size(), 3u);
    EXPECT_TRUE(IsGb2312Hanzi(chars[0])) << "surname";
    for (std::size_t i = 1; i < chars.size(); ++i) {
      EXPECT_TRUE(IsGb2312Hanzi(chars[i]));
      EXPECT_TRUE(InMale(chars[i]) || InFemale(chars[i])) << chars[i] << " is in neither list";
    }
  }
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
