// The poem's own names (page 诗歌取名): the phrases a family who loves the
// poem would recognise, and none of its fragments; into 精选 with the
// poem's line as their source.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/best_names.h"
#include "core/judgement.h"
#include "core/naming_model.h"
#include "core/poem_phrases.h"
#include "core/startup.h"

namespace tavrin {
namespace {

const char* const kTaoYao =
    "桃之夭夭，灼灼其华。之子于归，宜其室家。\n"
    "桃之夭夭，有蕡其实。之子于归，宜其家室。\n"
    "桃之夭夭，其叶蓁蓁。之子于归，宜其家人。";

const char* const kGuanJu =
    "关关雎鸠，在河之洲。窈窕淑女，君子好逑。\n"
    "参差荇菜，左右流之。窈窕淑女，寤寐求之。";

const char* const kZaiYu =
    "西陆蝉声唱，南冠客思侵。那堪玄鬓影，来对白头吟。\n露重飞难进，风多响易沉。无人信高洁，谁为表予心。";

const char* const kShanJu =
    "空山新雨后，天气晚来秋。明月松间照，清泉石上流。\n竹喧归浣女，莲动下渔舟。随意春芳歇，王孙自可留。";

const char* const kWuTi = "相见时难别亦难，东风无力百花残。\n春蚕到死丝方尽，蜡炬成灰泪始干。";

TEST(PoemPhrases, ThePoemsOwnNamesAndNoneOfItsFragments) {
  const SharedStores stores = SealStores(LoadStores(ExecutableDir()));
  const advice::AdviceTables& tables = *stores->advice;
  const NameJudge judge;  // no chart: the names' own advice
  const struct {
    const char* surname;
    Sex sex;
    PoemOfPhrases poem;
    std::vector<std::string> must;
    std::vector<std::string> mustNot;
  } cases[] = {
      // Within a beat, doubled, across 其: the names of 桃夭; no particle,
      // no name ending in a link, nothing across 于, no 夭 (unsuitable).
      {"刘",
       Sex::kFemale,
       {"桃夭", "佚名", "诗经", kTaoYao},
       {"灼华", "宜家", "其华", "蓁蓁"},
       {"归夭", "之子", "归于", "于归", "子归", "宜其", "桃之", "桃夭", "夭夭", "女归"}},
      // The sound rule of the surname: 曾 and 灼 zh, 曾 and 蓁 zh… trip the tongue.
      {"曾", Sex::kFemale, {"桃夭", "佚名", "诗经", kTaoYao}, {"宜家"}, {"灼华", "蓁蓁", "归夭", "归于", "归之"}},
      // A preposition is no half of a name; a boy's list has no 淑女.
      {"李", Sex::kMale, {"关雎", "佚名", "诗经", kGuanJu}, {"河洲"}, {"在河", "之洲", "流之", "求之", "淑女"}},
      // Beyond the classics a phrase must read as a name without its poem too.
      {"曾", Sex::kMale, {"在狱咏蝉", "骆宾王", "唐诗三百首", kZaiYu}, {}, {"易沉", "表予", "白头", "难进"}},
      {"王",
       Sex::kFemale,
       {"山居秋暝", "王维", "唐诗三百首", kShanJu},
       {"新雨", "明月"},
       {"晚来", "间照", "自可", "春芳"}},
      // A line of death or grief gives nothing; a typed poem of no
      // collection gives only words and names.
      {"王", Sex::kFemale, {"", "", "", kWuTi}, {}, {"春蚕", "蜡炬", "方尽", "泪始"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.surname) + c.poem.title);
    const std::vector<PoemPhrase> phrases = PoemPhrases(tables, *stores->services, judge, c.surname, c.sex, c.poem);
    std::vector<std::string> given;
    for (const PoemPhrase& phrase : phrases) {
      given.push_back(phrase.given);
      EXPECT_FALSE(phrase.advice.HasSerious()) << phrase.given;
      EXPECT_NE(phrase.source.line.find(phrase.given.substr(0, 2)), std::string::npos) << phrase.given;
    }
    for (const std::string& name : c.must) {
      EXPECT_NE(std::find(given.begin(), given.end(), name), given.end()) << name;
    }
    for (const std::string& name : c.mustNot) {
      EXPECT_EQ(std::find(given.begin(), given.end(), name), given.end()) << name;
    }
    EXPECT_TRUE(std::is_sorted(phrases.begin(), phrases.end(), [](const PoemPhrase& a, const PoemPhrase& b) {
      return a.advice.unclamped > b.advice.unclamped;
    }));
  }
}

// In 精选 a phrase keeps the poem's line: the finder of the library is not
// asked for it, now or later.
TEST(PoemPhrases, GoToTheBestNamesWithTheirLine) {
  const SharedStores stores = SealStores(LoadStores(ExecutableDir()));
  const PoemOfPhrases poem{"桃夭", "佚名", "诗经", kTaoYao};
  const std::vector<PoemPhrase> phrases =
      PoemPhrases(*stores->advice, *stores->services, NameJudge(), "刘", Sex::kFemale, poem);
  ASSERT_FALSE(phrases.empty());
  BestNames names(stores->advice.get());
  int asked = 0;
  names.SetSourceFinder(
      [&](const std::string&) -> std::optional<advice::ClassicalSource> {
        ++asked;
        return std::nullopt;
      },
      true);
  EXPECT_EQ(AddPoemPhrases(names, *stores->services, phrases, "刘", Sex::kFemale, ""), phrases.size());
  EXPECT_EQ(AddPoemPhrases(names, *stores->services, phrases, "刘", Sex::kFemale, ""), 0u);
  names.LookUpSources(100);
  EXPECT_EQ(asked, 0);
  for (std::size_t i = 0; i < names.Size(); ++i) {
    EXPECT_EQ(names.CandidateAt(i).origin, Origin::kPoetry);
    EXPECT_EQ(names.AdviceAt(i).recommend, phrases[i].advice.recommend) << phrases[i].given;
  }
}

}  // namespace
}  // namespace tavrin
