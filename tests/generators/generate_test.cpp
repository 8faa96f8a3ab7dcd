// The Generate command and the five generators, driven through the naming
// model with fakes of the window and a pinned seed.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "advice/advice.h"
#include "chars/gbk.h"
#include "chars/strokes.h"
#include "generators/generators.h"
#include "naming_fixture.h"
#include "testutil.h"

namespace tavrin {
namespace {

using test::NamingFixture;

const std::string kSeparator = "   ";

// The entries of a pane line: the texts between the three-blank separators.
LineList Entries(const std::string& line) {
  LineList entries;
  for (std::size_t pos = 0; pos < line.size();) {
    const std::size_t end = line.find(kSeparator, pos);
    entries.push_back(line.substr(pos, end - pos));
    if (end == std::string::npos) break;
    pos = end + kSeparator.size();
  }
  return entries;
}

std::string NameOf(const std::string& entry) { return entry.substr(0, entry.find('(')); }

bool Has(const Pane& pane, const std::string& line) {
  return std::find(pane.Lines().begin(), pane.Lines().end(), line) != pane.Lines().end();
}

// Every written line of entries but the last reached the threshold with its
// last entry and not before it.
void ExpectLinesCutAt(const Pane& pane, std::size_t threshold, bool countChars, std::size_t firstLine = 0) {
  const LineList& lines = pane.Lines();
  for (std::size_t i = firstLine; i + 1 < lines.size(); ++i) {
    const std::string& line = lines[i];
    ASSERT_GE(line.size(), kSeparator.size());
    const std::string body = line.substr(0, line.size() - kSeparator.size());
    const std::size_t lastEntry = body.rfind(kSeparator);
    const std::string before = lastEntry == std::string::npos ? "" : line.substr(0, lastEntry + kSeparator.size());
    auto length = [&](const std::string& text) { return countChars ? CharCount(text) : text.size(); };
    EXPECT_GE(length(line), threshold) << pane.Name() << " line " << i;
    EXPECT_LT(length(before), threshold) << pane.Name() << " line " << i;
  }
}

// The summary lines of a run: those holding candidates.
LineList SummaryLines(const Pane& summaryPane) {
  LineList lines;
  for (const std::string& line : summaryPane.Lines()) {
    if (line.find('(') != std::string::npos && line.ends_with(kSeparator)) lines.push_back(line);
  }
  return lines;
}

const char* const kCompletions[] = {"2字名分析完成",    "五行名字分析完成", "三字名字分析完成",
                                    "推荐名字分析完成", "推荐分析完成",     "推荐名字二分析完成"};

LineList CompletionLines(const Pane& summaryPane) {
  LineList found;
  for (const std::string& line : summaryPane.Lines()) {
    for (const char* completion : kCompletions) {
      if (line == completion) found.push_back(line);
    }
  }
  return found;
}

void ExpectIdle(const NamingModel& model) {
  EXPECT_EQ(model.Presentation().Buttons(), (ButtonStates{.generateEnabled = true, .stopEnabled = false}));
  EXPECT_FALSE(model.Running());
  EXPECT_EQ(model.Presentation().Progress(), "");
}

TEST(Generate, DefaultRun) {
  NamingFixture f;
  ASSERT_EQ(f.Generate(), GenerateOutcome::kCompleted);
  const NamingModel& model = *f.model;
  const LineList& summaryPane = model.PaneOf(Origin::kSettings).Lines();
  const LineList opening = {
      "开始分析八字",
      "辛卯年 庚子月 辛酉日 己丑时",
      "五行分析:年 金木 月 金水 日 金金 时 土土",
      "下面是根据五行分析的姓名禁忌,越少越好",
      "八字中金多",
      "八字中土多",
      "在姓氏张中针对声母:Z的配合引擎打开,针对韵母:hang的押韵引擎打开针对1声的声调引擎打开",
      "自动避开笔画为4的汉字功能启动!",
      "软件特有的姓名五大引擎打开成功,使得名字上口,好记,印象深",
  };
  ASSERT_GE(summaryPane.size(), opening.size());
  EXPECT_EQ(LineList(summaryPane.begin(), summaryPane.begin() + opening.size()), opening);
  EXPECT_EQ(model.PaneOf(Origin::kAnalysis).Lines(), LineList{"名字中要有火"});
  EXPECT_EQ(model.PaneOf(Origin::kFiveElement).Lines().front(), "五行缺火");
  EXPECT_EQ(model.Session().chart.birthElements, "金木金水金金土土");
  EXPECT_EQ(model.Session().chart.missingElements, "火");
  EXPECT_GE(model.PaneOf(Origin::kThreeChar).Rows(), 500u);
  EXPECT_TRUE(Has(model.PaneOf(Origin::kSettings), "三字名字分析完成"));
  EXPECT_EQ(CompletionLines(model.PaneOf(Origin::kSettings)).back(), "推荐名字二分析完成");
  ExpectIdle(model);

  ExpectLinesCutAt(model.PaneOf(Origin::kTwoChar), 100, false);
  ExpectLinesCutAt(model.PaneOf(Origin::kThreeChar), 100, false);
  ExpectLinesCutAt(model.PaneOf(Origin::kFiveElement), 100, false, 1);
  ExpectLinesCutAt(model.PaneOf(Origin::kRecommended), 70, true);
  ExpectLinesCutAt(model.PaneOf(Origin::kRecommendedTwo), 70, true);
  const LineList summary = SummaryLines(model.PaneOf(Origin::kSettings));
  ASSERT_EQ(summary.size(), model.Report().Rows().size());
  for (std::size_t i = 0; i < summary.size(); ++i) {
    const LineList entries = Entries(summary[i]);
    EXPECT_GT(summary[i].size(), 80u);
    EXPECT_LE(summary[i].size() - entries.back().size() - kSeparator.size(), 80u);
    // The row belongs to the name that completed the line.
    EXPECT_EQ(model.Report().Rows()[i].candidate.fullName, NameOf(entries.back()));
  }

  // The two-character generator keeps what its announcement says.
  const std::string surnamePinyin = model.Services().pinyin.PinyinOf("张");
  for (const std::string& line : model.PaneOf(Origin::kTwoChar).Lines()) {
    for (const std::string& entry : Entries(line)) {
      if (entry.empty()) continue;
      const std::string ch = NameOf(entry).substr(2);
      const std::string pinyin = model.Services().pinyin.PinyinOf(ch);
      EXPECT_NE(StrokeCount(ch) % 10, 4) << ch;
      EXPECT_NE(pinyin.front(), surnamePinyin.front()) << pinyin;
      EXPECT_NE(pinyin.back(), surnamePinyin.back()) << pinyin;
    }
  }
  // The second recommended generator puts the surname before the boys' names.
  const LineList& boys = model.Stores().boyGivenNames;
  for (const std::string& line : model.PaneOf(Origin::kRecommendedTwo).Lines()) {
    for (const std::string& entry : Entries(line)) {
      if (!entry.empty()) {
        EXPECT_NE(std::find(boys.begin(), boys.end(), NameOf(entry).substr(2)), boys.end());
      }
    }
  }

  // The same seed gives the same run; another seed another one.
  NamingFixture same;
  same.Generate();
  EXPECT_EQ(same.Snapshot(), f.Snapshot());
  NamingFixture other(test::ShippedStores(), 2);
  other.Generate();
  EXPECT_NE(other.model->PaneOf(Origin::kThreeChar).Lines(), model.PaneOf(Origin::kThreeChar).Lines());
}

// Characters whose stroke count ends in 4 are never offered for 二字名, even where
// nothing else would keep them out: each character below differs from the
// surname in initial, final and tone and passes the sound rule.
TEST(GenerateTwoCharNames, StrokeCountEndingInFourDecides) {
  const struct {
    const char* surname;
    const char* given;
    bool offered;
  } cases[] = {
      {"刘", "鑫", false},  // 24 strokes
      {"刘", "彰", false},  // 14
      {"李", "睿", false},  // 14
      {"孙", "霆", false},  // 14
      {"刘", "书", false},  // 4
      {"刘", "浩", true},   // 10
      {"孙", "博", true},   // 12
  };
  for (const auto& c : cases) {
    NamingFixture f;
    NamingModel& model = *f.model;
    f.inputs.count = "1";
    model.SetSurname(c.surname);
    model.SetNameList({c.given});
    ASSERT_TRUE(model.SoundsApart(c.surname, c.given)) << c.surname << c.given;
    GenerateTwoCharNames(model);
    // Offered to acceptance at all, or never.
    EXPECT_EQ(model.Session().accepted > 0, c.offered) << c.surname << c.given;
  }
}

// The sound rules hear the surname in its own reading from the advice
// tables' surname table (曾 zēng, not the index's céng); without the tables,
// or for a surname read as the index reads it, nothing changes. The probe
// 蕾 (lei3) clashes by the finals with 朴 read pu3 (line one holds u, in ou,
// and ei) but not with piao2 (iao stands only in line two).
TEST(GenerateTwoCharNames, SurnameHeardInItsOwnReading) {
  const struct {
    const char* surname;
    bool adviceTables;
    const char* initial;
    const char* final;
    const char* tone;
    const char* probe;  // a given character to offer, or "" for none
    bool offered;
  } cases[] = {
      {"曾", true, "Z", "eng", "1", "", false},      {"曾", false, "C", "eng", "2", "", false},
      {"单", true, "S", "han", "4", "", false},      {"区", true, "O", "u", "1", "", false},
      {"仇", true, "Q", "iu", "2", "", false},       {"解", true, "X", "ie", "4", "", false},
      {"朴", true, "P", "iao", "2", "蕾", true},     {"朴", false, "P", "u", "3", "蕾", false},
      {"张", true, "Z", "hang", "1", "", false},     {"王", true, "W", "ang", "2", "", false},
      {"尉迟", true, "Y", "u4 Chi", "2", "", false},
  };
  const SharedStores withoutAdvice = SealStores([] {
    DataStores stores = *test::ShippedStores();
    stores.advice = std::make_shared<const advice::AdviceTables>();
    return stores;
  }());
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.surname) + (c.adviceTables ? "" : " without the advice tables"));
    NamingFixture f(c.adviceTables ? test::ShippedStores() : withoutAdvice);
    NamingModel& model = *f.model;
    f.inputs.count = *c.probe ? "1" : "0";
    model.SetSurname(c.surname);
    model.SetNameList(*c.probe ? LineList{c.probe} : LineList{});
    GenerateTwoCharNames(model);
    const LineList& summary = model.PaneOf(Origin::kSettings).Lines();
    ASSERT_FALSE(summary.empty());
    EXPECT_EQ(summary[0], std::string("在姓氏") + c.surname + "中针对声母:" + c.initial + "的配合引擎打开,针对韵母:" +
                              c.final + "的押韵引擎打开针对" + c.tone + "声的声调引擎打开");
    EXPECT_EQ(model.Session().accepted > 0, c.offered);
  }
}

