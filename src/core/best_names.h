// The distinct names of a window session's runs with the advice on each, for
// the list of best names (the 精选 page, `generate --best`). A name is kept
// once per sex: the first run that made it for a boy or a girl gives its
// candidate (score, grids), and the advice is made for that sex.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "advice/advice.h"
#include "advice/selection.h"
#include "calendar/birth_pillars.h"
#include "core/candidate.h"
#include "core/child.h"
#include "core/judgement.h"

namespace tavrin {

class Pane;
class ReportList;
struct NamingRunState;
struct NamingServices;
struct NamingSession;

// How large a share of the bank a name is offered in. A name for both sexes
// stands in the banks of both and would reach twice the babies a name of one
// sex reaches: it is offered three times in four as often. A name one reader
// would shortlist is offered twice as often (one of both sexes the whole
// share), so that each baby's share holds more of the names readers want;
// one both readers shortlist heads nearly every list it is offered to and
// is offered only half as often again (three in four for both sexes), so
// that no one name heads many more lists than the others.
struct BankShare {
  bool bothSexes = false;
  int shortlisted = 0;  // BankName::shortlisted
};

// Whether a bank of `ofSex` names for the baby's sex offers `given` to the
// baby of `babyHash`: all of a small bank; of a large one, a share of about
// 550 names (as `share` scales it), the same for the same baby.
bool OfferedToBaby(std::uint64_t babyHash, std::string_view given, std::size_t ofSex, BankShare share = {});

// The advice on a full name, with the bonus of the line `findSource` (may be
// empty) gives for it: what the 精选 list, `generate --best`, `advise` and a
// kept favourite all say of a name.
advice::Advice AdviseWithSource(const advice::AdviceTables& tables, const std::string& fullName, int surnameLength,
                                Sex sex, const advice::SourceFinder& findSource);

class BestNames {
 public:
  // The 通行评分 of a candidate against the chart of the run that made it;
  // none when the name has no common grids.
  using ConventionsScorer = std::function<std::optional<int>(const Candidate& candidate)>;

  // The score of an unscored entry in the order and the filters: below
  // every real score.
  static constexpr int kNoScore = -1;

  // Without tables every name gets an empty advice (推荐度 0, no warning).
  explicit BestNames(const advice::AdviceTables* tables) : tables_(tables) {}

  // Where the names added from now on find their classical source, for the
  // 推荐度's bonus; without, no name gets it. A deferred finder is not asked
  // by Add: LookUpSources asks it later, a few names at a time, so that a
  // window stays responsive (a lookup can take a tenth of a millisecond).
  void SetSourceFinder(advice::SourceFinder finder, bool deferred = false) {
    findSource_ = std::move(finder);
    deferSources_ = deferred;
  }
  // The names still waiting for their source are those from this index on.
  std::size_t SourcesDone() const { return sourcesDone_; }
  // Looks up the sources of the next `count` names waiting, in the order
  // added, and advises them again with it; returns how many it looked up.
  std::size_t LookUpSources(std::size_t count);
  // How the names added from now on that no report row holds get their
  // 通行评分 (a report row brings its own); without, they have none.
  void SetConventionsScorer(ConventionsScorer scorer) { conventionsScorer_ = std::move(scorer); }

  // The names are those of one baby from now on: when `child` is not the
  // baby the names were gathered for, every name is dropped and the list
  // starts again, leaving out the candidates accepted up to
  // `acceptedBefore` (an earlier baby's names still shown in the panes);
  // when it is the same baby with another wish, every name is judged again.
  // Each name's 推荐度 is `judge`'s. Without a call, the names of every run
  // are pooled and judged by their own advice alone.
  void FollowChild(const Child& child, NameJudge judge, std::uint64_t acceptedBefore);
  // FollowChild for the baby of the session's last Generate run.
  void FollowRun(const NamingSession& session, const NamingServices& services);
  const std::optional<Child>& CurrentChild() const { return child_; }
  const NameJudge& Judge() const { return judge_; }

  // Adds the candidate made for a child of `sex`; false when its full name
  // stands already for that sex (or it has no given name).
  // `conventionsScore`, when known, is its 通行评分.
  bool Add(const Candidate& candidate, Sex sex, std::optional<int> conventionsScore = std::nullopt) {
    return AddFrom(candidate, sex, conventionsScore, nullptr);
  }
  // Adds a name with its own source, which the source finder is never asked
  // to replace: a phrase of the poem the family chose (core/poem_phrases.h),
  // with the poem's line.
  bool AddWithSource(const Candidate& candidate, Sex sex, const advice::ClassicalSource& source) {
    return AddFrom(candidate, sex, std::nullopt, &source);
  }
  // Adds every candidate shown in the pane.
  void AddPane(const Pane& pane, Sex sex);
  // Adds the report rows not added yet: those of the poetry page for
  // `poetrySex`, the others for `runSex`.
  void AddReport(const ReportList& report, Sex runSex, Sex poetrySex);
  // Everything a run state shows: its result panes, the poetry pane and the
  // report; the poetry page's names for `poetrySex`, the rest for the sex of
  // the last Generate run. Each name added keeps the birth of that run.
  void AddRuns(const NamingRunState& state, Sex poetrySex);
  // The names the program proposes itself for the last Generate run of the
  // session: the name bank's names for the run's sex offered to the run's
  // baby (OfferedToBaby), or meeting a wish that reaches beyond the share
  // (WishReading::Reaches), whose first character
  // passes the run's sound rule with the surname, scored against the run's
  // chart. Once per surname, sex, chart, sound rule and reaching wishes; nothing
  // before the first run. Returns how many names were added.
  std::size_t AddProposals(const NamingSession& session, const NamingServices& services);

