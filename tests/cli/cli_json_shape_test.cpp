// generate --json: the default shape carries what the first shape
// (--json-format 1, which scripts may still read) carries, under keys of its
// own and with numbers as numbers.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

#include "cli/cli_testutil.h"

namespace tavrin::cli {
namespace {

using test::RunCommand;
using test::U8;
using Json = nlohmann::ordered_json;

// The first shape's pane names and the default shape's page keys.
const std::pair<const char*, const char*> kPages[] = {
    {"Memo1", "summary"},     {"Memo2", "two_char"},        {"Memo3", "three_char"}, {"Memo5", "radical_elements"},
    {"Memo6", "recommended"}, {"Memo8", "recommended_two"}, {"Memo4", "analysis"}};

std::string PageKey(const std::string& pane) {
  for (const auto& [name, key] : kPages) {
    if (pane == name) return key;
  }
  ADD_FAILURE() << "no page for " << pane;
  return pane;
}

// A report row of six texts as the default shape writes it: its 综合五行 is
// birth and name elements together, its 五格 text the score and each grid's
// line ended by CR.
Json RowFromFirstShape(const Json& row) {
  const std::string score = row[1], grids = row[5];
  EXPECT_EQ(row[4].get<std::string>(), row[2].get<std::string>() + row[3].get<std::string>()) << row[0];
  const std::size_t comma = grids.find(',');
  EXPECT_EQ(grids.substr(0, comma), score) << row[0];
  Json lines = Json::array();
  for (std::size_t from = comma + 1, cr; (cr = grids.find('\r', from)) != std::string::npos; from = cr + 1) {
    lines.push_back(grids.substr(from, cr - from));
  }
  EXPECT_TRUE(grids.ends_with('\r') || comma + 1 == grids.size()) << row[0];
  return {{"name", row[0]},
          {"score", std::stoi(score)},
          {"birth_elements", row[2]},
          {"name_elements", row[3]},
          {"grid_lines", std::move(lines)}};
}

Json FromFirstShape(const Json& first) {
  Json pages = Json::object();
  for (const auto& [pane, lines] : first["panes"].items()) {
    pages[PageKey(pane)] = {{"lines", lines}, {"rows", first["rows"][pane]}};
  }
  Json report = Json::array();
  for (const Json& row : first["report"]) report.push_back(RowFromFirstShape(row));
  Json converted = {{"format", 2},
                    {"seed", first["seed"]},
                    {"pages", std::move(pages)},
                    {"report", std::move(report)},
                    {"pending_line", first["pendingLine"]},
                    {"progress", first["progress"]}};
  if (first.contains("best")) {
    Json best = Json::array();
    for (const Json& name : first["best"]) {
      Json renamed = Json::object();
      for (const auto& [key, value] : name.items())
        renamed[key == "conventionsScore" ? "conventions_score" : key] = value;
      best.push_back(std::move(renamed));
    }
    converted["best"] = std::move(best);
  }
  if (first.contains("child")) converted["child"] = first["child"];
  return converted;
}

TEST(CliJsonShape, DefaultShapeCarriesWhatTheFirstShapeCarries) {
  const std::vector<std::string> runs[] = {
      {"generate", "--seed", "20121209"},
      {"generate", "--seed", "7", "--count", "30", "--sex", "female", "--date", "2013-07-07", "--hour", "unknown",
       "--surname", U8(u8"李"), "--best", "5"},
      {"generate", "--seed", "3", "--count", "20", "--fix2", U8(u8"子")},
      // A run that fails on the way: its unfinished line is kept in both.
      {"generate", "--surname", U8(u8"張"), "--seed", "1"},
  };
  for (const auto& run : runs) {
    std::vector<std::string> first = run, fresh = run, second = run;
    first.insert(first.end(), {"--json-format", "1"});
    fresh.push_back("--json");
    second.insert(second.end(), {"--json-format", "2"});
    const auto old = RunCommand(first);
    const auto now = RunCommand(fresh);
    ASSERT_EQ(old.status, now.status) << run[2] << now.err;
    EXPECT_EQ(old.err, now.err);
    const Json shown = Json::parse(now.out);
    EXPECT_TRUE(shown == FromFirstShape(Json::parse(old.out))) << run[2];
    EXPECT_EQ(now.out, RunCommand(second).out) << run[2];
  }
}

}  // namespace
}  // namespace tavrin::cli
