// A full name read aloud as every page shows it: the surname's own reading,
// then each given character's usual one.
#include "chars/name_pinyin.h"

#include <gtest/gtest.h>

#include "advice/advice.h"
#include "core/services.h"
#include "core/startup.h"
#include "pinyin_file.h"
#include "testutil.h"

namespace tavrin {
namespace {

std::string U8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

TEST(NamePinyin, ShippedSurnamesAndGivenCharacters) {
  const SharedStores stores = StartUp(ExecutableDir());
  const NamePinyin& reader = stores->services->namePinyin;
  const struct {
    const char* name;
    int surnameLength;
    const char8_t* marked;
  } cases[] = {
      {"曾乐", 1, u8"zēng lè"},
      {"张曾", 1, u8"zhāng céng"},  // 曾 as a given character
      {"单雄信", 1, u8"shàn xióng xìn"},
      {"李单", 1, u8"lǐ dān"},
      {"仇英", 1, u8"qiú yīng"},
      {"区志明", 1, u8"ōu zhì míng"},
      {"万俟雪", 2, u8"mò qí xuě"},
      {"尉迟恭", 2, u8"yù chí gōng"},
      {"欧阳修远", 2, u8"ōu yáng xiū yuǎn"},
      {"张伟明", 1, u8"zhāng wěi míng"},
      {"王行乐", 1, u8"wáng xíng lè"},
      // A surname read only as the whole surname: 万俟 taken as 万 is no 万俟.
      {"万俟雪", 1, u8"wàn sì xuě"},
      {"曾", 1, u8"zēng"},
      {"", 1, u8""},
  };
  for (const auto& c : cases) EXPECT_EQ(reader.Marked(c.name, c.surnameLength), U8(c.marked)) << c.name;
  // The advice reads a name as the pages do.
  EXPECT_EQ(stores->advice->Advise("曾乐", 1, Sex::kMale).pinyin, reader.Numbered("曾乐", 1));
}

// A character the advice tables lack is read from the pinyin index; without
// the tables, every character.
TEST(NamePinyin, ThePinyinIndexForWhatTheTablesLack) {
  test::TempDir dir;
  dir.Write(kPinyinFile, test::PinyinFile({{"曾", "ceng2"}, {"乐", "le4"}}));
  EXPECT_EQ(StartUp(dir.Dir())->services->namePinyin.Marked("曾乐", 1), U8(u8"céng lè"));
  EXPECT_EQ(NamePinyin().Numbered("曾乐", 1), "曾 乐");
}

}  // namespace
}  // namespace tavrin