TEST(Generate, SecondRunKeepsMemo8Memo4TheReportAndThePendingLine) {
  NamingFixture f;
  f.inputs.count = "20";
  f.inputs.female = true;
  f.Generate();
  const NamingModel& model = *f.model;
  const LineList recommendedTwoPane = model.PaneOf(Origin::kRecommendedTwo).Lines();
  const std::size_t rows = model.Report().Rows().size();
  const std::string pending = model.Session().pendingLine.Text();
  ASSERT_FALSE(pending.empty());
  ExpectLinesCutAt(model.PaneOf(Origin::kRecommendedTwo), 70, true);
  const LineList& girls = model.Stores().girlGivenNames;
  for (const std::string& entry : Entries(recommendedTwoPane.front())) {
    if (!entry.empty()) {
      EXPECT_NE(std::find(girls.begin(), girls.end(), NameOf(entry).substr(2)), girls.end());
    }
  }

  f.Generate();
  EXPECT_EQ(LineList(model.PaneOf(Origin::kRecommendedTwo).Lines().begin(),
                     model.PaneOf(Origin::kRecommendedTwo).Lines().begin() + recommendedTwoPane.size()),
            recommendedTwoPane);
  EXPECT_GT(model.PaneOf(Origin::kRecommendedTwo).Lines().size(), recommendedTwoPane.size());
  EXPECT_EQ(model.PaneOf(Origin::kAnalysis).Lines(), (LineList{"名字中要有火", "名字中要有火"}));
  EXPECT_GT(model.Report().Rows().size(), rows);
  EXPECT_EQ(model.PaneOf(Origin::kSettings).Lines().front(), "开始分析八字");  // the summary was cleared
  const LineList summary = SummaryLines(model.PaneOf(Origin::kSettings));
  ASSERT_FALSE(summary.empty());
  EXPECT_TRUE(summary.front().starts_with(pending));
}

