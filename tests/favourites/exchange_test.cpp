// The exchange files: what an import refuses and why, what a name must be,
// and the CSV cells a spreadsheet would otherwise run.
#include <gtest/gtest.h>

#include "chars/encoding.h"
#include "favourites/exchange.h"
#include "favourites/favourites_testutil.h"

namespace tavrin::test {
namespace {

// A favourite entry (UTF-8, as files are) with one field replaced, or
// removed for nullptr; the literals are GBK, as the core's texts.
std::string Entry(const char* key = "", const char* value = "") {
  nlohmann::ordered_json entry = nlohmann::ordered_json::parse(
      GbkToUtf8(R"({"name": "张伟", "sex": "male", "date": "2012-01-01", "hour": 1, "score": 95})"));
  if (*key) {
    if (value) {
      entry[key] = nlohmann::ordered_json::parse(GbkToUtf8(value));
    } else {
      entry.erase(key);
    }
  }
  return entry.dump();
}

// A file an import must refuse, and the refusal (GBK, as the store's
// messages are).
struct Case {
  const char* what;
  std::string text;
  const char* refusal;
};

template <std::size_t N>
void ExpectRefused(const Case (&cases)[N]) {
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    try {
      FavouritesFromJson(Utf8Text(c.text));
      ADD_FAILURE() << "accepted";
    } catch (const FavouritesError& error) {
      EXPECT_EQ(std::string(error.what()), c.refusal) << GbkToUtf8(error.what());
    }
  }
}

std::string File(const std::string& entries) {
  return R"({"format": "tavrin-favourites", "version": 1, "favourites": [)" + entries + "]}";
}

TEST(Import, RefusesMalformedAndHostileFilesSayingWhy) {
  const std::string deep = std::string(100000, '[') + std::string(100000, ']');
  const Case cases[] = {
      {"not JSON", "favourites", "不是正确的 JSON 文本:第 3 个字节处有错"},
      {"cut short", File(Entry()).substr(0, 60), "不是正确的 JSON 文本:第 61 个字节处有错"},
      {"nested 100000 deep", deep, "JSON 嵌套超过 16 层"},
      {"another format", R"({"format": "other", "favourites": []})",
       "不是收藏的导出文件(没有 \"format\": \"tavrin-favourites\")"},
      {"newer version", R"({"format": "tavrin-favourites", "version": 2, "favourites": []})",
       "由较新版本的程序导出(版本 2),本程序只认识到版本 1"},
      {"no list", R"({"format": "tavrin-favourites", "version": 1})", "缺少收藏列表“favourites”"},
      {"entry not an object", File("3"), "第 1 条收藏不是 JSON 对象"},
      {"no name", File(Entry("name", nullptr)), "第 1 条收藏缺少“name”"},
      {"name with an emoji", File(Entry("name", "\"张\\ud83d\\ude00\"")), "第 1 条收藏的“name”含有 GBK 无法表示的字符"},
      {"name of one character", File(Entry("name", "\"张\"")), "第 1 条收藏“张”:名字要有姓和名,至少两个汉字"},
      {"name with a formula", File(Entry("name", "\"=1+2\"")), "第 1 条收藏“=1+2”:名字只能由汉字组成"},
      {"name with a full-width digit", File(Entry("name", "\"张１\"")), "第 1 条收藏“张１”:名字只能由汉字组成"},
      {"name with a mark", File(Entry("name", "\"张、\"")), "第 1 条收藏“张、”:名字只能由汉字组成"},
      {"name of five characters", File(Entry("name", "\"欧阳修文武\"")),
       "第 1 条收藏“欧阳修文武”:名字最多四个汉字(复姓加两字名)"},
      {"sex unknown", File(Entry("sex", "\"other\"")), "第 1 条收藏的“sex”应为 male 或 female"},
      {"date of another form", File(Entry("date", "\"2012/01/01\"")), "第 1 条收藏的“date”应为 YYYY-MM-DD 形式的日期"},
      {"date that does not exist", File(Entry("date", "\"2012-02-30\"")),
       "第 1 条收藏“张伟”:出生日期 2012-2-30 不存在"},
      {"hour a fraction", File(Entry("hour", "1.5")), "第 1 条收藏的“hour”应为整数"},
      {"hour 24", File(Entry("hour", "24")), "第 1 条收藏“张伟”:出生时辰 24 不在 0 至 23 之间"},
      {"score beyond int", File(Entry("score", "99999999999")), "第 1 条收藏的“score”超出范围"},
      {"score above 100", File(Entry("score", "101")), "第 1 条收藏“张伟”:分数 101 不是名字的分数"},
      {"note of 2001 characters", File(Entry("note", ("\"" + std::string(2001, 'x') + "\"").c_str())),
       "第 1 条收藏“张伟”:备注超过 2000 个字"},
      {"time of another form", File(Entry("added", "\"yesterday\"")),
       "第 1 条收藏的“added”应为 YYYY-MM-DDTHH:MM:SSZ 形式的时间"},
      {"the same favourite twice", File(Entry() + "," + Entry("note", "\"again\"")),
       "第 2 条收藏“张伟”与第 1 条是同一个收藏(同名同性别)"},
  };
  ExpectRefused(cases);
}

TEST(Import, ReadsBackEveryFieldOfAnExport) {
  Favourite f = Named("司马光明", Sex::kFemale, 4, "奶奶说好,\"就它\"");
  f.year = 2020;
  f.month = 2;
  f.day = 29;
  f.hour = 23;
  f.score = -12;
  f.advice = ReadKeptAdvice(ToUtf8(GbkText(R"({"推荐度":"高","理由":["音韵"]})")));
  f.origin = GbkText("诗歌取名");
  f.poem = GbkText("静夜思");
  f.added = kTestNow - 86400;
  f.changed = kTestNow;
  Favourite plain = Named("\x81\x40\xB0\xA1");  // 丂 of GBK's extra characters, then 啊
  plain.added = plain.changed = kTestNow;
  const std::vector<Favourite> favourites{f, plain};
  std::vector<Favourite> back = FavouritesFromJson(FavouritesToJson(favourites, kTestNow));
  ASSERT_EQ(back.size(), 2u);
  // Advice comes back as the same JSON, written compactly.
  EXPECT_EQ(nlohmann::json::parse(back[0].advice->json.View()), nlohmann::json::parse(f.advice->json.View()));
  back[0].advice = f.advice;
  EXPECT_EQ(back, favourites);
}

TEST(Csv, CellsThatASpreadsheetWouldRunStayText) {
  const std::pair<const char*, const char*> cases[] = {
      {"张伟", "张伟"},
      {"=HYPERLINK(\"http://x\")", "\"'=HYPERLINK(\"\"http://x\"\")\""},
      {"+1", "'+1"},
      {"-1+2", "'-1+2"},
      {"@SUM(A1)", "'@SUM(A1)"},
      {"\tx", "'\tx"},
      {"\rx", "\"'\rx\""},
      {"a=b", "a=b"},
      {"a,b", "\"a,b\""},
      {"line\nbreak", "\"line\nbreak\""},
      {"", ""},
  };
  for (const auto& [cell, written] : cases) EXPECT_EQ(CsvCell(cell), written) << cell;
}

}  // namespace
}  // namespace tavrin::test

