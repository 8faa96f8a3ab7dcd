#include "ui/ReportPage.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCollator>
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

namespace tavrin::ui {

// Sorts 分数 as a number and every other column by the Chinese collation
// (by pinyin); keeps the rows of at least the minimum score whose name holds
// one of the typed characters.
class ReportProxy final : public QSortFilterProxyModel {
 public:
  explicit ReportProxy(QObject* parent) : QSortFilterProxyModel(parent), collator_(QLocale(QLocale::Chinese)) {
    collator_.setNumericMode(true);
  }

  void SetMinimumScore(int score) {
    minimumScore_ = score;
    invalidateRowsFilter();
  }
  void SetCharacters(const QString& text) {
    characters_.clear();
    for (const QChar c : text) {
      if (!c.isSpace() && !characters_.contains(c)) characters_ += c;
    }
    invalidateRowsFilter();
  }

 protected:
  bool lessThan(const QModelIndex& left, const QModelIndex& right) const override {
    if (left.column() == ReportModel::kScore || left.column() == ReportModel::kConventionsScore) {
      return left.data(ReportModel::kScoreRole).toInt() < right.data(ReportModel::kScoreRole).toInt();
    }
    return collator_.compare(left.data().toString(), right.data().toString()) < 0;
  }

  bool filterAcceptsRow(int row, const QModelIndex& parent) const override {
    const QAbstractItemModel* source = sourceModel();
    if (source->index(row, ReportModel::kScore, parent).data(ReportModel::kScoreRole).toInt() < minimumScore_)
      return false;
    if (characters_.isEmpty()) return true;
    const QString name = source->index(row, ReportModel::kName, parent).data().toString();
    return std::any_of(characters_.begin(), characters_.end(), [&](QChar c) { return name.contains(c); });
  }

 private:
  QCollator collator_;
  int minimumScore_ = 0;
  QString characters_;
};

ReportPage::ReportPage(ReportList& report, const NamingServices& services, QWidget* parent) : QWidget(parent) {
  model_ = new ReportModel(report, services, this);
  proxy_ = new ReportProxy(this);
  proxy_->setSourceModel(model_);

  auto* filterRow = new QHBoxLayout;
  filterRow->setContentsMargins(4, 2, 4, 2);
  filterRow->addWidget(new QLabel("最低分数:", this));
  minScore_ = new QSpinBox(this);
  minScore_->setObjectName("reportMinimumScore");
  minScore_->setRange(0, 100);
  minScore_->setSingleStep(5);
  filterRow->addWidget(minScore_);
  filterRow->addSpacing(12);
  filterRow->addWidget(new QLabel("名字含:", this));
  chars_ = new QLineEdit(this);
  chars_->setObjectName("reportCharacters");
  chars_->setPlaceholderText("输入几个字,只看含其中任一字的名字");
  chars_->setClearButtonEnabled(true);
  chars_->setMinimumWidth(260);
  filterRow->addWidget(chars_);
  filterRow->addStretch(1);
  count_ = new QLabel(this);
  count_->setObjectName("reportCount");
  filterRow->addWidget(count_);

  table_ = new QTableView(this);
  table_->setObjectName("ListView1");
  table_->setModel(proxy_);
  table_->setShowGrid(true);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setWordWrap(false);
  table_->verticalHeader()->hide();
  table_->verticalHeader()->setDefaultSectionSize(20);
  table_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  for (int column = 0; column < ReportModel::kColumnCount; ++column) {
    if (const int width = ReportModel::ColumnWidth(column)) table_->setColumnWidth(column, width);
  }
  // Unsorted until a header is clicked: the rows stand in the order of acceptance.
  table_->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
  table_->setSortingEnabled(true);
  table_->horizontalHeader()->setSortIndicatorShown(true);
  table_->setContextMenuPolicy(Qt::CustomContextMenu);

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

  connect(minScore_, &QSpinBox::valueChanged, this, [this](int score) {
    proxy_->SetMinimumScore(score);
    RefreshCount();
  });
  connect(chars_, &QLineEdit::textChanged, this, [this](const QString& text) {
    proxy_->SetCharacters(text);
    RefreshCount();
  });
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

std::vector<int> ReportPage::SelectedRows() const {
  std::vector<int> shown;
  for (const QModelIndex& index : table_->selectionModel()->selectedRows()) shown.push_back(index.row());
  std::sort(shown.begin(), shown.end());
  std::vector<int> rows;
  for (const int row : shown) rows.push_back(proxy_->mapToSource(proxy_->index(row, 0)).row());
  return rows;
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
