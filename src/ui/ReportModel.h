// The report list of the core as a table model: appended rows appear as they
// are written, and thousands of them stay fast in the view. After the six
// columns of the core's rows come three that help to read a name aloud and
// compare names: its pinyin with tone marks, its stroke counts and its tones.
#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <vector>

#include "core/report.h"

namespace tavrin {
struct NamingServices;
}

namespace tavrin::ui {

class ReportModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  enum Column {
    kName, kScore, kBirthElements, kNameElements, kCombined, kGrids, kPinyin, kStrokes, kTones, kConventionsScore
  };
  static constexpr int kColumnCount = 10;
  // The row's score as an integer, in every column.
  static constexpr int kScoreRole = Qt::UserRole + 1;

  // Listens to `report`, which must outlive the model, as must `services`.
  ReportModel(ReportList& report, const NamingServices& services, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // The text of a cell as exported: the grid lines of 五格 joined by " | ".
  QString CellText(int row, int column) const;

  static const QStringList& Captions();
  // Column widths; 0 keeps the view's default.
  static int ColumnWidth(int column);

 private:
  struct Extras {
    QString pinyin, strokes, tones;
  };
  Extras MakeExtras(const ReportRow& row) const;

  const ReportList& report_;
  const NamingServices& services_;
  std::vector<Extras> extras_;
};

}  // namespace tavrin::ui
