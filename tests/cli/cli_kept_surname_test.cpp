// A favourite keeps the surname of the run that made it: 欧阳俊 made for the
// surname 欧 (given name 阳俊) is read so by advise, by favourites and after
// an export and an import, not as 欧阳 + 俊.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <string>
#include <vector>

#include "cli/cli_testutil.h"
#include "testutil.h"

namespace tavrin::cli {
namespace {

using test::RunCommand;
using test::U8;

int Recommend(const std::vector<std::string>& args) {
  const auto result = RunCommand(args);
  EXPECT_EQ(result.status, 0) << result.err;
  const auto json = nlohmann::json::parse(result.out, nullptr, false);
  if (json.contains("names")) return json["names"][0]["recommend"];
  return json.contains("advice") ? json["advice"]["recommend"].get<int>() : -1;
}

TEST(CliKeptSurname, OneReadingOfAKeptName) {
  tavrin::test::TempDir dir, other;
  const std::string store = dir.Dir() + "favourites.db";
  const std::string name = U8(u8"欧阳俊");
  const int asMade = Recommend({"advise", name, "--surname", U8(u8"欧"), "--json"});
  const int asCompound = Recommend({"advise", name, "--json"});
  ASSERT_NE(asMade, asCompound);  // the two readings differ, or the test proves nothing

  EXPECT_EQ(Recommend({"favourites", "add", name, "--surname", U8(u8"欧"), "--store", store, "--json"}), asMade);
  // Kept again without --surname: the kept reading stays.
  EXPECT_EQ(Recommend({"favourites", "add", name, "--rating", "3", "--store", store, "--json"}), asMade);
  const auto list = nlohmann::json::parse(RunCommand({"favourites", "list", "--json", "--store", store}).out);
  EXPECT_EQ(list["favourites"][0]["surname"], 1);

  const std::string file = dir.Dir() + "shared.json";
  ASSERT_EQ(RunCommand({"favourites", "export", file, "--store", store}).status, 0);
  const std::string elsewhere = other.Dir() + "favourites.db";
  ASSERT_EQ(RunCommand({"favourites", "import", file, "--store", elsewhere}).status, 0);
  const auto imported = nlohmann::json::parse(RunCommand({"favourites", "list", "--json", "--store", elsewhere}).out);
  EXPECT_EQ(imported["favourites"][0]["surname"], 1);
  EXPECT_EQ(imported["favourites"][0]["advice"]["recommend"], asMade);

  const struct {
    const char8_t* surname;
  } refused[] = {{u8"王"}, {u8"欧阳俊"}, {u8"欧阳俊俊"}, {u8""}};
  for (const auto& c : refused) {
    const auto result = RunCommand({"advise", name, "--surname", U8(c.surname)});
    EXPECT_EQ(result.status, 2) << U8(c.surname);
    EXPECT_NE(result.err.find("--surname"), std::string::npos) << result.err;
  }
}

}  // namespace
}  // namespace tavrin::cli
