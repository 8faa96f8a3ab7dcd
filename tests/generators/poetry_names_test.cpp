#include "generators/poetry_names.h"

#include <gtest/gtest.h>

#include <tuple>

#include "core/poetry_db.h"
#include "naming_fixture.h"
#include "testutil.h"

namespace tavrin {
namespace {

using test::NamingFixture;

const char* const kHeading = "出生日期:2012年1月1日";
const char* const kPoem = "西陆蝉声唱，南冠客思侵。那堪玄鬓影，来对白头吟。";

TEST(PoetryNames, Runs) {
  const struct {
    const char* poem;
    const char* count;
    bool stopLeftSet;
    LineList expected;  // empty: only checked to start with the heading
    const char* progress;
  } cases[] = {
      {"床前明月光，疑是地上霜。", "1", false, {kHeading, "诗歌分析完成"}, ""},
      {"abc 123，。", "50", false, {kHeading}, "1001"},  // no Chinese character: 1,001 silent attempts
      {kPoem, "2", true, {}, nullptr},                   // the stop flag of an earlier run is cleared first
      {"明明明明", "3", false, {}, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.poem);
    NamingFixture f;
    f.inputs.count = c.count;
    if (c.stopLeftSet) f.model->StopCommand();
    const CommandResult<PoetryOutcome> result =
        StartPoetryNaming(*f.model, c.poem, f.model->Session().chart.birthElements);
    EXPECT_EQ(result.outcome, PoetryOutcome::kCompleted);
    EXPECT_FALSE(result.message);
    const LineList& lines = f.model->PaneOf(Origin::kPoetry).Lines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), kHeading);
    if (!c.expected.empty()) {
      EXPECT_EQ(lines, c.expected);
    }
    if (c.progress) {
      EXPECT_EQ(f.model->Presentation().Progress(), c.progress);
    }
    if (c.stopLeftSet) {
      EXPECT_EQ(lines.back(), "诗歌分析完成");
    }
  }
}

TEST(PoetryNames, RepeatedCharacterAndCharacterList) {
  NamingFixture f;
  f.inputs.count = "4";
  f.inputs.surname = "李";
  // Marks of a text (《》、·) are not drawn, nor letters and the marks the
  // character test refuses.
  StartPoetryNaming(*f.model, "《明》明，明\r\n、明·。a", f.model->Session().chart.birthElements);
  EXPECT_EQ(f.model->Session().poemCharList, (LineList{"明", "明", "明", "明"}));
  for (std::size_t i = 1; i < f.model->PaneOf(Origin::kPoetry).Lines().size(); ++i) {
    const std::string& line = f.model->PaneOf(Origin::kPoetry).Lines()[i];
    if (line == "诗歌分析完成") continue;
    EXPECT_TRUE(line.starts_with("李明明(")) << line;
  }
}

TEST(PoetryNames, RefusalsChangeNothing) {
  NamingFixture f;
  f.model->PaneOf(Origin::kPoetry).Append("earlier");
  const CommandResult<PoetryOutcome> noPoem = StartPoetryNaming(*f.model, "", f.model->Session().chart.birthElements);
  f.inputs.count = "5 0";
  const CommandResult<PoetryOutcome> badCount =
      StartPoetryNaming(*f.model, "床前明月光", f.model->Session().chart.birthElements);
  for (const auto& [result, field, text] : {std::tuple{noPoem, InputField::kPoem, "请先选择诗歌"},
                                            std::tuple{badCount, InputField::kCount, "产生名字个数“5 0”不是整数"}}) {
    EXPECT_EQ(result.outcome, PoetryOutcome::kRefused);
    ASSERT_TRUE(result.message);
    EXPECT_EQ(result.message->field, field);
    EXPECT_EQ(result.message->text, text);
  }
  EXPECT_EQ(f.model->PaneOf(Origin::kPoetry).Lines(), LineList{"earlier"});
}

// Started through the pump of a running Generate, the poetry run shares its
// stop flag: one Stop ends both.
TEST(PoetryNames, InsideAGenerateRun) {
  NamingFixture f;
  NamingModel& model = *f.model;
  bool started = false;
  PoetryOutcome outcome = PoetryOutcome::kRefused;
  f.pump.onPump = [&] {
    if (started) {
      if (!model.PaneOf(Origin::kPoetry).Lines().empty() && model.PaneOf(Origin::kPoetry).Rows() >= 3)
        model.StopCommand();
      return;
    }
    started = true;
    outcome = StartPoetryNaming(model, kPoem, model.Session().chart.birthElements).outcome;
  };
  EXPECT_EQ(f.Generate(), GenerateOutcome::kCompleted);
  EXPECT_EQ(outcome, PoetryOutcome::kCompleted);
  EXPECT_TRUE(model.Session().stopRequested);
  EXPECT_NE(model.PaneOf(Origin::kPoetry).Lines().back(), "诗歌分析完成");
  EXPECT_FALSE(std::find(model.PaneOf(Origin::kSettings).Lines().begin(), model.PaneOf(Origin::kSettings).Lines().end(),
                         "三字名字分析完成") != model.PaneOf(Origin::kSettings).Lines().end());
}

TEST(PoemDatabase, ShippedFileMissingAndCorrupt) {
  std::string error;
  const auto table = QueryPoems(ExecutableDir() + kPoetryFile, error);
  ASSERT_TRUE(table) << error;
  EXPECT_EQ(table->columns, (std::vector<std::string>{"id", "content", "collection", "dynasty", "title", "author"}));
  EXPECT_GT(table->rows.size(), 300u);

  test::TempDir dir;
  EXPECT_FALSE(QueryPoems(dir.Dir() + kPoetryFile, error));
  EXPECT_FALSE(error.empty());
  dir.Write(kPoetryFile, std::string(4096, 'x'));
  error.clear();
  EXPECT_FALSE(QueryPoems(dir.Dir() + kPoetryFile, error));
  EXPECT_NE(error.find("不是数据库文件"), std::string::npos) << error;
}

}  // namespace
}  // namespace tavrin
