// The rules of the advice on one name; docs/advice.md states them as a table.
#include "advice/advice.h"

#include <algorithm>
#include <cmath>

#include "advice/advice_data.h"
#include "chars/gbk.h"

namespace tavrin::advice {

namespace {

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
constexpr int kRepeatedSyllable = -8;
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
constexpr int kCuratedName = 6;
constexpr int kShortlistedPerReader = 6;  // of the team's two readers
constexpr int kClassicalPhrase = 6;
constexpr int kAnthologyPhrase = 4;
constexpr int kLastBonusRank = 2;  // 诗经 0, 楚辞 1, the Four Books 2
constexpr int kOddPlace = -3;
constexpr int kPlaceMinUses = 10;

// Name use of a character for the child's sex: points by the number of the
// 1,600 given names of that sex's list holding it.
int NameUsePoints(int uses, bool inSexChars) {
  if (uses == 0) return inSexChars ? -8 : -12;
  return std::min(kNameUseCap, static_cast<int>(std::lround(kNameUseScale * std::log1p(uses))));
}

std::string Quoted(std::string_view text) { return "“" + std::string(text) + "”"; }

const char* TagNote(FamousTag tag) {
  switch (tag) {
    case FamousTag::kNotorious: return "名声不好";
    case FamousTag::kFictional: return "虚构人物";
    case FamousTag::kHistorical: return "历史人物";
    case FamousTag::kCelebrity: return "当代名人";
  }
  return "";
}

std::string Join(const std::vector<std::string>& chars, std::size_t from, std::size_t to) {
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

  Advice Run() {
    Pinyin();
    for (std::size_t i = surname_; i < chars_.size(); ++i) advice_.given.push_back({chars_[i], d_.FactsOf(chars_[i])});
    if (advice_.given.empty()) return std::move(advice_);
    if (advice_.given.size() == 2) {
      const auto found = d_.wordMeanings.find(PackedText(advice_.given[0].ch + advice_.given[1].ch));
      if (found != d_.wordMeanings.end()) advice_.pairMeaning = found->second;
    }
    Homophones();
    Famous();
    for (const GivenChar& given : advice_.given) CharWarnings(given);
    Readings();
    std::stable_sort(advice_.warnings.begin(), advice_.warnings.end(),
                     [](const Warning& a, const Warning& b) { return a.severity < b.severity; });
    Recommend();
    return std::move(advice_);
  }

 private:
  bool Male() const { return advice_.sex == Sex::kMale; }

  void Warn(WarningKind kind, Severity severity, std::string text, int points) {
    advice_.warnings.push_back({kind, severity, std::move(text), points});
  }

  void Pinyin() { advice_.pinyin = d_.namePinyin.Numbered(advice_.name, advice_.surnameLength); }

  // True when the syllables of the name from `from` differ from the word's
  // usual readings only in the word's last syllable, by second against third
  // tone.
  bool OnlyLastSecondThird(std::size_t from, const std::string& word) const {
    const std::vector<std::string> wordChars = DoubleByteChars(word);
    for (std::size_t i = 0; i < wordChars.size(); ++i) {
      const int w = d_.ReadingOf(wordChars[i]).tone;
      const int a = syllables_[from + i].tone;
      const bool last = i + 1 == wordChars.size();
      if (w != a && !(last && ((a == 2 && w == 3) || (a == 3 && w == 2)))) return false;
    }
    return true;
  }

  // A sound heard without tones is near enough to be a hint when at most
  // one syllable's tone differs (a neutral syllable of the word matches
  // any): 思乐 and 死了, not 子衿 and 自尽.
  bool NearInTones(std::size_t from, const std::vector<Syllable>& word) const {
    int differ = 0;
    for (std::size_t i = 0; i < word.size() && from + i < syllables_.size(); ++i) {
      if (word[i].tone != 5 && word[i].tone != syllables_[from + i].tone) ++differ;
    }
    return differ <= 1;
  }

  // A run of the name's characters that a 谐音 is looked for in.
  struct Span {
    std::size_t from, to;
    std::string serious;  // text before the word
  };

  // Every run of two to four adjacent characters that is not inside the
  // surname: the full name, the given name, the surname with the first given
  // character, then the runs of longer names.
  std::vector<Span> HomophoneSpans() const {
    const std::size_t n = chars_.size();
    std::vector<Span> spans{{0, n, "全名读音同"}};
    if (n - surname_ >= 2) {
      spans.push_back({surname_, n, "名字读音同"});
      spans.push_back({0, surname_ + 1, "姓和名的第一个字读音同"});
    }
    for (std::size_t length = std::min<std::size_t>(n - 1, kMaxKeySyllables); length >= 2; --length) {
      for (std::size_t from = 0; from + length <= n; ++from) {
        const std::size_t to = from + length;
        const bool listed =
            std::any_of(spans.begin(), spans.end(), [&](const Span& s) { return s.from == from && s.to == to; });
        if (to > surname_ && !listed) spans.push_back({from, to, Quoted(Join(chars_, from, to)) + "读音同"});
      }
    }
    return spans;
  }

  // The first word of the table heard in the span's tones, or -1.
  std::int32_t TonedWord(const Span& span) const {
    std::int32_t first = -1;
    for (const SoundKey key : d_.NeutralVariantKeys(&syllables_[span.from], span.to - span.from)) {
      const auto found = d_.unfortunateToned.find(key);
      if (found != d_.unfortunateToned.end() && (first < 0 || found->second < first)) first = found->second;
    }
    return first;
  }

  enum class Heard { kNothing, kSadWord, kSerious };

  // A word heard in the same tones: the first serious one, else the first
  // sad one; `fromStart` when the serious one was heard from the surname on.
  Heard TonedHomophones(const std::vector<Span>& spans, bool& fromStart) {
    const UnfortunateWord* mildWord = nullptr;  // a sad word heard in the same tones
    std::size_t mildFrom = 0;
    for (const Span& span : spans) {
      const std::int32_t first = TonedWord(span);
      if (first < 0) continue;
      const UnfortunateWord& word = d_.unfortunate[static_cast<std::size_t>(first)];
      if (word.severity == Severity::kMild) {
        if (!mildWord) mildWord = &word, mildFrom = span.from;
        continue;
      }
      Warn(WarningKind::kHomophone, Severity::kSerious, span.serious + Quoted(word.word), kSeriousHomophone);
      fromStart = span.from == 0;
      if (fromStart) warnedFromStart_ = word.word;
      return Heard::kSerious;
    }
    if (!mildWord) return Heard::kNothing;
    Warn(WarningKind::kHomophone, Severity::kMild, "读起来像" + Quoted(mildWord->word), kMildWordHomophone);
    if (mildFrom == 0) warnedFromStart_ = mildWord->word;
    return Heard::kSadWord;
  }

  // A serious word heard without the tones, near enough in them.
  void TonelessHomophone(const std::vector<Span>& spans) {
    for (const Span& span : spans) {
      SoundKey key = 0;
      if (!TonelessKey(&syllables_[span.from], span.to - span.from, key)) continue;
      const auto found = d_.unfortunateToneless.find(key);
      if (found == d_.unfortunateToneless.end()) continue;
      const UnfortunateWord& unfortunate = d_.unfortunate[static_cast<std::size_t>(found->second)];
      const std::string& word = unfortunate.word;
      // A sad word (红尘) is a hint in the same tones only.
      if (unfortunate.severity == Severity::kMild || !NearInTones(span.from, unfortunate.syllables)) continue;
      if (span.from == 0) warnedFromStart_ = word;
      // Second and third tones run together at the end of a word (吴骋 and
      // 无成, 刘婵 and 流产): read with the surname, such a word is heard.
      if (span.from == 0 && unfortunate.severity == Severity::kSerious && OnlyLastSecondThird(span.from, word)) {
        Warn(WarningKind::kHomophone, Severity::kSerious, "读起来就是" + Quoted(word), kSeriousHomophone);
      } else {
        Warn(WarningKind::kHomophone, Severity::kMild, "读快了像" + Quoted(word), kMildHomophone);
      }
      return;
    }
  }

  // 谐音: a word of the table heard in a run of the name (HomophoneSpans),
  // then the phrase the surname's sound makes with the given name.
  void Homophones() {
    const std::vector<Span> spans = HomophoneSpans();
    bool fromStart = false;
    const Heard heard = TonedHomophones(spans, fromStart);
    if (heard == Heard::kNothing) TonelessHomophone(spans);
    // The surname's phrase, unless a serious word was heard from the surname on.
    if (!(heard == Heard::kSerious && fromStart)) SurnameWords();
    const std::string given = Join(chars_, surname_, chars_.size());
    if (chars_.size() - surname_ >= 2 && d_.everydayWords.count(PackedText(given))) {
      Warn(WarningKind::kHomophone, Severity::kMild, "名字" + Quoted(given) + "本身是一个常用词", kEverydayWord);
    }
  }

  // 谐音 of a one-character surname whose sound is a word: with the first
  // given characters it makes a phrase of the surname-word table (吴慧欣 as
  // 无慧心, 苟雄 as 狗熊). The longest phrase heard in the same tones, else
  // the longest heard without them (a hint).
  void SurnameWords() {
    if (surname_ != 1 || d_.surnamePhrases.empty()) return;
    const std::size_t longest = std::min<std::size_t>(chars_.size(), kMaxKeySyllables);
    for (const bool toned : {true, false}) {
      const auto& map = toned ? d_.surnamePhraseToned : d_.surnamePhraseToneless;
      for (std::size_t length = longest; length >= 2; --length) {
        // The phrases heard in these syllables, in the table's order.
        std::vector<SoundKey> keys(1);
        if (toned) {
          keys = d_.NeutralVariantKeys(syllables_.data(), length);
        } else if (!TonelessKey(syllables_.data(), length, keys[0])) {
          continue;
        }
        std::vector<std::int32_t> heard;
        for (const SoundKey key : keys) {
          const auto found = map.find(key);
          if (found != map.end()) heard.insert(heard.end(), found->second.begin(), found->second.end());
        }
        std::sort(heard.begin(), heard.end());
        heard.erase(std::unique(heard.begin(), heard.end()), heard.end());
        for (const std::int32_t index : heard) {
          const advice::SurnamePhrase& phrase = d_.surnamePhrases[static_cast<std::size_t>(index)];
          if (!ContainsChar(phrase.surnames, chars_[0])) continue;
          if (phrase.good) {
            if (!toned) continue;
            // 吴忧 reads 无忧: no warning, and 忧 is no unsuitable character here.
            for (std::size_t i = 1; i < length; ++i) wellRead_.push_back(chars_[i]);
            return;
          }
          // Without tones only a serious phrase is a hint, and only near in tones.
          if (!toned && (phrase.severity != Severity::kSerious || !NearInTones(0, phrase.syllables))) continue;
          if (phrase.phrase == warnedFromStart_) return;  // 吴清 and 无情: said once
          if (toned && phrase.severity == Severity::kSerious) {
            Warn(WarningKind::kHomophone, Severity::kSerious, "连姓读作" + Quoted(phrase.phrase), kSurnamePhrase);
          } else {
            Warn(WarningKind::kHomophone, Severity::kMild, "连姓读快了像" + Quoted(phrase.phrase), kSurnamePhraseHint);
          }
          return;
        }
      }
    }
  }

  static bool ContainsChar(const std::string& chars, const std::string& ch) {
    for (const std::string& c : DoubleByteChars(chars)) {
      if (c == ch) return true;
    }
    return false;
  }

  // Two characters look or sound alike: the same syllable without tones, or
  // a radical few name characters share (韵 韶).
  bool Similar(const std::string& a, const std::string& b) const {
    const Syllable sa = d_.ReadingOf(a), sb = d_.ReadingOf(b);
    if (sa.toneless != 0 && sa.toneless == sb.toneless) return true;
    if (d_.shapeRadical.empty() || a.size() != 2 || b.size() != 2) return false;
    const std::uint8_t ra = d_.shapeRadical[AdviceTables::Data::Code(a)];
    return ra != 0 && ra == d_.shapeRadical[AdviceTables::Data::Code(b)];
  }

  // 名人, a hint: a celebrity's name of the same surname and one given
  // character the same, the other alike (张韵涵 and 张韶涵).
  bool NearCelebrity() {
    if (surname_ != 1 || chars_.size() != 3) return false;
    for (std::size_t other = 1; other <= 2; ++other) {
      const std::string key = chars_[0] + (other == 1 ? "**" + chars_[2] : chars_[1] + "**");
      const auto found = d_.celebrityByOthers.find(key);
      if (found == d_.celebrityByOthers.end()) continue;
      for (const std::int32_t index : found->second) {
        const FamousPerson& person = d_.famous[static_cast<std::size_t>(index)];
        const std::string theirs = DoubleByteChars(person.name)[other];
        if (theirs == chars_[other] || !Similar(theirs, chars_[other])) continue;
        Warn(WarningKind::kFamous, Severity::kMild,
             "与名人" + Quoted(person.name) + "只差一个相近的字（" +
                 (person.note.empty() ? TagNote(person.tag) : person.note) + "）",
             kNearCelebrity);
        return true;
      }
    }
    return false;
  }

  // The exact name is serious for a notorious person, and for a well-known
  // real one when the name is not a common one: three characters or more, or
  // a name so famous that a longer name beginning with it reads as theirs
  // (李白, 鲁迅). Fictional people of two characters and present-day names
  // of two (王菲, 李娜) stay hints: many children are named so.
  void FamousWarning(const FamousPerson& person, const char* how, bool exact = false) {
    const bool notorious = person.tag == FamousTag::kNotorious;
    const bool wellKnown = exact && !notorious && person.tag != FamousTag::kFictional &&
                           (DoubleByteChars(person.name).size() >= 3 || person.start);
    std::string text = how + Quoted(person.name) + "（" + (person.note.empty() ? TagNote(person.tag) : person.note) + "）";
    Warn(WarningKind::kFamous, notorious || wellKnown ? Severity::kSerious : Severity::kMild, std::move(text),
         notorious   ? kNotoriousName
         : wellKnown ? kWellKnownName
                     : kFamousName);
  }

  // 名人: the same name, the same sound, the sound without tones; a name
  // whose surname and first given character sound like a famous name.
  void Famous() {
    const auto byName = d_.famousByName.find(advice_.name);
    if (byName != d_.famousByName.end()) {
      FamousWarning(d_.famous[static_cast<std::size_t>(byName->second)], "与名人同名：", true);
      return;
    }
    SoundKey key = 0;
    if (TonedKey(syllables_.data(), syllables_.size(), key)) {
      const auto found = d_.famousToned.find(key);
      if (found != d_.famousToned.end()) {
        FamousWarning(d_.famous[static_cast<std::size_t>(found->second)], "读音与名人相同：");
        return;
      }
    }
    if (TonelessKey(syllables_.data(), syllables_.size(), key)) {
      const auto found = d_.famousToneless.find(key);
      if (found != d_.famousToneless.end()) {
        FamousWarning(d_.famous[static_cast<std::size_t>(found->second)], "读起来像名人：");
        return;
      }
    }
    // The surname and the first given character: a name so well known that
    // a name beginning with it reads as theirs (赵云…, 李魁… as 李逵), in the
    // same characters or the same sound. Only a hint: the name is not theirs.
    if (chars_.size() - surname_ < 2) return;
    if (NearCelebrity()) return;
    const FamousPerson* person = nullptr;
    const auto start = d_.famousByName.find(Join(chars_, 0, surname_ + 1));
    if (start != d_.famousByName.end() && d_.famous[static_cast<std::size_t>(start->second)].begin) {
      person = &d_.famous[static_cast<std::size_t>(start->second)];
    } else if (TonedKey(syllables_.data(), surname_ + 1, key)) {
      const auto found = d_.famousStartToned.find(key);
      if (found != d_.famousStartToned.end()) person = &d_.famous[static_cast<std::size_t>(found->second)];
    }
    if (!person) return;
    Warn(WarningKind::kFamous, Severity::kMild,
         "名字开头读作" + Quoted(person->name) + "（" + (person->note.empty() ? TagNote(person->tag) : person->note) + "）",
         person->tag == FamousTag::kNotorious ? kNotoriousStart : kFamousStart);
  }

  // 生僻, 不宜 and 性别 of one given-name character.
  void CharWarnings(const GivenChar& given) {
    const CharFacts* facts = given.facts;
    const std::string ch = Quoted(given.ch);
    if (d_.chars.empty()) {
      // No character table: nothing is known of the character.
    } else if (!facts || facts->level == 0) {
      Warn(WarningKind::kRare, Severity::kSerious, ch + "不在通用规范汉字表内，难输入，有的系统显示不出",
           kOutsideTable);
    } else if (facts->level == 2) {
      Warn(WarningKind::kRare, Severity::kMild, ch + "是二级字，不算最常用", kLevelTwo);
    } else if (facts->level == 3) {
      Warn(WarningKind::kRare, Severity::kMild, ch + "是三级字，很多人不认识", kLevelThree);
    }
    const bool wellRead = std::find(wellRead_.begin(), wellRead_.end(), given.ch) != wellRead_.end();
    if (!d_.unsuitableIndex.empty() && !wellRead) {
      const std::int16_t index = d_.unsuitableIndex[AdviceTables::Data::Code(given.ch)];
      if (index >= 0) {
        const Unsuitable& u = d_.unsuitable[static_cast<std::size_t>(index)];
        Warn(WarningKind::kUnsuitable, u.severity, ch + "不宜入名：" + u.reason,
             u.severity == Severity::kSerious ? kSeriousUnsuitable : kMildUnsuitable);
      }
    }
    if (!facts) return;
    const int own = Male() ? facts->boys : facts->girls;
    const int other = Male() ? facts->girls : facts->boys;
    const bool inOwn = facts->flags & (Male() ? kInBoysChars : kInGirlsChars);
    const bool inOther = facts->flags & (Male() ? kInGirlsChars : kInBoysChars);
    const bool leansOther = facts->flags & (Male() ? kLeansGirl : kLeansBoy);
    const char* otherSex = Male() ? "女孩" : "男孩";
    if (own + other >= 5) {
      if (other * 10 >= (own + other) * 9 && other >= 10 && !inOwn) {
        Warn(WarningKind::kSex, Severity::kSerious, ch + "几乎只用于" + otherSex + "名字", kSeriousSex);
      } else if (other * 4 >= (own + other) * 3) {
        Warn(WarningKind::kSex, Severity::kMild, ch + "多用于" + otherSex + "名字", kMildSex);
      }
    } else if ((inOther && !inOwn) || leansOther) {
      Warn(WarningKind::kSex, Severity::kMild, ch + "多用于" + otherSex + "名字", kMildSex);
    }
  }

  // 读音: several readings, three equal tones, a repeated syllable.
  void Readings() {
    for (const GivenChar& given : advice_.given) {
      if (!given.facts || given.facts->readings.size() < 2) continue;
      const auto index = static_cast<std::size_t>(given.facts - d_.chars.data());
      Warn(WarningKind::kReading, Severity::kMild,
           Quoted(given.ch) + "有多个读音（" + d_.markedReadings[index] + "），别人可能读错", kPolyphone);
    }
    static const char* const kToneNames[] = {"一", "二", "三", "四", "轻"};
    if (chars_.size() == 3 && syllables_[0].tone != 0 && syllables_[0].tone == syllables_[1].tone &&
        syllables_[1].tone == syllables_[2].tone) {
      Warn(WarningKind::kReading, Severity::kMild,
           std::string("三个字都是第") + kToneNames[syllables_[0].tone - 1] + "声，读起来平板", kSameTones);
    }
    for (std::size_t i = 0; i < chars_.size(); ++i) {
      for (std::size_t j = i + 1; j < chars_.size(); ++j) {
        if (syllables_[i].toneless == 0 || syllables_[i].toneless != syllables_[j].toneless) continue;
        Warn(WarningKind::kReading, Severity::kMild,
             Quoted(chars_[i]) + "和" + Quoted(chars_[j]) + "同音，读起来重复", kRepeatedSyllable);
        return;
      }
    }
  }

  void Reason(int points, std::string text) {
    if (points != 0) advice_.reasons.push_back({points, std::move(text)});
  }

  void Recommend() {
    NameUse();
    Commonness();
    for (const GivenChar& given : advice_.given) {
      if (given.facts && (given.facts->flags & (Male() ? kDatedForBoys : kDatedForGirls))) {
        Reason(kDated, Quoted(given.ch) + "是上一辈人名字的常用字，显得老气");
      }
    }
    Meaning();
    Sound();
    for (const Warning& warning : advice_.warnings) Reason(warning.points, "提示：" + warning.text);
    int score = kBase;
    for (const auto& reason : advice_.reasons) score += reason.points;
    advice_.unclamped = score;
    advice_.recommend = std::clamp(score, 0, 100);
  }

  const char* SexWord() const { return Male() ? "男孩" : "女孩"; }

  // Name use for the child's sex, averaged over the given characters: each
  // character's share of the average is a reason of its own. A character
  // of the name bank's names is vouched for by the bank.
  void NameUse() {
    if (d_.chars.empty()) return;  // no table, no figures
    const double share = 1.0 / static_cast<double>(advice_.given.size());
    for (const GivenChar& given : advice_.given) {
      const CharFacts* f = given.facts;
      const int uses = f ? (Male() ? f->boys : f->girls) : 0;
      const bool inSexChars = f && (f->flags & (Male() ? kInBoysChars : kInGirlsChars));
      if (uses > 0) {
        Reason(static_cast<int>(std::lround(NameUsePoints(uses, inSexChars) * share)),
               Quoted(given.ch) + "见于" + std::to_string(uses) + "个" + SexWord() + "名字（名字表共1600个）");
      } else if (!bank_) {
        Reason(static_cast<int>(std::lround(NameUsePoints(uses, inSexChars) * share)),
               Quoted(given.ch) + "不见于" + SexWord() + "名字表");
      }
    }
    // A character common in names, but never in this place of a two-character
    // given name (轩 ends names, 子 begins them).
    if (advice_.given.size() != 2) return;
    for (std::size_t i = 0; i < 2; ++i) {
      const CharFacts* f = advice_.given[i].facts;
      if (!f) continue;
      const int uses = Male() ? f->boys : f->girls;
      if (uses >= kPlaceMinUses && PlaceUses(*f, i) == 0) {
        Reason(kOddPlace, Quoted(advice_.given[i].ch) + (i == 0 ? "很少用作名字的第一个字" : "很少用作名字的末字"));
      }
    }
  }

  // Of the sex's two-character given names, those holding the character
  // first (place 0) or last.
  int PlaceUses(const CharFacts& f, std::size_t place) const {
    return place == 0 ? (Male() ? f.boysFirst : f.girlsFirst) : (Male() ? f.boysLast : f.girlsLast);
  }

  // How many namesakes the child would have: one of the commonest given
  // names of the day, or a combination of the two characters most often
  // found in these places (子…, …轩), or a single given character.
  void Commonness() {
    const auto& givenNames = Male() ? d_.boyGivenNames : d_.girlGivenNames;
    if (givenNames.count(PackedText(Join(chars_, surname_, chars_.size())))) {
      Reason(kListedName, std::string("这个名字是今天最常见的") + SexWord() + "名字之一，同名的人多");
    }
    if (advice_.given.size() == 2 && advice_.given[0].facts && advice_.given[1].facts) {
      // The share of names holding the first character first times the share
      // holding the last last, per 10,000 names.
      const double expected = PlaceUses(*advice_.given[0].facts, 0) * PlaceUses(*advice_.given[1].facts, 1) * 10000.0 /
                              (kListNames * kListNames);
      if (expected >= kVeryCommonPair) {
        Reason(kVeryCommonPairPoints, "两个字都是最常用的取名字，这样的组合非常多");
      } else if (expected >= kCommonPair) {
        Reason(kCommonPairPoints, "两个字都是常用的取名字，这样的组合不少");
      }
    }
    if (advice_.given.size() == 1) Reason(kSingleGiven, "单名，同名的人多");
  }

  // A clear meaning: a name of the team's list with its meaning, a phrase
  // of a well-known text whose line is fit to name a child from. Two
  // characters that stand together nowhere (no word, no name of the lists
  // or the bank, no line of the library) have no meaning a parent can
  // tell.
  void Meaning() {
    if (bank_ && bank_->origin == NameOrigin::kCurated) {
      Reason(kCuratedName, "名库收录" + (bank_->meaning.empty() ? std::string() : "：" + bank_->meaning));
    }
    if (bank_ && bank_->shortlisted > 0) {
      Reason(kShortlistedPerReader * bank_->shortlisted,
             bank_->shortlisted == 2 ? "编者推荐：清新而意思明白，值得列入候选" : "编者之一推荐：值得列入候选");
    }
    const std::string function = FragmentOf();
    if (!function.empty()) {
      Reason(kFragment, Quoted(Join(chars_, surname_, chars_.size())) + "只是诗文里一句话的片段（" + Quoted(function) +
                            "是虚词），不成词，也不是名字");
      advice_.clearPair = false;
      return;
    }
    const ClassicalSource* source = FittingSource();
    if (source) {
      const int points = source->collectionRank <= kLastBonusRank ? kClassicalPhrase : kAnthologyPhrase;
      Reason(points, "名字出自《" + source->title + "》（" + source->collection + "）：" + source->line);
    }
    if (advice_.given.size() == 2 && !Attested(source != nullptr)) {
      Reason(kUnclearPair, "两个字连在一起没有现成的意思，不是词语、常见名字或古诗文里的词");
      advice_.clearPair = false;
    }
  }

  // A fragment of a line: a two-character given name of a function
  // character of the verse (之 不 曰 必, kFunctionChar) that is neither a
  // name of the bank or the lists nor a word (君不, 子曰, 食必). Its
  // function character, or empty.
  std::string FragmentOf() const {
    if (advice_.given.size() != 2 || bank_ || !advice_.pairMeaning.empty()) return {};
    const std::uint64_t given = PackedText(advice_.given[0].ch + advice_.given[1].ch);
    if (d_.everydayWords.count(given) || d_.boyGivenNames.count(given) || d_.girlGivenNames.count(given)) return {};
    for (const GivenChar& g : advice_.given) {
      if (g.facts && (g.facts->flags & kFunctionChar)) return g.ch;
    }
    return {};
  }

  // True when the two given characters stand together somewhere a parent
  // would know them from: the bank, a dictionary word, a phrase of a
  // well-known text (`phrase`: the fitting source found), the name lists.
  // Two characters both much used in the sex's names join their meanings
  // as names do (晨悦, 韵宁).
  bool Attested(bool phrase) const {
    if (d_.chars.empty()) return true;  // without a table, nothing is known
    if (bank_ || !advice_.pairMeaning.empty() || phrase) return true;
    const auto used = [this](const GivenChar& g) {
      return g.facts && (Male() ? g.facts->boys : g.facts->girls) >= kJoiningUses;
    };
    if (used(advice_.given[0]) && used(advice_.given[1])) return true;
    const std::uint64_t given = PackedText(Join(chars_, surname_, chars_.size()));
    return d_.everydayWords.count(given) || d_.boyGivenNames.count(given) || d_.girlGivenNames.count(given);
  }

  // The line that earns the bonus: the given name's two characters side by side
  // and in order in a line of the 诗经, the 楚辞, the Four Books or the two
  // anthologies of three hundred, whose sense is not of grief, death or
  // displeasure. The line found for the name is weighed first, then the
  // bank's.
  const ClassicalSource* FittingSource() const {
    if (advice_.given.size() < 2) return nullptr;  // every character stands in some line
    for (const ClassicalSource* source : {source_, bank_ ? &bank_->source : nullptr}) {
      if (!source || !source->adjacent || source->collectionRank < 0) continue;
      if (source->collectionRank > kLastBonusRank && !WellKnown(source->collection)) continue;
      if (!d_.NegativeLine(source->line)) return source;
    }
    return nullptr;
  }

  // Tone pattern: a level (1, 2) and an oblique (3, 4) tone among the given
  // characters, and a level tone at the end, read well.
  void Sound() {
    bool level = false, oblique = false;
    for (std::size_t i = surname_; i < syllables_.size(); ++i) {
      level = level || syllables_[i].tone == 1 || syllables_[i].tone == 2;
      oblique = oblique || syllables_[i].tone == 3 || syllables_[i].tone == 4;
    }
    if (level && oblique && advice_.given.size() >= 2) Reason(kToneContrast, "名字平仄相间，读来有起伏");
    const int lastTone = syllables_.back().tone;
    if (lastTone == 1 || lastTone == 2) Reason(kLevelEnding, "末字是平声，收音响亮");
    // The surname and the first given character beginning with one
    // consonant (张志, 陈超) trip the tongue.
    const std::string surnameInitial = Initial(syllables_[surname_ - 1]);
    if (!surnameInitial.empty() && surnameInitial == Initial(syllables_[surname_])) {
      Reason(kSameInitial, "姓和名的第一个字声母相同（" + surnameInitial + "），连读拗口");
    }
  }

  // The initial consonant of a syllable (zh, b …); empty for none, for y
  // and w, and for an unknown reading.
  std::string Initial(const Syllable& syllable) const {
    if (syllable.toneless == 0) return {};
    const std::string& text = d_.tonelessTexts[syllable.toneless];
    if (text.size() >= 2 && (text[0] == 'z' || text[0] == 'c' || text[0] == 's') && text[1] == 'h')
      return text.substr(0, 2);
    if (text.empty() || std::string_view("aeiouvyw").find(text[0]) != std::string_view::npos) return {};
    return text.substr(0, 1);
  }

  const AdviceTables::Data& d_;
  std::vector<std::string> chars_;
  std::vector<Syllable> syllables_;
  std::size_t surname_ = 1;
  std::vector<std::string> wellRead_;
  std::string warnedFromStart_;  // the unfortunate word heard from the surname on  // given characters of a phrase that
                                 // reads well (无忧)
  const ClassicalSource* source_ = nullptr;
  const BankName* bank_ = nullptr;  // the name bank's entry of the given name
  Advice advice_;
};

}  // namespace

const char* KindKey(WarningKind kind) {
  switch (kind) {
    case WarningKind::kHomophone: return "homophone";
    case WarningKind::kFamous: return "famous";
    case WarningKind::kRare: return "rare";
    case WarningKind::kUnsuitable: return "unsuitable";
    case WarningKind::kSex: return "sex";
    case WarningKind::kReading: return "reading";
  }
  return "";
}

const char* SeverityKey(Severity severity) { return severity == Severity::kSerious ? "serious" : "mild"; }

bool Advice::HasSerious() const {
  return std::any_of(warnings.begin(), warnings.end(),
                     [](const Warning& w) { return w.severity == Severity::kSerious; });
}

Advice AdviceTables::Advise(std::string_view fullName, int surnameLength, Sex sex,
                            const ClassicalSource* source) const {
  return Adviser(*data_, fullName, surnameLength, sex, source).Run();
}

}  // namespace tavrin::advice
