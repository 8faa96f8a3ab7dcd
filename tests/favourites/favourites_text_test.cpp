// A favourite's texts between what it holds (GBK, as the literals here are
// compiled) and what the store and the exchange files keep (UTF-8).
#include <gtest/gtest.h>

#include "favourites/favourites_text.h"

namespace tavrin {
namespace {

TEST(FavouritesText, BetweenHeldAndStored) {
  const struct {
    const char* why;
    std::string stored;                   // UTF-8, as the file holds it
    std::string held;                     // as a favourite holds it once read
    std::optional<std::string> imported;  // as an import takes it
  } cases[] = {
      {"ASCII as it is", "a-1 b", "a-1 b", "a-1 b"},
      {"Chinese", "\xE6\xAC\xA7\xE9\x98\xB3\xE4\xBF\x8A", "欧阳俊", "欧阳俊"},
      {"mixed", "A\xE6\xAC\xA7", "A欧", "A欧"},
      {"a character GBK lacks", "\xE5\xA5\xBD\xF0\x9F\x98\x80", "好?", std::nullopt},
      {"not UTF-8", "\xE5\xA5", "?", std::nullopt},
      {"empty", "", "", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(HeldText(c.stored), c.held) << c.why;
    EXPECT_EQ(ImportedText(c.stored), c.imported) << c.why;
    EXPECT_EQ(MessageText(c.stored), c.held) << c.why;
    // What a favourite holds is stored as it was read.
    if (c.imported) {
      EXPECT_EQ(StoredText(*c.imported), c.stored) << c.why;
    }
  }
}

TEST(FavouritesText, FileNamesQuotedForMessages) {
  EXPECT_EQ(QuotedFileName("/tmp/a.db"), "“/tmp/a.db”");
  EXPECT_EQ(QuotedFileName("/tmp/\xE6\x94\xB6.db"), "“/tmp/收.db”");
}

}  // namespace
}  // namespace tavrin
