#include "ui/ReportPage.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QSortFilterProxyModel>
#include <QSpinBox>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/EmptyHint.h"
#include "ui/ReportExport.h"
#include "ui/ReportModel.h"
#include "ui/ReportProxy.h"

namespace tavrin::ui {

ReportPage::ReportPage(ReportList& report, const NamingServices& services, QWidget* parent) : QWidget(parent) {
  model_ = new ReportModel(report, services, this);
  proxy_ = new ReportProxy(ReportModel::kName, ReportModel::kScore, this);
  proxy_->SetNumericColumn(ReportModel::kConventionsScore);
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

  auto* copy = new QAction(tr("复制"), table_);
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
  emptyHint_ = new EmptyHint(table_);
  RefreshCount();
}

void ReportPage::SetEmptyReason(const QString& reason) {
  emptyReason_ = reason;
  RefreshCount();
}

void ReportPage::RefreshCount() {
  count_->setText(tr("显示 %1 / 共 %2 个名字").arg(proxy_->rowCount()).arg(model_->rowCount()));
  if (model_->rowCount() > 0) {
    emptyHint_->SetHint(tr("没有名字符合筛选条件。调低“最低分数”或清空“名字含”就能看到全部名字。"));
  } else if (emptyReason_.isEmpty()) {
    emptyHint_->SetHint(tr("还没有名字。在“姓名设置”填好宝宝的信息，点“生成”，得分高于 70 的名字会一行行列在这里。"));
  } else {
    emptyHint_->SetHint(emptyReason_);
  }
}

void ReportPage::SetNotes(sources::NameNotes* notes) { model_->SetNotes(notes); }

std::vector<int> ReportPage::SelectedRows() const { return SelectedSourceRows(*table_, *proxy_); }

std::vector<int> ReportPage::ShownRows() const { return ShownSourceRows(*proxy_); }

void ReportPage::CopySelection() const {
  const std::vector<int> rows = SelectedRows();
  if (rows.empty()) return;
  QApplication::clipboard()->setText(ReportAsTsv(*model_, rows));
}

bool ReportPage::ExportCsv(QString path) {
  return ExportTable(this, std::move(path), tr("导出姓名报表"), tr("姓名报表"), true, ReportText(*model_), ShownRows());
}

bool ReportPage::ExportJson(QString path) {
  return ExportTable(this, std::move(path), tr("导出姓名报表"), tr("姓名报表"), false, ReportText(*model_), ShownRows());
}

int ReportPage::CurrentRow() const { return CurrentSourceRow(*table_, *proxy_); }

void ReportPage::AnalyseCurrent() {
  const QModelIndex current = table_->currentIndex();
  if (!current.isValid()) return;
  const QString name = proxy_->index(current.row(), ReportModel::kName).data().toString();
  if (!name.isEmpty()) emit analyseRequested(name);
}

void ReportPage::ShowContextMenu(const QPoint& at) {
  ShowTableMenu(table_, at,
                {[this] { CopySelection(); }, [this] { ExportCsv(); }, [this] { ExportJson(); },
                 [this] { AnalyseCurrent(); }, ExtendWithSourceRow(*proxy_, extendMenu)});
}

}  // namespace tavrin::ui
