#include "core/poem_phrases.h"

#include <algorithm>
#include <unordered_set>

#include "chars/gbk.h"
#include "core/best_names.h"
#include "core/judgement.h"
#include "core/naming_model.h"
#include "core/services.h"

namespace tavrin {

namespace {

// The last collection whose every phrase may be a name: 诗经 0, 楚辞 1, the
// Four Books 2 (advice::CollectionRank).
constexpr int kClassicRank = 2;
// Names of the sex's list holding a character, for it to be a name character.
constexpr int kNameUses = 3;

bool HasFlag(const advice::AdviceTables& tables, const std::string& ch, std::uint8_t flag) {
  const advice::CharFacts* facts = tables.Facts(ch);
  return facts && (facts->flags & flag);
}

// The runs of Chinese characters of the text, each cut into its characters.
std::vector<std::vector<std::string>> VerseLines(const std::string& text) {
  std::vector<std::vector<std::string>> lines(1);
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t length = CharLengthAt(text, pos);
    std::string ch = text.substr(pos, length);
    pos += length;
    if (IsHanzi(ch)) {
      lines.back().push_back(std::move(ch));
    } else if (!lines.back().empty()) {
      lines.emplace_back();
    }
  }
  if (lines.back().empty()) lines.pop_back();
  return lines;
}

// The line's pairs: side by side within a beat, then those the line reads
// as one across a link character, a doubled character read once (灼灼其华
// gives 灼华, 宜其家室 宜家; 青青子衿 gives no 青子). No pair ends in a link
// character (宜其, 桃之).
std::vector<std::string> LinePairs(const advice::AdviceTables& tables, const std::vector<std::string>& line) {
  std::vector<std::string> pairs;
  const int length = static_cast<int>(line.size());
  for (int i = 0; i + 1 < length; ++i) {
    const std::string& second = line[static_cast<std::size_t>(i) + 1];
    if (advice::WithinBeat(length, i + 1) && !HasFlag(tables, second, advice::kLinkChar)) {
      pairs.push_back(line[static_cast<std::size_t>(i)] + second);
    }
  }
  const std::string* last = nullptr;  // the last character kept
  bool linked = false;                // a link character since
  for (const std::string& ch : line) {
    if (HasFlag(tables, ch, advice::kLinkChar)) {
      linked = true;
    } else if (!last || *last != ch) {
      if (linked && last) pairs.push_back(*last + ch);
      last = &ch;
      linked = false;
    }
  }
  return pairs;
}

// Beyond the 诗经, the 楚辞 and the Four Books, whose phrases are the classic
// names, two characters side by side in a line are a name only when they
// read as one: a name of the bank or the lists, or two characters of the
// sex's names that make no everyday word (流萤 云霞; not 今日 知道, nor 易沉
// of 风多响易沉).
bool NameLike(const advice::AdviceTables& tables, const std::string& given, Sex sex) {
  if (tables.BankEntry(given) || tables.ListedName(given)) return true;
  if (tables.EverydayWord(given)) return false;
  for (const std::string& ch : {given.substr(0, 2), given.substr(2)}) {
    const advice::CharFacts* facts = tables.Facts(ch);
    if (!facts || (sex == Sex::kFemale ? facts->girls : facts->boys) < kNameUses) return false;
  }
  return true;
}

// A pair a consultant could offer from the line, before its advice.
bool FitPair(const advice::AdviceTables& tables, const std::string& given) {
  const std::string first = given.substr(0, 2), second = given.substr(2);
  const bool function = HasFlag(tables, first, advice::kFunctionChar) || HasFlag(tables, second, advice::kFunctionChar);
  return !function || tables.BankEntry(given) != nullptr || tables.ListedName(given);
}

}  // namespace

std::vector<PoemPhrase> PoemPhrases(const advice::AdviceTables& tables, const NamingServices& services,
                                    const NameJudge& judge, const std::string& surname, Sex sex,
                                    const PoemOfPhrases& poem) {
  std::vector<PoemPhrase> phrases;
  // A surname of one or two Chinese characters, as the advice reads names.
  const std::vector<std::string> surnameChars = SplitChars(surname);
  if (surnameChars.empty() || surnameChars.size() > 2 ||
      !std::all_of(surnameChars.begin(), surnameChars.end(), [](const std::string& ch) { return IsHanzi(ch); })) {
    return phrases;
  }
  const int surnameLength = static_cast<int>(surnameChars.size());
  const PinyinService::Sounds surnameSounds = services.SurnameSounds(surname);
  std::unordered_set<std::string> seen;
  for (const std::vector<std::string>& chars : VerseLines(poem.text)) {
    std::string line;
    for (const std::string& ch : chars) line += ch;
    if (tables.NegativeLine(line)) continue;
    // Every pair is a phrase of the line (ClassicalSource::adjacent).
    const advice::ClassicalSource source{
        advice::CollectionRank(poem.collection), poem.collection, poem.title, line, poem.author, true};
    for (std::string& given : LinePairs(tables, chars)) {
      if (!seen.insert(given).second || !FitPair(tables, given)) continue;
      if (!services.pinyin.SoundCheck(SoundRule::kWholeItem, surnameSounds, given.substr(0, 2))) continue;
      advice::Advice advice = judge.Judge(tables.Advise(surname + given, surnameLength, sex, &source));
      if (advice.HasSerious() || !advice.clearPair) continue;
      if (source.collectionRank > kClassicRank && !NameLike(tables, given, sex)) continue;
      phrases.push_back({std::move(given), source, std::move(advice)});
    }
  }
  std::stable_sort(phrases.begin(), phrases.end(),
                   [](const PoemPhrase& a, const PoemPhrase& b) { return a.advice.unclamped > b.advice.unclamped; });
  return phrases;
}

std::size_t AddPoemPhrases(BestNames& names, const NamingServices& services, const std::vector<PoemPhrase>& phrases,
                           const std::string& surname, Sex sex, std::string_view scoringElements) {
  std::size_t added = 0;
  for (const PoemPhrase& phrase : phrases) {
    const Candidate candidate = MakeCandidate(services, surname, phrase.given, Origin::kPoetry, scoringElements);
    if (names.AddWithSource(candidate, sex, phrase.source)) ++added;
  }
  return added;
}

}  // namespace tavrin
