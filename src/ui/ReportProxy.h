// The sorting and filtering of a table of names (the report, the favourites):
// the score column sorts as a number, every other column by the Chinese
// collation (by pinyin); a row is kept when its score reaches the minimum and
// its name holds one of the typed characters.
#pragma once

#include <QCollator>
#include <QSortFilterProxyModel>
#include <functional>
#include <limits>
#include <vector>

class QHBoxLayout;
class QLabel;
class QLineEdit;
class QSpinBox;
class QTableView;

namespace tavrin::ui {

class ReportProxy final : public QSortFilterProxyModel {
 public:
  // The score column's cells give the score as an integer in kScoreRole.
  static constexpr int kScoreRole = Qt::UserRole + 1;

  ReportProxy(int nameColumn, int scoreColumn, QObject* parent);

  // No minimum: every row passes, those of a negative score too (a name of
  // a compound surname, one kept from a result pane).
  static constexpr int kNoMinimum = std::numeric_limits<int>::min();
  void SetMinimumScore(int score);
  void SetCharacters(const QString& text);
  // Another column whose cells give a number in kScoreRole and sort by it.
  void SetNumericColumn(int column) { numericColumn_ = column; }

 protected:
  bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;
  bool filterAcceptsRow(int row, const QModelIndex& parent) const override;

 private:
  const int nameColumn_;
  const int scoreColumn_;
  int numericColumn_ = -1;
  QCollator collator_;
  int minimumScore_ = kNoMinimum;
  QString characters_;
};

// The row above a table of names that sets the proxy's filter: 最低分数 and
// 名字含, with a label for the count shown. The controls are named
// `prefix`MinimumScore, `prefix`Characters and `prefix`Count; `changed` runs
// after every change of the filter.
struct NameFilterRow {
  QHBoxLayout* layout = nullptr;
  QSpinBox* minScore = nullptr;
  QLineEdit* chars = nullptr;
  QLabel* count = nullptr;
};
NameFilterRow AddNameFilterRow(QWidget* owner, ReportProxy* proxy, const QString& prefix, int charsWidth,
                               const std::function<void()>& changed);

// A table of names over `model`: whole rows selected, several at once, one
// line a row, no row numbers, unsorted until a header is clicked.
QTableView* MakeNameTable(QWidget* owner, const QString& name, QAbstractItemModel* model, int rowHeight);

}  // namespace tavrin::ui
