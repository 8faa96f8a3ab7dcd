// A favourite's texts between what it holds (GBK, as the literals here are
// compiled) and what the store and the exchange files keep (UTF-8).
#include <gtest/gtest.h>

#include <type_traits>

#include "favourites/favourite.h"
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
    const Utf8Text stored(c.stored);
    EXPECT_EQ(HeldText(stored).Bytes(), c.held) << c.why;
    const auto imported = ImportedText(stored);
    EXPECT_EQ(imported.has_value(), c.imported.has_value()) << c.why;
    EXPECT_EQ(MessageText(stored).Bytes(), c.held) << c.why;
    // What a favourite holds is stored as it was read.
    if (imported) {
      EXPECT_EQ(imported->Bytes(), *c.imported) << c.why;
      EXPECT_EQ(StoredText(*imported), stored) << c.why;
    }
  }
}

TEST(FavouritesText, FileNamesQuotedForMessages) {
  EXPECT_EQ(QuotedFileName(Utf8Text("/tmp/a.db")).Bytes(), "“/tmp/a.db”");
  EXPECT_EQ(QuotedFileName(Utf8Text("/tmp/\xE6\x94\xB6.db")).Bytes(), "“/tmp/收.db”");
}

// A favourite's name takes no bytes of unsaid encoding, its advice's JSON no
// text of the core.
static_assert(!std::is_assignable_v<decltype(Favourite::name)&, std::string> &&
              !std::is_assignable_v<decltype(KeptAdvice::json)&, GbkText>);

}  // namespace
}  // namespace tavrin
