#include "core/best_names.h"

#include <algorithm>

#include "chars/gbk.h"
#include "core/naming_model.h"
#include "core/pane.h"
#include "core/report.h"

namespace tavrin {

namespace {

// A large bank is not offered whole to every baby: each baby is offered a
// share of it, picked by a hash of the baby and the name, so that among
// names of like merit two babies see different ones and one baby sees the
// same ones at every run. A bank of up to this many names of one sex is
// offered whole.
constexpr std::size_t kBankOffered = 550;
// In quarters of that share, by the readers who would shortlist the name:
// of one sex, of both.
constexpr std::size_t kOfferedQuarters[2][3] = {{4, 8, 6}, {3, 4, 3}};

std::uint64_t Fnv1a(std::string_view text, std::uint64_t hash = 14695981039346656037ull) {
  for (const char c : text) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 1099511628211ull;
  }
  return hash;
}

// Who the baby is, for the share of the bank: surname, sex and birth.
std::uint64_t BabyHash(const Child& child) {
  std::string key = child.surname;
  key += child.sex == Sex::kFemale ? 'F' : 'M';
  for (const int part : {child.year, child.month, child.day, child.hour.Known() ? child.hour.Number() : -1}) {
    key += std::to_string(part);
    key += '-';
  }
  return Fnv1a(key);
}

BankShare ShareOf(const advice::BankName& name) { return {name.forBoys && name.forGirls, name.shortlisted}; }

}  // namespace

bool OfferedToBaby(std::uint64_t babyHash, std::string_view given, std::size_t ofSex, BankShare share) {
  if (ofSex <= kBankOffered) return true;
  // Mixed once more, so that names differing only in a last byte spread.
  std::uint64_t h = Fnv1a(given, babyHash);
  h ^= h >> 29;
  h *= 0xbf58476d1ce4e5b9ull;
  h ^= h >> 32;
  const std::size_t offered =
      kBankOffered * kOfferedQuarters[share.bothSexes ? 1 : 0][std::clamp(share.shortlisted, 0, 2)] / 4;
  return h % ofSex < offered;
}

advice::Advice AdviseWithSource(const advice::AdviceTables& tables, const std::string& fullName, int surnameLength,
                                Sex sex, const advice::SourceFinder& findSource) {
  const std::optional<advice::ClassicalSource> source = findSource ? findSource(fullName) : std::nullopt;
  return tables.Advise(fullName, surnameLength, sex, source ? &*source : nullptr);
}

void BestNames::Clear() {
  candidates_.clear();
  advice_.clear();
  own_.clear();
  childLines_.clear();
  scores_.clear();
  rankScores_.clear();
  conventionsScores_.clear();
  births_.clear();
  ownSources_.clear();
  keys_.clear();
  proposedRuns_.clear();
  sourcesDone_ = 0;
  ++version_;
}

void BestNames::FollowChild(const Child& child, NameJudge judge, std::uint64_t acceptedBefore) {
  const bool sameBaby = child_ && child_->SameBaby(child);
  const bool sameWish =
      sameBaby && child_->wish == child.wish && child_->chosen == child.chosen && child_->wishes == child.wishes;
  child_ = child;
  babyHash_ = BabyHash(child);
  judge_ = std::move(judge);
  if (tables_ && !child.wishes.Empty()) judge_.SetWishes(WishReading(child.wishes, child.surname, *tables_));
  if (!sameBaby) {
    acceptedBefore_ = acceptedBefore;
    Clear();
  } else if (!sameWish) {
    for (std::size_t i = 0; i < own_.size(); ++i) {
      childLines_[i] = judge_.Lines(own_[i]);
      advice_[i] = NameJudge::Apply(own_[i], childLines_[i]);
    }
    ++version_;
  }
}

void BestNames::FollowRun(const NamingSession& session, const NamingServices& services) {
  if (session.birthYear == 0) return;  // no run yet
  FollowChild(session.RunChild(), JudgeForRun(session, services), session.acceptedBeforeRun);
}

void BestNames::SetAdvice(std::size_t i, advice::Advice own) {
  advice_[i] = NameJudge::Apply(own, childLines_[i]);
  own_[i] = std::move(own);
}

