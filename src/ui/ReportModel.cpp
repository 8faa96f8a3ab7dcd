#include "ui/ReportModel.h"

#include "ui/qtext.h"

namespace tavrin::ui {

namespace {

constexpr int kGridsColumn = 5;

}  // namespace

const QStringList& ReportModel::Captions() {
  static const QStringList captions = {"姓名", "分数", "出生日五行", "姓名五行", "综合五行", "五格"};
  return captions;
}

int ReportModel::ColumnWidth(int column) {
  static constexpr int kWidths[] = {0, 0, 130, 60, 180, 800};
  return column >= 0 && column < 6 ? kWidths[column] : 0;
}

ReportModel::ReportModel(ReportList& report, QObject* parent)
    : QAbstractTableModel(parent), report_(report), rows_(static_cast<int>(report.Rows().size())) {
  report.SetListener([this](const ReportList& changed) {
    const int rows = static_cast<int>(changed.Rows().size());
    if (rows <= rows_) return;
    beginInsertRows({}, rows_, rows - 1);
    rows_ = rows;
    endInsertRows();
  });
}

int ReportModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : rows_; }

int ReportModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(ReportRow::kColumnCount);
}

QVariant ReportModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rows_) return {};
  const ReportRow& row = report_.Rows()[static_cast<std::size_t>(index.row())];
  const std::string& text = *row.Columns()[static_cast<std::size_t>(index.column())];
  if (role == Qt::DisplayRole) {
    QString shown = FromGbk(text);
    // The grid lines on one line: their CRs shown as blanks.
    if (index.column() == kGridsColumn) shown.replace('\r', ' ');
    return shown;
  }
  if (role == Qt::ToolTipRole && index.column() == kGridsColumn) {
    QString tip = FromGbk(text);
    tip.replace('\r', '\n');
    return tip.trimmed();
  }
  return {};
}

QVariant ReportModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < Captions().size()) {
    return Captions()[section];
  }
  return {};
}

}  // namespace tavrin::ui
