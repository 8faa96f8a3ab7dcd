// The family's wishes in the judge: the lines each adds, their points and
// order, the names they leave out, and the bank's names a kept character
// reaches beyond the baby's share.
#include <gtest/gtest.h>

#include <algorithm>
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

using W = FamilyWishes;

TEST(WishReading, TheLinesOfEachWishWithTheirPoints) {
  const auto shared = SealStores(LoadStores(ExecutableDir()));
  const DataStores& data = *shared;
  using Lines = std::vector<advice::Reason>;
  const W brother{.sibling = "子涵"};
  const W sister{.sibling = "欣怡", .siblingSex = Sex::kFemale};
  const W ruoqing{.sibling = "若晴", .siblingSex = Sex::kFemale};
  const struct {
    const char* name;
    W wishes;
    bool out;
    Lines lines;
  } cases[] = {
      {"张睿哲", {.theme = "聪慧"}, false, {{30, "心愿 聪慧：睿哲"}}},  // a word of the theme
      {"张慧琳", {.theme = "聪慧"}, false, {{20, "心愿 聪慧：慧"}}},
      {"张林森", {.theme = "聪慧"}, false, {{0, "心愿 聪慧：没有合的字"}}},
      {"张林森", {.theme = "发财"}, false, {}},  // no such theme
      {"张厚德", {.kept = {{"德", 2}}}, false, {{0, "辈分字“德”在第二字"}}},
      {"张德厚", {.kept = {{"德", 2}}}, true, {{0, "辈分字“德”不在第二字"}}},
      {"张明", {.kept = {{"德", 2}}}, true, {{0, "辈分字“德”不在第二字"}}},  // one given character
      {"张建华", {.avoided = "建"}, true, {{0, "避讳 建：名中有“建”"}}},
      {"张健行", {.avoided = "建"}, false, {}},
      {"张健行", {.avoided = "建", .avoidSounds = true}, true, {{0, "避讳 建：“健”与“建”同音"}}},
      // The sibling's name typed with the surname reads without it.
      {"张梓涵", {.sibling = "张子涵"}, false, {{-30, "与哥哥 子涵 同音"}}},
      {"张子涵", brother, false, {{-30, "与哥哥 子涵 同名"}}},
      {"张子轩", brother, false, {{-12, "与哥哥 子涵 第一字同为“子”（要这样取，请把它填作辈分字）"}}},
      {"张子轩",
       {.kept = {{"子", 1}}, .sibling = "子涵"},
       false,
       {{0, "辈分字“子”在第一字"}, {0, "与哥哥 子涵 第一字同用辈分字“子”"}}},
      {"张涵宇", brother, false, {{-6, "与哥哥 子涵 都有“涵”字，叫起来容易混"}}},
      {"张梓轩", brother, false, {{-6, "与哥哥 子涵 第一字同音（子 梓）"}}},
      // What the two names share, once: the radical before a theme.
      {"张泽宇", brother, false, {{4, "与哥哥 子涵 同部首 氵（涵 泽）"}}},
      {"张思远", sister, false, {}},  // 思 心 is not 怡 忄
      {"张悦然", sister, false, {{4, "与姐姐 欣怡 同部首 忄（怡 悦）"}}},
      {"张嘉乐", sister, false, {{4, "与姐姐 欣怡 同属“安康”（怡 乐）"}}},
      // The build: both 叠字, or the same structures place by place, after
      // a radical and before a theme; none when a character is shared, none
      // for 左右 at both places, and the same sound still costs its -30.
      {"张思琪", ruoqing, false, {{4, "与姐姐 若晴 字形结构相同（上下、左右）"}}},
      {"张芸晖", ruoqing, false, {{4, "与姐姐 若晴 同部首 艹（若 芸）"}}},
      {"张若琪", ruoqing, false, {{-12, "与姐姐 若晴 第一字同为“若”（要这样取，请把它填作辈分字）"}}},
      {"张箬情", ruoqing, false, {{-30, "与姐姐 若晴 同音"}}},
      {"张晓琳", sister, false, {}},
      {"张悠悠", {.sibling = "萌萌", .siblingSex = Sex::kFemale}, false, {{4, "与姐姐 萌萌 同为叠字"}}},
      {"张思远", {.sibling = "萌萌", .siblingSex = Sex::kFemale}, false, {}},
      // One line of the classics both names stand in.
      {"张行简", {.sibling = "居敬"}, false, {{4, "与哥哥 居敬 同出一句“居敬而行简”"}}},
      {"张居敬", {.sibling = "行简"}, false, {{4, "与哥哥 行简 同出一句“居敬而行简”"}}},
      // Every wish at once: kept, avoided, the theme, the sibling, in that order.
      {"张德润",
       {.theme = "温润", .kept = {{"德", 1}}, .avoided = "国", .sibling = "子涵"},
       false,
       {{0, "辈分字“德”在第一字"}, {20, "心愿 温润：润"}, {4, "与哥哥 子涵 同部首 氵（涵 润）"}}},
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
  NamingSession session;
  session.surname = "李";
  session.chart.pillars = kBoy;
  session.birthYear = 2027;
  // The best names' given names with the wishes, and how many held 德 second.
  const auto best = [&](const FamilyWishes& wishes, std::size_t& withDe) {
    session.wishes = wishes;
    BestNames names(shared->advice.get());
    names.FollowRun(session, *shared->services);
    names.AddProposals(session, *shared->services);
    const std::vector<std::size_t> chosen = names.Best(1000);
    withDe = std::count_if(chosen.begin(), chosen.end(),
                           [&](std::size_t i) { return names.CandidateAt(i).Given().substr(2) == "德"; });
    return chosen.size();
  };
  std::size_t inShare = 0, reached = 0;
  best({}, inShare);
  const std::size_t shown = best({.kept = {{"德", 2}}}, reached);
  EXPECT_EQ(reached, shown);    // every other name is left out
  EXPECT_GT(reached, inShare);  // more than the baby's share holds
}

}  // namespace
}  // namespace tavrin
