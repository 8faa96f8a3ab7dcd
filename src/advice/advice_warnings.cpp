// The warnings on a name: what it sounds like, whom it names, its characters
// and their readings.
#include "advice/adviser.h"

namespace tavrin::advice::detail {

void Adviser::Warn(WarningKind kind, Severity severity, std::string text, int points) {
  advice_.warnings.push_back({kind, severity, std::move(text), points});
}

bool Adviser::OnlyLastSecondThird(std::size_t from, const std::string& word) const {
  const std::vector<std::string> wordChars = DoubleByteChars(word);
  for (std::size_t i = 0; i < wordChars.size(); ++i) {
    const int w = d_.ReadingOf(wordChars[i]).tone;
    const int a = syllables_[from + i].tone;
    const bool last = i + 1 == wordChars.size();
    if (w != a && !(last && ((a == 2 && w == 3) || (a == 3 && w == 2)))) return false;
  }
  return true;
}

bool Adviser::NearInTones(std::size_t from, const std::vector<Syllable>& word) const {
  int differ = 0;
  for (std::size_t i = 0; i < word.size() && from + i < syllables_.size(); ++i) {
    if (word[i].tone != 5 && word[i].tone != syllables_[from + i].tone) ++differ;
  }
  return differ <= 1;
}

std::vector<Adviser::Span> Adviser::HomophoneSpans() const {
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

std::int32_t Adviser::TonedWord(const Span& span) const {
  std::int32_t first = -1;
  for (const SoundKey key : d_.NeutralVariantKeys(&syllables_[span.from], span.to - span.from)) {
    const auto found = d_.unfortunateToned.find(key);
    if (found != d_.unfortunateToned.end() && (first < 0 || found->second < first)) first = found->second;
  }
  return first;
}

Adviser::Heard Adviser::TonedHomophones(const std::vector<Span>& spans, bool& fromStart) {
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

void Adviser::TonelessHomophone(const std::vector<Span>& spans) {
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

void Adviser::Homophones() {
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

void Adviser::SurnameWords() {
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
        } else if (phrase.graveNear) {
          Warn(WarningKind::kHomophone, Severity::kSerious, "连姓读快了像" + Quoted(phrase.phrase), kSurnamePhrase);
        } else {
          Warn(WarningKind::kHomophone, Severity::kMild, "连姓读快了像" + Quoted(phrase.phrase), kSurnamePhraseHint);
        }
        return;
      }
    }
  }
}

bool Adviser::ContainsChar(const std::string& chars, const std::string& ch) {
  for (const std::string& c : DoubleByteChars(chars)) {
    if (c == ch) return true;
  }
  return false;
}

bool Adviser::Similar(const std::string& a, const std::string& b) const {
  const Syllable sa = d_.ReadingOf(a), sb = d_.ReadingOf(b);
  if (sa.toneless != 0 && sa.toneless == sb.toneless) return true;
  if (d_.shapeRadical.empty() || a.size() != 2 || b.size() != 2) return false;
  const std::uint8_t ra = d_.shapeRadical[AdviceTables::Data::Code(a)];
  return ra != 0 && ra == d_.shapeRadical[AdviceTables::Data::Code(b)];
}

bool Adviser::NearCelebrity() {
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

void Adviser::FamousWarning(const FamousPerson& person, const char* how, bool exact) {
  const bool notorious = person.tag == FamousTag::kNotorious;
  const bool wellKnown = exact && !notorious && person.tag != FamousTag::kFictional &&
                         (DoubleByteChars(person.name).size() >= 3 || person.start);
  std::string text =
      how + Quoted(person.name) + "（" + (person.note.empty() ? TagNote(person.tag) : person.note) + "）";
  Warn(WarningKind::kFamous, notorious || wellKnown ? Severity::kSerious : Severity::kMild, std::move(text),
       notorious   ? kNotoriousName
       : wellKnown ? kWellKnownName
                   : kFamousName);
}

void Adviser::Famous() {
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
       "名字开头读作" + Quoted(person->name) + "（" + (person->note.empty() ? TagNote(person->tag) : person->note) +
           "）",
       person->tag == FamousTag::kNotorious ? kNotoriousStart : kFamousStart);
}

void Adviser::CharWarnings(const GivenChar& given) {
  const CharFacts* facts = given.facts;
  const std::string ch = Quoted(given.ch);
  if (d_.chars.empty()) {
    // No character table: nothing is known of the character.
  } else if (!facts || facts->level == 0) {
    Warn(WarningKind::kRare, Severity::kSerious, ch + "不在通用规范汉字表内，难输入，有的系统显示不出", kOutsideTable);
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

void Adviser::Readings() {
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
      Warn(WarningKind::kReading, Severity::kMild, Quoted(chars_[i]) + "和" + Quoted(chars_[j]) + "同音，读起来重复",
           kRepeatedSyllable);
      return;
    }
  }
}

}  // namespace tavrin::advice::detail
