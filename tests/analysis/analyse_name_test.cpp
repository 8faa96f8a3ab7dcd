#include "analysis/analyse_name.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "chars/gbk.h"
#include "generators/naming_fixture.h"

namespace tavrin {
namespace {

using test::NamingFixture;

AnalysisRequest Request(const char* name, const char* year, const char* month, const char* day, const char* hour) {
  return {name, year, month, day, {hour}};
}

// The lines between the heading of the cautions and the name's lines.
LineList Cautions(const LineList& lines) {
  const auto from = std::find(lines.begin(), lines.end(), "下面是根据五行分析的姓名禁忌,越少越好");
  const auto to = std::find_if(from, lines.end(), [](const std::string& l) {
    return l.find(" 属性 ") != l.npos || l.starts_with("姓名五行为:");
  });
  return from == lines.end() ? LineList{} : LineList(from + 1, to);
}

TEST(AnalyseName, LinesInOrder) {
  NamingFixture f;
  NamingModel& model = *f.model;
  const NamingServices& services = model.Services();
  ASSERT_EQ(AnalyseName(model, AnalysisRequest{}).outcome, AnalysisOutcome::kCompleted);
  const LineList& lines = model.PaneOf(Origin::kAnalysis).Lines();
  const std::string element = services.elements.CharElement("张");
  const LineList expected = {
      "开始分析八字",
      "辛卯年 庚子月 辛酉日 己丑时",
      "五行分析:年 金木 月 金水 日 金金 时 土土",
      "下面是根据五行分析的姓名禁忌,越少越好",
      "八字中金多",
      "五行缺火",
      "八字中土多",
      "张 属性 " + element,
      "姓名五行为:" + element,
      "综合五行为:金木金水金金土土" + element,
      "进入名字五格分析",
      "繁体字为:張",
      "分数:" + services.scorer.ScoreName("张", ""),
  };
  EXPECT_EQ(lines, expected);
}

TEST(AnalyseName, ChartsAndHours) {
  const struct {
    AnalysisRequest request;
    LineList cautions;
  } cases[] = {
      {Request("王小明", "2011", "9", "9", "1"), {"八字中金多", "八字中木多", "五行缺水", "八字中火多"}},
      {Request("王小明", "2012", "1", "5", "1"), {"八字中金多", "八字中木多", "八字中土多", "五行不缺"}},
      {Request("", "2012", "1", "1", "1"), {"八字中金多", "五行缺火", "八字中土多"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.request.name + " " + c.request.day);
    NamingFixture f;
    AnalyseName(*f.model, c.request);
    const LineList& lines = f.model->PaneOf(Origin::kAnalysis).Lines();
    EXPECT_EQ(Cautions(lines), c.cautions);
    const auto named =
        std::count_if(lines.begin(), lines.end(), [](const std::string& l) { return l.find(" 属性 ") != l.npos; });
    EXPECT_EQ(static_cast<std::size_t>(named), CharCount(c.request.name));
  }
  // Only the hour changed: the hour pillar and the hour's elements change.
  NamingFixture a;
  NamingFixture b;
  AnalyseName(*a.model, Request("张伟", "2012", "1", "1", "1"));
  AnalyseName(*b.model, Request("张伟", "2012", "1", "1", "13"));
  const LineList& la = a.model->PaneOf(Origin::kAnalysis).Lines();
  const LineList& lb = b.model->PaneOf(Origin::kAnalysis).Lines();
  EXPECT_EQ(la[1].substr(0, la[1].size() - 6), lb[1].substr(0, lb[1].size() - 6));
  EXPECT_NE(la[1], lb[1]);
  EXPECT_NE(la[2], lb[2]);
}

TEST(AnalyseName, ScoreFollowsTheLastGenerateRun) {
  NamingFixture f;
  NamingModel& model = *f.model;
  const AnalysisRequest request = Request("张伟明", "2012", "1", "1", "1");
  AnalyseName(model, request);
  const std::string before = model.PaneOf(Origin::kAnalysis).Lines().back();
  EXPECT_EQ(before, "分数:" + model.Services().scorer.ScoreName("张伟明", ""));
  f.inputs.day = "11";
  f.inputs.count = "0";
  ASSERT_EQ(f.Generate(), GenerateOutcome::kCompleted);
  AnalyseName(model, request);
  EXPECT_EQ(model.PaneOf(Origin::kAnalysis).Lines().back(),
            "分数:" + model.Services().scorer.ScoreName("张伟明", model.Session().chart.birthElements));
  EXPECT_EQ(model.PaneOf(Origin::kAnalysis).Lines().front(), "开始分析八字");  // the Generate run's lines were cleared
}

// The score's birth elements are the last Generate run's, not the analysed
// date's: with these two charts 张锦林 (火金木) is balanced with one and not
// with the other, so the element term tells them apart.
TEST(AnalyseName, ScoreUsesTheGenerateRunsChartNotTheAnalysedDate) {
  const struct {
    const char* generateDate[3];  // year, month, day; hour 1
    const char* analysedDate[3];
    const char* score;
  } cases[] = {
      {{"2011", "5", "21"}, {"2012", "1", "1"}, "55,"},  // 金木水火火水土土 + 火金木: balanced
      {{"2012", "1", "1"}, {"2011", "5", "21"}, "35,"},  // 金木金水金金土土 + 火金木: 水 weak
  };
  for (const auto& c : cases) {
    NamingFixture f;
    f.inputs.year = c.generateDate[0];
    f.inputs.month = c.generateDate[1];
    f.inputs.day = c.generateDate[2];
    f.inputs.count = "0";
    ASSERT_EQ(f.Generate(), GenerateOutcome::kCompleted);
    AnalyseName(*f.model, Request("张锦林", c.analysedDate[0], c.analysedDate[1], c.analysedDate[2], "1"));
    EXPECT_TRUE(f.model->PaneOf(Origin::kAnalysis).Lines().back().starts_with(std::string("分数:") + c.score))
        << f.model->PaneOf(Origin::kAnalysis).Lines().back();
  }
}

TEST(AnalyseName, BadFields) {
  const struct {
    AnalysisRequest request;
    AnalysisOutcome outcome;
    LineList lines;
    const char* message;
    InputField field = InputField::kBirthDate;
  } cases[] = {
      {Request("张", "2012", "2", "31", "1"), AnalysisOutcome::kRefused, {}, "出生日期 2012-2-31 不存在"},
      {Request("张", "二〇一二", "1", "1", "1"), AnalysisOutcome::kRefused, {}, "出生年份“二〇一二”不是整数"},
      {Request("张", "1850", "1", "1", "1"), AnalysisOutcome::kRefused, {}, "出生年份 1850 不在 1900 至 2056 之间"},
      {Request("张", "2012", "1", "1", "x"),
       AnalysisOutcome::kStopped,
       {"开始分析八字"},
       "出生时辰“x”不是整数",
       InputField::kBirthHour},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    NamingFixture f;
    f.model->PaneOf(Origin::kAnalysis).Append("名字中要有火");
    const CommandResult<AnalysisOutcome> result = AnalyseName(*f.model, c.request);
    EXPECT_EQ(result.outcome, c.outcome);
    EXPECT_EQ(f.model->PaneOf(Origin::kAnalysis).Lines(), c.lines);
    ASSERT_TRUE(result.message);
    EXPECT_EQ(result.message->text, c.message);
    EXPECT_EQ(result.message->field, c.field);
    EXPECT_TRUE(f.messages.texts.empty());  // the front end shows it
  }
}

}  // namespace
}  // namespace tavrin
