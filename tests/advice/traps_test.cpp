// The traps as classes: a surname heard as a negation before a good phrase
// (魏知遇 未知遇), an everyday word unfortunate for a child across surname
// and given name (丁克明), a pair that is no word, no phrase and no name
// (曾君不, 陆子曰) — and the real names none of them may hit.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "advice/advice.h"
#include "chars/gbk.h"
#include "core/startup.h"

namespace tavrin::advice {
namespace {

const AdviceTables& Shipped() {
  static const AdviceTables tables = LoadAdviceTables(ExecutableDir());
  return tables;
}

Advice AdviseShipped(const std::string& name, Sex sex) {
  return Shipped().Advise(name, Shipped().SurnameLength(name), sex);
}

// The strongest homophone warning: 0 none, 1 a hint, 2 serious.
int Heard(const Advice& a) {
  int heard = 0;
  for (const Warning& w : a.warnings) {
    if (w.kind == WarningKind::kHomophone) heard = std::max(heard, w.severity == Severity::kSerious ? 2 : 1);
  }
  return heard;
}

TEST(Traps, MustAndMustNot) {
  constexpr int kNone = 0, kHint = 1, kSerious = 2;
  constexpr int kAny = -1;
  const struct {
    const char* name;
    Sex sex;
    int heard;     // the homophone warning, or kAny
    bool below40;  // the 推荐度 is under 40 as a pair of no meaning
  } cases[] = {
      // A negating surname before what a name holds: the same tones serious,
      // one tone off a hint; what reads well negated stays so.
      {"魏知遇", Sex::kMale, kSerious, false},
      {"魏锦心", Sex::kFemale, kSerious, false},
      {"魏悦书", Sex::kFemale, kSerious, false},
      {"魏若嘉", Sex::kFemale, kSerious, false},
      {"魏遇安", Sex::kMale, kSerious, false},
      {"莫知遇", Sex::kMale, kSerious, false},
      {"吴锦程", Sex::kMale, kSerious, false},
      {"武慧心", Sex::kFemale, kHint, false},
      {"韦知遇", Sex::kMale, kHint, false},
      {"魏来", Sex::kMale, kNone, false},
      {"莫愁", Sex::kFemale, kNone, false},
      {"吴忧", Sex::kMale, kNone, false},
      {"王知遇", Sex::kMale, kNone, false},
      {"毕知遇", Sex::kMale, kNone, false},  // 必 affirms
      // Everyday words unfortunate for a child, across surname and name.
      {"丁克明", Sex::kMale, kSerious, false},
      {"单身", Sex::kMale, kNone, false},  // the surname 单 reads shan4
      {"丁克", Sex::kMale, kSerious, false},
      {"丁可欣", Sex::kFemale, kHint, false},  // 丁克 one tone off
      // Fragments of a line and pairs that mean nothing: below 40.
      {"曾君不", Sex::kMale, kAny, true},
      {"曾用年", Sex::kMale, kAny, true},
      {"陆食必", Sex::kMale, kAny, true},
      {"陆子曰", Sex::kMale, kAny, true},
      {"曾归于", Sex::kFemale, kAny, false},  // a word, however odd as a name (the poem page leaves it out)
      {"林子衿", Sex::kFemale, kNone, false},
      {"王予乐", Sex::kFemale, kNone, false},  // 予 gives, in names today
      {"王亦如", Sex::kFemale, kNone, false},
  };
  for (const auto& c : cases) {
    const Advice a = AdviseShipped(c.name, c.sex);
    if (c.heard != kAny) {
      EXPECT_EQ(Heard(a), c.heard) << c.name;
    }
    EXPECT_EQ(a.recommend < 40 && !a.clearPair, c.below40) << c.name << " " << a.recommend;
  }
}

// No name of the name bank or of the two lists of 1,600 is taken for a
// fragment or a pair of no meaning, for either sex.
TEST(Traps, RealNamesAreNotHit) {
  std::vector<std::string> given;
  for (const BankName& name : Shipped().Bank()) given.push_back(name.given);
  for (const char* file : {"1600nan.dat", "1600nv.dat"}) {
    std::ifstream in(ExecutableDir() + file, std::ios::binary);
    ASSERT_TRUE(in) << file;
    for (std::string line; std::getline(in, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (CharCount(line) == 2) given.push_back(line);
    }
  }
  ASSERT_GT(given.size(), 5000u);
  std::vector<std::string> hit;
  for (const std::string& name : given) {
    for (const Sex sex : {Sex::kMale, Sex::kFemale}) {
      if (!AdviseShipped("王" + name, sex).clearPair) hit.push_back(name);
    }
  }
  EXPECT_TRUE(hit.empty()) << hit.size() << " hit, first " << hit.front();
}

}  // namespace
}  // namespace tavrin::advice