TEST(Generate, FixedCharactersSkipTheTwoCharacterAndFiveElementGenerators) {
  const struct {
    bool fix2;
    const char* second;
    bool fix3;
    const char* third;
  } cases[] = {{true, "梓", false, ""}, {false, "", true, "宇"}, {true, "梓", true, "宇"}, {true, "", false, ""}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.second) + "/" + c.third);
    NamingFixture f;
    f.inputs.count = "10";
    f.inputs.fixSecondChecked = c.fix2;
    f.inputs.fixSecond = c.second;
    f.inputs.fixThirdChecked = c.fix3;
    f.inputs.fixThird = c.third;
    ASSERT_EQ(f.Generate(), GenerateOutcome::kCompleted);
    const NamingModel& model = *f.model;
    EXPECT_TRUE(model.PaneOf(Origin::kTwoChar).Lines().empty());
    EXPECT_TRUE(model.PaneOf(Origin::kFiveElement).Lines().empty());
    EXPECT_FALSE(Has(model.PaneOf(Origin::kSettings), "自动避开笔画为4的汉字功能启动!"));
    EXPECT_FALSE(Has(model.PaneOf(Origin::kSettings), "2字名分析完成"));
    for (const std::string& line : model.PaneOf(Origin::kThreeChar).Lines()) {
      for (const std::string& entry : Entries(line)) {
        if (entry.empty()) continue;
        const std::string name = NameOf(entry);
        if (*c.second) {
          EXPECT_EQ(CharAt(name, 1), c.second) << name;
        }
        if (*c.third) {
          EXPECT_EQ(CharAt(name, 2), c.third) << name;
        }
      }
    }
    for (const std::string& line : model.PaneOf(Origin::kRecommended).Lines()) {
      for (const std::string& entry : Entries(line)) {
        if (entry.empty()) continue;
        const std::string name = NameOf(entry);
        EXPECT_TRUE((*c.second && CharAt(name, 1) == c.second) || (*c.third && CharAt(name, 2) == c.third)) << name;
      }
    }
    // A checked box with an empty field matches no recommended name: one pass
    // that adds nothing ends the fixed-character mode silently.
    EXPECT_EQ(Has(model.PaneOf(Origin::kSettings), "推荐名字分析完成"), *c.second || *c.third);
    EXPECT_FALSE(Has(model.PaneOf(Origin::kSettings), "推荐分析完成"));
  }
}

