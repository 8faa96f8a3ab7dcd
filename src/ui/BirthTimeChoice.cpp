#include "ui/BirthTimeChoice.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>

#include "ui/qtext.h"

namespace tavrin::ui {

PlaceChoice::PlaceChoice(QWidget* parent) : QWidget(parent) {
  setObjectName("placeChoice");
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(4);
  auto* caption = new QLabel(tr("出生地:"), this);
  caption->setToolTip(tr("选了市，时柱按当地的真太阳时排;不填按北京时间。“帮助”里有说明"));
  row->addWidget(caption);
  provinces_ = new QComboBox(this);
  provinces_->setObjectName("placeProvince");
  provinces_->setToolTip(tr("出生的省、自治区或直辖市"));
  cities_ = new QComboBox(this);
  cities_->setObjectName("placeCity");
  cities_->setToolTip(tr("出生的城市"));
  row->addWidget(provinces_, 1);
  row->addWidget(cities_, 1);
  SetTable({});
  connect(provinces_, &QComboBox::currentIndexChanged, this, [this] {
    if (setting_) return;
    FillCities();
    emit changed();
  });
  connect(cities_, &QComboBox::currentIndexChanged, this, [this] {
    if (!setting_) emit changed();
  });
}

void PlaceChoice::SetTable(places::PlaceTable table) {
  table_ = std::move(table);
  setting_ = true;
  provinces_->clear();
  provinces_->addItem(tr("不填"));
  provinces_->addItems(ProvincesOf(table_));
  FillCities();
  setting_ = false;
}

void PlaceChoice::FillCities() {
  const bool was = setting_;
  setting_ = true;
  cities_->clear();
  cities_->addItem(tr("不填"));
  const QStringList cities = CitiesOf(table_, Province());
  cities_->addItems(cities);
  // A municipality is its one city.
  if (cities.size() == 1) cities_->setCurrentIndex(1);
  cities_->setEnabled(!cities.isEmpty());
  setting_ = was;
}

QString PlaceChoice::Province() const { return provinces_->currentIndex() > 0 ? provinces_->currentText() : QString(); }

QString PlaceChoice::City() const { return cities_->currentIndex() > 0 ? cities_->currentText() : QString(); }

std::optional<double> PlaceChoice::Longitude() const { return LongitudeOf(table_, Province(), City()); }

void PlaceChoice::Set(const QString& province, const QString& city) {
  setting_ = true;
  provinces_->setCurrentIndex(std::max(0, provinces_->findText(province)));
  FillCities();
  if (const int item = cities_->findText(city); item > 0) cities_->setCurrentIndex(item);
  setting_ = false;
}

TermChoice::TermChoice(QWidget* parent) : QWidget(parent) {
  setObjectName("termChoice");
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(6);
  row->addWidget(new QLabel(tr("交节:"), this));
  auto* group = new QButtonGroup(this);
  after_ = new QRadioButton(tr("按节后"), this);
  after_->setObjectName("termAfter");
  before_ = new QRadioButton(tr("按节前"), this);
  before_->setObjectName("termBefore");
  after_->setChecked(true);
  for (QRadioButton* button : {after_, before_}) {
    group->addButton(button);
    row->addWidget(button);
  }
  row->addStretch();
  connect(group, &QButtonGroup::buttonToggled, this, [this](QAbstractButton*, bool on) {
    if (on && !setting_) emit changed();
  });
  hide();
}

void TermChoice::Follow(const std::optional<TermDayNote>& term, const QString& day) {
  applies_ = term && term->unsure;
  if (day != day_) {
    day_ = day;
    SetChosen(TermSide::kAfter);
  }
  if (applies_) setToolTip(TermChoiceTipOf(*term));
  setVisible(applies_);
}

std::optional<TermSide> TermChoice::Side() const {
  if (applies_ && before_->isChecked()) return TermSide::kBefore;
  return std::nullopt;
}

TermSide TermChoice::Chosen() const { return before_->isChecked() ? TermSide::kBefore : TermSide::kAfter; }

void TermChoice::SetChosen(TermSide side) {
  setting_ = true;
  (side == TermSide::kBefore ? before_ : after_)->setChecked(true);
  setting_ = false;
}

}  // namespace tavrin::ui
