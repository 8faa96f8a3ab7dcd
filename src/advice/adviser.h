// The reading of one name for its advice, shared by the warnings
// (advice_warnings.cpp) and the 推荐度 (advice_recommend.cpp); docs/advice.md
// states the rules as a table. Private to the advice library.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "advice/advice.h"
#include "advice/advice_data.h"
#include "chars/gbk.h"

namespace tavrin::advice::detail {

// Points of the 推荐度 (docs/advice.md).
constexpr int kBase = 60;
constexpr int kSeriousHomophone = -45;
constexpr int kMildHomophone = -10;
constexpr int kEverydayWord = -6;
constexpr int kNotoriousName = -45;
constexpr int kFamousName = -20;
constexpr int kFamousStart = -8;
constexpr int kNotoriousStart = -15;
constexpr int kWellKnownName = -35;      // the exact name of a well-known person
constexpr int kNearCelebrity = -8;       // one given character off a celebrity's name
constexpr int kSurnamePhrase = -40;      // the surname makes a phrase: 无慧心, 狗熊
constexpr int kSurnamePhraseHint = -10;  // … heard only without the tones
constexpr int kMildWordHomophone = -10;  // a sad word, no insult: 红尘
constexpr int kOutsideTable = -35;
constexpr int kLevelTwo = -2;
constexpr int kLevelThree = -12;
constexpr int kSeriousUnsuitable = -40;
constexpr int kMildUnsuitable = -15;
constexpr int kSeriousSex = -35;
constexpr int kMildSex = -15;
constexpr int kPolyphone = -3;
constexpr int kSameTones = -6;
constexpr int kRepeatedSyllable = -30;  // readers call 杨轻扬 and 何见荷 odd
constexpr int kDated = -8;
constexpr int kSingleGiven = -6;
constexpr int kToneContrast = 4;
constexpr int kLevelEnding = 2;
constexpr int kListedName = -4;
constexpr int kUnclearPair = -45;  // no word, no phrase, no name: below 40 whatever else it earns
constexpr int kFragment = -52;     // a fragment of a line stays below 40 whatever else it earns
constexpr int kSameInitial = -3;
constexpr int kJoiningUses = 3;      // names of the sex holding a character whose meaning joins another's
constexpr double kNameUseScale = 3;  // points per log of the names holding a character
constexpr int kNameUseCap = 6;
constexpr double kListNames = 1600;     // given names in each sex's list
constexpr double kVeryCommonPair = 20;  // expected names of the pair per 10,000
constexpr double kCommonPair = 5;
constexpr int kVeryCommonPairPoints = -4;
constexpr int kCommonPairPoints = -2;
constexpr int kCuratedName = 12;
constexpr int kShortlistedPerReader = 20;  // per step of BankName::shortlisted
// Characters whose names the blind readers shortlist often or seldom: the
// two given characters' appeal (geometric mean, per mille of the average)
// from kAppealHigh on, from kAppealFair on, up to kAppealLow, up to
// kAppealVeryLow.
constexpr int kAppealHigh = 2000;
constexpr int kAppealHighPoints = 6;
constexpr int kAppealFair = 1300;
constexpr int kAppealFairPoints = 3;
constexpr int kAppealLow = 500;
constexpr int kAppealLowPoints = -3;
constexpr int kAppealVeryLow = 250;
constexpr int kAppealVeryLowPoints = -6;
constexpr int kClassicalPhrase = 6;
constexpr int kAnthologyPhrase = 4;
constexpr int kLastBonusRank = 2;  // 诗经 0, 楚辞 1, the Four Books 2
constexpr int kOddPlace = -3;
constexpr int kPlaceMinUses = 10;

// Name use of a character for the child's sex: points by the number of the
// 1,600 given names of that sex's list holding it.
inline int NameUsePoints(int uses, bool inSexChars) {
  if (uses == 0) return inSexChars ? -8 : -12;
  return std::min(kNameUseCap, static_cast<int>(std::lround(kNameUseScale * std::log1p(uses))));
}

std::string Quoted(std::string_view text);  // in “”

const char* TagNote(FamousTag tag);  // what kind of person a famous one is

inline std::string Join(const std::vector<std::string>& chars, std::size_t from, std::size_t to) {
  std::string text;
  for (std::size_t i = from; i < to && i < chars.size(); ++i) text += chars[i];
  return text;
}

class Adviser {
 public:
  Adviser(const AdviceTables::Data& d, std::string_view fullName, int surnameLength, Sex sex,
          const ClassicalSource* source)
      : d_(d), chars_(DoubleByteChars(fullName)), source_(source) {
    advice_.name = std::string(fullName);
    advice_.sex = sex;
    surnameLength = std::clamp(surnameLength, 1, 2);
    if (static_cast<std::size_t>(surnameLength) >= chars_.size()) surnameLength = 1;
    advice_.surnameLength = surnameLength;
    surname_ = static_cast<std::size_t>(surnameLength);
    syllables_ = d_.ReadName(chars_, surnameLength);
    const auto banked = d_.bankByGiven.find(Join(chars_, surname_, chars_.size()));
    if (banked != d_.bankByGiven.end()) bank_ = &d_.bank[static_cast<std::size_t>(banked->second)];
    advice_.bank = bank_;
  }

  Advice Run();

 private:
  bool Male() const { return advice_.sex == Sex::kMale; }

  void Warn(WarningKind kind, Severity severity, std::string text, int points);

  void Pinyin() { advice_.pinyin = d_.namePinyin.Numbered(advice_.name, advice_.surnameLength); }