TEST(Generate, CountsAndBirthCharts) {
  const struct {
    const char* date;  // day of January 2012
    const char* count;
    LineList fiveElementPane;
    LineList completions;
    LineList analysisPane;
  } cases[] = {
      {"1",
       "0",
       {"五行缺火"},
       {"2字名分析完成", "五行名字分析完成", "三字名字分析完成", "推荐分析完成", "推荐名字二分析完成"},
       {"名字中要有火"}},
      {"1",
       "1",
       {"五行缺火"},
       {"2字名分析完成", "五行名字分析完成", "三字名字分析完成", "推荐分析完成", "推荐名字二分析完成"},
       {"名字中要有火"}},
      {"5",
       "0",
       {"生辰八字中五行不缺,这项无须生成"},
       {"2字名分析完成", "三字名字分析完成", "推荐分析完成", "推荐名字二分析完成"},
       {}},
      {"11",
       "0",
       {},
       {"2字名分析完成", "五行名字分析完成", "三字名字分析完成", "推荐分析完成", "推荐名字二分析完成"},
       {"名字中要有水", "名字中要有火"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.date) + " count " + c.count);
    NamingFixture f;
    f.inputs.day = c.date;
    f.inputs.count = c.count;
    ASSERT_EQ(f.Generate(), GenerateOutcome::kCompleted);
    const NamingModel& model = *f.model;
    EXPECT_EQ(model.PaneOf(Origin::kFiveElement).Lines(), c.fiveElementPane);
    EXPECT_EQ(CompletionLines(model.PaneOf(Origin::kSettings)), c.completions);
    EXPECT_EQ(model.PaneOf(Origin::kAnalysis).Lines(), c.analysisPane);
    if (std::string(c.count) == "0") {
      EXPECT_TRUE(model.PaneOf(Origin::kTwoChar).Lines().empty());
      EXPECT_TRUE(model.PaneOf(Origin::kThreeChar).Lines().empty());
      EXPECT_TRUE(model.PaneOf(Origin::kRecommended).Lines().empty());
    }
    EXPECT_FALSE(model.PaneOf(Origin::kRecommendedTwo).Lines().empty());  // the count does not shorten its walk
  }
}

