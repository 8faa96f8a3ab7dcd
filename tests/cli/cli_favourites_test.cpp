// tavrin-cli favourites: a round trip through every subcommand, the input
// it refuses, and what it does on a damaged store or one of a newer layout.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <nlohmann/json.hpp>

#include "cli/cli_testutil.h"
#include "favourites/store.h"
#include "testutil.h"

namespace tavrin::cli {
namespace {

using test::CliResult;
using test::RunCommand;
using test::U8;
namespace fs = std::filesystem;

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class CliFavourites : public ::testing::Test {
 protected:
  // A favourites command on the test's store.
  CliResult Run(std::vector<std::string> args) {
    args.insert(args.begin(), "favourites");
    args.insert(args.end(), {"--store", store_});
    return RunCommand(args);
  }
  nlohmann::json List() {
    const CliResult list = Run({"list", "--json"});
    EXPECT_EQ(list.status, 0) << list.err;
    return nlohmann::json::parse(list.out)["favourites"];
  }
  // The score `analyse`-style commands give a name for a birth: the score
  // command with the elements of that birth's pillars.
  static std::string ScoreFor(const std::string& name, const std::string& date, const std::string& hour) {
    const CliResult pillars = RunCommand({"pillars", date, hour});
    const std::size_t at = pillars.out.find("BirthElements: ");
    const std::string elements = pillars.out.substr(at + 15, pillars.out.find('\n', at) - at - 15);
    const CliResult score = RunCommand({"score", name, "--birth-elements", elements});
    return score.out.substr(0, score.out.find('\n'));
  }

  tavrin::test::TempDir dir_;
  std::string store_ = dir_.Dir() + "favourites.db";
};

TEST_F(CliFavourites, RoundTrip) {
  const CliResult added = Run({"add", U8(u8"张伟")});
  EXPECT_EQ(added.status, 0) << added.err;
  EXPECT_EQ(added.out, U8(u8"已收藏\t张伟\t男\t2012-01-01 1时\t") + ScoreFor(U8(u8"张伟"), "2012-01-01", "1") +
                           U8(u8"分\t☆☆☆☆☆\t\n"));
  ASSERT_EQ(Run({"add", U8(u8"李静"), "--sex", "female", "--date", "2020-02-29", "--hour", "23", "--note", U8(u8"好听"),
                 "--rating", "4"})
                .status,
            0);
  // Keeping it again changes only what is given: here the hour, now unknown.
  const CliResult again = Run({"add", U8(u8"李静"), "--sex", "female", "--rating", "5", "--hour", "unknown"});
  EXPECT_TRUE(again.out.starts_with(U8(u8"已更新\t李静\t女\t2020-02-29 时辰不详\t"))) << again.out;
  EXPECT_TRUE(again.out.ends_with(U8(u8"分\t★★★★★\t好听\n"))) << again.out;
  EXPECT_EQ(Run({"note", U8(u8"李静"), U8(u8"奶奶喜欢")}).status, 0);

  const nlohmann::json list = List();
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[1]["name"], U8(u8"李静"));
  EXPECT_EQ(list[1]["note"], U8(u8"奶奶喜欢"));
  EXPECT_EQ(list[1]["rating"], 5);
  EXPECT_EQ(list[1]["score"].dump(), ScoreFor(U8(u8"李静"), "2020-02-29", "unknown"));
  EXPECT_TRUE(list[1]["hour"].is_null());
  EXPECT_EQ(list[1]["origin"], U8(u8"命令行"));
  // The advice at the time, as advise --json gives it.
  const nlohmann::json advised =
      nlohmann::json::parse(RunCommand({"advise", U8(u8"李静"), "--sex", "female", "--json"}).out)["names"][0];
  EXPECT_EQ(list[1]["advice"]["recommend"], advised["recommend"]);
  EXPECT_EQ(list[1]["advice"]["reasons"], advised["reasons"]);

  const std::string exported = dir_.Dir() + "shared.json";
  EXPECT_EQ(Run({"export", exported}).out, U8(u8"已导出 2 条收藏到 ") + exported + "\n");
  EXPECT_EQ(Run({"export", dir_.Dir() + "shared.csv"}).status, 0);
  EXPECT_NE(Slurp(dir_.Dir() + "shared.csv").find(U8(u8"\r\n李静,female,2020-02-29,时辰不详,")), std::string::npos);

