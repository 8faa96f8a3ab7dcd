// What a baby needs of a name and how a name is judged for the baby: the
// sentence every page shows, the points of the child's lines, and the list
// of best names that pools one baby's runs and no other's.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/best_names.h"
#include "core/child.h"
#include "core/judgement.h"
#include "core/naming_model.h"
#include "core/report.h"
#include "core/startup.h"

namespace tavrin {
namespace {

const BirthPillars kGirl{"丙午", "辛丑", "丁未", "癸卯"};  // 丁 weak: 喜木、火
const BirthPillars kBoy{"乙巳", "戊寅", "辛未", "乙未"};   // 辛 weak: 喜土、金, yet 缺水 by the count

TEST(ChildNeeds, OneSentenceAndTheTwoReadings) {
  const struct {
    BirthPillars pillars;
    ElementWish wish;
    std::vector<Element> chosen;
    const char* sentence;
    const char* readingsEnd;  // how ReadingsLine ends
  } cases[] = {
      {kGirl,
       ElementWish::kChart,
       {},
       "宝宝八字 丙午 辛丑 丁未 癸卯：日主丁火偏弱，喜木、火（名字宜用五行属木、火的字），忌土、金、水",
       "五行不缺，火多、土多；看日主强弱（起名书多用），喜木、火。名单按日主强弱排列。"},
      {kGirl,
       ElementWish::kChosen,
       {Element::kMetal},
       "宝宝八字 丙午 辛丑 丁未 癸卯：日主丁火偏弱，本应喜木、火；按您的选择，名字宜用五行属金的字",
       "名单按您选的五行（金）排列。"},
      {kGirl,
       ElementWish::kChosen,
       {},  // nothing chosen: the chart's own
       "宝宝八字 丙午 辛丑 丁未 癸卯：日主丁火偏弱，喜木、火（名字宜用五行属木、火的字），忌土、金、水",
       "名单按日主强弱排列。"},
      {kGirl,
       ElementWish::kIgnore,
       {},
       "宝宝八字 丙午 辛丑 丁未 癸卯：日主丁火偏弱，喜木、火；按您的选择不看五行，名字不按五行排列",
       "名单不看五行。"},
      {kBoy,
       ElementWish::kChart,
       {},
       "宝宝八字 乙巳 戊寅 辛未 乙未：日主辛金偏弱，喜土、金（名字宜用五行属土、金的字），忌水、木、火",
       "缺水，木多、土多；看日主强弱（起名书多用），喜土、金。缺的水按日主强弱反而不宜多用。名单按日主强弱排列。"},
      {{"丙午", "乙未", "壬午", ""},
       ElementWish::kChart,
       {},
       "宝宝八字 丙午 乙未 壬午（时辰不详）：日主壬水偏弱，喜金、水（名字宜用五行属金、水的字），忌木、火、土",
       "缺金，火多；看日主强弱（起名书多用），喜金、水。名单按日主强弱排列。"},
      {{}, ElementWish::kChart, {}, "", ""},  // no chart: nothing to say
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.sentence);
    const ChildNeeds needs = ReadNeeds(c.pillars, c.wish, c.chosen);
    EXPECT_EQ(NeedsSentence(needs), c.sentence);
    const std::string line = ReadingsLine(needs);
    const std::string end = c.readingsEnd;
    ASSERT_GE(line.size(), end.size());
    EXPECT_EQ(line.substr(line.size() - end.size()), end);
    EXPECT_EQ(needs.reading.has_value(), c.pillars.day.size() > 0 && c.wish != ElementWish::kIgnore);
  }
  // Without the hour: whether the twelve double hours agree with three pillars.
  EXPECT_EQ(UnknownHourLine(ReadNeeds({"丙午", "乙未", "壬午", ""}, ElementWish::kChart, {})),
            "时辰不详：只按年、月、日三柱看，喜金、水；十二个时辰无论哪个，喜用神都一样");
  EXPECT_EQ(UnknownHourLine(ReadNeeds({"乙巳", "甲申", "甲戌", ""}, ElementWish::kChart, {})),
            "时辰不详：只按年、月、日三柱看，喜水、木；十二个时辰中有10个也是这样，其余的喜火、土、金；"
            "知道时辰后再生成一次更准");
  EXPECT_EQ(UnknownHourLine(ReadNeeds(kGirl, ElementWish::kChart, {})), "");  // the hour is known
}

// The child's lines with the weights of docs/advice.md: a swap of two
// weights, or a line that stops applying, changes a row.
TEST(NameJudge, TheChildsLinesAndTheirPoints) {
  const auto shared = SealStores(LoadStores(ExecutableDir()));
  const DataStores& data = *shared;
  const NamingServices& services = *data.services;
  const struct {
    const char* name;
    ElementWish wish;
    std::vector<Element> chosen;
    advice::ElementFit fit;
    int elementPoints;     // of the line on the fit; 0 also when there is none
    int numerologyPoints;  // of the lines of the naming books' numerology
  } cases[] = {
      {"曾林森", ElementWish::kChart, {}, advice::ElementFit::kAll, 12, -8},   // 木木; 人格20 地格20
      {"曾林波", ElementWish::kChart, {}, advice::ElementFit::kSome, 0, -4},   // 木水; 人格20
      {"曾悦书", ElementWish::kChart, {}, advice::ElementFit::kNone, -42, 0},  // 金金
      {"曾明", ElementWish::kChart, {}, advice::ElementFit::kAll, 12, -12},    // one character, 火; 人 地 总
      {"曾遇安", ElementWish::kChart, {}, advice::ElementFit::kSome, 0, -18},  // 人格28 地格22 总格34, 三才大凶
      {"曾悦书", ElementWish::kChosen, {Element::kMetal}, advice::ElementFit::kAll, 12, 0},
      {"曾林森", ElementWish::kIgnore, {}, advice::ElementFit::kUnjudged, 0, -8},  // the numerology still counts
      {"曾遇安", ElementWish::kIgnore, {}, advice::ElementFit::kUnjudged, 0, -18},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    advice::Advice own = data.advice->Advise(c.name, 1, Sex::kFemale, nullptr);
    const std::size_t ownReasons = own.reasons.size();
    const int ownRecommend = own.recommend;
    const advice::Advice judged = NameJudge(services, ReadNeeds(kGirl, c.wish, c.chosen)).Judge(own);
    int element = 0;
    int numerology = 0;
    for (std::size_t i = ownReasons; i < judged.reasons.size(); ++i) {
      const advice::Reason& r = judged.reasons[i];
      (r.text.find("通行算法") == 0 ? numerology : element) += r.points;
    }
    EXPECT_EQ(judged.fit, c.fit);
    EXPECT_EQ(element, c.elementPoints);
    EXPECT_EQ(numerology, c.numerologyPoints);
    if (ownRecommend > 20 && ownRecommend < 80) {
      EXPECT_EQ(judged.recommend, ownRecommend + element + numerology);
    }
  }
  // Without a chart, a name is judged by its own advice alone.
  const advice::Advice own = data.advice->Advise("曾悦书", 1, Sex::kFemale, nullptr);
  const advice::Advice unjudged = NameJudge(services, ReadNeeds({}, ElementWish::kChart, {})).Judge(own);
  EXPECT_EQ(unjudged.fit, advice::ElementFit::kUnjudged);
}

// One baby's runs are pooled; another baby starts the list again, and a
// name an earlier baby's run left in a pane stays out.
TEST(BestNamesFollowChild, OneBabysNamesOnly) {
  const auto shared = SealStores(LoadStores(ExecutableDir()));
  const DataStores& data = *shared;
  BestNames names(data.advice.get());
  NamingRunState state;
  NamingSession& session = state.session;
  const auto run = [&](const char* surname, bool female, int day, std::vector<const char*> shown) {
    session.surname = surname;
    session.chart.pillars = female ? kGirl : kBoy;
    session.female = female;
    session.birthYear = 2027;
    session.birthMonth = 1;
    session.birthDay = day;
    session.birthHour = BirthHour::At(6);
    session.acceptedBeforeRun = session.accepted;
    for (const char* name : shown) {
      ReportRow row;
      row.candidate.fullName = name;
      row.candidate.surnameBytes = std::string(surname).size();
      row.candidate.acceptance = ++session.accepted;
      state.report.Append(row);
    }
    names.FollowRun(session, *data.services);
    names.AddRuns(state, SexOf(female));
  };
  const auto list = [&] {
    std::vector<std::string> shown;
    for (std::size_t i = 0; i < names.Size(); ++i) shown.push_back(names.CandidateAt(i).fullName);
    return shown;
  };
  run("曾", true, 28, {"曾悦书", "曾林森"});
  run("曾", true, 28, {"曾映棠"});  // the same baby again: pooled
  EXPECT_EQ(list(), (std::vector<std::string>{"曾悦书", "曾林森", "曾映棠"}));
  const int before = names.AdviceAt(0).recommend;

  session.wish = ElementWish::kChosen;  // the family's own elements: judged again
  session.chosenElements = {Element::kMetal};
  names.FollowRun(session, *data.services);
  EXPECT_EQ(names.Size(), 3u);
  EXPECT_EQ(names.AdviceAt(0).recommend, std::min(before + 54, 100));  // 悦书: from -42 to +12

  session.wish = ElementWish::kChart;
  run("魏", false, 3, {"魏景舟"});  // another baby
  EXPECT_EQ(list(), (std::vector<std::string>{"魏景舟"}));
  // An earlier baby's name shown again (a pane keeps it): left out, and so is
  // a name of another surname.
  Candidate left;
  left.fullName = "曾映棠";
  left.surnameBytes = 2;
  left.acceptance = 1;
  EXPECT_FALSE(names.Add(left, Sex::kMale));
  left.fullName = "魏映棠";
  EXPECT_FALSE(names.Add(left, Sex::kMale));  // accepted before this baby's run
  left.acceptance = 0;
  EXPECT_TRUE(names.Add(left, Sex::kMale));
  left.fullName = "欧阳明";
  left.surnameBytes = 4;
  EXPECT_FALSE(names.Add(left, Sex::kMale));
}

}  // namespace
}  // namespace tavrin
