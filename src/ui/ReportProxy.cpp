#include "ui/ReportProxy.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QTableView>
#include <algorithm>

namespace tavrin::ui {

ReportProxy::ReportProxy(int nameColumn, int scoreColumn, QObject* parent)
    : QSortFilterProxyModel(parent),
      nameColumn_(nameColumn),
      scoreColumn_(scoreColumn),
      collator_(QLocale(QLocale::Chinese)) {
  collator_.setNumericMode(true);
}

void ReportProxy::SetMinimumScore(int score) {
  minimumScore_ = score;
  invalidateRowsFilter();
}

void ReportProxy::SetCharacters(const QString& text) {
  characters_.clear();
  for (const QChar c : text) {
    if (!c.isSpace() && !characters_.contains(c)) characters_ += c;
  }
  invalidateRowsFilter();
}

bool ReportProxy::lessThan(const QModelIndex& left, const QModelIndex& right) const {
  if (left.column() == scoreColumn_ || left.column() == numericColumn_) {
    return left.data(kScoreRole).toInt() < right.data(kScoreRole).toInt();
  }
  return collator_.compare(left.data().toString(), right.data().toString()) < 0;
}

bool ReportProxy::filterAcceptsRow(int row, const QModelIndex& parent) const {
  const QAbstractItemModel* source = sourceModel();
  if (source->index(row, scoreColumn_, parent).data(kScoreRole).toInt() < minimumScore_) return false;
  if (characters_.isEmpty()) return true;
  const QString name = source->index(row, nameColumn_, parent).data().toString();
  return std::any_of(characters_.begin(), characters_.end(), [&](QChar c) { return name.contains(c); });
}

NameFilterRow AddNameFilterRow(QWidget* owner, ReportProxy* proxy, const QString& prefix, int charsWidth,
                               const std::function<void()>& changed) {
  NameFilterRow row;
  row.layout = new QHBoxLayout;
  row.layout->setContentsMargins(4, 2, 4, 2);
  row.layout->addWidget(new QLabel(QCoreApplication::translate("tavrin::ui", "最低分数:"), owner));
  row.minScore = new QSpinBox(owner);
  row.minScore->setObjectName(prefix + "MinimumScore");
  row.minScore->setRange(0, 100);
  row.minScore->setSingleStep(5);
  row.minScore->setSpecialValueText(QCoreApplication::translate("tavrin::ui", "不限"));  // 0: no minimum
  row.layout->addWidget(row.minScore);
  row.layout->addSpacing(12);
  row.layout->addWidget(new QLabel(QCoreApplication::translate("tavrin::ui", "名字含:"), owner));
  row.chars = new QLineEdit(owner);
  row.chars->setObjectName(prefix + "Characters");
  row.chars->setPlaceholderText(QCoreApplication::translate("tavrin::ui", "输入几个字,只看含其中任一字的名字"));
  row.chars->setClearButtonEnabled(true);
  row.chars->setMinimumWidth(charsWidth);
  row.layout->addWidget(row.chars);
  row.layout->addStretch(1);
  row.count = new QLabel(owner);
  row.count->setObjectName(prefix + "Count");
  row.layout->addWidget(row.count);
  QObject::connect(row.minScore, &QSpinBox::valueChanged, owner, [proxy, changed](int score) {
    proxy->SetMinimumScore(score > 0 ? score : ReportProxy::kNoMinimum);
    changed();
  });
  QObject::connect(row.chars, &QLineEdit::textChanged, owner, [proxy, changed](const QString& text) {
    proxy->SetCharacters(text);
    changed();
  });
  return row;
}

QTableView* MakeNameTable(QWidget* owner, const QString& name, QAbstractItemModel* model, int rowHeight) {
  auto* table = new QTableView(owner);
  table->setObjectName(name);
  table->setModel(model);
  table->setShowGrid(true);
  table->setSelectionBehavior(QAbstractItemView::SelectRows);
  table->setSelectionMode(QAbstractItemView::ExtendedSelection);
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table->setWordWrap(false);
  table->verticalHeader()->hide();
  table->verticalHeader()->setDefaultSectionSize(rowHeight);
  table->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  table->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
  table->setSortingEnabled(true);
  table->horizontalHeader()->setSortIndicatorShown(true);
  table->setContextMenuPolicy(Qt::CustomContextMenu);
  return table;
}

}  // namespace tavrin::ui
