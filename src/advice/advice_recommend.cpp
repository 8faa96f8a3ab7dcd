// The 推荐度 of a name: its warnings' points and the lines of its use, its
// commonness, its meaning and source, and its sound.
#include "advice/adviser.h"

namespace tavrin::advice::detail {

const char* Adviser::SexWord() const { return Male() ? "男孩" : "女孩"; }

void Adviser::Reason(int points, std::string text) {
  if (points != 0) advice_.reasons.push_back({points, std::move(text)});
}

void Adviser::Recommend() {
  NameUse();
  Commonness();
  for (const GivenChar& given : advice_.given) {
    if (given.facts && (given.facts->flags & (Male() ? kDatedForBoys : kDatedForGirls))) {
      Reason(kDated, Quoted(given.ch) + "是上一辈人名字的常用字，显得老气");
    }
  }
  Meaning();
  Appeal();
  Sound();
  for (const Warning& warning : advice_.warnings) Reason(warning.points, "提示：" + warning.text);
  int score = kBase;
  for (const auto& reason : advice_.reasons) score += reason.points;
  advice_.unclamped = score;
  advice_.recommend = std::clamp(score, 0, 100);
}

void Adviser::NameUse() {
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

int Adviser::PlaceUses(const CharFacts& f, std::size_t place) const {
  return place == 0 ? (Male() ? f.boysFirst : f.girlsFirst) : (Male() ? f.boysLast : f.girlsLast);
}

void Adviser::Commonness() {
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

void Adviser::Meaning() {
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

std::string Adviser::FragmentOf() const {
  if (advice_.given.size() != 2 || bank_ || !advice_.pairMeaning.empty()) return {};
  const std::uint64_t given = PackedText(advice_.given[0].ch + advice_.given[1].ch);
  if (d_.everydayWords.count(given) || d_.boyGivenNames.count(given) || d_.girlGivenNames.count(given)) return {};
  for (const GivenChar& g : advice_.given) {
    if (g.facts && (g.facts->flags & kFunctionChar)) return g.ch;
  }
  return {};
}

bool Adviser::Attested(bool phrase) const {
  if (d_.chars.empty()) return true;  // without a table, nothing is known
  if (bank_ || !advice_.pairMeaning.empty() || phrase) return true;
  const auto used = [this](const GivenChar& g) {
    return g.facts && (Male() ? g.facts->boys : g.facts->girls) >= kJoiningUses;
  };
  if (used(advice_.given[0]) && used(advice_.given[1])) return true;
  const std::uint64_t given = PackedText(Join(chars_, surname_, chars_.size()));
  return d_.everydayWords.count(given) || d_.boyGivenNames.count(given) || d_.girlGivenNames.count(given);
}

const ClassicalSource* Adviser::FittingSource() const {
  if (advice_.given.size() < 2) return nullptr;  // every character stands in some line
  for (const ClassicalSource* source : {source_, bank_ ? &bank_->source : nullptr}) {
    if (!source || !source->adjacent || source->collectionRank < 0) continue;
    if (source->collectionRank > kLastBonusRank && !WellKnown(source->collection)) continue;
    if (!d_.NegativeLine(source->line)) return source;
  }
  return nullptr;
}

void Adviser::Appeal() {
  if (advice_.given.size() != 2 || !advice_.given[0].facts || !advice_.given[1].facts) return;
  const double appeal = std::sqrt(static_cast<double>(advice_.given[0].facts->appeal) * advice_.given[1].facts->appeal);
  if (appeal >= kAppealHigh) {
    Reason(kAppealHighPoints, "起名顾问试读时，用这两个字的名字常被选入候选");
  } else if (appeal >= kAppealFair) {
    Reason(kAppealFairPoints, "起名顾问试读时，用这两个字的名字较常被选入候选");
  } else if (appeal <= kAppealVeryLow) {
    Reason(kAppealVeryLowPoints, "起名顾问试读时，用这两个字的名字很少被选入候选，显得平常");
  } else if (appeal <= kAppealLow) {
    Reason(kAppealLowPoints, "起名顾问试读时，用这两个字的名字较少被选入候选");
  }
}

void Adviser::Sound() {
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

std::string Adviser::Initial(const Syllable& syllable) const {
  if (syllable.toneless == 0) return {};
  const std::string& text = d_.tonelessTexts[syllable.toneless];
  if (text.size() >= 2 && (text[0] == 'z' || text[0] == 'c' || text[0] == 's') && text[1] == 'h')
    return text.substr(0, 2);
  if (text.empty() || std::string_view("aeiouvyw").find(text[0]) != std::string_view::npos) return {};
  return text.substr(0, 1);
}

}  // namespace tavrin::advice::detail
