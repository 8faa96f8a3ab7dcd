// The report list of the core as a table model: appended rows appear as they
// are written, and thousands of them stay fast in the view. After the six
// columns of the core's rows come three that help to read a name aloud and
// compare names: its pinyin with tone marks as every page reads the name (the
// surname with its own reading), its stroke counts and the tones of that
// reading; then 出处, the best line of the classical library the given name
// comes from, looked up when a cell is first shown. The 姓名 cell's tooltip tells what
// each given character means and that line.
#pragma once

#include <vector>

#include "core/report.h"
#include "ui/NameTableModel.h"

namespace tavrin::ui {

class ReportModel : public NameTableModel {
  Q_OBJECT

 public:
  enum Column {
    kName,
    kScore,
    kBirthElements,
    kNameElements,
    kCombined,
    kGrids,
    kPinyin,
    kStrokes,
    kTones,
    kConventionsScore,
    kSource
  };
  static constexpr int kColumnCount = 11;
  // The row's score as an integer, in every column.
  static constexpr int kScoreRole = Qt::UserRole + 1;  // as ReportProxy reads it

  // Listens to `report`, which must outlive the model, as must `services`.
  ReportModel(ReportList& report, const NamingServices& services, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;

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
  QString SourceText(int row) const;
  QString NameTip(int row) const;

  const ReportList& report_;
  std::vector<Extras> extras_;
};

}  // namespace tavrin::ui