  // True when the syllables of the name from `from` differ from the word's
  // usual readings only in the word's last syllable, by second against third
  // tone.
  bool OnlyLastSecondThird(std::size_t from, const std::string& word) const;

  // A sound heard without tones is near enough to be a hint when at most
  // one syllable's tone differs (a neutral syllable of the word matches
  // any): 思乐 and 死了, not 子衿 and 自尽.
  bool NearInTones(std::size_t from, const std::vector<Syllable>& word) const;

  // A run of the name's characters that a 谐音 is looked for in.
  struct Span {
    std::size_t from, to;
    std::string serious;  // text before the word
  };

  // Every run of two to four adjacent characters that is not inside the
  // surname: the full name, the given name, the surname with the first given
  // character, then the runs of longer names.
  std::vector<Span> HomophoneSpans() const;

  // The first word of the table heard in the span's tones, or -1.
  std::int32_t TonedWord(const Span& span) const;

  enum class Heard { kNothing, kSadWord, kSerious };

  // A word heard in the same tones: the first serious one, else the first
  // sad one; `fromStart` when the serious one was heard from the surname on.
  Heard TonedHomophones(const std::vector<Span>& spans, bool& fromStart);

  // A serious word heard without the tones, near enough in them.
  void TonelessHomophone(const std::vector<Span>& spans);

  // 谐音: a word of the table heard in a run of the name (HomophoneSpans),
  // then the phrase the surname's sound makes with the given name.
  void Homophones();

  // 谐音 of a one-character surname whose sound is a word: with the first
  // given characters it makes a phrase of the surname-word table (吴慧欣 as
  // 无慧心, 苟雄 as 狗熊). The longest phrase heard in the same tones, else
  // the longest heard without them (a hint).
  void SurnameWords();

  static bool ContainsChar(const std::string& chars, const std::string& ch);

  // Two characters look or sound alike: the same syllable without tones, or
  // a radical few name characters share (韵 韶).
  bool Similar(const std::string& a, const std::string& b) const;

  // 名人, a hint: a celebrity's name of the same surname and one given
  // character the same, the other alike (张韵涵 and 张韶涵).
  bool NearCelebrity();

  // The exact name is serious for a notorious person, and for a well-known
  // real one when the name is not a common one: three characters or more, or
  // a name so famous that a longer name beginning with it reads as theirs
  // (李白, 鲁迅). Fictional people of two characters and present-day names
  // of two (王菲, 李娜) stay hints: many children are named so.
  void FamousWarning(const FamousPerson& person, const char* how, bool exact = false);

  // 名人: the same name, the same sound, the sound without tones; a name
  // whose surname and first given character sound like a famous name.
  void Famous();

  // 生僻, 不宜 and 性别 of one given-name character.
  void CharWarnings(const GivenChar& given);

  // 读音: several readings, three equal tones, a repeated syllable.
  void Readings();

  void Reason(int points, std::string text);

  void Recommend();

  const char* SexWord() const;  // 男孩 or 女孩

  // Name use for the child's sex, averaged over the given characters: each
  // character's share of the average is a reason of its own. A character
  // of the name bank's names is vouched for by the bank.
  void NameUse();

  // Of the sex's two-character given names, those holding the character
  // first (place 0) or last.
  int PlaceUses(const CharFacts& f, std::size_t place) const;

  // How many namesakes the child would have: one of the commonest given
  // names of the day, or a combination of the two characters most often
  // found in these places (子…, …轩), or a single given character.
  void Commonness();

  // A clear meaning: a name of the team's list with its meaning, a phrase
  // of a well-known text whose line is fit to name a child from. Two
  // characters that stand together nowhere (no word, no name of the lists
  // or the bank, no line of the library) have no meaning a parent can
  // tell.
  void Meaning();

  // A fragment of a line: a two-character given name of a function
  // character of the verse (之 不 曰 必, kFunctionChar) that is neither a
  // name of the bank or the lists nor a word (君不, 子曰, 食必). Its
  // function character, or empty.
  std::string FragmentOf() const;

  // True when the two given characters stand together somewhere a parent
  // would know them from: the bank, a dictionary word, a phrase of a
  // well-known text (`phrase`: the fitting source found), the name lists.
  // Two characters both much used in the sex's names join their meanings
  // as names do (晨悦, 韵宁).
  bool Attested(bool phrase) const;

  // The line that earns the bonus: the given name's two characters side by side
  // and in order in a line of the 诗经, the 楚辞, the Four Books or the two
  // anthologies of three hundred, whose sense is not of grief, death or
  // displeasure. The line found for the name is weighed first, then the
  // bank's.
  const ClassicalSource* FittingSource() const;

  // Two given characters whose names the team's blind readers often put
  // on a shortlist (CharFacts::appeal).
  void Appeal();

  // Tone pattern: a level (1, 2) and an oblique (3, 4) tone among the given
  // characters, and a level tone at the end, read well.
  void Sound();

  // The initial consonant of a syllable (zh, b …); empty for none, for y
  // and w, and for an unknown reading.
  std::string Initial(const Syllable& syllable) const;

  const AdviceTables::Data& d_;
  std::vector<std::string> chars_;
  std::vector<Syllable> syllables_;
  std::size_t surname_ = 1;
  std::vector<std::string> wellRead_;  // given characters of a phrase that reads well (无忧)
  std::string warnedFromStart_;        // the unfortunate word heard from the surname on
  const ClassicalSource* source_ = nullptr;
  const BankName* bank_ = nullptr;  // the name bank's entry of the given name
  Advice advice_;
};

}  // namespace tavrin::advice::detail
