// The page 精选: the distinct names of every run of the window session, one
// row per name and the sex of the run that made it, best first (推荐度, then
// the five-grid score), with filters applied as one types, the details of the
// selected name beside the table, copy, export and the way to the analysis.
#pragma once

#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "advice/selection.h"
#include "analysis/score_factors.h"
#include "core/best_names.h"
#include "core/poem_phrases.h"
#include "ui/BestModel.h"
#include "ui/TablePage.h"

class QCheckBox;
class QComboBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QSpinBox;
class QTextBrowser;
class QTimer;

namespace tavrin {
class NamingModel;
struct NamingRunState;
struct NamingServices;
namespace advice {
class AdviceTables;
}
namespace sources {
class NameNotes;
}
}  // namespace tavrin

namespace tavrin::ui {

class BestProxy;

class BestPage : public NameTablePage {
  Q_OBJECT

 public:
  // The choices of the characters' level filter, in the combo box's order.
  enum Levels { kNoLevelThree, kLevelOneOnly, kAnyLevel };

  // `runs` (the panes and the report of the window's model), `tables` (may be
  // null) and `services` must outlive the page.
  BestPage(const NamingRunState& runs, const advice::AdviceTables* tables, const NamingServices& services,
           QWidget* parent = nullptr);

  // Adds the names the program proposes itself beside the runs' own, when
  // the page collects; without, it proposes none.
  void SetProposer(std::function<void(BestNames&)> propose) { propose_ = std::move(propose); }

  // Takes in the names the runs show now, for the baby of the last Generate
  // run only (surname, sex and birth; a new baby empties the list and the
  // details): the poetry page's for the sex of its last run, the others for
  // the sex of the last Generate run. Called before a run clears its panes
  // and after it has ended.
  void Collect();
  // The family's choice of 名字五行 from now on: the names are judged again
  // at once, for the baby of the last run. Until called, the page follows
  // the choice the last run read.
  void SetWish(ElementWish wish, std::vector<Element> chosen);
  // The family's wishes of 姓名设置 (with its fixed characters): the names
  // are judged by them from now on, instead of the last run's.
  void SetFamilyWishes(FamilyWishes wishes);
  // Before the poetry page starts a run for a child of this sex: collects
  // what the poetry pane shows, then files its next names under the sex.
  void StartPoetryRun(Sex sex);
  // Takes in the poem's own names (core/poem_phrases.h) for the baby of the
  // last run, each with its poem's line as its source.
  void AddPoemPhrases(const std::vector<PoemPhrase>& phrases, const std::string& surname,
                      std::string_view scoringElements);
  // Shows the names of this sex from now on (the user may choose both again).
  void ShowSex(Sex sex);

  // Where the names' sources and meanings come from (outlives the page), and
  // how a name no report row holds gets its 通行评分; both for the names
  // taken in from now on.
  void SetNotes(sources::NameNotes* notes);
  void SetConventionsScorer(BestNames::ConventionsScorer scorer);
  // What the names' two scores are made of (BestModel::SetFactorsReader).
  void SetFactorsReader(
      std::function<ScoreFactors(const Candidate&, const std::optional<BestNames::RunBirth>&)> reader);
  // The three above from the window's model (which outlives the page): the
  // bank's proposals between runs, the conventions' score, the factors.
  void ReadFrom(NamingModel& model);

  const BestModel& Model() const { return *model_; }
  // A star before each name kept among the favourites (BestModel).
  void SetKeptTest(BestModel::KeptTest kept) { model_->SetKeptTest(std::move(kept)); }
  void RefreshKept() { model_->RefreshKept(); }
  // Looks up at once the sources the page still looks up in the background.
  void FinishSources();
  // The filter the controls make.
  const advice::Filter& CurrentFilter() const;
  QString DetailsText() const;
  // The sentence of what the baby needs over the list, and the line under
  // it (empty before a run: a hint stands there instead).
  QString NeedsText() const;
  // The line of the family's wishes over the list (empty without wishes).
  QString WishesText() const;
  QString ReadingsText() const;
  // How the chart of the pooled baby was read, a line each (the run's
  // notes: the hour over the twelve double hours, the true solar time, the
  // solar term's day); empty when there is nothing to say.
  QString ChartNotesText() const;
  // The city the last Generate run's chart was read at (empty: none), for
  // the line of the true solar time.
  void SetRunPlace(const QString& city);
  const QString& RunPlace() const { return runPlace_; }
  // How many names the filters let through.
  int ShownCount() const;

 signals:
  // The count of the names shown, or of all names, changed.
  void shownCountChanged();

 protected:
  void RefreshCount() override;
  QString EmptyText(bool filtered) const override;
  TableText Text() const override;
  // Copy and the exports wait for the sources still being looked up.
  void Complete() override { FinishSources(); }

 private:
  QHBoxLayout* MakeFilterRow(QLabel* count);
  QWidget* MakeDetails(QTableView* table);
  void FollowControls();
  // The names follow the baby of the last run with the family's choice.
  void FollowBaby();
  void ShowNeeds();
  void StartSourceLookups();
  void ApplyFilter();
  void ShowDetails();

  const NamingRunState& runs_;
  const NamingServices& services_;
  std::optional<std::pair<ElementWish, std::vector<Element>>> wish_;
  std::optional<FamilyWishes> familyWishes_;
  QLabel* wishes_ = nullptr;      // WishesSentenceOf the wishes the names follow
  QLabel* needs_ = nullptr;       // NeedsSentence of the pooled baby
  QLabel* readings_ = nullptr;    // ReadingsLine, smaller
  QLabel* chartNotes_ = nullptr;  // ChartNotesOf the run's chart
  QString runPlace_;
  QCheckBox* onlyFitting_ = nullptr;
  std::function<void(BestNames&)> propose_;
  Sex poetrySex_ = Sex::kMale;
  BestModel* model_ = nullptr;
  BestProxy* proxy_ = nullptr;
  QTextBrowser* details_ = nullptr;
  QCheckBox* hideSerious_ = nullptr;
  QCheckBox* hideMild_ = nullptr;
  QComboBox* levels_ = nullptr;
  QComboBox* sexes_ = nullptr;  // both, boys', girls' names
  QSpinBox* minScore_ = nullptr;
  QLineEdit* leaveOut_ = nullptr;
  QTimer* sources_ = nullptr;  // looks up sources while the window is idle
};

}  // namespace tavrin::ui
