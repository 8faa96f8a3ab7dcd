#include "ui/ReportPage.h"

#include <QHBoxLayout>
#include <QTableView>

#include "ui/ReportModel.h"
#include "ui/ReportProxy.h"

namespace tavrin::ui {

ReportPage::ReportPage(ReportList& report, const NamingServices& services, QWidget* parent)
    : NameTablePage({}, tr("姓名报表"), ReportModel::kName, parent) {
  model_ = new ReportModel(report, services, this);
  auto* proxy = new ReportProxy(ReportModel::kName, ReportModel::kScore, this);
  proxy->SetNumericColumn(ReportModel::kConventionsScore);
  proxy->setSourceModel(model_);

  const NameFilterRow filter = AddNameFilterRow(this, proxy, "report", 260, [this] { RefreshCount(); });
  // Unsorted until a header is clicked: the rows stand in the order of acceptance.
  QTableView* table = MakeNameTable(this, "ListView1", proxy, 20);
  for (int column = 0; column < ReportModel::kColumnCount; ++column) {
    if (const int width = ReportModel::ColumnWidth(column)) table->setColumnWidth(column, width);
  }
  PlaceTable(proxy, table, filter.layout, filter.count);
  OfferActions();
  RefreshCount();
}

void ReportPage::SetEmptyReason(const QString& reason) {
  emptyReason_ = reason;
  RefreshCount();
}

QString ReportPage::EmptyText(bool filtered) const {
  if (filtered) return tr("没有名字符合筛选条件。调低“最低分数”或清空“名字含”就能看到全部名字。");
  if (emptyReason_.isEmpty()) {
    return tr("还没有名字。在“姓名设置”填好宝宝的信息，点“生成”，得分高于 70 的名字会一行行列在这里。");
  }
  return emptyReason_;
}

TableText ReportPage::Text() const { return ReportText(*model_); }

void ReportPage::SetNotes(sources::NameNotes* notes) { model_->SetNotes(notes); }

}  // namespace tavrin::ui