// Stop pressed inside the pump while each generator runs: that generator and
// every one after it end without their completion lines, "生成" is enabled
// at once, and a Generate given before the run has returned is ignored.
TEST(Generate, StopDuringEachGenerator) {
  const struct {
    const char* during;
    std::function<bool(const NamingModel&)> now;
  } cases[] = {
      {"two", [](const NamingModel& m) { return Has(m.PaneOf(Origin::kSettings), "自动避开笔画为4的汉字功能启动!"); }},
      {"five", [](const NamingModel& m) { return !m.PaneOf(Origin::kFiveElement).Lines().empty(); }},
      {"three", [](const NamingModel& m) { return m.PaneOf(Origin::kThreeChar).Rows() >= 3; }},
      {"recommended", [](const NamingModel& m) { return Has(m.PaneOf(Origin::kSettings), "三字名字分析完成"); }},
      {"two-recommended", [](const NamingModel& m) { return m.Presentation().Progress() == "0"; }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.during);
    NamingFixture f;
    f.inputs.count = "30";
    f.clock.step = std::chrono::milliseconds(1);  // lets the paced pumps run in stretches without candidates
    NamingModel& model = *f.model;
    std::size_t linesAtStop = 0;
    GenerateOutcome nested = GenerateOutcome::kCompleted;
    f.pump.onPump = [&] {
      if (model.Session().stopRequested || !c.now(model)) return;
      model.StopCommand();
      EXPECT_EQ(model.Presentation().Buttons(), (ButtonStates{.generateEnabled = true, .stopEnabled = false}));
      linesAtStop = model.PaneOf(Origin::kSettings).Lines().size();
      nested = GenerateCommand(model).outcome;
    };
    ASSERT_EQ(f.Generate(), GenerateOutcome::kCompleted);
    ASSERT_TRUE(model.Session().stopRequested);
    EXPECT_EQ(nested, GenerateOutcome::kIgnored);
    ASSERT_GT(linesAtStop, 0u);
    for (std::size_t i = linesAtStop; i < model.PaneOf(Origin::kSettings).Lines().size(); ++i) {
      const std::string& line = model.PaneOf(Origin::kSettings).Lines()[i];
      EXPECT_EQ(std::find(std::begin(kCompletions), std::end(kCompletions), line), std::end(kCompletions)) << line;
    }
    ExpectIdle(model);
  }
}

