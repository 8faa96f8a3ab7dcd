// What the table pages (精选, 姓名报表, 收藏) have in common, written once: a
// row of filters above a table of names seen through a sorting and filtering
// proxy, the count of the rows shown beside the filters and a hint in the
// empty table.
#pragma once

#include <QString>
#include <QWidget>
#include <functional>
#include <vector>

#include "ui/ReportExport.h"

class QLabel;
class QLayout;
class QMenu;
class QSortFilterProxyModel;
class QTableView;

namespace tavrin::ui {

class EmptyHint;

class TablePage : public QWidget {
  Q_OBJECT

 public:
  QTableView* Table() const { return table_; }
  // The model row of the current row, or -1.
  int CurrentRow() const;
  // The model rows of the selected rows, in the order shown.
  std::vector<int> SelectedRows() const;
  // The model rows of every row shown, in the order shown.
  std::vector<int> ShownRows() const;

 protected:
  // `countText` holds %1 for the rows shown and %2 for all rows.
  TablePage(const QString& objectName, const QString& countText, QWidget* parent);

  // Puts the table `table` over `proxy` (whose source model is set) below the
  // filter row and, when given, above `below`; `body` is the widget the table
  // stands in (the table itself when null). `count` is the filter row's label
  // for the count. From now on the count follows the rows.
  void PlaceTable(QSortFilterProxyModel* proxy, QTableView* table, QLayout* filterRow, QLabel* count,
                  QWidget* body = nullptr, QLayout* below = nullptr);

  // Shows the count again and the empty table's hint.
  virtual void RefreshCount();
  // The hint in the empty table: why it is empty, `filtered` when the filters
  // hide every row, else when there are no rows at all.
  virtual QString EmptyText(bool filtered) const = 0;

  QSortFilterProxyModel* Proxy() const { return proxy_; }

 private:
  QSortFilterProxyModel* proxy_ = nullptr;
  QTableView* table_ = nullptr;
  QLabel* count_ = nullptr;
  EmptyHint* emptyHint_ = nullptr;
  const QString countText_;
};

// A table page of generated names (精选, 姓名报表) also offers Ctrl+C, the
// context menu with the exports and 分析此名, and a double click that opens
// the name in the analysis.
class NameTablePage : public TablePage {
  Q_OBJECT

 public:
  // The actions of the context menu, callable from tests; the exports ask
  // for a file unless one is given.
  void CopySelection();
  bool ExportCsv(QString path = {});
  bool ExportJson(QString path = {});

  // Lets another page add its entries to a row's context menu: called with
  // the menu and the model row under the pointer (or -1).
  std::function<void(QMenu& menu, int row)> extendMenu;

 signals:
  // The user asked for the analysis of this full name.
  void analyseRequested(const QString& name);

 protected:
  // The exports' dialog is titled "导出" + `exportName` and proposes a file
  // named `exportName`; the full name stands in `nameColumn`.
  NameTablePage(const QString& objectName, const QString& exportName, int nameColumn, QWidget* parent);

  // Offers Ctrl+C, the context menu and the double click on the table (once
  // it is placed).
  void OfferActions();
  // The rows as copied and exported.
  virtual TableText Text() const = 0;
  // Makes the rows whole before they are copied or exported.
  virtual void Complete() {}

 private:
  void AnalyseCurrent();
  void ShowContextMenu(const QPoint& at);

  const QString exportName_;
  const int nameColumn_;
};

}  // namespace tavrin::ui