  // The birth date and hour a name was scored for, as the naming session
  // held them; none for a name not added from a run state, or before any
  // Generate run.
  struct RunBirth {
    int year = 0, month = 0, day = 0;
    BirthHour hour;
  };
  const std::optional<RunBirth>& BirthAt(std::size_t i) const { return births_[i]; }

  std::size_t Size() const { return candidates_.size(); }
  const Candidate& CandidateAt(std::size_t i) const { return candidates_[i]; }
  const advice::Advice& AdviceAt(std::size_t i) const { return advice_[i]; }
  // The five-grid score (kNoScore when unscored).
  int ScoreAt(std::size_t i) const { return scores_[i]; }
  // The score the order and the filters use: the five-grid score, but for a
  // compound surname, whose five grids read only its first character (every
  // 欧阳 name of two given characters scores alike), the 通行评分 when there
  // is one.
  int RankScoreAt(std::size_t i) const { return rankScores_[i]; }
  // How the name meets each of the family's wishes (NameJudge's lines).
  const std::vector<advice::Reason>& WishLinesAt(std::size_t i) const { return childLines_[i].wishes; }
  // The 通行评分, or none.
  std::optional<int> ConventionsScoreAt(std::size_t i) const { return conventionsScores_[i]; }
  const std::vector<advice::Advice>& AllAdvice() const { return advice_; }

  bool Passes(std::size_t i, const advice::Filter& filter) const {
    return advice::Passes(advice_[i], rankScores_[i], filter);
  }
  bool RanksBefore(std::size_t a, std::size_t b) const {
    return advice::RanksBefore(advice_[a], rankScores_[a], advice_[b], rankScores_[b]);
  }
  // The round of each name in the varied order of a whole page
  // (advice::DiversityRounds).
  std::vector<int> Rounds(const advice::Filter& filter) const {
    return advice::DiversityRounds(advice_, rankScores_, filter);
  }
  // Changes whenever a name is added or its advice changes.
  std::uint64_t Version() const { return version_; }
  // The `count` best names by advice::SelectBest, in the list's order.
  std::vector<std::size_t> Best(std::size_t count, const advice::Filter& filter = {}) const {
    return advice::SelectBest(advice_, rankScores_, count, filter);
  }

 private:
  const advice::AdviceTables* tables_;
  std::vector<Candidate> candidates_;
  std::vector<advice::Advice> advice_;
  std::vector<int> scores_;
  std::vector<int> rankScores_;
  std::vector<std::optional<int>> conventionsScores_;
  std::vector<std::optional<RunBirth>> births_;
  std::optional<RunBirth> addingBirth_;  // of the run state AddRuns is taking in
  advice::SourceFinder findSource_;
  bool deferSources_ = false;
  std::size_t sourcesDone_ = 0;
  ConventionsScorer conventionsScorer_;
  std::unordered_set<std::string> keys_;  // a sex letter, then the full name
  std::size_t reportRowsAdded_ = 0;
  std::unordered_set<std::string> proposedRuns_;  // the runs whose proposals were added
  std::uint64_t version_ = 0;
  std::optional<Child> child_;
  std::uint64_t babyHash_ = 0;  // of child_, for the bank's share
  NameJudge judge_;
  std::uint64_t acceptedBefore_ = 0;
  std::vector<advice::Advice> own_;                // each name's advice before the judge
  std::vector<NameJudge::ChildLines> childLines_;  // what the judge adds to each

  std::vector<std::optional<advice::ClassicalSource>> ownSources_;  // a name's own source (AddWithSource)

  // The bank's given names for each sex (boys, girls), indexed on first use.
  std::unordered_map<std::string, BankShare> bankGiven_[2];
  std::size_t bankOfSex_[2] = {0, 0};  // as AddProposals counts them
  bool bankIndexed_ = false;

  bool AddFrom(const Candidate& candidate, Sex sex, std::optional<int> conventionsScore,
               const advice::ClassicalSource* source);
  // False for a generator's name that the bank holds but does not offer to
  // the current baby, nor reaches by a wish (see AddFrom).
  bool OfferedFromRun(const Candidate& candidate, Sex sex);
  void Clear();
  // The judge's advice over a name's own (kept in own_[i]), with the child's
  // lines of childLines_[i].
  void SetAdvice(std::size_t i, advice::Advice own);
};

}  // namespace tavrin