TEST(Generate, CountChangedDuringTheRun) {
  {
    NamingFixture f;
    f.inputs.count = "50";
    NamingModel& model = *f.model;
    f.pump.onPump = [&] {
      if (model.PaneOf(Origin::kThreeChar).Rows() >= 1) f.inputs.count = "3";
    };
    ASSERT_EQ(f.Generate(), GenerateOutcome::kCompleted);
    EXPECT_GE(model.PaneOf(Origin::kThreeChar).Rows(), 3u);
    EXPECT_LT(model.PaneOf(Origin::kThreeChar).Rows(), 6u);
    EXPECT_TRUE(Has(model.PaneOf(Origin::kSettings), "三字名字分析完成"));
  }
  {
    NamingFixture f;
    NamingModel& model = *f.model;
    f.pump.onPump = [&] {
      if (model.PaneOf(Origin::kThreeChar).Rows() >= 2) f.inputs.count = "5 0";
    };
    ASSERT_EQ(f.Generate(), GenerateOutcome::kFailed);
    EXPECT_EQ(f.messages.texts, LineList{"产生名字个数“5 0”不是整数"});
    EXPECT_GE(model.PaneOf(Origin::kThreeChar).Rows(), 2u);  // what was written stays
    EXPECT_FALSE(Has(model.PaneOf(Origin::kSettings), "三字名字分析完成"));
    EXPECT_TRUE(model.PaneOf(Origin::kRecommended).Lines().empty());
    ExpectIdle(model);
  }
}

TEST(Generate, BadInputsChangeNothing) {
  const struct {
    std::function<void(SettingsInputs&)> set;
    const char* message;
  } cases[] = {
      {[](SettingsInputs& in) { in.surname = ""; }, "请输入姓"},
      {[](SettingsInputs& in) { in.surname = "abc"; }, "请输入姓"},
      {[](SettingsInputs& in) { in.year = "20x2"; }, "出生年份“20x2”不是整数"},
      {[](SettingsInputs& in) { in.month = "13"; }, "出生日期 2012-13-1 不存在"},
      {[](SettingsInputs& in) { in.month = "2", in.day = "30"; }, "出生日期 2012-2-30 不存在"},
      {[](SettingsInputs& in) { in.day = ""; }, "出生日“”不是整数"},
      {[](SettingsInputs& in) { in.hour = {"abc"}; }, "出生时辰“abc”不是整数"},
      {[](SettingsInputs& in) { in.hour = {" 1"}; }, "出生时辰“ 1”不是整数"},
      {[](SettingsInputs& in) { in.count = "5 0"; }, "产生名字个数“5 0”不是整数"},
      {[](SettingsInputs& in) { in.count = "5."; }, "产生名字个数“5.”不是整数"},
      {[](SettingsInputs& in) { in.year = "1800"; }, "出生年份 1800 不在 1900 至 2056 之间"},
      {[](SettingsInputs& in) { in.year = "2057"; }, "出生年份 2057 不在 1900 至 2056 之间"},
  };
  NamingFixture f;
  f.inputs.count = "5";
  ASSERT_EQ(f.Generate(), GenerateOutcome::kCompleted);
  const auto before = f.Snapshot();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    f.messages.texts.clear();
    SettingsInputs saved = f.inputs;
    c.set(f.inputs);
    EXPECT_EQ(f.Generate(), GenerateOutcome::kRefused);
    EXPECT_EQ(f.messages.texts, LineList{c.message});
    EXPECT_EQ(f.Snapshot(), before);
    ExpectIdle(*f.model);
    f.inputs = saved;
  }
  // An hour outside 0..23 is no error: the hour pillar is empty.
  f.inputs.hour = {"24"};
  EXPECT_EQ(f.Generate(), GenerateOutcome::kCompleted);
  EXPECT_EQ(f.model->PaneOf(Origin::kSettings).Lines()[1], "辛卯年 庚子月 辛酉日 时");
}

TEST(Generate, SurnameWithoutToneEndsTheRunWhereTheTwoCharacterGeneratorStarts) {
  for (const char* surname : {"張", "张a"}) {
    SCOPED_TRACE(surname);
    NamingFixture f;
    f.inputs.surname = surname;
    EXPECT_EQ(f.Generate(), GenerateOutcome::kFailed);
    ASSERT_EQ(f.messages.texts.size(), 1u);
    EXPECT_TRUE(f.messages.texts[0].starts_with(std::string("姓氏“") + surname + "”的拼音"));
    EXPECT_EQ(f.model->PaneOf(Origin::kSettings).Lines().size(), 6u);  // the birth analysis stays; nothing after it
    EXPECT_TRUE(f.model->PaneOf(Origin::kThreeChar).Lines().empty());
    ExpectIdle(*f.model);
    // Without the two-character generator the surname is fine.
    f.inputs.fixThirdChecked = true;
    f.inputs.fixThird = "明";
    f.inputs.count = "3";
    EXPECT_EQ(f.Generate(), GenerateOutcome::kCompleted);
  }
}

