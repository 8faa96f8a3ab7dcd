// The 精选 list weighs a name's classical source as `advise` does: the bonus
// of a line in the 诗经, the 楚辞 or the Four Books, whether the finder is
// asked as names are added or later, a few names at a time; the names the
// program proposes itself for a run.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "core/best_names.h"
#include "core/naming_model.h"
#include "core/report.h"
#include "core/startup.h"

namespace tavrin {
namespace {

TEST(BestNamesSource, BonusOfTheFirstThreeCollectionsNowOrLater) {
  // Tables without a character table or a name bank: the bonus is all that
  // raises a name above 60.
  const advice::AdviceTables tables = advice::AdviceTables::FromTexts({});
  const struct {
    std::string name;
    int rank;  // of the source's collection; -1: no line holds the name
    int bonus;
  } cases[] = {
      {"张子衿", 0, 6}, {"张若兰", 1, 6},  {"张明月", 2, 6},
      {"张欣怡", 3, 0}, {"张思远", -1, 0}, {"李子衿", -1, 0},  // reads as 张子衿 does; ranks below it despite its score
  };
  const advice::SourceFinder finder = [&](const std::string& name) -> std::optional<advice::ClassicalSource> {
    for (const auto& c : cases) {
      if (c.name == name && c.rank >= 0) return advice::ClassicalSource{c.rank, "集", "题", "行", "", true};
    }
    return std::nullopt;
  };
  const std::size_t n = std::size(cases);
  for (const bool deferred : {false, true}) {
    SCOPED_TRACE(deferred ? "deferred" : "at once");
    BestNames plain(&tables);
    BestNames sourced(&tables);
    sourced.SetSourceFinder(finder, deferred);
    for (const auto& c : cases) {
      Candidate candidate;
      candidate.fullName = c.name;
      candidate.surnameBytes = 2;
      candidate.score = c.name == "李子衿" ? 95 : 60;
      plain.Add(candidate, Sex::kFemale);
      sourced.Add(candidate, Sex::kFemale);
    }
    if (deferred) {
      EXPECT_EQ(sourced.AdviceAt(0).recommend, plain.AdviceAt(0).recommend);
      EXPECT_EQ(sourced.LookUpSources(4), 4u);
      EXPECT_EQ(sourced.LookUpSources(100), n - 4);
    }
    EXPECT_EQ(sourced.SourcesDone(), n);
    for (std::size_t i = 0; i < n; ++i) {
      ASSERT_LE(plain.AdviceAt(i).recommend, 95) << cases[i].name;
      EXPECT_EQ(sourced.AdviceAt(i).recommend - plain.AdviceAt(i).recommend, cases[i].bonus) << cases[i].name;
    }
    ASSERT_EQ(plain.AdviceAt(0).recommend, plain.AdviceAt(n - 1).recommend);
    EXPECT_TRUE(plain.RanksBefore(n - 1, 0));
    EXPECT_TRUE(sourced.RanksBefore(0, n - 1));
  }
}

// A compound surname's five grids read only its first character, so its
// names are ordered and filtered by their 通行评分 instead, when they have one.
TEST(BestNamesOrder, CompoundSurnamesRankByTheirConventionsScore) {
  const struct {
    std::string name;
    int surnameChars, score;
    std::optional<int> conventions;
  } cases[] = {
      {"欧阳明远", 2, -20, 60},
      {"张子衿", 1, 90, 50},
      {"欧阳月", 2, -20, std::nullopt},
      {"欧阳若衿", 2, -20, 80},
  };
  BestNames names(nullptr);  // no tables: every 推荐度 alike
  for (const auto& c : cases) {
    Candidate candidate;
    candidate.fullName = c.name;
    candidate.surnameBytes = static_cast<std::size_t>(2 * c.surnameChars);
    candidate.score = c.score;
    names.Add(candidate, Sex::kMale, c.conventions);
  }
  advice::Filter all;
  all.hideSerious = all.levelOneOnly = all.hideLevelThree = false;
  EXPECT_EQ(names.Best(4, all), (std::vector<std::size_t>{1, 3, 0, 2}));
  all.minScore = 70;
  EXPECT_EQ(names.Best(4, all), (std::vector<std::size_t>{1, 3}));
  EXPECT_EQ(names.ScoreAt(3), -20);  // the five-grid score itself is shown as it is
}

// A name taken in from a run state keeps the birth of that run, though a
// later run for another birth is taken in after it; a name added alone has none.
TEST(BestNamesOrder, NamesKeepTheBirthOfTheirRun) {
  NamingRunState state;
  BestNames names(nullptr);
  const auto run = [&](const char* name, int month, BirthHour hour) {
    state.session.birthYear = 2024;
    state.session.birthMonth = month;
    state.session.birthDay = 1;
    state.session.birthHour = hour;
    ReportRow row;
    row.candidate.fullName = name;
    row.candidate.surnameBytes = 2;
    state.report.Append(row);
    names.AddRuns(state, Sex::kMale);
  };
  run("张子衿", 3, BirthHour::At(9));
  run("张明远", 4, BirthHour::Unknown());
  Candidate alone;
  alone.fullName = "张若兰";
  alone.surnameBytes = 2;
  names.Add(alone, Sex::kMale);
  ASSERT_EQ(names.Size(), 3u);
  const auto birth = [&](std::size_t i) {
    const auto& b = names.BirthAt(i);
    return b ? std::tuple(b->year, b->month, b->day, b->hour) : std::tuple(0, 0, 0, BirthHour());
  };
  EXPECT_EQ(birth(0), std::tuple(2024, 3, 1, BirthHour::At(9)));
  EXPECT_EQ(birth(1), std::tuple(2024, 4, 1, BirthHour::Unknown()));
  EXPECT_FALSE(names.BirthAt(2));
}

// The names of the bank proposed for a run: those for the run's sex whose
// first character sounds apart from the surname, the groups read item by
// item whatever the run's rule (林 and 嘉 clash; 何 and 若 clash only
// byte-wise), each once per run, under the caption of where it comes from;
// nothing before the first run.
TEST(BestNamesProposals, BankNamesForTheRunsSexAndSound) {
  DataStores data = LoadStores(ExecutableDir());
  advice::AdviceTables::Texts texts;
  texts.curatedNames = "修远\tu\t长远\n若云\tf\t如云\n修齐\tm\t修身齐家\n嘉树\tu\t美好的树木\n";
  texts.classicalNames = "采薇\tf\t诗经\t采薇\t\t采薇采薇\n";
  data.advice = std::make_shared<const advice::AdviceTables>(advice::AdviceTables::FromTexts(texts));
  SettingsInputs inputs;
  NamingEnvironment environment;
  environment.inputs = &inputs;
  NamingModel model(SealStores(std::move(data)), 1, environment);
  BestNames names(model.Stores().advice.get());
  NamingSession session;  // of the last run
  session.surname = "林";
  EXPECT_EQ(names.AddProposals(session, model.Services()), 0u);  // no run yet
  session.birthYear = 2024;
  session.birthMonth = session.birthDay = 1;
  session.female = true;
  const auto shown = [&] {
    std::vector<std::string> list;
    for (std::size_t i = 0; i < names.Size(); ++i) {
      list.push_back(std::string(names.AdviceAt(i).sex == Sex::kFemale ? "F" : "M") + names.CandidateAt(i).fullName +
                     std::string(OriginCaption(names.CandidateAt(i).origin)));
    }
    return list;
  };
  EXPECT_EQ(names.AddProposals(session, model.Services()), 3u);
  EXPECT_EQ(names.AddProposals(session, model.Services()), 0u);  // the same run again
  session.female = false;
  EXPECT_EQ(names.AddProposals(session, model.Services()), 2u);
  session.surname = "林林";  // not a surname the advice knows: nothing
  EXPECT_EQ(names.AddProposals(session, model.Services()), 0u);
  session.surname = "何";
  session.female = true;
  EXPECT_EQ(names.AddProposals(session, model.Services()), 3u);  // 修 x and 何 h are apart item by item; 嘉 j too
  EXPECT_EQ(shown(), (std::vector<std::string>{"F林修远名库", "F林若云名库", "F林采薇典籍", "M林修远名库",
                                               "M林修齐名库", "F何修远名库", "F何若云名库", "F何嘉树名库"}));
  ASSERT_EQ(names.Size(), 8u);
  EXPECT_TRUE(names.CandidateAt(0).scored);
  EXPECT_TRUE(names.BirthAt(0));
}

TEST(BestNamesProposals, ALargeBankIsOfferedInAShareOfItsOwnToEachBaby) {
  // Names as a bank holds them: two characters of a few thousand.
  std::vector<std::string> bank;
  for (int a = 0; a < 150; ++a) {
    for (int b = 0; b < 100; ++b)
      bank.push_back({char(0xB0 + a % 40), char(0xA1 + a), char(0xC0 + b % 30), char(0xA1 + b)});
  }
  const auto offered = [&](std::uint64_t baby, std::size_t ofSex, BankShare share = {}) {
    std::vector<bool> is;
    for (std::size_t i = 0; i < ofSex; ++i) is.push_back(OfferedToBaby(baby, bank[i], ofSex, share));
    return is;
  };
  const std::vector<bool> small = offered(7, 550);
  EXPECT_EQ(std::count(small.begin(), small.end(), true), 550);  // a small bank whole
  const std::vector<bool> first = offered(7, bank.size()), again = offered(7, bank.size()),
                          other = offered(8, bank.size());
  EXPECT_EQ(first, again);
  const auto count = std::count(first.begin(), first.end(), true);
  EXPECT_GT(count, 470);
  EXPECT_LT(count, 630);
  // Three in four of the share for both sexes; twice as much for a name one
  // reader shortlists (the whole share for both sexes), half as much again
  // for one both do (three in four for both sexes); a small bank is whole
  // either way.
  for (const auto& [share, low, high] :
       {std::tuple{BankShare{true, 0}, 340, 480}, std::tuple{BankShare{false, 1}, 1000, 1200},
        std::tuple{BankShare{false, 2}, 740, 910}, std::tuple{BankShare{true, 1}, 470, 630},
        std::tuple{BankShare{true, 2}, 340, 480}}) {
    const std::vector<bool> is = offered(7, bank.size(), share);
    const auto countOf = std::count(is.begin(), is.end(), true);
    EXPECT_GT(countOf, low);
    EXPECT_LT(countOf, high);
    EXPECT_EQ(offered(7, 550, share), small);
  }
  std::size_t both = 0;
  for (std::size_t i = 0; i < bank.size(); ++i) both += first[i] && other[i];
  EXPECT_LT(both, 100u);  // about a twenty-third of each share, as chance gives
}

// A generator's name that the bank holds too enters 精选 only for the babies
// the bank offers it to; a poem's name, and one the bank does not hold,
// always.
TEST(BestNamesProposals, ARunsBankNamesKeepToTheBabysShare) {
  std::string bankText;
  std::vector<std::string> given;
  for (int a = 0; a < 40; ++a) {
    for (int b = 0; b < 50; ++b) {
      given.push_back({char(0xB0 + a), char(0xA1 + b), char(0xC0 + b % 30), char(0xA1 + a)});
      bankText += given.back() + "\tm\t名库里的名字\n";
    }
  }
  advice::AdviceTables::Texts texts;
  texts.curatedNames = bankText;
  const advice::AdviceTables tables = advice::AdviceTables::FromTexts(texts);
  const struct {
    Origin origin;
    bool outsideBank;
    Sex sex;                  // the bank holds its names for boys
    std::size_t least, most;  // of the 2,000 names
  } cases[] = {
      {Origin::kRecommendedTwo, false, Sex::kMale, 470, 630},
      {Origin::kRecommendedTwo, false, Sex::kFemale, 470, 630},
      {Origin::kPoetry, false, Sex::kMale, 2000, 2000},
      {Origin::kRecommendedTwo, true, Sex::kMale, 2000, 2000},
  };
  for (const auto& c : cases) {
    BestNames names(&tables);
    Child child;
    child.surname = "张";
    child.sex = c.sex;
    child.year = 2026;
    child.month = child.day = 1;
    names.FollowChild(child, NameJudge(), 0);
    for (const std::string& g : given) {
      Candidate candidate;
      candidate.fullName = "张" + (c.outsideBank ? std::string({g[2], g[3], g[0], g[1]}) : g);
      candidate.surnameBytes = 2;
      candidate.origin = c.origin;
      names.Add(candidate, c.sex);
    }
    EXPECT_GE(names.Size(), c.least) << static_cast<int>(c.origin);
    EXPECT_LE(names.Size(), c.most) << static_cast<int>(c.origin);
  }
}

}  // namespace
}  // namespace tavrin