bool BestNames::AddFrom(const Candidate& candidate, Sex sex, std::optional<int> conventionsScore,
                        const advice::ClassicalSource* source) {
  if (candidate.Given().empty()) return false;
  if (child_) {
    // Only this baby's names: its surname and sex, and none accepted for an
    // earlier baby (a pane may still show them).
    if (sex != child_->sex || candidate.Surname() != child_->surname) return false;
    if (candidate.acceptance != 0 && candidate.acceptance <= acceptedBefore_) return false;
    if (!OfferedFromRun(candidate, sex)) return false;
  }
  std::string key(1, sex == Sex::kFemale ? 'F' : 'M');
  key += candidate.fullName;
  if (!keys_.insert(std::move(key)).second) return false;
  const int surnameLength = static_cast<int>(candidate.surnameBytes / 2);
  const bool lookUpNow = !deferSources_ || !findSource_ || source;
  if (lookUpNow && sourcesDone_ == advice_.size()) ++sourcesDone_;
  advice::Advice own;
  if (tables_ && source) {
    own = tables_->Advise(candidate.fullName, surnameLength, sex, source);
  } else if (tables_) {
    own = AdviseWithSource(*tables_, candidate.fullName, surnameLength, sex,
                           lookUpNow ? findSource_ : advice::SourceFinder());
  } else {
    own.name = candidate.fullName;
    own.surnameLength = surnameLength;
    own.sex = sex;
  }
  advice_.emplace_back();
  own_.emplace_back();
  childLines_.push_back(judge_.Lines(own));
  SetAdvice(advice_.size() - 1, std::move(own));
  scores_.push_back(candidate.scored ? candidate.score : kNoScore);
  if (!conventionsScore && conventionsScorer_) conventionsScore = conventionsScorer_(candidate);
  conventionsScores_.push_back(conventionsScore);
  rankScores_.push_back(surnameLength == 2 && conventionsScore ? *conventionsScore : scores_.back());
  births_.push_back(addingBirth_);
  ownSources_.push_back(source ? std::optional(*source) : std::nullopt);
  candidates_.push_back(candidate);
  ++version_;
  return true;
}

bool BestNames::OfferedFromRun(const Candidate& candidate, Sex sex) {
  // The generators draw from short lists every baby shares (系统推荐名二 from
  // the recommended names): a name the bank holds as well keeps to the bank's
  // share for this baby, or the same few would head every family's list. A
  // name the bank does not hold, a poem's or a typed one always enters, and
  // so does one that meets a wish reaching beyond the share.
  if (!tables_ || candidate.origin < Origin::kSettings || candidate.origin > Origin::kRecommendedTwo) return true;
  if (!bankIndexed_) {
    for (const advice::BankName& name : tables_->Bank()) {
      for (const int i : {0, 1}) {
        if (!(i == 0 ? name.forBoys : name.forGirls)) continue;
        bankGiven_[i].emplace(name.given, ShareOf(name));
        ++bankOfSex_[i];
      }
    }
    bankIndexed_ = true;
  }
  // A name the bank holds for the other sex only keeps to that sex's share.
  const std::string own(candidate.Given());
  int i = sex == Sex::kFemale ? 1 : 0;
  auto inBank = bankGiven_[i].find(own);
  if (inBank == bankGiven_[i].end()) {
    i = 1 - i;
    inBank = bankGiven_[i].find(own);
  }
  return inBank == bankGiven_[i].end() || OfferedToBaby(babyHash_, own, bankOfSex_[i], inBank->second) ||
         judge_.Wishes().Reaches(own);
}

std::size_t BestNames::LookUpSources(std::size_t count) {
  const std::size_t from = sourcesDone_;
  for (; sourcesDone_ < advice_.size() && sourcesDone_ - from < count; ++sourcesDone_) {
    if (!tables_ || !findSource_ || ownSources_[sourcesDone_]) continue;
    const advice::Advice& before = own_[sourcesDone_];
    SetAdvice(sourcesDone_, AdviseWithSource(*tables_, before.name, before.surnameLength, before.sex, findSource_));
    ++version_;
  }
  return sourcesDone_ - from;
}

