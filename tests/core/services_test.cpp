#include "core/services.h"

#include <gtest/gtest.h>

#include "core/startup.h"
#include "pinyin_file.h"
#include "testutil.h"

namespace tavrin {
namespace {

TEST(Services, BuiltAtStartUpFromTheLoadedFiles) {
  test::TempDir dir;
  dir.Write(kPinyinFile, test::PinyinFile({{"张", "zhang1"}, {"三", "san1"}, {"陈", "chen2"}}));
  dir.Write(kCharElementFile, "“水”的字有：\r\n张\r\n");
  dir.Write(kNumerologyFile, "第8数 吉\r\n第11数 凶\r\n");
  const SharedStores shared = StartUp(dir.Dir());
  const DataStores& stores = *shared;
  ASSERT_TRUE(stores.services);
  const NamingServices& services = *stores.services;
  EXPECT_EQ(services.pinyin.PinyinOf("张三"), "Zhang1 San1");
  EXPECT_FALSE(services.pinyin.SoundCheck("张", "陈"));
  EXPECT_EQ(services.elements.CharElement("张"), "水");
  EXPECT_EQ(services.elements.CharElement("王"), "火");
  // 张 7 strokes, 王 4: heaven 8, person 11, total 11; 水火 with no chart is weak.
  EXPECT_EQ(services.scorer.ScoreName("张王", ""), "10,天格:第8数 吉\r人格:第11数 凶\r总格:第11数 凶\r");

  // Only sealing builds the services: loaded stores have none yet.
  EXPECT_FALSE(LoadStores(dir.Dir()).services);
}

TEST(Services, MissingFilesLeaveWorkingServices) {
  test::TempDir dir;
  const SharedStores shared = StartUp(dir.Dir());
  const DataStores& stores = *shared;
  ASSERT_TRUE(stores.services);
  EXPECT_EQ(stores.services->pinyin.PinyinOf("张三"), "张 三");
  EXPECT_EQ(stores.services->pinyin.ToneOf("张"), 1);
  EXPECT_EQ(stores.services->elements.CharElement("张"), "金");
  EXPECT_EQ(stores.services->scorer.ScoreName("张王", ""), "-10,");
}

TEST(Services, BuiltWhenStoresFilledByHandAreSealed) {
  DataStores stores;
  stores.numerologyTable = {"第8数 吉"};
  stores.charElementList = {"“木”的字有：", "张"};
  const SharedStores sealed = SealStores(std::move(stores));
  EXPECT_EQ(sealed->services->elements.NameElements("张王"), "木火");
  EXPECT_EQ(sealed->services->scorer.ScoreName("张", ""), "20,天格:第8数 吉\r");
}

}  // namespace
}  // namespace tavrin
