// The report list of the core as a table model: appended rows appear as they
// are written, and thousands of them stay fast in the view.
#pragma once

#include <QAbstractTableModel>

#include "core/report.h"

namespace tavrin::ui {

class ReportModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  // Listens to `report`, which must outlive the model.
  explicit ReportModel(ReportList& report, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  static const QStringList& Captions();
  // Column widths; 0 keeps the view's default.
  static int ColumnWidth(int column);

 private:
  const ReportList& report_;
  int rows_ = 0;
};

}  // namespace tavrin::ui
