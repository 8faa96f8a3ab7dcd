#include "ui/SettingsPage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>

#include "calendar/gregorian.h"
#include "core/birth_inputs.h"
#include "places/places.h"
#include "ui/BirthTimeChoice.h"
#include "ui/ElementChoice.h"
#include "ui/MessageBox.h"
#include "ui/PaneView.h"
#include "ui/WishesRow.h"
#include "ui/qtext.h"

namespace tavrin::ui {

namespace {

// 出生地 in the rest of 名字五行's row.
constexpr int kPlaceLeft = 548;
// The count a field that takes no such key falls back to.
constexpr char kDefaultCount[] = "500";

QStringList Numbers(int from, int to) {
  QStringList items;
  for (int i = from; i <= to; ++i) items << QString::number(i);
  return items;
}

QComboBox* AddCombo(QWidget* group, const char* name, const QStringList& items, const QString& selected, int x,
                    const QString& label) {
  auto* combo = new QComboBox(group);
  combo->setObjectName(name);
  combo->setEditable(true);
  // Enter runs the page's command rather than adding the typed text as an item.
  combo->setInsertPolicy(QComboBox::NoInsert);
  combo->addItems(items);
  combo->setCurrentIndex(static_cast<int>(items.indexOf(selected)));
  combo->setGeometry(x, 32, 73, 20);
  auto* caption = new QLabel(label, group);
  caption->setGeometry(x + 77, 32, 20, 20);
  return combo;
}

QLineEdit* AddEdit(QWidget* parent, const char* name, const QString& text, const QRect& place, bool centred) {
  auto* edit = new QLineEdit(text, parent);
  edit->setObjectName(name);
  edit->setGeometry(place);
  if (centred) edit->setAlignment(Qt::AlignCenter);
  return edit;
}

int NumberOf(const QComboBox* combo) { return combo->currentText().trimmed().toInt(); }

void SetComboText(QComboBox* combo, const QString& text) {
  const int item = combo->findText(text);
  if (item >= 0) {
    combo->setCurrentIndex(item);
  } else {
    combo->setEditText(text);
  }
}

// A kept text longer than any field takes is no input of ours.
constexpr qsizetype kLongestKeptText = 32;

}  // namespace

BirthCombos AddBirthGroup(QWidget* page, const QString& caption, int x, const std::array<const char*, 4>& names) {
  auto* group = new QGroupBox(caption, page);
  group->setGeometry(x, 0, 505, 73);
  const auto number = [](int n) { return QString::number(n); };
  const BirthCombos combos = {
      AddCombo(group, names[0], Numbers(1970, 2030), number(kDefaultBirth.year), 8, QObject::tr("年")),
      AddCombo(group, names[1], Numbers(1, 12), number(kDefaultBirth.month), 120, QObject::tr("月")),
      AddCombo(group, names[2], Numbers(1, 31), number(kDefaultBirth.day), 240, QObject::tr("日")),
      AddCombo(group, names[3], Numbers(0, 23) << UnknownHourCaption(), number(kDefaultBirth.hour), 352,
               QObject::tr("时"))};
  combos.hour->setItemData(combos.hour->count() - 1, true, kUnknownHourRole);
  return combos;
}

void SettingsPage::Build(QWidget* page, PaneView* summary, const DataStores& stores, Anchoring& anchoring) {
  LoadMainWindowTransDate(fieldDate_);  // read as the run reads its chart
  BuildBabyFields(page);
  BuildOptionFields(page);
  BuildChoices(page, stores);
  BuildButtons(page);
  summary->move(16, kSummaryTop);
  BuildStatusLine(page, anchoring);
  BuildKeyboard();
  QWidget::setTabOrder(showBest_, summary);
  // The term-day choice follows the birth fields and the place (the hour
  // the term falls in is the solar one there).
  for (QComboBox* combo : birth_.All()) {
    connect(combo, &QComboBox::editTextChanged, this, &SettingsPage::FollowTermDay);
    connect(combo, &QComboBox::editTextChanged, this, &SettingsPage::birthChanged);
  }
  connect(placeChoice_, &PlaceChoice::changed, this, [this] {
    FollowTermDay();
    emit birthChanged();
  });
  connect(termChoice_, &TermChoice::changed, this, &SettingsPage::birthChanged);
  FollowTermDay();
}

void SettingsPage::BuildBabyFields(QWidget* page) {
  auto* sex = new QGroupBox(tr("宝宝性别"), page);
  sex->setGeometry(16, 0, 121, 73);
  female_ = new QRadioButton(tr("女"), sex);
  female_->setObjectName("bsSkinCheckRadioBox2");
  female_->setGeometry(0, 32, 50, 20);
  male_ = new QRadioButton(tr("男"), sex);
  male_->setObjectName("bsSkinCheckRadioBox1");
  male_->setGeometry(56, 32, 50, 20);
  male_->setChecked(true);

  auto* countGroup = new QGroupBox(tr("产生名字个数"), page);
  countGroup->setGeometry(136, 0, 121, 73);
  countField_ = AddEdit(countGroup, "bsSkinEdit1", kDefaultCount, {24, 32, 57, 18}, true);
  countField_->installEventFilter(this);

  auto* surnameGroup = new QGroupBox(tr("宝宝姓氏"), page);
  surnameGroup->setGeometry(256, 0, 121, 73);
  surname_ = AddEdit(surnameGroup, "Edit1", "张", {16, 32, 73, 18}, true);

  birth_ = AddBirthGroup(page, tr("宝宝生日(输入公历自动转农历)"), 376,
                         {"bsSkinComboBox1", "bsSkinComboBox2", "bsSkinComboBox3", "bsSkinComboBox5"});
  // 交节 under the day and the hour, inside the group, while it applies.
  termChoice_ = new TermChoice(birth_.year->parentWidget());
  termChoice_->setGeometry(232, 53, 264, 18);
}

void SettingsPage::BuildOptionFields(QWidget* page) {
  fixSecondBox_ = new QCheckBox(tr("限定第2个字为:"), page);
  fixSecondBox_->setObjectName("CheckRadioBox3");
  fixSecondBox_->setGeometry(16, 86, 113, 25);
  fixSecondField_ = AddEdit(page, "bsSkinEdit3", "", {128, 88, 33, 18}, false);
  fixThirdBox_ = new QCheckBox(tr("限定第3个字为:"), page);
  fixThirdBox_->setObjectName("CheckRadioBox4");
  fixThirdBox_->setGeometry(168, 86, 113, 25);
  fixThirdField_ = AddEdit(page, "bsSkinEdit4", "", {280, 88, 33, 18}, false);
  wholeItemSound_ = new QCheckBox(tr("声韵按整项比较"), page);
  wholeItemSound_->setObjectName("wholeItemSound");
  wholeItemSound_->setGeometry(336, 86, 150, 25);
  wholeItemSound_->setToolTip(
      tr("不勾选时,声母、韵母只要在同一组中出现就算相近(如 ang 与 iang),常见姓氏可用的字很少;\n"
         "勾选后只有同组中完全相同的项才算相近,名字更多"));
  KeepCoreText(countField_, count_);
  KeepCoreText(fixSecondField_, fixSecond_);
  KeepCoreText(fixThirdField_, fixThird_);
}

void SettingsPage::BuildChoices(QWidget* page, const DataStores& stores) {
  // 名字五行 on a row of its own under the options; the rest of the row is
  // left for the birthplace.
  elementChoice_ = new ElementChoice(page);
  elementChoice_->setGeometry(16, kChoiceTop, 520, kChoiceHeight);
  connect(elementChoice_, &ElementChoice::changed, this, &SettingsPage::elementChoiceChanged);
  // 出生地 beside it; without the place table the row has no birthplace.
  placeChoice_ = new PlaceChoice(page);
  placeChoice_->setGeometry(kPlaceLeft, kChoiceTop, kSmallestWidth - 16 - kPlaceLeft, kChoiceHeight);
  if (std::optional<places::PlaceTable> table = places::PlaceTable::Read(stores.dataDir + places::kPlacesFileName);
      table && !table->Empty()) {
    placeChoice_->SetTable(std::move(*table));
  } else {
    placeChoice_->hide();
  }
  wishesRow_ = new WishesRow(ThemeNamesOf(*stores.advice), page);
  wishesRow_->setGeometry(16, kWishesTop, 865, kChoiceHeight);
  connect(wishesRow_, &WishesRow::changed, this, &SettingsPage::wishesChanged);
  // The fixed characters are kept in 精选 as the 辈分字 is.
  for (QCheckBox* box : {fixSecondBox_, fixThirdBox_})
    connect(box, &QCheckBox::toggled, this, &SettingsPage::wishesChanged);
  for (QLineEdit* field : {fixSecondField_, fixThirdField_})
    connect(field, &QLineEdit::textChanged, this, &SettingsPage::wishesChanged);
}

void SettingsPage::BuildButtons(QWidget* page) {
  // 帮助 and 停止 end where the next button starts.
  help_ = AddButton(page, "bsSkinButton5", tr("帮助"), {640, 88, 72, 25});
  stop_ = AddButton(page, "stopButton", tr("停止"), {712, 88, 72, 25});
  generate_ = AddButton(page, "bsSkinButton1", tr("生成"), {784, 88, 75, 25});
  stop_->setEnabled(false);
  connect(help_, &QPushButton::clicked, this, &SettingsPage::helpRequested);
  connect(stop_, &QPushButton::clicked, this, &SettingsPage::stopRequested);
  connect(generate_, &QPushButton::clicked, this, &SettingsPage::generateRequested);
  // The way to the best names, shown once a run has made some.
  showBest_ = AddButton(page, "showBest", QString(), {496, 88, 136, 25});
  showBest_->setToolTip(tr("精选把各页的名字合在一起，去掉重复，按推荐度排好"));
  showBest_->hide();
  connect(showBest_, &QPushButton::clicked, this, &SettingsPage::bestRequested);
  QWidget::setTabOrder(generate_, showBest_);
}

void SettingsPage::BuildStatusLine(QWidget* page, Anchoring& anchoring) {
  progress_ = new QLabel(page);
  progress_->setObjectName("bsSkinStdLabel9");
  progress_->setGeometry(16, kPageHeight - kStatusHeight, 300, kStatusHeight);
  drawCapNote_ = new QLabel(page);
  drawCapNote_->setObjectName("drawCapNote");
  // Shown only after a run, when the progress label is empty: it takes the
  // label's place and the whole width below the pane, one line high enough
  // for the CJK font.
  drawCapNote_->setGeometry(16, kPageHeight - kStatusHeight, kSmallestWidth - 32, kStatusHeight);
  bestHint_ = new QLabel(page);
  bestHint_->setObjectName("bestHint");
  bestHint_->setGeometry(16, kPageHeight - kStatusHeight, 0, kStatusHeight);
  connect(bestHint_, &QLabel::linkActivated, this, &SettingsPage::bestRequested);
  anchoring.Follows({{progress_, kDown}, {drawCapNote_, kDown}, {bestHint_, kDown}});
}

void SettingsPage::BuildKeyboard() {
  // Enter in a field of the page runs 生成 while its button is enabled.
  const auto generateIfEnabled = [this] {
    if (generate_->isEnabled()) generate_->click();
  };
  for (QLineEdit* edit : {countField_, surname_, fixSecondField_, fixThirdField_})
    connect(edit, &QLineEdit::returnPressed, this, generateIfEnabled);
  for (QComboBox* combo : birth_.All()) connect(combo->lineEdit(), &QLineEdit::returnPressed, this, generateIfEnabled);
  // Tab walks the page from its inputs to its buttons, then its pane.
  SetTabChain({female_, male_, countField_, surname_, birth_.year, birth_.month, birth_.day, birth_.hour, fixSecondBox_,
               fixSecondField_, fixThirdBox_, fixThirdField_, wholeItemSound_, help_, stop_, generate_});
}

std::string SettingsPage::Surname() const { return CoreTextOf(surname_); }
bool SettingsPage::Female() const { return female_->isChecked(); }
std::string SettingsPage::YearText() const { return CoreTextOf(birth_.year); }
std::string SettingsPage::MonthText() const { return CoreTextOf(birth_.month); }
std::string SettingsPage::DayText() const { return CoreTextOf(birth_.day); }
HourField SettingsPage::Hour() const { return HourFieldOf(birth_.hour); }
bool SettingsPage::FixSecondChecked() const { return fixSecondBox_->isChecked(); }
bool SettingsPage::FixThirdChecked() const { return fixThirdBox_->isChecked(); }
bool SettingsPage::WholeItemSound() const { return wholeItemSound_->isChecked(); }
ElementWish SettingsPage::Wish() const { return elementChoice_->Wish(); }
std::vector<Element> SettingsPage::ChosenElements() const { return elementChoice_->Chosen(); }
FamilyWishes SettingsPage::Wishes() const { return WishesOf(wishesRow_->Typed()); }
QString SettingsPage::City() const { return placeChoice_->City(); }
bool SettingsPage::BeforeTerm() const { return termChoice_->Side() == TermSide::kBefore; }

BirthTimeOptions SettingsPage::BirthTime() const {
  BirthTimeOptions options;
  options.longitude = placeChoice_->Longitude();
  options.termSide = termChoice_->Side();
  return options;
}

SettingsPage::Numbers SettingsPage::BirthNumbers() const {
  return {NumberOf(birth_.year), NumberOf(birth_.month), NumberOf(birth_.day), ReadBirthHour(Hour())};
}

namespace {

// The chart a run reads of a birth; none for a day the calendar cannot chart.
std::optional<BirthAnalysisResult> ChartOf(TTransDate& dates, int year, int month, int day, BirthHour hour,
                                           const BirthTimeOptions& options) {
  try {
    return BirthAnalysis(BirthAnalysisVariant::kGenerate, dates, year, month, day, hour, {}, {}, options);
  } catch (const BirthAnalysisError&) {
    return std::nullopt;
  }
}

}  // namespace

std::optional<BirthAnalysisResult> SettingsPage::LooseChart(TTransDate& dates, const BirthTimeOptions& options) const {
  const Numbers birth = BirthNumbers();
  if (!birth.hour) return std::nullopt;
  return ChartOf(dates, birth.year, birth.month, birth.day, *birth.hour, options);
}

std::optional<BirthAnalysisResult> SettingsPage::CheckedChart(TTransDate& dates) const {
  BirthDate date;
  BirthHour hour;
  if (CheckBirthDate(YearText(), MonthText(), DayText(), date) || CheckBirthHour(Hour(), hour)) return std::nullopt;
  return ChartOf(dates, date.year, date.month, date.day, hour, BirthTime());
}

std::optional<ChildNeeds> SettingsPage::Needs(TTransDate& dates) const {
  const std::optional<BirthAnalysisResult> chart = LooseChart(dates, BirthTime());
  if (!chart) return std::nullopt;
  ChildNeeds needs = ReadNeeds(chart->pillars, Wish(), ChosenElements());
  if (!needs.HasChart()) return std::nullopt;
  return needs;
}

void SettingsPage::FollowTermDay() {
  const Numbers birth = BirthNumbers();
  const QString day = QString("%1-%2-%3").arg(birth.year).arg(birth.month).arg(birth.day);
  // The term's moment at the place, whichever side was chosen.
  BirthTimeOptions options;
  options.longitude = placeChoice_->Longitude();
  const std::optional<BirthAnalysisResult> chart = LooseChart(fieldDate_, options);
  termChoice_->Follow(chart ? chart->notes.termDay : std::nullopt, day);
}

void SettingsPage::SetElementChoice(ElementWish wish, const std::vector<Element>& chosen) {
  elementChoice_->Set(wish, chosen);
}

void SettingsPage::ShowProgress(const QString& text) {
  progress_->setText(text);
  PlaceStatusLine();
}

void SettingsPage::ClearRunNotes() {
  drawCapNote_->clear();
  bestHint_->clear();
}

void SettingsPage::ShowDrawCapNote(const QString& note) {
  // A note longer than the line ends in "…"; the tooltip holds it whole.
  drawCapNote_->setText(note);
  drawCapNote_->setToolTip(note);
  PlaceStatusLine();
}

void SettingsPage::ShowWayToBest(int shown) {
  showBest_->setText(tr("查看精选 (%1)").arg(shown));
  showBest_->show();
  bestHint_->setText(tr("<a href=\"best\">精选页有 %1 个名字，按推荐度排好</a>").arg(shown));
  PlaceStatusLine();
}

bool SettingsPage::ShowsWayToBest() const { return !showBest_->isHidden(); }

void SettingsPage::SetButtons(bool generateEnabled, bool stopEnabled) {
  generate_->setEnabled(generateEnabled);
  stop_->setEnabled(stopEnabled);
}

bool SettingsPage::StopEnabled() const { return stop_->isEnabled(); }

void SettingsPage::PlaceStatusLine() {
  if (!bestHint_) return;  // the page is still being built
  constexpr int kGap = 12;
  const int right = drawCapNote_->parentWidget()->width() - 16;
  const int y = drawCapNote_->y();
  int x = progress_->x();
  // The progress label as wide as its text, so that nothing stands under it.
  const int progressWidth =
      progress_->text().isEmpty() ? 0 : progress_->fontMetrics().horizontalAdvance(progress_->text()) + 2;
  progress_->resize(std::max(progressWidth, 1), progress_->height());
  if (progressWidth > 0) x += progressWidth + kGap;
  bestHint_->setVisible(!bestHint_->text().isEmpty());
  if (!bestHint_->text().isEmpty()) {
    const int width = std::min(bestHint_->sizeHint().width(), std::max(0, right - x));
    bestHint_->setGeometry(x, y, width, bestHint_->height());
    x += width + kGap;
  }
  drawCapNote_->setGeometry(x, y, std::max(0, right - x), drawCapNote_->height());
  // A note longer than the room left ends in "…"; the tooltip holds it whole.
  if (!drawCapNote_->text().isEmpty()) {
    drawCapNote_->setText(
        drawCapNote_->fontMetrics().elidedText(drawCapNote_->toolTip(), Qt::ElideRight, drawCapNote_->width()));
  }
}

// The inputs kept between starts: the line edits and the combo boxes by
// their text, the check boxes and 女 by their state.
std::vector<std::pair<const char*, QWidget*>> SettingsPage::KeptFields() const {
  return {{"surname", surname_},
          {"female", female_},
          {"count", countField_},
          {"year", birth_.year},
          {"month", birth_.month},
          {"day", birth_.day},
          {"hour", birth_.hour},
          {"fixSecond", fixSecondBox_},
          {"fixSecondText", fixSecondField_},
          {"fixThird", fixThirdBox_},
          {"fixThirdText", fixThirdField_},
          {"wholeItemSound", wholeItemSound_}};
}

void SettingsPage::Recall(const QSettings& settings) {
  for (const auto& [key, field] : KeptFields()) {
    const QVariant value = settings.value(key);
    if (!value.isValid()) continue;
    if (auto* edit = qobject_cast<QLineEdit*>(field)) {
      if (value.toString().size() <= kLongestKeptText) edit->setText(value.toString());
    } else if (auto* combo = qobject_cast<QComboBox*>(field)) {
      if (value.toString().size() <= kLongestKeptText) SetComboText(combo, value.toString());
    } else if (field == female_) {
      (value.toBool() ? female_ : male_)->setChecked(true);
    } else {
      qobject_cast<QAbstractButton*>(field)->setChecked(value.toBool());
    }
  }
  // The place after the date, the term's side after both: they decide
  // whether the side applies.
  placeChoice_->Set(settings.value("placeProvince").toString(), settings.value("placeCity").toString());
  FollowTermDay();
  if (termChoice_->Applies() && settings.value("termSide").toString() == "before")
    termChoice_->SetChosen(TermSide::kBefore);
  if (const QVariant wish = settings.value("elementWish"); wish.isValid()) {
    elementChoice_->Set(ElementChoice::WishOfKey(wish.toString()),
                        ElementChoice::ElementsOfKey(settings.value("chosenElements").toString()));
  }
  WishesTyped wishes;
  wishes.theme = settings.value("wishTheme").toString();
  wishes.kept = settings.value("wishKept").toString().left(1);
  wishes.keptAt = settings.value("wishKeptAt", 1).toInt();
  wishes.avoided = settings.value("wishAvoided").toString().left(8);
  wishes.avoidSounds = settings.value("wishAvoidSounds", false).toBool();
  wishes.sibling = settings.value("wishSibling").toString().left(6);
  wishes.siblingFemale = settings.value("wishSiblingFemale", false).toBool();
  wishesRow_->Set(wishes);
}

void SettingsPage::Keep(QSettings& settings) const {
  for (const auto& [key, field] : KeptFields()) {
    if (auto* edit = qobject_cast<QLineEdit*>(field)) {
      settings.setValue(key, edit->text());
    } else if (auto* combo = qobject_cast<QComboBox*>(field)) {
      settings.setValue(key, combo->currentText());
    } else {
      settings.setValue(key, qobject_cast<QAbstractButton*>(field)->isChecked());
    }
  }
  settings.setValue("elementWish", ElementChoice::WishKey(Wish()));
  settings.setValue("chosenElements", ElementChoice::ElementsKey(ChosenElements()));
  const WishesTyped wishes = wishesRow_->Typed();
  settings.setValue("wishTheme", wishes.theme);
  settings.setValue("wishKept", wishes.kept);
  settings.setValue("wishKeptAt", wishes.keptAt);
  settings.setValue("wishAvoided", wishes.avoided);
  settings.setValue("wishAvoidSounds", wishes.avoidSounds);
  settings.setValue("wishSibling", wishes.sibling);
  settings.setValue("wishSiblingFemale", wishes.siblingFemale);
  settings.setValue("placeProvince", placeChoice_->Province());
  settings.setValue("placeCity", placeChoice_->City());
  // The side of a term is kept only for the day it was chosen for.
  if (termChoice_->Applies()) {
    settings.setValue("termSide", termChoice_->Chosen() == TermSide::kBefore ? "before" : "after");
  } else {
    settings.remove("termSide");
  }
}

bool SettingsPage::eventFilter(QObject* watched, QEvent* event) {
  // Only digits, blank, "." and Backspace may be typed into the count field;
  // several characters at once (an input method's commit) are no key it takes.
  if (watched == countField_ && event->type() == QEvent::KeyPress) {
    const QString text = static_cast<QKeyEvent*>(event)->text();
    const bool typed = text.size() == 1 && text[0].unicode() >= 0x20 && text[0].unicode() != 0x7F;
    const bool refused =
        typed ? !(text[0].isDigit() && text[0].unicode() < 0x80) && text[0] != ' ' && text[0] != '.' : text.size() > 1;
    if (refused) {
      countField_->setText(kDefaultCount);
      ShowMessage(countField_->window(), tr("只能输入数字"));
      return true;
    }
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace tavrin::ui
