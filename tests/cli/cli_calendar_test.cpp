#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "cli/cli_testutil.h"

namespace tavrin::cli {
namespace {

using test::CliResult;
using test::RunCommand;
using test::U8;

const char* const kHeader =
    "date,lYear,lMonth,leap,lDay,MaxMonthDays,cYear_true,cMonth_true,cDay,cYear_false,cMonth_false,"
    "AnimalYear_true,SolarTerm,FeastOfLunar\n";

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    lines.push_back(text.substr(start, end - start));
  }
  return lines;
}

TEST(CliCalendar, LunarCsv) {
  const struct {
    std::vector<std::string> args;
    std::string rows;
  } cases[] = {
      {{"lunar", "1900-01-01", "--csv"}, U8(u8"1900-01-01,1899,12,0,1,30,己亥,丙子,甲戌,己亥,丁丑,猪,,\n")},
      {{"lunar", "--csv", "2024-02-09", "2024-02-10"},
       U8(u8"2024-02-09,2023,12,0,30,30,甲辰,丙寅,癸卯,癸卯,乙丑,龙,,除夕\n"
          u8"2024-02-10,2024,1,0,1,29,甲辰,丙寅,甲辰,甲辰,丙寅,龙,,春节\n")},
      {{"lunar", "2012-05-20", "2012-05-21", "--csv"},
       U8(u8"2012-05-20,2012,4,0,30,30,壬辰,乙巳,辛巳,壬辰,乙巳,龙,小满,\n"
          u8"2012-05-21,2012,4,1,1,29,壬辰,乙巳,壬午,壬辰,乙巳,龙,,\n")},
      {{"lunar", "2024-04-04", "--csv"}, U8(u8"2024-04-04,2024,2,0,26,30,甲辰,戊辰,戊戌,甲辰,丁卯,龙,清明,清明节\n")},
      {{"lunar", "2057-02-03", "2057-02-04", "--csv"},
       U8(u8"2057-02-03,2056,12,0,30,30,丁丑,壬寅,辛卯,丙子,辛丑,牛,立春,除夕\n"
          u8"2057-02-04,2057,1,0,1,29,丁丑,壬寅,壬辰,丁丑,壬寅,牛,,春节\n")},
      {{"lunar", "2024-08-18", "--csv"},
       U8(u8"2024-08-18,2024,7,0,15,30,甲辰,壬申,甲寅,甲辰,壬申,龙,,中元节(鬼节、盂兰盆)\n")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args[1]);
    const CliResult result = RunCommand(c.args);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, kHeader + c.rows);
    EXPECT_EQ(result.err, "");
  }
}

TEST(CliCalendar, LunarCsvOverTheWholeCalendar) {
  const CliResult result = RunCommand({"lunar", "1900-01-01", "2057-03-04", "--csv"});
  ASSERT_EQ(result.status, 0);
  const std::vector<std::string> lines = Lines(result.out);
  ASSERT_EQ(lines.size(), 57408u);  // the header and every day
  EXPECT_EQ(lines[1].substr(0, 10), "1900-01-01");
  EXPECT_EQ(lines.back(), U8(u8"2057-03-04,2057,1,0,29,29,丁丑,壬寅,庚申,丁丑,壬寅,牛,,"));
  for (const std::string& line : lines) ASSERT_EQ(std::count(line.begin(), line.end(), ','), 13) << line;
}