namespace tavrin::test {
namespace {

TEST(Import, RefusesNumbersVersionsAndFieldsItDoesNotKnow) {
  const auto file = [](const std::string& version, const std::string& entries, const std::string& extra = "") {
    return R"({"format": "tavrin-favourites", "version": )" + version + extra + R"(, "favourites": [)" + entries + "]}";
  };
  const Case cases[] = {
      {"a number beyond a double", file("1", R"({"score": 1e400})"), "第 76 个字节处的数超出范围"},
      {"the largest unsigned version", file("18446744073709551615", ""),
       "由较新版本的程序导出(版本 超出范围),本程序只认识到版本 1"},
      {"version 0", file("0", ""), "版本 0 不是导出文件的版本"},
      {"a negative version", file("-1", ""), "版本 -1 不是导出文件的版本"},
      {"a fractional version", file("1.0", ""), "缺少整数“version”"},
      {"an unknown field of the file", file("1", "", R"(, "colour": "red")"), "文件有未知的字段“colour”"},
      {"an unknown field of an entry", file("1", Entry() + "," + Entry("colour", "\"red\"")),
       "第 2 条收藏有未知的字段“colour”"},
      {"a field twice", file("1", R"({"name": "a", "name": "b"})"), "第 1 条收藏的“name”出现了两次"},
      {"advice that is no object", file("1", Entry("advice", "\"good\"")), "第 1 条收藏的“advice”应为 JSON 对象"},
      {"a score as an object", file("1", Entry("score", "{}")), "第 1 条收藏的“score”不应是 JSON 对象或数组"},
      {"an entry before the version, wrong", R"({"format": "tavrin-favourites", "favourites": [3], "version": 9})",
       "由较新版本的程序导出(版本 9),本程序只认识到版本 1"},
      {"a time of export that is none", file("1", "", R"(, "exported": "now")"),
       "文件的“exported”应为 YYYY-MM-DDTHH:MM:SSZ 形式的时间"},
  };
  ExpectRefused(cases);
}

TEST(Import, NamesTheOptionalFieldsAnEntryGives) {
  const auto read = [](const std::string& entry) {
    return FavouritesFromJson(
               Utf8Text(R"({"format": "tavrin-favourites", "version": 1, "favourites": [)" + entry + "]}"))
        .at(0)
        .fields;
  };
  const unsigned always = kFieldBirth | kFieldScore;
  EXPECT_EQ(read(Entry()), always);
  EXPECT_EQ(read(Entry("note", "null")), always);
  EXPECT_EQ(read(Entry("note", "\"x\"")), always | kFieldNote);
  EXPECT_EQ(read(Entry("advice", "null")), always | kFieldAdvice);
  EXPECT_EQ(read(Entry("changed", "\"2026-12-09T09:15:00Z\"")), always | kFieldChanged);
}

}  // namespace
}  // namespace tavrin::test