  // Removed, then imported again: the import adds it back and deletes nothing.
  EXPECT_EQ(Run({"remove", U8(u8"张伟")}).status, 0);
  EXPECT_EQ(Run({"add", U8(u8"王芳"), "--sex", "female"}).status, 0);
  EXPECT_EQ(Run({"import", exported}).out, U8(u8"导入 2 条:新增 1,更新 0,不变 1\n"));
  const nlohmann::json merged = List();
  EXPECT_EQ(merged.size(), 3u);
  EXPECT_EQ(merged[0], list[0]);
  EXPECT_EQ(merged[1], list[1]);
}

TEST_F(CliFavourites, RefusesBadInputAndChangesNothing) {
  ASSERT_EQ(Run({"add", U8(u8"张伟")}).status, 0);
  const std::string hostile = dir_.Dir() + "hostile.json";
  std::ofstream(hostile)
      << R"({"format": "tavrin-favourites", "version": 1, "favourites": [)"
      << U8(u8R"({"name": "王芳", "sex": "female", "date": "2012-01-01", "hour": 1, "score": 90},)")
      << R"({"name": "=cmd|' /C calc'!A0", "sex": "male", "date": "2012-01-01", "hour": 1, "score": 1}]})";
  const struct {
    std::vector<std::string> args;
    std::string err;
  } cases[] = {
      {{"add", U8(u8"张")}, U8(u8"“张”:名字要有姓和名,至少两个汉字")},
      {{"add", U8(u8"张伟"), "--rating", "6"}, U8(u8"--rating “6”不是 0 至 5 之间的整数")},
      {{"add", U8(u8"张伟"), "--sex", "boy"}, U8(u8"--sex 只能是 male 或 female,不能是“boy”")},
      {{"add", U8(u8"张伟"), "--date", "2012-02-30"}, U8(u8"出生日期 2012-2-30 不存在")},
      {{"add", U8(u8"张伟"), "--hour", "24"}, U8(u8"--hour “24”既不是 0 至 23 之间的整数,也不是 unknown")},
      {{"remove", U8(u8"王芳")}, U8(u8"“王芳”不在收藏中")},
      {{"import", dir_.Dir() + "none.json"},
       U8(u8"无法导入“") + dir_.Dir() + U8(u8"none.json”:无法读取“") + dir_.Dir() +
           U8(u8"none.json”:文件不存在;收藏没有改动")},
      {{"import", hostile},
       U8(u8"无法导入“") + hostile + U8(u8"”:第 2 条收藏“=cmd|' /C calc'!A0”:名字只能由汉字组成;收藏没有改动")},
      {{"export", dir_.Dir()}, U8(u8"无法写入“") + dir_.Dir() + U8(u8"”:是一个目录,不是文件")},
      {{"list", "--rating", "1"}, "usage"},  // checked as the start of the usage message below
      {{"remove", U8(u8"张伟"), "--note", "x"}, "usage"},
      {{"export"}, "usage"},
  };
  for (const auto& c : cases) {
    const CliResult result = Run(c.args);
    EXPECT_EQ(result.status, 2) << c.args[0];
    const std::string err = result.err.substr(result.err.find(": ") + 2);
    if (c.err == "usage") {
      EXPECT_TRUE(err.starts_with(U8(u8"用法: tavrin-cli favourites"))) << result.err;
    } else {
      EXPECT_EQ(err, c.err + "\n");
    }
  }
  const nlohmann::json list = List();
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0]["name"], U8(u8"张伟"));
}

TEST_F(CliFavourites, DamagedAndNewerStores) {
  // A damaged store is kept aside, the command runs on a new one, status 2.
  std::ofstream(store_) << "not a database";
  const CliResult damaged = Run({"add", U8(u8"张伟")});
  EXPECT_EQ(damaged.status, 2);
  EXPECT_TRUE(damaged.err.starts_with(U8(u8"tavrin-cli favourites: 收藏文件“") + store_ +
                                      U8(u8"”不是 SQLite 数据库,已改名保存为“") + store_ + ".corrupt-"))
      << damaged.err;
  EXPECT_EQ(List().size(), 1u);
  const std::size_t at = damaged.err.find(".corrupt-");
  EXPECT_EQ(Slurp(store_ + damaged.err.substr(at, damaged.err.find(U8(u8"”"), at) - at)), "not a database");

  // A newer layout: listed, status 2, and no change goes in.
  sqlite3* db = nullptr;
  sqlite3_open(store_.c_str(), &db);
  sqlite3_exec(db, "PRAGMA user_version = 9", nullptr, nullptr, nullptr);
  sqlite3_close(db);
  const CliResult list = Run({"list"});
  EXPECT_EQ(list.status, 2);
  EXPECT_TRUE(list.out.starts_with(U8(u8"张伟\t男\t"))) << list.out;
  const CliResult add = Run({"add", U8(u8"王芳")});
  EXPECT_EQ(add.status, 2);
  EXPECT_NE(add.err.find(U8(u8"无法保存到收藏文件")), std::string::npos) << add.err;
  EXPECT_EQ(Run({"list", "--json"}).out.find(U8(u8"王芳")), std::string::npos);
}

