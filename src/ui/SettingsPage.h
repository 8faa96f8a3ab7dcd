// 姓名设置: the baby's sex, surname and birth, the options of a run, 名字五行
// with the birthplace, 家人心愿, the buttons, and the summary pane with the
// status line under it. The page is the run's inputs: the core reads the
// fields through NamingInputs when the run needs them.
#pragma once

#include <QObject>
#include <QString>

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "calendar/birth_pillars.h"
#include "calendar/trans_date.h"
#include "core/child.h"
#include "core/naming_io.h"
#include "core/startup.h"
#include "ui/PageParts.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSettings;

namespace tavrin::ui {

class ElementChoice;
class PaneView;
class PlaceChoice;
class TermChoice;
class WishesRow;

// The year, month, day and hour combo boxes of a page.
struct BirthCombos {
  QComboBox* year = nullptr;
  QComboBox* month = nullptr;
  QComboBox* day = nullptr;
  QComboBox* hour = nullptr;
  std::array<QComboBox*, 4> All() const { return {year, month, day, hour}; }
};

// The group of the four birth combo boxes, with the same items, defaults and
// places on every page that takes a birth; `names` are their object names.
BirthCombos AddBirthGroup(QWidget* page, const QString& caption, int x, const std::array<const char*, 4>& names);

// The height of a page in the smallest window: the client height less the
// tab bar (29 with the window's font) and the frame. What stands at the
// foot of a page ends there, not below it.
inline constexpr int kPageHeight = kSmallestHeight - 31;

class SettingsPage final : public QObject, public NamingInputs {
  Q_OBJECT

 public:
  // The rows of the page, from the top.
  static constexpr int kChoiceTop = 116;  // 名字五行 and 出生地
  static constexpr int kChoiceHeight = 22;
  static constexpr int kWishesTop = kChoiceTop + kChoiceHeight + 4;  // 家人心愿
  static constexpr int kSummaryTop = kWishesTop + kChoiceHeight + 4;
  static constexpr int kStatusHeight = 18;  // one line of the CJK font
  static constexpr int kSummaryHeight = kPageHeight - kStatusHeight - 2 - kSummaryTop;

  explicit SettingsPage(QObject* parent) : QObject(parent) {}
  // The controls on `page`, around `summary` (the pane of the run's good
  // names); what follows the window is added to `anchoring`.
  void Build(QWidget* page, PaneView* summary, const DataStores& stores, Anchoring& anchoring);

  // What the run reads.
  std::string Surname() const override;
  bool Female() const override;
  std::string YearText() const override;
  std::string MonthText() const override;
  std::string DayText() const override;
  HourField Hour() const override;
  std::string CountText() const override { return count_; }
  bool FixSecondChecked() const override;
  std::string FixSecondText() const override { return fixSecond_; }
  bool FixThirdChecked() const override;
  std::string FixThirdText() const override { return fixThird_; }
  bool WholeItemSound() const override;
  ElementWish Wish() const override;
  std::vector<Element> ChosenElements() const override;
  BirthTimeOptions BirthTime() const override;
  FamilyWishes Wishes() const override;

  // What the other pages read of the baby.
  Sex BabySex() const { return SexOf(Female()); }
  const BirthCombos& Birth() const { return birth_; }
  QLineEdit* SurnameField() const { return surname_; }
  // The city chosen (empty: 不填), and whether 节前 was chosen for a term's day.
  QString City() const;
  bool BeforeTerm() const;
  // The chart of the birth fields as a run reads it, when they are a date
  // and an hour the run takes; none else.
  std::optional<BirthAnalysisResult> CheckedChart(TTransDate& dates) const;
  // What the baby of the fields needs (for 比较); none while they are no date.
  std::optional<ChildNeeds> Needs(TTransDate& dates) const;
  // The birth the fields hold, 0 where a field is no number.
  struct Numbers {
    int year = 0, month = 0, day = 0;
    std::optional<BirthHour> hour;
  };
  Numbers BirthNumbers() const;
  void SetElementChoice(ElementWish wish, const std::vector<Element>& chosen);

  // The status line under the summary pane: the progress label, the way to
  // 精选, then the note of the last run, one after the other.
  void ShowProgress(const QString& text);
  void ClearRunNotes();
  void ShowDrawCapNote(const QString& note);
  void ShowWayToBest(int shown);
  bool ShowsWayToBest() const;
  void SetButtons(bool generateEnabled, bool stopEnabled);
  bool StopEnabled() const;
  void PlaceStatusLine();

  // The inputs as they are kept between starts.
  void Recall(const QSettings& settings);
  void Keep(QSettings& settings) const;

 signals:
  void generateRequested();
  void stopRequested();
  void helpRequested();
  void bestRequested();
  void elementChoiceChanged();
  void wishesChanged();
  // A birth field, the place or the term's side changed.
  void birthChanged();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildBabyFields(QWidget* page);
  void BuildOptionFields(QWidget* page);
  void BuildChoices(QWidget* page, const DataStores& stores);
  void BuildButtons(QWidget* page);
  void BuildStatusLine(QWidget* page, Anchoring& anchoring);
  void BuildKeyboard();
  // The term-day choice shows while the birth falls on a month-opening
  // term's day the chart cannot place it against.
  void FollowTermDay();
  std::optional<BirthAnalysisResult> LooseChart(TTransDate& dates, const BirthTimeOptions& options) const;
  // The kept inputs that are one field each, by key.
  std::vector<std::pair<const char*, QWidget*>> KeptFields() const;

  QRadioButton* female_ = nullptr;     // bsSkinCheckRadioBox2
  QRadioButton* male_ = nullptr;       // bsSkinCheckRadioBox1
  QLineEdit* countField_ = nullptr;    // bsSkinEdit1
  QLineEdit* surname_ = nullptr;       // Edit1
  BirthCombos birth_;                  // bsSkinComboBox1, 2, 3, 5
  QCheckBox* fixSecondBox_ = nullptr;  // CheckRadioBox3
  QLineEdit* fixSecondField_ = nullptr;
  QCheckBox* fixThirdBox_ = nullptr;  // CheckRadioBox4
  QLineEdit* fixThirdField_ = nullptr;
  QCheckBox* wholeItemSound_ = nullptr;
  QPushButton* help_ = nullptr;             // bsSkinButton5
  QPushButton* stop_ = nullptr;             // stopButton
  QPushButton* generate_ = nullptr;         // bsSkinButton1
  QPushButton* showBest_ = nullptr;         // 查看精选 (N), after a run
  QLabel* progress_ = nullptr;              // bsSkinStdLabel9
  QLabel* drawCapNote_ = nullptr;           // beside the progress label, after a run
  QLabel* bestHint_ = nullptr;              // the way to 精选 in the status line
  ElementChoice* elementChoice_ = nullptr;  // 名字五行, the one choice of every page
  PlaceChoice* placeChoice_ = nullptr;      // 出生地; hidden without the place table
  WishesRow* wishesRow_ = nullptr;          // 家人心愿
  TermChoice* termChoice_ = nullptr;        // 交节, in the birth group while it applies
  TTransDate fieldDate_;                    // reads the chart of the fields for the term-day choice
  // Read at every draw: kept in the core's text, converted only when the field changes.
  std::string count_, fixSecond_, fixThird_;
};

}  // namespace tavrin::ui
