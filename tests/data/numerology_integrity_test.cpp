// Integrity of the shipped numerology table "5ge.dat": one line for each of
// the numbers 1..81, in order, each holding exactly the verdict words meant.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "chars/gbk.h"
#include "data/char_data_files.h"

namespace tavrin {
namespace {

using test::CrLfGb2312Lines;
using test::ShippedFile;

enum Verdict { kGood, kHalf, kBad };

// The verdict of each number 1..81 in the classical table as the file gives it.
constexpr Verdict kVerdicts[81] = {
    kGood, kBad,  kGood, kBad,  kGood, kGood, kGood, kGood, kBad,  kBad,   // 1..10
    kGood, kBad,  kGood, kBad,  kGood, kGood, kGood, kGood, kBad,  kBad,   // 11..20
    kGood, kBad,  kGood, kGood, kGood, kBad,  kHalf, kBad,  kGood, kHalf,  // 21..30
    kGood, kGood, kGood, kBad,  kGood, kBad,  kGood, kHalf, kGood, kHalf,  // 31..40
    kGood, kBad,  kBad,  kBad,  kGood, kBad,  kGood, kGood, kHalf, kBad,   // 41..50
    kHalf, kGood, kBad,  kBad,  kHalf, kBad,  kGood, kHalf, kBad,  kBad,   // 51..60
    kGood, kBad,  kGood, kBad,  kGood, kBad,  kGood, kGood, kBad,  kBad,   // 61..70
    kHalf, kBad,  kHalf, kBad,  kHalf, kBad,  kHalf, kHalf, kBad,  kBad,   // 71..80
    kGood,                                                                 // 81
};

int CountBytewise(const std::string& text, const std::string& word) {
  int count = 0;
  for (std::size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1)) ++count;
  return count;
}

std::string Key(int number) { return "第" + std::to_string(number) + "数"; }

class FiveGridDat : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { lines_ = new std::vector<std::string>(CrLfGb2312Lines(ShippedFile(kNumerologyFile))); }
  static void TearDownTestSuite() {
    delete lines_;
    lines_ = nullptr;
  }
  void SetUp() override { ASSERT_EQ(lines_->size(), 81u); }
  static const std::vector<std::string>& Lines() { return *lines_; }

 private:
  static std::vector<std::string>* lines_;
};
std::vector<std::string>* FiveGridDat::lines_ = nullptr;

TEST_F(FiveGridDat, EachNumberHasExactlyItsOwnLine) {
  for (std::size_t i = 0; i < Lines().size(); ++i) {
    EXPECT_EQ(Lines()[i].rfind(Key(static_cast<int>(i) + 1), 0), 0u) << "line " << i << " starts with its key";
  }
  // Byte-wise, as scoring looks keys up: every key of a plausible grid number
  // stands in exactly the line of its number, and keys beyond 81 nowhere.
  for (int number = 0; number <= 200; ++number) {
    int holders = 0;
    std::size_t holder = 0;
    for (std::size_t i = 0; i < Lines().size(); ++i) {
      if (Lines()[i].find(Key(number)) != std::string::npos) {
        ++holders;
        holder = i;
      }
    }
    SCOPED_TRACE(number);
    if (number >= 1 && number <= 81) {
      EXPECT_EQ(holders, 1);
      EXPECT_EQ(holder, static_cast<std::size_t>(number - 1));
    } else {
      EXPECT_EQ(holders, 0);
    }
  }
}

TEST_F(FiveGridDat, EachLineHoldsExactlyItsVerdictWords) {
  const std::string good = "吉";
  const std::string half = "半吉";
  const std::string bad = "凶";
  for (std::size_t i = 0; i < Lines().size(); ++i) {
    const std::string& line = Lines()[i];
    const Verdict verdict = kVerdicts[i];
    SCOPED_TRACE(Key(static_cast<int>(i) + 1));
    // Byte-wise, as scoring searches: no accidental word, not even across
    // two characters.
    EXPECT_EQ(line.find(good) != std::string::npos, verdict != kBad);
    EXPECT_EQ(line.find(half) != std::string::npos, verdict == kHalf);
    EXPECT_EQ(line.find(bad) != std::string::npos, verdict == kBad);
    // The verdict word once, as a word of its own.
    const std::string& word = verdict == kGood ? good : verdict == kHalf ? half : bad;
    EXPECT_EQ(CountBytewise(line, verdict == kBad ? bad : good), 1);
    const std::size_t at = FindAligned(line, word);
    ASSERT_NE(at, std::string::npos);
    // Some reading follows the verdict.
    EXPECT_GE(CharCount(line.substr(at + word.size())), 10u);
  }
}

}  // namespace
}  // namespace tavrin