void BestNames::AddPane(const Pane& pane, Sex sex) {
  for (std::size_t line = 0; line < pane.Lines().size(); ++line) {
    for (const PaneEntry& entry : pane.EntriesOf(line)) Add(entry.candidate, sex);
  }
}

void BestNames::AddReport(const ReportList& report, Sex runSex, Sex poetrySex) {
  const std::vector<ReportRow>& rows = report.Rows();
  for (; reportRowsAdded_ < rows.size(); ++reportRowsAdded_) {
    const ReportRow& row = rows[reportRowsAdded_];
    const Candidate& candidate = row.candidate;
    Add(candidate, candidate.origin == Origin::kPoetry ? poetrySex : runSex, row.conventionsScore);
  }
}

std::size_t BestNames::AddProposals(const NamingSession& session, const NamingServices& services) {
  if (!tables_ || session.birthYear == 0) return 0;
  // A surname the advice reads as one: a character, or a compound surname
  // (欧阳); a run on any other text proposes nothing.
  const std::string& surname = session.surname;
  const bool single = IsHanzi(surname);
  const bool compound = surname.size() == 4 && IsHanzi(surname.substr(0, 2)) && IsHanzi(surname.substr(2)) &&
                        tables_->SurnameLength(surname + surname.substr(2)) == 2;
  if (!single && !compound) return 0;
  const Sex sex = SexOf(session.female);
  std::string run = std::string(1, session.female ? 'F' : 'M') + session.surname + '\t' + session.chart.birthElements;
  // The wishes that reach names beyond the baby's share of the bank.
  const WishReading& wishes = judge_.Wishes();
  run += '\t' + wishes.Wishes().theme;
  for (const FamilyWishes::Kept& kept : wishes.Wishes().kept) run += '\t' + kept.ch + std::to_string(kept.place);
  if (!proposedRuns_.insert(std::move(run)).second) return 0;
  addingBirth_ = RunBirth{session.birthYear, session.birthMonth, session.birthDay, session.birthHour};
  std::size_t added = 0;
  // The surname is heard in its own reading (曾 zeng1), looked up once.
  const PinyinService::Sounds surnameSounds = services.SurnameSounds(session.surname);
  const auto forSex = [sex](const advice::BankName& name) {
    return sex == Sex::kFemale ? name.forGirls : name.forBoys;
  };
  const std::vector<advice::BankName>& bank = tables_->Bank();
  const auto ofSex = static_cast<std::size_t>(std::count_if(bank.begin(), bank.end(), forSex));
  const std::uint64_t baby = BabyHash(session.RunChild());
  for (const advice::BankName& name : bank) {
    if (!forSex(name) || !(OfferedToBaby(baby, name.given, ofSex, ShareOf(name)) || wishes.Reaches(name.given)))
      continue;
    // The groups of like initials and finals between the surname and the
    // first given character, each group read item by item. Read byte-wise,
    // as the generators do by default, "e", "u" and "an" lie in every group
    // of finals, and 何 徐 朱 胡 苏 许 贺 韩 would be proposed nothing at all.
    // The bank's pairs themselves were chosen by ear (the byte-wise rule
    // would refuse 嘉树 and 采薇).
    const std::string_view given = name.given;
    if (!wishes.KeepsFirst(given) &&
        !services.pinyin.SoundCheck(SoundRule::kWholeItem, surnameSounds, given.substr(0, 2))) {
      continue;
    }
    const Origin origin = name.origin == advice::NameOrigin::kCurated ? Origin::kCurated : Origin::kClassical;
    if (Add(MakeCandidate(services, session.surname, given, origin, session.chart.birthElements), sex)) ++added;
  }
  addingBirth_.reset();
  return added;
}

void BestNames::AddRuns(const NamingRunState& state, Sex poetrySex) {
  const NamingSession& session = state.session;
  const Sex runSex = SexOf(session.female);
  if (session.birthYear != 0) {
    addingBirth_ = RunBirth{session.birthYear, session.birthMonth, session.birthDay, session.birthHour};
  }
  AddReport(state.report, runSex, poetrySex);
  for (const auto& page : state.ResultPages()) AddPane(*page.pane, runSex);
  AddPane(state.poetryPane, poetrySex);
  addingBirth_.reset();
}

}  // namespace tavrin