TEST_F(CliFavourites, ListsAndExportsAStoreOfTheFirstLayoutAsItStands) {
  // Made before the surname's length was kept, and before stores were
  // marked: read without being brought up to date.
  sqlite3* db = nullptr;
  sqlite3_open(store_.c_str(), &db);
  const std::string sql = std::string(FavouritesSchema()[0].sql) +
                          "; INSERT INTO favourite VALUES (CAST(X'E5BCA0E4BC9F' AS TEXT), 'male', 2012, 1, 1, 1, 80,"
                          " NULL, '', 3, '', '', 0, 0); PRAGMA user_version = 1";
  ASSERT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(db);
  const std::string before = Slurp(store_);
  const CliResult list = Run({"list"});
  EXPECT_EQ(list.status, 0) << list.err;
  EXPECT_TRUE(list.out.starts_with(U8(u8"张伟\t男\t"))) << list.out;
  EXPECT_EQ(Run({"export", dir_.Dir() + "kept.json"}).status, 0);
  EXPECT_NE(Slurp(dir_.Dir() + "kept.json").find(U8(u8"张伟")), std::string::npos);
  EXPECT_EQ(Slurp(store_), before);
}

TEST_F(CliFavourites, FindsItsStoreFromTheEnvironment) {
  const std::string xdg = dir_.Dir() + "xdg";
  ::setenv("XDG_DATA_HOME", xdg.c_str(), 1);
  ::unsetenv("TAVRIN_FAVOURITES");
  EXPECT_EQ(RunCommand({"favourites", "add", U8(u8"张伟")}).status, 0);
  struct stat st;
  ASSERT_EQ(::stat((xdg + "/tavrin").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  EXPECT_TRUE(fs::is_regular_file(xdg + "/tavrin/favourites.db"));
  ::setenv("TAVRIN_FAVOURITES", store_.c_str(), 1);
  EXPECT_EQ(RunCommand({"favourites", "list"}).out, "");
  ::unsetenv("TAVRIN_FAVOURITES");
  ::unsetenv("XDG_DATA_HOME");
}

}  // namespace
}  // namespace tavrin::cli

namespace tavrin::cli {
namespace {

TEST(CliFavouritesStore, RefusesStoresThatAreNoFilesAndImportsThatCannotBeRead) {
  tavrin::test::TempDir dir;
  const std::string bad = dir.Dir() + "bad.json";
  std::ofstream(bad) << R"({"format": "tavrin-favourites", "version": 1, "favourites": [{"score": 1e400}]})";
  const std::string store = dir.Dir() + "favourites.db";
  const struct {
    std::vector<std::string> args;
    std::string err;
  } cases[] = {
      {{"favourites", "add", U8(u8"张伟"), "--store", ""}, U8(u8"无法打开收藏文件“”:路径是空的")},
      {{"favourites", "add", U8(u8"张伟"), "--store", ":memory:"},
       U8(u8"无法打开收藏文件“:memory:”:“:memory:”是内存数据库,不是文件")},
      {{"favourites", "list", "--store", "file:x.db?mode=memory"},
       U8(u8"无法打开收藏文件“file:x.db?mode=memory”:以“file:”开头的是 URI,不是文件名")},
      {{"favourites", "import", bad, "--store", store},
       U8(u8"无法导入“") + bad + U8(u8"”:第 76 个字节处的数超出范围;收藏没有改动")},
  };
  for (const auto& c : cases) {
    const CliResult result = RunCommand(c.args);
    EXPECT_EQ(result.status, 2) << c.args[1];
    EXPECT_EQ(result.err.substr(result.err.find(": ") + 2), c.err + "\n");
  }
  EXPECT_FALSE(fs::exists(dir.Dir() + "x.db"));
}

TEST(CliFavouritesStore, AReimportIsUnchanged) {
  tavrin::test::TempDir dir;
  const std::string store = dir.Dir() + "favourites.db", file = dir.Dir() + "all.json";
  for (const char8_t* name : {u8"张伟", u8"李静"}) {
    ASSERT_EQ(RunCommand({"favourites", "add", U8(name), "--store", store}).status, 0);
  }
  ASSERT_EQ(RunCommand({"favourites", "export", file, "--store", store}).status, 0);
  EXPECT_EQ(RunCommand({"favourites", "import", file, "--store", store}).out, U8(u8"导入 2 条:新增 0,更新 0,不变 2\n"));
}

}  // namespace
}  // namespace tavrin::cli
