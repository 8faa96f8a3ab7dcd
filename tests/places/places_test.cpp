#include "places/places.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace tavrin::places {
namespace {

TEST(PlaceTable, ParseAndLookUp) {
  const PlaceTable table = PlaceTable::Parse(
      "北京\t北京\t116.4053\t39.9050\n"
      "新疆\t乌鲁木齐\t87.6177\t43.7928\r\n"
      "新疆\t喀什\t75.9891\t39.4677\n"
      "\n"
      "新疆\t坏行\t东经\t43\n"  // not a number
      "新疆\t三列\t87.6\n"      // three fields
      "新疆\t太远\t200\t43\n"   // no longitude
      "\t无省\t87.6\t43\n");
  EXPECT_EQ(table.All().size(), 3u);
  EXPECT_EQ(table.SkippedLines(), 4u);
  EXPECT_EQ(table.Provinces(), (std::vector<std::string>{"北京", "新疆"}));
  EXPECT_EQ(table.CitiesOf("新疆"), (std::vector<std::string>{"乌鲁木齐", "喀什"}));
  EXPECT_TRUE(table.CitiesOf("西藏").empty());
  ASSERT_NE(table.Find("新疆", "乌鲁木齐"), nullptr);
  EXPECT_DOUBLE_EQ(table.Find("新疆", "乌鲁木齐")->longitude, 87.6177);
  EXPECT_EQ(table.Find("北京", "乌鲁木齐"), nullptr);
  EXPECT_EQ(table.FindPath("新疆/喀什"), table.Find("新疆", "喀什"));
  EXPECT_EQ(table.FindPath("北京"), table.Find("北京", "北京"));  // a province of one city
  EXPECT_EQ(table.FindPath("新疆"), nullptr);                     // of two
  EXPECT_EQ(table.FindPath("新疆/"), nullptr);
}

// The shipped table: every province has cities, each within China's longitudes.
TEST(PlaceTable, ShippedFile) {
  const char* source = std::getenv("TAVRIN_SOURCE_DIR");
  ASSERT_NE(source, nullptr);
  const std::optional<PlaceTable> table = PlaceTable::Read(std::string(source) + "/data/" + kPlacesFileName);
  ASSERT_TRUE(table.has_value());
  EXPECT_EQ(table->SkippedLines(), 0u);
  EXPECT_EQ(table->Provinces().size(), 34u);
  EXPECT_EQ(table->All().size(), 367u);
  for (const Place& p : table->All()) {
    EXPECT_GT(p.longitude, 73) << p.city;
    EXPECT_LT(p.longitude, 136) << p.city;
  }
  ASSERT_NE(table->FindPath("新疆/乌鲁木齐"), nullptr);
  EXPECT_NEAR(table->FindPath("新疆/乌鲁木齐")->longitude, 87.6, 0.1);
  EXPECT_NEAR(table->FindPath("上海")->longitude, 121.5, 0.1);
  EXPECT_FALSE(PlaceTable::Read(std::string(source) + "/data/no-such-file.dat").has_value());
}

}  // namespace
}  // namespace tavrin::places
