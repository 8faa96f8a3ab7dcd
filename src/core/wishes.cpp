#include "core/wishes.h"

#include <algorithm>

#include "chars/gbk.h"

namespace tavrin {

namespace {

constexpr int kThemeBoth = 30;
constexpr int kThemeOne = 20;
constexpr int kSiblingSameSound = -30;
constexpr int kSiblingSamePlace = -12;
constexpr int kSiblingOtherPlace = -6;
constexpr int kSiblingSameSyllable = -6;
// What the two names share earns one plus, the first of: one line of the
// classics, a radical, the build of the names, a theme.
constexpr int kSiblingLine = 4;
constexpr int kSiblingRadical = 4;
constexpr int kSiblingStructure = 4;
constexpr int kSiblingTheme = 4;
// Both characters 左右: the build of one name in five, no likeness a
// parent sees.
constexpr std::string_view kPlainStructure = "左右";

const char* const kPlaces[] = {"第一字", "第二字"};

std::string Toneless(std::string syllable) {
  while (!syllable.empty() && syllable.back() >= '0' && syllable.back() <= '9') syllable.pop_back();
  return syllable;
}

std::vector<std::string> TonelessSyllables(const NamePinyin& pinyin, std::string_view chars) {
  std::vector<std::string> sounds = pinyin.Syllables(chars, 0);
  for (std::string& s : sounds) s = Toneless(std::move(s));
  return sounds;
}

bool Holds(const std::vector<std::string>& chars, std::string_view ch) {
  return std::find(chars.begin(), chars.end(), ch) != chars.end();
}

std::string Quoted(std::string_view ch) { return "“" + std::string(ch) + "”"; }

std::string Joined(const std::vector<std::string>& chars, const char* between = "") {
  std::string text;
  for (const std::string& ch : chars) text += (text.empty() ? "" : between) + ch;
  return text;
}

// The characters of the name that carry the theme: both when the pair is
// one of its words.
std::vector<std::string> ThemeChars(const advice::Theme& theme, const std::vector<std::string>& chars) {
  if (chars.size() == 2 && theme.HasWord(chars[0] + chars[1])) return chars;
  std::vector<std::string> carrying;
  for (const std::string& ch : chars) {
    if (theme.HasChar(ch) && !Holds(carrying, ch)) carrying.push_back(ch);
  }
  return carrying;
}

}  // namespace

std::string SiblingGiven(std::string_view name, std::string_view surname) {
  if (!surname.empty() && name.size() > surname.size() && name.substr(0, surname.size()) == surname) {
    return std::string(name.substr(surname.size()));
  }
  return std::string(name);
}

WishReading::WishReading(const FamilyWishes& wishes, std::string_view surname, const advice::AdviceTables& tables)
    : wishes_(wishes), tables_(&tables) {
  const NamePinyin& pinyin = tables.Pinyin();
  if (!wishes_.theme.empty()) theme_ = tables.ThemeNamed(wishes_.theme);
  avoided_ = DoubleByteChars(wishes_.avoided);
  if (wishes_.avoidSounds) avoidedSounds_ = TonelessSyllables(pinyin, wishes_.avoided);
  wishes_.sibling = SiblingGiven(wishes_.sibling, surname);
  sibling_ = DoubleByteChars(wishes_.sibling);
  siblingSounds_ = TonelessSyllables(pinyin, wishes_.sibling);
  for (const advice::Theme& theme : tables.Themes()) {
    if (std::vector<std::string> carrying = ThemeChars(theme, sibling_); !carrying.empty()) {
      siblingThemes_.emplace_back(&theme, std::move(carrying));
    }
  }
  if (const advice::BankName* entry = sibling_.size() == 2 ? tables.BankEntry(wishes_.sibling) : nullptr) {
    siblingLine_ = entry->source.line;
  }
  siblingCall_ = std::string(wishes_.siblingSex == Sex::kFemale ? "姐姐 " : "哥哥 ") + wishes_.sibling;
}

bool WishReading::Kept(std::string_view ch, std::size_t place) const {
  return std::any_of(wishes_.kept.begin(), wishes_.kept.end(), [&](const FamilyWishes::Kept& kept) {
    return kept.ch == ch && static_cast<std::size_t>(kept.place) == place + 1;
  });
}

bool WishReading::Reaches(std::string_view given) const {
  const std::vector<std::string> chars = DoubleByteChars(given);
  for (std::size_t i = 0; i < chars.size(); ++i) {
    if (Kept(chars[i], i)) return true;
  }
  return theme_ && !ThemeChars(*theme_, chars).empty();
}

bool WishReading::KeepsFirst(std::string_view given) const { return given.size() >= 2 && Kept(given.substr(0, 2), 0); }

WishReading::Verdict WishReading::Judge(const std::vector<std::string>& given) const {
  Verdict verdict;
  if (Empty() || given.empty()) return verdict;
  for (const FamilyWishes::Kept& kept : wishes_.kept) {
    const auto at = static_cast<std::size_t>(kept.place - 1);
    const bool meets = at < given.size() && given[at] == kept.ch;
    verdict.out = verdict.out || !meets;
    verdict.reasons.push_back(
        {0, "辈分字" + Quoted(kept.ch) + (meets ? "在" : "不在") + kPlaces[std::min<std::size_t>(at, 1)]});
  }
  const std::vector<std::string>& avoided = avoided_;
  // The sounds only when a wish hears them.
  const std::vector<std::string> sounds = avoidedSounds_.empty() && sibling_.empty()
                                              ? std::vector<std::string>()
                                              : tables_->Pinyin().Syllables(Joined(given), 0);
  for (std::size_t i = 0; i < given.size(); ++i) {
    for (std::size_t a = 0; a < avoided.size(); ++a) {
      if (given[i] == avoided[a]) {
        verdict.out = true;
        verdict.reasons.push_back({0, "避讳 " + avoided[a] + "：名中有" + Quoted(given[i])});
      } else if (a < avoidedSounds_.size() && i < sounds.size() && Toneless(sounds[i]) == avoidedSounds_[a]) {
        verdict.out = true;
        verdict.reasons.push_back(
            {0, "避讳 " + avoided[a] + "：" + Quoted(given[i]) + "与" + Quoted(avoided[a]) + "同音"});
      }
    }
  }
  ThemeLine(given, verdict);
  SiblingLines(given, sounds, verdict);
  return verdict;
}

void WishReading::ThemeLine(const std::vector<std::string>& given, Verdict& verdict) const {
  if (!theme_) return;
  const std::vector<std::string> carrying = ThemeChars(*theme_, given);
  const bool word = given.size() == 2 && theme_->HasWord(given[0] + given[1]);
  const int points = carrying.empty() ? 0 : carrying.size() >= given.size() || word ? kThemeBoth : kThemeOne;
  const std::string how = carrying.empty() ? std::string("没有合的字") : word ? Joined(given) : Joined(carrying, " ");
  verdict.reasons.push_back({points, "心愿 " + theme_->name + "：" + how});
}

void WishReading::SiblingLines(const std::vector<std::string>& given, const std::vector<std::string>& sounds,
                               Verdict& verdict) const {
  if (sibling_.empty()) return;
  const std::string call = "与" + siblingCall_;
  std::vector<std::string> toneless;
  for (const std::string& s : sounds) toneless.push_back(Toneless(s));
  if (toneless == siblingSounds_) {
    verdict.reasons.push_back({kSiblingSameSound, call + (given == sibling_ ? " 同名" : " 同音")});
    return;
  }
  for (std::size_t i = 0; i < given.size(); ++i) {
    const std::string& ch = given[i];
    const char* place = kPlaces[std::min<std::size_t>(i, 1)];
    if (i < sibling_.size() && sibling_[i] == ch) {
      if (Kept(ch, i)) {
        verdict.reasons.push_back({0, call + " " + place + "同用辈分字" + Quoted(ch)});
      } else {
        verdict.reasons.push_back(
            {kSiblingSamePlace, call + " " + place + "同为" + Quoted(ch) + "（要这样取，请把它填作辈分字）"});
      }
    } else if (Holds(sibling_, ch)) {
      verdict.reasons.push_back({kSiblingOtherPlace, call + " 都有" + Quoted(ch) + "字，叫起来容易混"});
    } else if (i < siblingSounds_.size() && i < toneless.size() && toneless[i] == siblingSounds_[i]) {
      std::string line = call;
      line.append(" ").append(place).append("同音（").append(sibling_[i]).append(" ").append(ch).append("）");
      verdict.reasons.push_back({kSiblingSameSyllable, std::move(line)});
    }
  }
  SiblingMatch(given, call, verdict);
}

// The line of the classics both names stand in, side by side and in order:
// the line one of them comes from in the bank; empty when none.
std::string WishReading::SharedLine(const std::vector<std::string>& given) const {
  if (given.size() != 2 || sibling_.size() != 2) return {};
  const std::string ours = Joined(given);
  if (ContainsAligned(siblingLine_, ours)) return siblingLine_;
  const advice::BankName* entry = tables_->BankEntry(ours);
  if (entry && ContainsAligned(entry->source.line, wishes_.sibling)) return entry->source.line;
  return {};
}

// The build both names have, as a parent says it: 叠字, or the structures of
// the characters place by place ("上下、左右"); empty when they differ, when
// a name is not of two characters or a structure is unknown, and when the
// names share a character.
std::string WishReading::SharedStructure(const std::vector<std::string>& given) const {
  if (given.size() != 2 || sibling_.size() != 2 || Holds(sibling_, given[0]) || Holds(sibling_, given[1])) return {};
  if (given[0] == given[1] && sibling_[0] == sibling_[1]) return "同为叠字";
  std::string_view shape[2];
  for (std::size_t i = 0; i < 2; ++i) {
    shape[i] = tables_->StructureOf(given[i]);
    if (shape[i].empty() || shape[i] != tables_->StructureOf(sibling_[i])) return {};
  }
  if (shape[0] == kPlainStructure && shape[1] == kPlainStructure) return {};
  return "字形结构相同（" + std::string(shape[0]) + "、" + std::string(shape[1]) + "）";
}

void WishReading::SiblingMatch(const std::vector<std::string>& given, const std::string& call, Verdict& verdict) const {
  if (const std::string line = SharedLine(given); !line.empty()) {
    verdict.reasons.push_back({kSiblingLine, call + " 同出一句" + Quoted(line)});
    return;
  }
  for (const std::string& ch : given) {
    if (Holds(sibling_, ch)) continue;
    const std::string_view radical = tables_->RadicalOf(ch);
    if (radical.empty()) continue;
    const auto shared = std::find_if(sibling_.begin(), sibling_.end(), [&](const std::string& s) {
      return !Holds(given, s) && tables_->RadicalOf(s) == radical;
    });
    if (shared == sibling_.end()) continue;
    std::string line = call;
    line.append(" 同部首 ").append(radical).append("（").append(*shared).append(" ").append(ch).append("）");
    verdict.reasons.push_back({kSiblingRadical, std::move(line)});
    return;  // one match is enough
  }
  if (const std::string build = SharedStructure(given); !build.empty()) {
    verdict.reasons.push_back({kSiblingStructure, call + " " + build});
    return;
  }
  for (const auto& [theme, carrying] : siblingThemes_) {
    std::vector<std::string> ours = ThemeChars(*theme, given);
    std::vector<std::string> theirs = carrying;
    std::erase_if(ours, [&](const std::string& ch) { return Holds(sibling_, ch); });
    std::erase_if(theirs, [&](const std::string& ch) { return Holds(given, ch); });
    if (ours.empty() || theirs.empty()) continue;
    verdict.reasons.push_back(
        {kSiblingTheme, call + " 同属" + Quoted(theme->name) + "（" + theirs.front() + " " + ours.front() + "）"});
    break;
  }
}

std::string WishesSentence(const FamilyWishes& wishes) {
  if (wishes.Empty()) return {};
  std::vector<std::string> parts;
  if (!wishes.theme.empty()) parts.push_back(wishes.theme);
  for (const FamilyWishes::Kept& kept : wishes.kept) {
    parts.push_back("辈分字" + Quoted(kept.ch) + "在" + kPlaces[kept.place == 2 ? 1 : 0]);
  }
  if (!wishes.avoided.empty()) {
    parts.push_back("避讳 " + Joined(DoubleByteChars(wishes.avoided), " ") +
                    (wishes.avoidSounds ? "（同音字也避开）" : ""));
  }
  if (!wishes.sibling.empty()) {
    parts.push_back(std::string(wishes.siblingSex == Sex::kFemale ? "姐姐 " : "哥哥 ") + wishes.sibling);
  }
  return "家人心愿：" + Joined(parts, "；");
}

}  // namespace tavrin
