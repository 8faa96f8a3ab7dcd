#include "ui/ReportExport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMenu>
#include <QSortFilterProxyModel>
#include <QStandardPaths>
#include <QTableView>
#include <algorithm>

#include "base/file_write.h"
#include "base/output_text.h"
#include "ui/MessageBox.h"
#include "ui/ReportModel.h"

namespace tavrin::ui {

namespace {

QString CsvField(QString field) {
  field = QString::fromStdString(NeutraliseCsvCell(field.toStdString()));
  if (!field.contains(',') && !field.contains('"') && !field.contains('\r') && !field.contains('\n')) return field;
  field.replace('"', "\"\"");
  return '"' + field + '"';
}

}  // namespace

TableText ReportText(const ReportModel& model) {
  return {ReportModel::Captions(), [&model](int row, int column) { return model.CellText(row, column); }};
}

QString TableAsTsv(const TableText& table, const std::vector<int>& rows) {
  QString text = table.captions.join('\t') + '\n';
  for (const int row : rows) {
    QStringList cells;
    for (int column = 0; column < table.captions.size(); ++column) {
      // A tab or line break inside a cell would split it.
      cells << table.cell(row, column).replace('\t', ' ').replace('\r', ' ').replace('\n', ' ');
    }
    text += cells.join('\t') + '\n';
  }
  return text;
}

QByteArray TableAsCsv(const TableText& table, const std::vector<int>& rows) {
  QStringList lines;
  QStringList header;
  for (const QString& caption : table.captions) header << CsvField(caption);
  lines << header.join(',');
  for (const int row : rows) {
    QStringList cells;
    for (int column = 0; column < table.captions.size(); ++column) cells << CsvField(table.cell(row, column));
    lines << cells.join(',');
  }
  return QByteArray("\xEF\xBB\xBF") + (lines.join("\r\n") + "\r\n").toUtf8();
}

QByteArray TableAsJson(const TableText& table, const std::vector<int>& rows) {
  QJsonArray array;
  for (const int row : rows) {
    QJsonObject object;
    for (int column = 0; column < table.captions.size(); ++column) {
      object.insert(table.captions[column], table.cell(row, column));
    }
    array.append(object);
  }
  return QJsonDocument(array).toJson(QJsonDocument::Indented);
}

bool WriteFileAtomically(const QString& path, const QByteArray& bytes, QString& error) {
  const std::optional<std::string> failure =
      WriteFileSafely(QFile::encodeName(path).toStdString(),
                      std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
  if (failure) error = QString::fromStdString(*failure);
  return !failure;
}

QString AskSaveFileName(QWidget* parent, const QString& title, const QString& fileName, const QString& filter,
                        const QString& suffix) {
  static QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  if (folder.isEmpty() || !QDir(folder).exists()) folder = QDir::homePath();
  QFileDialog dialog(parent, title, QDir(folder).filePath(fileName), filter);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setDefaultSuffix(suffix);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  QString path = dialog.selectedFiles().first();
  folder = QFileInfo(path).absolutePath();
  return path;
}

bool ExportTable(QWidget* parent, QString path, const QString& title, const QString& baseName, bool csv,
                 const TableText& table, const std::vector<int>& rows) {
  const QString suffix = csv ? "csv" : "json";
  if (path.isEmpty()) {
    path = AskSaveFileName(parent, title, QString("%1.%2").arg(baseName, suffix),
                           csv ? QCoreApplication::translate("tavrin::ui", "CSV 文件 (*.csv)")
                               : QCoreApplication::translate("tavrin::ui", "JSON 文件 (*.json)"),
                           suffix);
  }
  if (path.isEmpty()) return false;
  const QByteArray bytes = csv ? TableAsCsv(table, rows) : TableAsJson(table, rows);
  QString error;
  if (!WriteFileAtomically(path, bytes, error)) {
    ShowMessage(parent, QCoreApplication::translate("tavrin::ui", "无法写入文件 %1:%2").arg(path, error));
    return false;
  }
  return true;
}

std::vector<int> ShownSourceRows(const QSortFilterProxyModel& proxy) {
  std::vector<int> rows;
  for (int row = 0; row < proxy.rowCount(); ++row) rows.push_back(proxy.mapToSource(proxy.index(row, 0)).row());
  return rows;
}

std::vector<int> SelectedSourceRows(const QTableView& table, const QSortFilterProxyModel& proxy) {
  std::vector<int> shown;
  for (const QModelIndex& index : table.selectionModel()->selectedRows()) shown.push_back(index.row());
  std::sort(shown.begin(), shown.end());
  std::vector<int> rows;
  for (const int row : shown) rows.push_back(proxy.mapToSource(proxy.index(row, 0)).row());
  return rows;
}

int CurrentSourceRow(const QTableView& table, const QSortFilterProxyModel& proxy) {
  const QModelIndex current = table.currentIndex();
  return current.isValid() ? proxy.mapToSource(current).row() : -1;
}

std::function<void(QMenu& menu, const QModelIndex& under)> ExtendWithSourceRow(
    const QSortFilterProxyModel& proxy, const std::function<void(QMenu& menu, int row)>& extend) {
  if (!extend) return {};
  return [&proxy, extend](QMenu& menu, const QModelIndex& under) {
    extend(menu, under.isValid() ? proxy.mapToSource(under).row() : -1);
  };
}

void ShowTableMenu(QTableView* table, const QPoint& at, const TableActions& actions) {
  QMenu menu(table);
  QAction* copy = menu.addAction(QCoreApplication::translate("tavrin::ui", "复制"));
  copy->setEnabled(table->selectionModel()->hasSelection());
  QAction* csv = menu.addAction(QCoreApplication::translate("tavrin::ui", "导出CSV…"));
  QAction* json = menu.addAction(QCoreApplication::translate("tavrin::ui", "导出JSON…"));
  menu.addSeparator();
  QAction* analyse = menu.addAction(QCoreApplication::translate("tavrin::ui", "分析此名"));
  analyse->setEnabled(table->indexAt(at).isValid());
  if (actions.extend) actions.extend(menu, table->indexAt(at));
  for (QAction* action : {csv, json}) action->setEnabled(table->model()->rowCount() > 0);
  QAction* chosen = menu.exec(table->viewport()->mapToGlobal(at));
  if (chosen == copy) {
    actions.copy();
  } else if (chosen == csv) {
    actions.exportCsv();
  } else if (chosen == json) {
    actions.exportJson();
  } else if (chosen == analyse) {
    table->setCurrentIndex(table->indexAt(at));
    actions.analyse();
  }
}

}  // namespace tavrin::ui
