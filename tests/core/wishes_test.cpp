// The family's wishes in the judge: the lines each adds, their points and
// order, the names they leave out, and the bank's names a kept character
// reaches beyond the baby's share.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "chars/gbk.h"
#include "core/best_names.h"
#include "core/judgement.h"
#include "core/naming_model.h"
#include "core/startup.h"
#include "core/wishes.h"

namespace tavrin {
namespace {

const BirthPillars kBoy{"乙巳", "戊寅", "辛未", "乙未"};

FamilyWishes Theme(const char* theme) {
  FamilyWishes w;
  w.theme = theme;
  return w;
}
FamilyWishes Keep(const char* ch, int place) {
  FamilyWishes w;
  w.kept.push_back({ch, place});
  return w;
}
FamilyWishes Avoid(const char* chars, bool sounds) {
  FamilyWishes w;
  w.avoided = chars;
  w.avoidSounds = sounds;
  return w;
}
FamilyWishes Sibling(const char* name, Sex sex, FamilyWishes w = {}) {
  w.sibling = name;
  w.siblingSex = sex;
  return w;
}

TEST(WishReading, TheLinesOfEachWishWithTheirPoints) {
  const auto shared = SealStores(LoadStores(ExecutableDir()));
  const DataStores& data = *shared;
  using Lines = std::vector<advice::Reason>;
  const struct {
    const char* name;
    FamilyWishes wishes;
    bool out;
    Lines lines;
  } cases[] = {
      {"张睿哲", Theme("聪慧"), false, {{18, "心愿 聪慧：睿哲"}}},  // a word of the theme
      {"张慧琳", Theme("聪慧"), false, {{12, "心愿 聪慧：慧"}}},
      {"张林森", Theme("聪慧"), false, {{0, "心愿 聪慧：没有合的字"}}},
      {"张林森", Theme("发财"), false, {}},  // no such theme
      {"张厚德", Keep("德", 2), false, {{0, "辈分字“德”在第二字"}}},
      {"张德厚", Keep("德", 2), true, {{0, "辈分字“德”不在第二字"}}},
      {"张明", Keep("德", 2), true, {{0, "辈分字“德”不在第二字"}}},  // one given character
      {"张建华", Avoid("建", false), true, {{0, "避讳 建：名中有“建”"}}},
      {"张健行", Avoid("建", false), false, {}},
      {"张健行", Avoid("建", true), true, {{0, "避讳 建：“健”与“建”同音"}}},
      // The sibling's name typed with the surname reads without it.
      {"张梓涵", Sibling("张子涵", Sex::kMale), false, {{-30, "与哥哥 子涵 同音"}}},
      {"张子涵", Sibling("子涵", Sex::kMale), false, {{-30, "与哥哥 子涵 同名"}}},
      {"张子轩", Sibling("子涵", Sex::kMale), false,
       {{-12, "与哥哥 子涵 第一字同为“子”（要这样取，请把它填作辈分字）"}}},
      {"张子轩", Sibling("子涵", Sex::kMale, Keep("子", 1)), false,
       {{0, "辈分字“子”在第一字"}, {0, "与哥哥 子涵 第一字同用辈分字“子”"}}},
      {"张涵宇", Sibling("子涵", Sex::kMale), false, {{-6, "与哥哥 子涵 都有“涵”字，叫起来容易混"}}},
      {"张梓轩", Sibling("子涵", Sex::kMale), false, {{-6, "与哥哥 子涵 第一字同音（子 梓）"}}},
      // What the two names share, once: the radical before a theme.
      {"张泽宇", Sibling("子涵", Sex::kMale), false, {{4, "与哥哥 子涵 同部首 氵（涵 泽）"}}},
      {"张思远", Sibling("欣怡", Sex::kFemale), false, {}},  // 思 心 is not 怡 忄
      {"张悦然", Sibling("欣怡", Sex::kFemale), false, {{4, "与姐姐 欣怡 同部首 忄（怡 悦）"}}},
      {"张嘉乐", Sibling("欣怡", Sex::kFemale), false, {{4, "与姐姐 欣怡 同属“安康”（怡 乐）"}}},
      // Every wish at once: kept, avoided, the theme, the sibling, in that order.
      {"张德润", Sibling("子涵", Sex::kMale, [] {
         FamilyWishes w = Keep("德", 1);
         w.theme = "温润";
         w.avoided = "国";
         return w;
       }()),
       false, {{0, "辈分字“德”在第一字"}, {12, "心愿 温润：润"}, {4, "与哥哥 子涵 同部首 氵（涵 润）"}}},
  };
  const NamingServices& services = *data.services;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const advice::Advice own = data.advice->Advise(c.name, 1, Sex::kMale, nullptr);
    const NameJudge plain(services, ReadNeeds(kBoy, ElementWish::kChart, {}));
    NameJudge judge = plain;
    judge.SetWishes(WishReading(c.wishes, "张", *data.advice));
    const NameJudge::ChildLines lines = judge.Lines(own);
    EXPECT_EQ(lines.wishedOut, c.out);
    ASSERT_EQ(lines.wishes.size(), c.lines.size());
    int points = 0;
    for (std::size_t i = 0; i < c.lines.size(); ++i) {
      EXPECT_EQ(lines.wishes[i].points, c.lines[i].points);
      EXPECT_EQ(lines.wishes[i].text, c.lines[i].text);
      points += c.lines[i].points;
    }
    // The wishes come after the chart's lines and weigh in the one 推荐度.
    const advice::Advice before = plain.Judge(own);
    const advice::Advice after = NameJudge::Apply(own, lines);
    EXPECT_EQ(after.wishedOut, c.out);
    EXPECT_EQ(after.unclamped, before.unclamped + points);
    ASSERT_EQ(after.reasons.size(), before.reasons.size() + c.lines.size());
    if (!c.lines.empty()) {
      EXPECT_EQ(after.reasons.back().text, c.lines.back().text);
    }
  }
}

// A kept character reaches the bank's names that hold it at its place, also
// those outside the baby's share; every other name is left out of the list.
TEST(WishReading, AKeptCharacterReachesTheBankAndLeavesTheRestOut) {
  const auto shared = SealStores(LoadStores(ExecutableDir()));
  const DataStores& data = *shared;
  NamingRunState state;
  NamingSession& session = state.session;
  session.surname = "李";
  session.chart.pillars = kBoy;
  session.birthYear = 2027;
  session.birthMonth = 3;
  session.birthDay = 9;
  session.birthHour = BirthHour::At(8);
  const auto best = [&](const FamilyWishes& wishes, std::size_t& bank) {
    session.wishes = wishes;
    BestNames names(data.advice.get());
    names.FollowRun(session, *data.services);
    names.AddProposals(session, *data.services);
    bank = names.Size();
    std::vector<std::string> given;
    for (const std::size_t i : names.Best(1000)) given.emplace_back(names.CandidateAt(i).Given());
    return given;
  };
  std::size_t withoutWish = 0;
  std::size_t withWish = 0;
  const std::vector<std::string> plain = best({}, withoutWish);
  const std::vector<std::string> kept = best(Keep("德", 2), withWish);
  std::size_t plainWithDe = 0;
  for (const std::string& g : plain) plainWithDe += g.substr(2) == "德";
  ASSERT_FALSE(kept.empty());
  for (const std::string& g : kept) EXPECT_EQ(g.substr(2), "德") << g;
  // More of them than the share alone offers.
  EXPECT_GT(kept.size(), plainWithDe);
  EXPECT_GT(withWish, withoutWish);
}

TEST(WishReading, TheSentenceOfTheWishes) {
  FamilyWishes wishes = Sibling("子涵", Sex::kFemale, Avoid("建国", true));
  wishes.theme = "聪慧";
  wishes.kept.push_back({"德", 2});
  EXPECT_EQ(WishesSentence(wishes), "家人心愿：聪慧；辈分字“德”在第二字；避讳 建 国（同音字也避开）；姐姐 子涵");
  EXPECT_EQ(WishesSentence({}), "");
}

}  // namespace
}  // namespace tavrin