TEST(CliCalendar, LunarReadable) {
  const CliResult result = RunCommand({"lunar", "2012-05-20", "2012-05-21"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, U8(u8"2012-05-20  2012年4月30日  壬辰年 乙巳月 辛巳日  龙  小满\n"
                           u8"2012-05-21  2012年闰4月1日  壬辰年 乙巳月 壬午日  龙\n"));
}

TEST(CliCalendar, Day) {
  const CliResult result = RunCommand({"day", "2024-03-31"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, U8(u8"date: 2024-03-31\n"
                           u8"lunar: 2024年2月22日\n"
                           u8"FlagLeapMonth: 0\n"
                           u8"lunar MaxMonthDays: 30\n"
                           u8"cYear: 甲辰\n"
                           u8"cMonth: 丁卯\n"
                           u8"cDay: 甲午\n"
                           u8"AnimalYear: 龙\n"
                           u8"Week (Sunday = 1): 1\n"
                           u8"Week (ISO 8601, Monday = 1): 7\n"
                           u8"Constellation: 白羊座\n"
                           u8"MaxMonthDays: 31\n"
                           u8"Feast: 复活节 Easter Sunday安全教育日\n"
                           u8"FeastOfLunar: \n"
                           u8"SolarTerm: \n"));
  const CliResult spring = RunCommand({"day", "2024-02-10"});
  EXPECT_NE(spring.out.find(U8(u8"FeastOfLunar: 春节\n")), std::string::npos) << spring.out;
  EXPECT_NE(spring.out.find(U8(u8"Constellation: 水瓶座\n")), std::string::npos) << spring.out;
  // The main window's own stored date.
  const CliResult stored = RunCommand({"day", "2011-12-02"});
  EXPECT_NE(stored.out.find(U8(u8"lunar: 2011年11月8日\n")), std::string::npos) << stored.out;
}

TEST(CliCalendar, Pillars) {
  const CliResult result = RunCommand({"pillars", "2000-01-01", "0"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, U8(u8"开始分析八字\n"
                           u8"己卯年 丙子月 戊午日 壬子时\n"
                           u8"五行分析:年 土木 月 火水 日 土火 时 水水\n"
                           u8"下面是根据五行分析的姓名禁忌,越少越好\n"
                           u8"八字中水多\n"
                           u8"八字中火多\n"
                           u8"八字中土多\n"
                           u8"名字中要有金\n"
                           u8"BirthElements: 土木火水土火水水\n"
                           u8"MissingElements: 金\n"));
  const CliResult late = RunCommand({"pillars", "2024-01-01", "23"});
  EXPECT_EQ(late.status, 0);
  EXPECT_EQ(Lines(late.out).at(1), U8(u8"癸卯年 甲子月 甲子日 丙子时"));
  // The hour 0-23 that the help promises: 24 is refused (Generate takes it and
  // leaves the hour pillar out).
  const CliResult none = RunCommand({"pillars", "2024-06-15", "24"});
  EXPECT_EQ(none.status, 2);
  EXPECT_EQ(none.err, U8(u8"tavrin-cli pillars: 时辰 24 不在 0 至 23 之间\n"));
}

// The birth's moment and place: the notes follow the analysis's lines.
TEST(CliCalendar, PillarsAtThePlaceAndMoment) {
  const struct {
    std::vector<std::string> args;
    const char8_t* pillarLine;
    const char8_t* lastLine;
  } cases[] = {
      {{"pillars", "2026-07-07", "5"},
       u8"丙午年 甲午月 壬午日 癸卯时",
       u8"出生当天9:57交小暑：节前为甲午月，节后为乙未月；八字按节前"},
      {{"pillars", "2026-07-07", "9", "--term-side", "after"},
       u8"丙午年 乙未月 壬午日 乙巳时",
       u8"出生当天9:57交小暑：节前为甲午月，节后为乙未月；八字按节后（交节在出生的这个钟点里，前后未定，可以改选）"},
      {{"pillars", "2024-02-10", "6", "--place", U8(u8"新疆/乌鲁木齐")},
       u8"甲辰年 丙寅月 甲辰日 丙寅时",
       u8"按真太阳时 4:06（乌鲁木齐）排时柱，北京时间 6:30"},
      {{"pillars", "2024-11-03", "23", "--longitude", "135", "--minute", "0"},
       u8"甲辰年 甲戌月 壬申日 庚子时",
       u8"按真太阳时 0:16（东经135°）排时柱，北京时间 23:00，日柱按后一天"},
  };
  for (const auto& c : cases) {
    const CliResult result = RunCommand(c.args);
    ASSERT_EQ(result.status, 0) << result.err;
    const std::vector<std::string> lines = Lines(result.out);
    EXPECT_EQ(lines.at(1), U8(c.pillarLine));
    EXPECT_EQ(lines.back(), U8(c.lastLine));
  }
  const CliResult json = RunCommand({"pillars", "2024-02-04", "unknown", "--term-side", "before", "--json"});
  ASSERT_EQ(json.status, 0) << json.err;
  EXPECT_NE(json.out.find(U8(u8"\"yearBefore\":\"癸卯\"")), std::string::npos) << json.out;
  EXPECT_NE(json.out.find(U8(u8"\"used\":\"before\"")), std::string::npos) << json.out;
  EXPECT_NE(json.out.find(U8(u8"\"hourUnknown\":true")), std::string::npos) << json.out;
  const CliResult nowhere = RunCommand({"pillars", "2024-02-10", "6", "--place", U8(u8"火星")});
  EXPECT_EQ(nowhere.status, 2);
}

TEST(CliCalendar, BadInputExitsWithTwoAndAMessage) {
  const struct {
    std::vector<std::string> args;
    std::string messagePart;
    std::string out;
  } cases[] = {
      {{"lunar"}, U8(u8"用法: tavrin-cli lunar FROM [TO] [--csv]"), ""},
      {{"lunar", "2024-01-01", "2024-01-02", "2024-01-03"}, U8(u8"用法"), ""},
      {{"lunar", "2023-02-29"}, U8(u8"“2023-02-29”不是日期"), ""},
      {{"lunar", "2024-13-01", "--csv"}, U8(u8"不是日期"), ""},
      {{"lunar", "2024-1-1"}, "YYYY-MM-DD", ""},
      {{"lunar", "yesterday"}, U8(u8"不是日期"), ""},
      {{"lunar", "1899-12-31"}, U8(u8"早于历法的起点 1900-01-01"), ""},
      {{"lunar", "2024-02-02", "2024-02-01"}, U8(u8"终点 2024-02-01 早于起点 2024-02-02"), ""},
      {{"day"}, U8(u8"用法: tavrin-cli day DATE"), ""},
      {{"day", "2024-02-30"}, U8(u8"不是日期"), ""},
      {{"pillars", "2024-01-01"}, U8(u8"用法: tavrin-cli pillars DATE HOUR"), ""},
      {{"pillars", "2024-04-31", "1"}, U8(u8"不是日期"), ""},
      // The hour is read after the first line of the analysis; a bad hour is
      // answered in Chinese as one out of range is.
      {{"pillars", "2024-01-01", "noon"},
       U8(u8"tavrin-cli pillars: 时辰“noon”不是 0 至 23 之间的整数\n"),
       U8(u8"开始分析八字\n")},
      // No lunar date is invented past the calendar's data, nor pillars past the birth years.
      {{"day", "2100-01-01"}, U8(u8"日期 2100-01-01 不在 1900 至 2057 年之间"), ""},
      {{"lunar", "2057-12-31", "2058-01-01"}, U8(u8"日期 2058-01-01 不在"), ""},
      {{"pillars", "2057-01-01", "1"}, U8(u8"日期 2057-01-01 不在 1900 至 2056 年之间"), ""},
      {{"pillars", "2024-01-01", "-1"}, U8(u8"时辰 -1 不在 0 至 23 之间"), ""},
      {{"lunar", std::string(100000, '\x1b')}, U8(u8"“\\e\\e\\e"), ""},  // quoted short and harmless
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.messagePart);
    const CliResult result = RunCommand(c.args);
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.err.find(c.messagePart), std::string::npos) << result.err;
    EXPECT_EQ(result.out, c.out);
  }
}

TEST(CliCalendar, HelpListsTheCommands) {
  const CliResult result = RunCommand({"--help"});
  for (const char* name : {"lunar FROM [TO] [--csv]", "day DATE", "pillars DATE HOUR"}) {
    EXPECT_NE(result.out.find(name), std::string::npos) << name;
  }
}

}  // namespace
}  // namespace tavrin::cli