TEST(Generate, MissingRequiredDataIsRefused) {
  test::TempDir empty;
  NamingFixture f(StartUp(empty.Dir()));
  EXPECT_EQ(f.Generate(), GenerateOutcome::kRefused);
  EXPECT_EQ(f.messages.texts, LineList{"缺少数据文件tj.dat、5ge.dat、男.dat、女.dat,无法生成名字"});
  EXPECT_TRUE(f.model->PaneOf(Origin::kSettings).Lines().empty());
  ExpectIdle(*f.model);
}

SharedStores ShippedWith(const std::function<void(DataStores&)>& change) {
  DataStores stores = *test::ShippedStores();
  change(stores);
  return SealStores(std::move(stores));
}

TEST(Generate, EmptyListsEndTheirGeneratorsSilentlyAndTheWindowIsStillPumped) {
  NamingFixture f(ShippedWith([](DataStores& s) {
    s.maleGivenChars.clear();
    s.recommendedList.clear();
  }));
  f.clock.step = std::chrono::milliseconds(1);
  bool pumpedInLongStretch = false;
  f.pump.onPump = [&] {
    if (!f.model->Presentation().Progress().empty() && std::stoll(f.model->Presentation().Progress()) > 100000)
      pumpedInLongStretch = true;
  };
  EXPECT_EQ(f.Generate(), GenerateOutcome::kCompleted);
  const NamingModel& model = *f.model;
  EXPECT_TRUE(model.PaneOf(Origin::kTwoChar).Lines().empty());
  EXPECT_EQ(model.PaneOf(Origin::kFiveElement).Lines(), LineList{"五行缺火"});
  EXPECT_TRUE(model.PaneOf(Origin::kThreeChar).Lines().empty());
  EXPECT_TRUE(model.PaneOf(Origin::kRecommended).Lines().empty());
  EXPECT_EQ(CompletionLines(model.PaneOf(Origin::kSettings)), LineList{"推荐名字二分析完成"});
  EXPECT_TRUE(pumpedInLongStretch);  // 1,000,001 draws of the three-character generator, none handed over
}

TEST(RecommendedNames, RandomModeOverOneLine) {
  const struct {
    const char* line;
    bool female;
    const char* shown;  // the name in Memo6, or "" for none
  } cases[] = {
      {"张伟明", false, "张伟明"},                           // the line's own surname: taken whole, no sound check
      {"李伟明", false, ""},                                 // 伟 and 张 sound alike
      {"张", true, "张"},                                    // a one-character name is the candidate...
      {"张", false, ""},                                     // ...which counts as a girl's in a boy's pane
      {"张雅明", false, ""},                                 // 雅 is a girl's character: kept out of a boy's pane
      {"张雅明", true, "张雅明"},  {"王小明一", false, ""},  // four characters are passed over
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.line) + (c.female ? " girl" : " boy"));
    NamingFixture f(ShippedWith([&](DataStores& s) { s.recommendedList = {c.line}; }));
    NamingModel& model = *f.model;
    f.inputs.female = c.female;
    f.inputs.count = "2";
    model.SetNameList(model.Stores().maleGivenChars);
    GenerateRecommendedNames(model);
    std::set<std::string> names;
    for (const std::string& line : model.PaneOf(Origin::kRecommended).Lines()) {
      for (const std::string& entry : Entries(line)) {
        if (!entry.empty()) names.insert(NameOf(entry));
      }
    }
    EXPECT_EQ(names, *c.shown ? std::set<std::string>{c.shown} : std::set<std::string>{});
  }
}

}  // namespace
}  // namespace tavrin
