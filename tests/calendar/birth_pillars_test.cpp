#include "calendar/birth_pillars.h"
#include "calendar/calendar_testutil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>

#include "calendar/calendar_tables.h"

namespace tavrin {
namespace {

using test::kToday;

// The date translator as the main window holds it (solar-term mode).
struct MainTransDate {
  TTransDate date{kToday};
  MainTransDate() { LoadMainWindowTransDate(date); }
};

TEST(HourPillar, EveryDayStemAndHour) {
  // The 子 hour of each day stem, then one stem further every two hours.
  const char* const ratHour[10] = {"甲子", "丙子", "戊子", "庚子", "壬子", "甲子", "丙子", "戊子", "庚子", "壬子"};
  for (int stem = 0; stem < 10; ++stem) {
    const std::string dayPillar = std::string(StemName(stem)) + std::string(BranchName(stem));
    const std::string rat = ratHour[stem];
    for (int hour = 0; hour <= 22; ++hour) {
      SCOPED_TRACE(dayPillar + " " + std::to_string(hour));
      const int branch = (hour + 1) / 2;
      int ratStem = 0;
      while (StemName(ratStem) != rat.substr(0, 2)) ++ratStem;
      const std::string expected = std::string(StemName((ratStem + branch) % 10)) + std::string(BranchName(branch));
      EXPECT_EQ(HourPillar(dayPillar, hour), expected);
    }
  }
  // An 乙 day runs 丙子 丁丑 戊寅 ... 丁亥.
  const char* const yiDay[12] = {"丙子", "丁丑", "戊寅", "己卯", "庚辰", "辛巳",
                                 "壬午", "癸未", "甲申", "乙酉", "丙戌", "丁亥"};
  for (int i = 0; i < 12; ++i) {
    EXPECT_EQ(HourPillar("乙丑", 2 * i), yiDay[i]) << 2 * i;
    if (i > 0) {
      EXPECT_EQ(HourPillar("乙丑", 2 * i - 1), yiDay[i]) << 2 * i - 1;
    }
  }
}

// Hour 23 opens the next day's 子 hour: its stem follows the next day stem.
TEST(HourPillar, HourTwentyThreeTakesTheNextDaysStem) {
  const struct {
    const char* day;
    const char* hour23;
  } cases[] = {
      {"甲子", "丙子"}, {"乙丑", "戊子"}, {"丙寅", "庚子"}, {"丁卯", "壬子"}, {"戊辰", "甲子"},
      {"己巳", "丙子"}, {"庚午", "戊子"}, {"辛未", "庚子"}, {"壬申", "壬子"}, {"癸酉", "甲子"},
  };
  for (const auto& c : cases) EXPECT_EQ(HourPillar(c.day, 23), c.hour23) << c.day;
}

TEST(HourPillar, NoPillar) {
  EXPECT_EQ(HourPillar("甲子", 24), "");
  EXPECT_EQ(HourPillar("甲子", -1), "");
  EXPECT_EQ(HourPillar("", 5), "");
  EXPECT_EQ(HourPillar("子甲", 5), "");  // no stem first
  EXPECT_EQ(HourPillar("x", 5), "");
  EXPECT_EQ(HourPillar("\xBC", 5), "");  // a lone lead byte
}

TEST(PillarElements, FollowTheTableOrder) {
  const struct {
    const char* text;
    const char* elements;
  } cases[] = {
      {"甲子", "木水"},
      {"子甲", "木水"},
      {"己卯", "土木"},
      {"丙子", "火水"},
      {"戊午", "土火"},
      {"壬子", "水水"},
      {"庚申", "金金"},
      {"甲甲", "木"},
      {"", ""},
      {"张三", ""},
      {"未丑辰戌子亥", "水水土土土土"},
      // The trail byte of one character and the lead byte of the next (BC D7)
      // spell 甲 across a character boundary; that is not a 甲.
      {"\xB0\xBC\xD7\xD3", "水"},
  };
  for (const auto& c : cases) EXPECT_EQ(PillarElements(c.text), c.elements) << c.text;
}

TEST(TallyElement, CountsAndRecordsMissing) {
  std::string missing;
  EXPECT_EQ(TallyElement("水", "土木火水土火水水", missing), 3);
  EXPECT_EQ(TallyElement("木", "土木火水土火水水", missing), 1);
  EXPECT_EQ(missing, "");
  EXPECT_EQ(TallyElement("金", "土木火水土火水水", missing), 0);
  EXPECT_EQ(TallyElement("金", "", missing), 0);
  EXPECT_EQ(missing, "金金");
  // Counted on character boundaries: C4 BE is 木, but not across 二 (B6 FE).
  missing.clear();
  EXPECT_EQ(TallyElement("\xC4\xBE", "\xB6\xC4\xBE\xFE", missing), 0);
  EXPECT_EQ(missing, "\xC4\xBE");
}

TEST(BirthAnalysis, GenerateVariant) {
  MainTransDate main;
  const BirthAnalysisResult result =
      BirthAnalysis(BirthAnalysisVariant::kGenerate, main.date, 2000, 1, 1, BirthHour::At(0));
  const LineList expected = {
      "开始分析八字",
      "己卯年 丙子月 戊午日 壬子时",
      "五行分析:年 土木 月 火水 日 土火 时 水水",
      "下面是根据五行分析的姓名禁忌,越少越好",
      "八字中水多",
      "八字中火多",
      "八字中土多",
  };
  EXPECT_EQ(result.paneLines, expected);
  EXPECT_EQ(result.analysisPaneLines, LineList{"名字中要有金"});
  EXPECT_EQ(result.birthElements, "土木火水土火水水");
  EXPECT_EQ(result.missingElements, "金");
  EXPECT_EQ(result.nameElements, "");
  EXPECT_EQ(result.pillars.year, "己卯");
  EXPECT_EQ(result.pillars.month, "丙子");
  EXPECT_EQ(result.pillars.day, "戊午");
  EXPECT_EQ(result.pillars.hour, "壬子");
  // The translator stays at the birth date.
  EXPECT_EQ(main.date.Date(), *EncodeDate(2000, 1, 1));
}

TEST(BirthAnalysis, Pillars) {
  const struct {
    int year, month, day;
    int hour;
    const char* pillars;
  } cases[] = {
      {2024, 1, 1, 0, "癸卯 甲子 甲子 甲子"},
      {2024, 1, 1, 23, "癸卯 甲子 甲子 丙子"},  // the day pillar stays on the given day
      {2024, 1, 1, 11, "癸卯 甲子 甲子 庚午"},
      {2024, 1, 1, 12, "癸卯 甲子 甲子 庚午"},
      {2024, 2, 4, 8, "癸卯 乙丑 戊戌 丙辰"},  // 立春 falls at 16:27: 8:30 is before it
      {2024, 2, 4, 17, "甲辰 丙寅 戊戌 辛酉"},
      {2024, 2, 3, 8, "癸卯 乙丑 丁酉 甲辰"},
      {1900, 1, 1, 1, "己亥 丙子 甲戌 乙丑"},
      {2057, 2, 4, 5, "丁丑 壬寅 壬辰 癸卯"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.year) + "-" + std::to_string(c.month) + "-" + std::to_string(c.day) + " " +
                 std::to_string(c.hour));
    MainTransDate main;
    const BirthAnalysisResult result =
        BirthAnalysis(BirthAnalysisVariant::kGenerate, main.date, c.year, c.month, c.day, BirthHour::At(c.hour));
    const BirthPillars& p = result.pillars;
    EXPECT_EQ(p.year + " " + p.month + " " + p.day + " " + p.hour, c.pillars);
    EXPECT_EQ(result.birthElements.size(), 16u);
  }
}

TEST(BirthAnalysis, HourOutsideTheDay) {
  MainTransDate main;
  const BirthAnalysisResult result =
      BirthAnalysis(BirthAnalysisVariant::kGenerate, main.date, 2000, 1, 1, BirthHour::At(24));
  EXPECT_EQ(result.paneLines.at(1), "己卯年 丙子月 戊午日 时");
  EXPECT_EQ(result.paneLines.at(2), "五行分析:年 土木 月 火水 日 土火 时 ");
  EXPECT_EQ(result.birthElements, "土木火水土火");
  EXPECT_EQ(result.pillars.hour, "");
}

TEST(BirthAnalysis, AnalysisVariant) {
  const CharElementLookup lookup = [](std::string_view ch) -> std::string {
    if (ch == "张") return "火";
    if (ch == "三") return "金";
    return "";
  };
  {
    MainTransDate main;
    const BirthAnalysisResult result =
        BirthAnalysis(BirthAnalysisVariant::kAnalysis, main.date, 2000, 1, 1, BirthHour::At(0), "张三a", lookup);
    const LineList expected = {
        "开始分析八字",
        "己卯年 丙子月 戊午日 壬子时",
        "五行分析:年 土木 月 火水 日 土火 时 水水",
        "下面是根据五行分析的姓名禁忌,越少越好",
        "五行缺金",
        "八字中水多",
        "八字中火多",
        "八字中土多",
        "张 属性 火",
        "三 属性 金",
        "a 属性 ",
        "姓名五行为:火金",
        "综合五行为:土木火水土火水水火金",
    };
    EXPECT_EQ(result.paneLines, expected);
    EXPECT_TRUE(result.analysisPaneLines.empty());
    EXPECT_EQ(result.missingElements, "金");
    EXPECT_EQ(result.nameElements, "火金");
  }
  {
    // Every element present (2024-06-15 at noon): "五行不缺"; an empty name.
    MainTransDate main;
    const BirthAnalysisResult result =
        BirthAnalysis(BirthAnalysisVariant::kAnalysis, main.date, 2024, 6, 15, BirthHour::At(12), "", lookup);
    const LineList expected = {
        "开始分析八字",
        "甲辰年 庚午月 庚戌日 壬午时",
        "五行分析:年 木土 月 金火 日 金土 时 水火",
        "下面是根据五行分析的姓名禁忌,越少越好",
        "八字中金多",
        "八字中火多",
        "八字中土多",
        "五行不缺",
        "姓名五行为:",
        "综合五行为:木土金火金土水火",
    };
    EXPECT_EQ(result.paneLines, expected);
    EXPECT_EQ(result.missingElements, "");
  }
  {
    // Two elements missing, in the order 金 木 水 火 土.
    MainTransDate main;
    const BirthAnalysisResult generate =
        BirthAnalysis(BirthAnalysisVariant::kGenerate, main.date, 2024, 1, 1, BirthHour::At(23));
    EXPECT_EQ(generate.missingElements, "金土");
    EXPECT_EQ(generate.analysisPaneLines, (LineList{"名字中要有金", "名字中要有土"}));
    const BirthAnalysisResult analysis =
        BirthAnalysis(BirthAnalysisVariant::kAnalysis, main.date, 2024, 1, 1, BirthHour::At(23), "张", lookup);
    EXPECT_EQ(analysis.paneLines.at(4), "五行缺金");
    EXPECT_EQ(analysis.paneLines.at(7), "五行缺土");
    EXPECT_EQ(std::count(analysis.paneLines.begin(), analysis.paneLines.end(), "五行不缺"), 0);
  }
}

TEST(BirthAnalysis, InputsThatCannotBeRead) {
  MainTransDate main;
  const double before = main.date.Date();
  try {
    BirthAnalysis(BirthAnalysisVariant::kGenerate, main.date, 2023, 2, 30, BirthHour::At(1));
    FAIL() << "no error";
  } catch (const BirthAnalysisError& error) {
    EXPECT_NE(std::string(error.what()).find("2023-2-30"), std::string::npos);
  }
  EXPECT_EQ(main.date.Date(), before);  // failed before the translator was set
}

// An unknown hour and an hour outside the day both leave the hour pillar out.
TEST(BirthAnalysis, HoursWithoutAPillar) {
  for (const BirthHour hour : {BirthHour::Unknown(), BirthHour::At(-1), BirthHour::At(24)}) {
    MainTransDate main;
    const BirthAnalysisResult result = BirthAnalysis(BirthAnalysisVariant::kGenerate, main.date, 2000, 1, 1, hour);
    EXPECT_EQ(result.paneLines.at(1), "己卯年 丙子月 戊午日 时");
    EXPECT_EQ(result.pillars.hour, "");
  }
}

TEST(BirthAnalysis, WholeNumbers) {
  const struct {
    const char* text;
    std::optional<int> value;
  } cases[] = {
      {"0", 0},
      {"23", 23},
      {" 7", 7},
      {"+7", 7},
      {"-1", -1},
      {"007", 7},
      {"", {}},
      {"7 ", {}},
      {"x", {}},
      {"--1", {}},
      {"2147483647", 2147483647},
      {"2147483648", {}},
      {"-2147483648", -2147483647 - 1},
      {"+", {}},
      {"0x10", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseWholeNumber(c.text), c.value) << '"' << c.text << '"';
}

}  // namespace
}  // namespace tavrin
