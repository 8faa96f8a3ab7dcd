// The page 精选: the distinct names of every run of the window session, one
// row per name and the sex of the run that made it, best first (推荐度, then
// the five-grid score), with filters applied as one types, the details of the
// selected name beside the table, copy, export and the way to the analysis.
#pragma once

#include <QWidget>
#include <vector>

#include "advice/selection.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QSpinBox;
class QTableView;
class QTextBrowser;

namespace tavrin {
struct NamingRunState;
struct NamingServices;
namespace advice {
class AdviceTables;
}
}  // namespace tavrin

namespace tavrin::ui {

class BestModel;
class BestProxy;

class BestPage : public QWidget {
  Q_OBJECT

 public:
  // The choices of the characters' level filter, in the combo box's order.
  enum Levels { kNoLevelThree, kLevelOneOnly, kAnyLevel };

  // `runs` (the panes and the report of the window's model), `tables` (may be
  // null) and `services` must outlive the page.
  BestPage(const NamingRunState& runs, const advice::AdviceTables* tables, const NamingServices& services,
           QWidget* parent = nullptr);

  // Takes in the names the runs show now: the poetry page's for the sex of
  // its last run, the others for the sex of the last Generate run. Called
  // before a run clears its panes and after it has ended.
  void Collect();
  // Before the poetry page starts a run for a child of this sex: collects
  // what the poetry pane shows, then files its next names under the sex.
  void StartPoetryRun(bool female);

  QTableView* Table() const { return table_; }
  const BestModel& Model() const { return *model_; }
  // The filter the controls make.
  const advice::Filter& CurrentFilter() const;
  // The model rows of every row shown, in the order shown.
  std::vector<int> ShownRows() const;
  std::vector<int> SelectedRows() const;
  QString DetailsText() const;

  void CopySelection() const;
  bool ExportCsv(QString path = {});
  bool ExportJson(QString path = {});

 signals:
  void analyseRequested(const QString& name);

 private:
  void ApplyFilter();
  void RefreshCount();
  void ShowDetails();
  void AnalyseCurrent();
  void ShowContextMenu(const QPoint& at);

  const NamingRunState& runs_;
  bool poetryFemale_ = false;
  BestModel* model_ = nullptr;
  BestProxy* proxy_ = nullptr;
  QTableView* table_ = nullptr;
  QTextBrowser* details_ = nullptr;
  QCheckBox* hideSerious_ = nullptr;
  QCheckBox* hideMild_ = nullptr;
  QComboBox* levels_ = nullptr;
  QSpinBox* minScore_ = nullptr;
  QLineEdit* leaveOut_ = nullptr;
  QLabel* count_ = nullptr;
};

}  // namespace tavrin::ui
