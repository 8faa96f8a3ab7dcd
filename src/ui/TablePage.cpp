#include "ui/TablePage.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QVBoxLayout>

#include "ui/EmptyHint.h"

namespace tavrin::ui {

TablePage::TablePage(const QString& objectName, const QString& countText, QWidget* parent)
    : QWidget(parent), countText_(countText) {
  setObjectName(objectName);
}

void TablePage::PlaceTable(QSortFilterProxyModel* proxy, QTableView* table, QLayout* filterRow, QLabel* count,
                           QWidget* body, QLayout* below) {
  proxy_ = proxy;
  table_ = table;
  count_ = count;
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addLayout(filterRow);
  layout->addWidget(body ? body : table, body ? 1 : 0);
  if (below) layout->addLayout(below);
  for (const auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved}) {
    connect(proxy_, signal, this, &TablePage::RefreshCount);
  }
  connect(proxy_, &QAbstractItemModel::modelReset, this, &TablePage::RefreshCount);
  connect(proxy_, &QAbstractItemModel::layoutChanged, this, &TablePage::RefreshCount);
  emptyHint_ = new EmptyHint(table_);
}

void TablePage::RefreshCount() {
  const int all = proxy_->sourceModel()->rowCount();
  count_->setText(countText_.arg(proxy_->rowCount()).arg(all));
  emptyHint_->SetHint(EmptyText(all > 0));
}

int TablePage::CurrentRow() const { return CurrentSourceRow(*table_, *proxy_); }

std::vector<int> TablePage::SelectedRows() const { return SelectedSourceRows(*table_, *proxy_); }

std::vector<int> TablePage::ShownRows() const { return ShownSourceRows(*proxy_); }

NameTablePage::NameTablePage(const QString& objectName, const QString& exportName, int nameColumn, QWidget* parent)
    : TablePage(objectName, tr("显示 %1 / 共 %2 个名字"), parent), exportName_(exportName), nameColumn_(nameColumn) {}

void NameTablePage::OfferActions() {
  QTableView* table = Table();
  auto* copy = new QAction(tr("复制"), table);
  copy->setShortcut(QKeySequence::Copy);
  copy->setShortcutContext(Qt::WidgetShortcut);
  table->addAction(copy);
  connect(copy, &QAction::triggered, this, &NameTablePage::CopySelection);
  connect(table, &QWidget::customContextMenuRequested, this, &NameTablePage::ShowContextMenu);
  connect(table, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex&) { AnalyseCurrent(); });
}

void NameTablePage::CopySelection() {
  Complete();
  const std::vector<int> rows = SelectedRows();
  if (!rows.empty()) QApplication::clipboard()->setText(TableAsTsv(Text(), rows));
}

bool NameTablePage::ExportCsv(QString path) {
  Complete();
  return ExportTable(this, std::move(path), tr("导出%1").arg(exportName_), exportName_, true, Text(), ShownRows());
}

bool NameTablePage::ExportJson(QString path) {
  Complete();
  return ExportTable(this, std::move(path), tr("导出%1").arg(exportName_), exportName_, false, Text(), ShownRows());
}

void NameTablePage::AnalyseCurrent() {
  const int row = CurrentRow();
  if (row < 0) return;
  const QString name = Proxy()->sourceModel()->index(row, nameColumn_).data().toString();
  if (!name.isEmpty()) emit analyseRequested(name);
}

void NameTablePage::ShowContextMenu(const QPoint& at) {
  ShowTableMenu(Table(), at,
                {[this] { CopySelection(); }, [this] { ExportCsv(); }, [this] { ExportJson(); },
                 [this] { AnalyseCurrent(); }, ExtendWithSourceRow(*Proxy(), extendMenu)});
}

}  // namespace tavrin::ui
