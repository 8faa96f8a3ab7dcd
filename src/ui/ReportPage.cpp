#include "ui/ReportPage.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSortFilterProxyModel>
#include <QSpinBox>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/MessageBox.h"
#include "ui/ReportExport.h"
#include "ui/ReportModel.h"
#include "ui/ReportProxy.h"

namespace tavrin::ui {

ReportPage::ReportPage(ReportList& report, const NamingServices& services, QWidget* parent) : QWidget(parent) {
  model_ = new ReportModel(report, services, this);
  proxy_ = new ReportProxy(ReportModel::kName, ReportModel::kScore, this);
  proxy_->setSourceModel(model_);

  const NameFilterRow filter = AddNameFilterRow(this, proxy_, "report", 260, [this] { RefreshCount(); });
  minScore_ = filter.minScore;
  chars_ = filter.chars;
  count_ = filter.count;
  QHBoxLayout* filterRow = filter.layout;

  // Unsorted until a header is clicked: the rows stand in the order of acceptance.
  table_ = MakeNameTable(this, "ListView1", proxy_, 20);
  for (int column = 0; column < ReportModel::kColumnCount; ++column) {
    if (const int width = ReportModel::ColumnWidth(column)) table_->setColumnWidth(column, width);
  }

  auto* copy = new QAction("复制", table_);
  copy->setShortcut(QKeySequence::Copy);
  copy->setShortcutContext(Qt::WidgetShortcut);
  table_->addAction(copy);
  connect(copy, &QAction::triggered, this, &ReportPage::CopySelection);
  connect(table_, &QWidget::customContextMenuRequested, this, &ReportPage::ShowContextMenu);
  connect(table_, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex&) { AnalyseCurrent(); });

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addLayout(filterRow);
  layout->addWidget(table_);

  for (const auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved}) {
    connect(proxy_, signal, this, &ReportPage::RefreshCount);
  }
  connect(proxy_, &QAbstractItemModel::modelReset, this, &ReportPage::RefreshCount);
  connect(proxy_, &QAbstractItemModel::layoutChanged, this, &ReportPage::RefreshCount);
  RefreshCount();
}

void ReportPage::RefreshCount() {
  count_->setText(QString("显示 %1 / 共 %2 个名字").arg(proxy_->rowCount()).arg(model_->rowCount()));
}

void ReportPage::SetNotes(sources::NameNotes* notes) { model_->SetNotes(notes); }

std::vector<int> ReportPage::SelectedRows() const {
  return SelectedSourceRows(*table_, *proxy_);
}

std::vector<int> ReportPage::ShownRows() const {
  std::vector<int> rows;
  for (int row = 0; row < proxy_->rowCount(); ++row) rows.push_back(proxy_->mapToSource(proxy_->index(row, 0)).row());
  return rows;
}

void ReportPage::CopySelection() const {
  const std::vector<int> rows = SelectedRows();
  if (rows.empty()) return;
  QApplication::clipboard()->setText(ReportAsTsv(*model_, rows));
}

bool ReportPage::ExportCsv(QString path) { return Export(std::move(path), "CSV 文件 (*.csv)", "csv", true); }

bool ReportPage::ExportJson(QString path) { return Export(std::move(path), "JSON 文件 (*.json)", "json", false); }

bool ReportPage::Export(QString path, const QString& filter, const QString& suffix, bool csv) {
  if (path.isEmpty()) path = AskSaveFileName(this, "导出姓名报表", QString("姓名报表.%1").arg(suffix), filter, suffix);
  if (path.isEmpty()) return false;
  const std::vector<int> rows = ShownRows();
  const QByteArray bytes = csv ? ReportAsCsv(*model_, rows) : ReportAsJson(*model_, rows);
  QString error;
  if (!WriteFileAtomically(path, bytes, error)) {
    ShowMessage(this, QString("无法写入文件 %1:%2").arg(path, error));
    return false;
  }
  return true;
}

int ReportPage::CurrentRow() const {
  const QModelIndex current = table_->currentIndex();
  return current.isValid() ? proxy_->mapToSource(current).row() : -1;
}

void ReportPage::AnalyseCurrent() {
  const QModelIndex current = table_->currentIndex();
  if (!current.isValid()) return;
  const QString name = proxy_->index(current.row(), ReportModel::kName).data().toString();
  if (!name.isEmpty()) emit analyseRequested(name);
}

void ReportPage::ShowContextMenu(const QPoint& at) {
  QMenu menu(this);
  QAction* copy = menu.addAction("复制");
  copy->setEnabled(table_->selectionModel()->hasSelection());
  QAction* csv = menu.addAction("导出CSV…");
  QAction* json = menu.addAction("导出JSON…");
  menu.addSeparator();
  QAction* analyse = menu.addAction("分析此名");
  analyse->setEnabled(table_->indexAt(at).isValid());
  if (extendMenu) {
    const QModelIndex under = table_->indexAt(at);
    extendMenu(menu, under.isValid() ? proxy_->mapToSource(under).row() : -1);
  }
  for (QAction* action : {csv, json}) action->setEnabled(proxy_->rowCount() > 0);
  QAction* chosen = menu.exec(table_->viewport()->mapToGlobal(at));
  if (chosen == copy) {
    CopySelection();
  } else if (chosen == csv) {
    ExportCsv();
  } else if (chosen == json) {
    ExportJson();
  } else if (chosen == analyse) {
    table_->setCurrentIndex(table_->indexAt(at));
    AnalyseCurrent();
  }
}

}  // namespace tavrin::ui
