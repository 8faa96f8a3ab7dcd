// The birth time beyond the date and hour on 姓名设置: the birthplace (省 and
// 市, whose longitude gives the true solar time of the hour pillar) and, on
// the day of a month-opening solar term the chart cannot place the birth
// against, the side of the term the family knows. Both feed
// NamingInputs::BirthTime().
#pragma once

#include <QString>
#include <QWidget>
#include <optional>

#include "calendar/birth_pillars.h"
#include "places/places.h"

class QComboBox;
class QLabel;
class QRadioButton;

namespace tavrin::ui {

class PlaceChoice : public QWidget {
  Q_OBJECT

 public:
  explicit PlaceChoice(QWidget* parent);

  // The places offered; an empty table leaves only 不填.
  void SetTable(places::PlaceTable table);
  bool HasPlaces() const { return !table_.Empty(); }
  // The chosen province and city; empty for 不填.
  QString Province() const;
  QString City() const;
  // The chosen city's longitude; none until a city is chosen.
  std::optional<double> Longitude() const;
  // Chooses a place without emitting changed(); a name the table does not
  // have reads as 不填.
  void Set(const QString& province, const QString& city);

 signals:
  // The user chose another place.
  void changed();

 private:
  void FillCities();

  places::PlaceTable table_;
  QComboBox* provinces_ = nullptr;
  QComboBox* cities_ = nullptr;
  bool setting_ = false;
};

// "交节：○按节后 ○按节前", shown only while it applies.
class TermChoice : public QWidget {
  Q_OBJECT

 public:
  explicit TermChoice(QWidget* parent);

  // Shown for a term day the chart is unsure of (`term` with its `unsure`),
  // hidden otherwise. `day` names the birth day: a choice made for one day
  // does not carry over to another, which starts again at 节后.
  void Follow(const std::optional<TermDayNote>& term, const QString& day);
  bool Applies() const { return applies_; }
  // The side the chart should take: 节前 when chosen while the choice
  // applies, else none (the chart's own reading, 节后).
  std::optional<TermSide> Side() const;
  TermSide Chosen() const;
  void SetChosen(TermSide side);

 signals:
  void changed();

 private:
  QRadioButton* after_ = nullptr;
  QRadioButton* before_ = nullptr;
  QString day_;
  bool applies_ = false;
  bool setting_ = false;
};

}  // namespace tavrin::ui
