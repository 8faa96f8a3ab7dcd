#include "core/naming_model.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "chars/gbk.h"
#include "core/empty_pages.h"

namespace tavrin {

// The way into a model's state for a case no run reaches.
class NamingModelAccess {
 public:
  static PaneLine& PendingLine(NamingModel& model) { return model.state_.session.pendingLine; }
  static NamingSession& Session(NamingModel& model) { return model.state_.session; }
};

namespace {

TEST(RandomSource, IsSplitMix64WithOneValuePerDraw) {
  RandomSource zero(0);
  EXPECT_EQ(zero.Next(), 0xE220A8397B1DCDAFULL);
  EXPECT_EQ(zero.Next(), 0x6E789E6AA1B965F4ULL);
  EXPECT_EQ(zero.Next(), 0x06C45D188009454FULL);
  // A draw below 0 still takes its value from the stream.
  RandomSource draws(12345);
  EXPECT_EQ(draws.Below(10), 1u);
  EXPECT_EQ(draws.Below(0), 0u);
  EXPECT_EQ(draws.Below(1000), 119u);
  EXPECT_EQ(draws.Below(7), 1u);
  EXPECT_EQ(draws.Seed(), 12345u);
}

TEST(Pane, DisplayedRowsOfALine) {
  const struct {
    std::size_t bytes;
    std::size_t trailingBlanks;
    std::size_t rows;
  } cases[] = {
      {0, 0, 1}, {3, 3, 1}, {104, 3, 1}, {105, 0, 1}, {106, 0, 2}, {110, 0, 2}, {210, 0, 2}, {211, 0, 3}, {108, 3, 1},
  };
  for (const auto& c : cases) {
    const std::string line = std::string(c.bytes - c.trailingBlanks, 'x') + std::string(c.trailingBlanks, ' ');
    EXPECT_EQ(DisplayedRows(line), c.rows) << c.bytes << " bytes, " << c.trailingBlanks << " blanks";
  }
}

TEST(Pane, TextRowsClearAndListener) {
  Pane pane("Memo2");
  std::vector<Pane::Change> changes;
  pane.SetListener([&](const Pane& p, Pane::Change change) {
    changes.push_back(change);
    EXPECT_EQ(&p, &pane);
  });
  pane.Append("张伟(85)   ");
  pane.Append(std::string(110, 'a'));
  EXPECT_EQ(pane.Text(), "张伟(85)   \r\n" + std::string(110, 'a') + "\r\n");
  EXPECT_EQ(pane.Rows(), 3u);
  EXPECT_TRUE(pane.Contains("(85)   \r\naaa"));  // the whole text, line ends included
  pane.Clear();
  EXPECT_EQ(pane.Text(), "");
  EXPECT_EQ(pane.Rows(), 0u);
  EXPECT_EQ(changes,
            (std::vector<Pane::Change>{Pane::Change::kAppended, Pane::Change::kAppended, Pane::Change::kCleared}));
}

// The indexed summary pane must answer exactly as a byte-wise search does,
// for needles it covers (ending at ")") and for those it does not.
TEST(Pane, IndexedSearchAgreesWithTheByteSearch) {
  std::mt19937 random(5);
  const std::string alphabet[] = {"张", "伟", "明", "(", ")", "8", "5", "1", "   ", "a", "\xD5"};
  auto text = [&](std::size_t parts) {
    std::string t;
    for (std::size_t i = 0; i < parts; ++i) t += alphabet[random() % std::size(alphabet)];
    return t;
  };
  for (int round = 0; round < 20; ++round) {
    Pane indexed("Memo1", true);
    Pane plain("Plain");
    for (int line = 0; line < 30; ++line) {
      const std::string written = text(random() % 20);
      indexed.Append(written);
      plain.Append(written);
    }
    for (int probe = 0; probe < 400; ++probe) {
      std::string needle = text(1 + random() % 8);
      if (probe % 2 == 0) needle += ")";
      if (probe % 7 == 0) needle = plain.Text().substr(random() % plain.Text().size(), 1 + random() % 12);
      ASSERT_EQ(indexed.Contains(needle), plain.Contains(needle)) << needle;
    }
    indexed.Clear();
    EXPECT_FALSE(indexed.Contains(")"));
  }
}

class QuietPump final : public MessagePump {
 public:
  void Pump() override { ++calls; }
  int calls = 0;
};

struct Model {
  Model() {
    NamingEnvironment environment;
    environment.inputs = &inputs;
    environment.pump = &pump;
    model = std::make_unique<NamingModel>(StartUp(ExecutableDir()), 1, environment);
  }
  SettingsInputs inputs;
  QuietPump pump;
  std::unique_ptr<NamingModel> model;
};

// Names of 2 characters with 2-digit scores take 11 bytes with their
// separator: the eighth name above 70 makes the pending line 88 bytes long
// and writes it, with one report row for that name, which is then hidden.
TEST(AcceptCandidate, SummaryLinesAndReportRows) {
  Model m;
  NamingModel& model = *m.model;
  model.SetBirthElements("金木金水金金土土");
  const struct {
    const char* given;
    int score;  // given by the step, whatever the name would score
    bool shown;
    std::size_t summaryLines;
  } steps[] = {
      {"一", 71, true, 0},
      {"二", 70, true, 0},
      {"三", 85, true, 0},
      {"四", 90, true, 0},
      {"五", 90, true, 0},
      {"六", 90, true, 0},
      {"七", 90, true, 0},
      {"一", 71, true, 0},   // waiting in the pending line does not count as
                             // shown: 77 bytes
      {"八", -5, true, 0},   // at or below 70: returned, never collected
      {"九", 99, false, 1},  // 88 bytes: written; this name completed the line
      {"三", 85, false, 1},  // now in the summary pane (and collected again)
      {"三", 86, true, 1},   // the same name with another score is another text
  };
  std::uint64_t order = 0;
  for (const auto& step : steps) {
    Candidate candidate = model.MakeCandidate("张", step.given, Origin::kTwoChar, model.Session().chart.birthElements);
    candidate.score = step.score;
    EXPECT_EQ(model.AcceptCandidate(candidate), step.shown) << step.given << step.score;
    EXPECT_EQ(candidate.acceptance, ++order);
    EXPECT_EQ(model.PaneOf(Origin::kSettings).Lines().size(), step.summaryLines) << step.given << step.score;
  }
  EXPECT_EQ(m.pump.calls, static_cast<int>(std::size(steps)));
  ASSERT_EQ(model.PaneOf(Origin::kSettings).Lines().size(), 1u);
  EXPECT_EQ(model.PaneOf(Origin::kSettings).Lines()[0].size(), 88u);
  EXPECT_EQ(model.PaneOf(Origin::kSettings).Lines()[0].substr(0, 11), "张一(71)   ");
  EXPECT_EQ(model.Session().pendingLine.Text(), "张三(85)   张三(86)   ");
  // The summary line knows its candidates by their places.
  const Candidate* ninth = model.PaneOf(Origin::kSettings).CandidateAt(0, 80);
  ASSERT_NE(ninth, nullptr);
  EXPECT_EQ(ninth->fullName, "张九");
  EXPECT_EQ(ninth->acceptance, 10u);
  ASSERT_EQ(model.Report().Rows().size(), 1u);
  const ReportRow& row = model.Report().Rows()[0];
  EXPECT_EQ(row.Cell(ReportRow::kName), "张九");
  EXPECT_EQ(row.Cell(ReportRow::kScore), "99");
  EXPECT_EQ(row.Cell(ReportRow::kBirthElements), "金木金水金金土土");
  EXPECT_EQ(row.Cell(ReportRow::kCombined), row.birthElements + row.Cell(ReportRow::kNameElements));
  EXPECT_EQ(row.Cell(ReportRow::kNameElements), model.Services().elements.NameElements("张九"));
  EXPECT_EQ(row.Cell(ReportRow::kGrids), model.Services().scorer.ScoreName("张九", row.birthElements));
}

TEST(AcceptCandidate, PendingLineOfExactlyEightyBytesWaits) {
  Model m;
  NamingModel& model = *m.model;
  NamingModelAccess::PendingLine(model).AddText(std::string(69, 'x'));  // + "张伟(85)" and three blanks = 80
  Candidate first = model.MakeCandidate("张", "伟", Origin::kTwoChar, model.Session().chart.birthElements);
  first.score = 85;
  model.AcceptCandidate(first);
  EXPECT_EQ(model.Session().pendingLine.Size(), 80u);
  EXPECT_TRUE(model.PaneOf(Origin::kSettings).Lines().empty());
  Candidate second = model.MakeCandidate("张", "明", Origin::kTwoChar, model.Session().chart.birthElements);
  second.score = 71;
  model.AcceptCandidate(second);
  ASSERT_EQ(model.PaneOf(Origin::kSettings).Lines().size(), 1u);
  EXPECT_EQ(model.PaneOf(Origin::kSettings).Lines()[0].size(), 91u);
}

TEST(NamingModel, GirlCharTest) {
  Model m;
  const struct {
    const char* text;
    bool girlish;
  } cases[] = {
      {"", true},
      {"张", true},
      {"张(85)", true},
      {"张雅明(85)", true},
      {"张伟明(85)", false},
      {"张慧明(85)", true},
      {"竹明", false /* the surname position is never tested */},
      {"张明艳", true},
      {"张明(90)艳", false /* after "(" nothing counts */},
      {"张a", false},
  };
  for (const auto& c : cases) EXPECT_EQ(m.model->GirlCharTest(c.text), c.girlish) << c.text;
}

// Why a generator's page of the last run is empty, and what the report's
// reason adds, for the session the run left.
TEST(EmptyPages, WhyAPageOrTheReportHoldsNothing) {
  Model m;
  const struct {
    bool afterRun, stopped, female;
    const char* surname;
    const char* birthElements;
    Origin page;
    EmptyPane why;
    EmptyReport report;
  } cases[] = {
      {false, false, false, "张", "金木金水金金土土", Origin::kTwoChar, EmptyPane::kBeforeRun, {false, false}},
      {true, true, false, "张", "金木金水金金土土", Origin::kRecommended, EmptyPane::kStopped, {false, false}},
      {true, false, false, "张", "金木金水金金", Origin::kTwoChar, EmptyPane::kSoundsAvoided, {true, false}},
      // A boy's compound surname whose second character girls' names use:
      // 系统推荐名 leaves every name out, the other pages do not.
      {true,
       false,
       false,
       "欧娟",
       "金木金水金金土土",
       Origin::kRecommended,
       EmptyPane::kGirlCharOfSurname,
       {false, true}},
      {true,
       false,
       false,
       "欧娟",
       "金木金水金金土土",
       Origin::kRecommendedTwo,
       EmptyPane::kSoundsAvoided,
       {false, true}},
      {true, false, true, "欧娟", "金木金水金金", Origin::kRecommended, EmptyPane::kSoundsAvoided, {true, true}},
      {true, false, false, "司马", "金木金水金金土土", Origin::kRecommended, EmptyPane::kSoundsAvoided, {false, true}},
  };
  for (const auto& c : cases) {
    NamingSession& session = NamingModelAccess::Session(*m.model);
    session.stopRequested = c.stopped;
    session.female = c.female;
    session.surname = c.surname;
    session.chart.birthElements = c.birthElements;
    const std::string label = std::string(c.surname) + " " + std::to_string(static_cast<int>(c.page));
    EXPECT_EQ(WhyPaneEmpty(*m.model, c.page, c.afterRun), c.why) << label;
    const EmptyReport report = WhyReportEmpty(session);
    EXPECT_EQ(report.hourUnknown, c.report.hourUnknown) << label;
    EXPECT_EQ(report.compoundSurname, c.report.compoundSurname) << label;
  }
}

TEST(NamingModel, StopSwapsTheButtonsAndTicksPumpOnlyWhenTimeHasPassed) {
  class StepClock final : public MonotonicClock {
   public:
    std::chrono::steady_clock::time_point Now() override { return now; }
    std::chrono::steady_clock::time_point now{};
  } clock;
  Model m;
  NamingEnvironment environment;
  environment.inputs = &m.inputs;
  environment.pump = &m.pump;
  environment.clock = &clock;
  NamingModel model(StartUp(ExecutableDir()), 1, environment);
  std::vector<ButtonStates> seen;
  model.Presentation().SetButtonsListener([&](const ButtonStates& states) { seen.push_back(states); });
  model.Presentation().SetButtons({.generateEnabled = false, .stopEnabled = true});
  model.StopCommand();
  EXPECT_TRUE(model.Session().stopRequested);
  EXPECT_EQ(seen.back(), (ButtonStates{.generateEnabled = true, .stopEnabled = false}));
  EXPECT_EQ(seen.size(), 2u);

  for (unsigned i = 0; i < 4 * RunPresentation::kTicksPerClockCheck; ++i) model.Presentation().Tick();
  EXPECT_EQ(m.pump.calls, 0);  // no time passed
  clock.now += RunPresentation::kPumpInterval;
  for (unsigned i = 0; i < RunPresentation::kTicksPerClockCheck; ++i) model.Presentation().Tick();
  EXPECT_EQ(m.pump.calls, 1);
  for (unsigned i = 0; i < RunPresentation::kTicksPerClockCheck; ++i) model.Presentation().Tick();
  EXPECT_EQ(m.pump.calls, 1);  // the pump restarted the interval
}

// Each page finds its own pane (the window binds its views and the command
// line keys its JSON by it); an origin without a page has none.
TEST(NamingRunState, PaneOfEachPage) {
  const struct {
    Origin page;
    const char* pane;  // its component name, or null: no pane
  } cases[] = {
      {Origin::kSettings, "Memo1"},    {Origin::kTwoChar, "Memo2"},     {Origin::kThreeChar, "Memo3"},
      {Origin::kFiveElement, "Memo5"}, {Origin::kRecommended, "Memo6"}, {Origin::kRecommendedTwo, "Memo8"},
      {Origin::kAnalysis, "Memo4"},    {Origin::kPoetry, "Memo7"},      {Origin::kNone, nullptr},
      {Origin::kClassical, nullptr},   {Origin::kCurated, nullptr},
  };
  NamingRunState state;
  for (const auto& c : cases) {
    if (c.pane) {
      EXPECT_EQ(state.PaneOf(c.page).Name(), c.pane);
    } else {
      EXPECT_THROW(state.PaneOf(c.page), std::invalid_argument);
    }
  }
  std::vector<std::string> pages;
  for (const auto& page : state.ResultPages()) pages.push_back(page.pane->Name() + " " + page.caption);
  EXPECT_EQ(pages, (std::vector<std::string>{"Memo1 姓名设置", "Memo2 二字名", "Memo3 三字名", "Memo5 部首有五行",
                                             "Memo6 系统推荐名", "Memo8 系统推荐名二", "Memo4 姓名分析"}));
}

}  // namespace
}  // namespace tavrin
