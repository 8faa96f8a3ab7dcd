// The page 姓名报表: the report list as a table parents can sort (click a
// header; again to reverse), filter (a minimum score, characters a name must
// hold), copy (Ctrl+C) and export (CSV, JSON), and from which a name opens
// in the analysis. Sorting and filtering are a view: the core's rows keep
// their order of acceptance.
#pragma once

#include <QWidget>
#include <functional>
#include <vector>

class QLabel;
class QLineEdit;
class QMenu;
class QSpinBox;
class QTableView;

namespace tavrin {
class ReportList;
struct NamingServices;
}  // namespace tavrin

namespace tavrin::sources {
class NameNotes;
}

namespace tavrin::ui {

class ReportModel;
class ReportProxy;
class EmptyHint;

class ReportPage : public QWidget {
  Q_OBJECT

 public:
  ReportPage(ReportList& report, const NamingServices& services, QWidget* parent = nullptr);

  QTableView* Table() const { return table_; }
  // Where the 出处 column and the names' tooltips come from (outlives the page).
  void SetNotes(sources::NameNotes* notes);
  const ReportModel& Model() const { return *model_; }
  // The model rows of the selected rows, in the order shown.
  std::vector<int> SelectedRows() const;
  // The model rows of every row shown, in the order shown.
  std::vector<int> ShownRows() const;

  // The actions of the context menu, callable from tests; the exports ask
  // for a file unless one is given.
  void CopySelection() const;
  bool ExportCsv(QString path = {});
  bool ExportJson(QString path = {});
  // The model row of the current row, or -1.
  int CurrentRow() const;
  // Why the report is still empty after the last run, shown in the empty
  // list; the empty text means no run has been made yet.
  void SetEmptyReason(const QString& reason);

  // Lets another page add its entries to a row's context menu: called with
  // the menu and the model row under the pointer (or -1).
  std::function<void(QMenu& menu, int row)> extendMenu;

 signals:
  // The user asked for the analysis of this full name.
  void analyseRequested(const QString& name);

 private:
  void AnalyseCurrent();
  void ShowContextMenu(const QPoint& at);
  void RefreshCount();

  ReportModel* model_ = nullptr;
  ReportProxy* proxy_ = nullptr;
  QTableView* table_ = nullptr;
  QSpinBox* minScore_ = nullptr;
  QLineEdit* chars_ = nullptr;
  QLabel* count_ = nullptr;
  EmptyHint* emptyHint_ = nullptr;
  QString emptyReason_;
};

}  // namespace tavrin::ui
