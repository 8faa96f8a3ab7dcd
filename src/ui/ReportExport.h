// The rows of a table page (the report, 精选) as text for the clipboard and
// as CSV and JSON files.
#pragma once

#include <QByteArray>
#include <QModelIndex>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

class QPoint;
class QSortFilterProxyModel;
class QTableView;
class QWidget;

class QMenu;

namespace tavrin::ui {

class ReportModel;

// What is written of a table: its captions and the text of each cell, by
// model row and column.
struct TableText {
  QStringList captions;
  std::function<QString(int row, int column)> cell;
};

// The report model's rows as written out.
TableText ReportText(const ReportModel& model);

// Tab-separated, a header line of the captions first, one line per row
// (rows are the model's row numbers, in the order to write them).
QString TableAsTsv(const TableText& table, const std::vector<int>& rows);
// UTF-8 with a byte-order mark, CR LF line ends, fields quoted as RFC 4180
// asks: a field holding a comma, a quote, a CR or an LF is put in quotes and
// its quotes are doubled. A field a spreadsheet would take for a formula
// gets an apostrophe in front (base/output_text.h).
QByteArray TableAsCsv(const TableText& table, const std::vector<int>& rows);
// An array of objects keyed by the column captions, UTF-8.
QByteArray TableAsJson(const TableText& table, const std::vector<int>& rows);

// Writes the bytes to the file at `path` atomically (base/file_write.h): the
// file holds either its old content or all of the new, and a target that is
// no regular file is refused. On failure returns false and the reason in `error`.
bool WriteFileAtomically(const QString& path, const QByteArray& bytes, QString& error);

// Asks where to save a file: the dialog opens in the folder of the last
// export (the documents folder at first) with `fileName` proposed. Empty when
// the user cancels.
QString AskSaveFileName(QWidget* parent, const QString& title, const QString& fileName, const QString& filter,
                        const QString& suffix);

// "导出CSV…" and "导出JSON…" of a table page: asks for a file (in a dialog
// titled `title`, proposing `baseName` with the suffix) unless `path` is
// given, writes the rows as CSV or JSON and shows a failure in a message box.
bool ExportTable(QWidget* parent, QString path, const QString& title, const QString& baseName, bool csv,
                 const TableText& table, const std::vector<int>& rows);

// The source rows of every row the proxy shows, and of the selected rows of
// the table, in the order shown.
std::vector<int> ShownSourceRows(const QSortFilterProxyModel& proxy);
std::vector<int> SelectedSourceRows(const QTableView& table, const QSortFilterProxyModel& proxy);
// The source row of the table's current row, or -1.
int CurrentSourceRow(const QTableView& table, const QSortFilterProxyModel& proxy);

// The context menu of a table page at `at` (in the table's viewport): 复制
// (with a selection), 导出CSV…, 导出JSON… (with rows shown), 分析此名 (on a row,
// which becomes the current one).
struct TableActions {
  std::function<void()> copy, exportCsv, exportJson, analyse;
  // Adds entries of the caller's own (they act on being triggered); `under`
  // is the table's index under the pointer, invalid between rows.
  std::function<void(QMenu& menu, const QModelIndex& under)> extend;
};
void ShowTableMenu(QTableView* table, const QPoint& at, const TableActions& actions);
// TableActions::extend for a page's hook that takes the source row under the
// pointer (or -1); none without a hook.
std::function<void(QMenu& menu, const QModelIndex& under)> ExtendWithSourceRow(
    const QSortFilterProxyModel& proxy, const std::function<void(QMenu& menu, int row)>& extend);

}  // namespace tavrin::ui
