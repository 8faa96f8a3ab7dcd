// The main window: the nine tab pages over the naming model, then 精选. The window only
// wires its controls to the core: the inputs are read from the controls when
// the run asks for them, the panes and the report mirror the core's, and the
// buttons and the progress label follow the model's state.
#pragma once

#include <QStringList>
#include <QWidget>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "analysis/analyse_name.h"
#include "chars/hzspell.h"
#include "core/child.h"
#include "core/naming_model.h"
#include "core/startup.h"
#include "calendar/trans_date.h"
#include "sources/name_notes.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QPlainTextEdit;
class QStandardItemModel;
class QTableView;
class QSettings;
class QTimer;

namespace tavrin {
struct Favourite;
}

namespace tavrin::ui {

class FavouritesPage;
struct Keepable;
class BestPage;
class ConventionsPanel;
class ElementChoice;
class PaneView;
class PlaceChoice;
class WishesRow;
class TermChoice;
class PoetryPage;
class ReadingHints;
class ReportPage;

class MainWindow : public QWidget {
  Q_OBJECT

 public:
  // The stores are loaded by the caller; `seed` starts the random source.
  MainWindow(SharedStores stores, std::uint64_t seed, QWidget* parent = nullptr);
  ~MainWindow() override;

  const DataStores& Stores() const { return model_->Stores(); }
  NamingModel& Model() { return *model_; }
  // The pinyin spelling component the window carries; no command reads it.
  THzSpell& HzSpell1() { return hzSpell1_; }
  QTabWidget* Pages() const { return pages_; }
  // The messages start-up has for the user (one per required file that failed).
  QStringList StartupMessages() const;
  // Shows the start-up messages in a message box.
  void ReportStartupFailures();
  // "导出PDF…": the last completed analysis as a one-page PDF, to the file
  // chosen in a dialog unless one is given.
  bool ExportAnalysisPdf(QString path = {});
  // The 推荐度 of the last analysed name for the baby's sex on 姓名设置; none
  // without an analysis or advice tables.
  std::optional<int> AnalysedRecommend() const;

  // The client size and page captions of the window.
  static constexpr int kClientWidth = 901;
  static constexpr int kClientHeight = 532;
  static const QStringList& PageCaptions();
  FavouritesPage* Favourites() const { return favouritesPage_; }
  // Opens the favourites store at its default place; a fault is shown once.
  void OpenFavourites();
  // Takes the size, place and page the window had when it was last closed,
  // and keeps them again at the next close (QSettings).
  void RememberGeometry();
  // The same for the inputs of 姓名设置: surname, sex, count, birth date and
  // hour, and the options. The baby's chart of the inputs taken back is the
  // chart names are scored against until the next 生成, as if that run had
  // just been made: 姓名分析 and its PDF read the birth they show.
  void RememberInputs();
  // 家人心愿 as it was kept, from the inputs' group of the settings.
  void RecallWishes(const QSettings& settings);
  // Whether 姓名分析 takes the birth date and hour of 姓名设置 (the baby's),
  // as it does until they are changed on its own page.
  bool AnalysisFollowsBaby() const { return analysisFollowsBaby_; }
  // The first-run guide, once per user (QSettings); false when it was shown before.
  bool ShowGuideOnce();
  // The guide again (from 帮助), and the help page.
  void ShowGuide();
  void ShowHelp();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The year, month, day and hour combo boxes of a page.
  struct BirthCombos {
    QComboBox* year = nullptr;
    QComboBox* month = nullptr;
    QComboBox* day = nullptr;
    QComboBox* hour = nullptr;
  };

  class Inputs;
  class WindowPump;

  // The pages, built in their order on the tabs.
  void BuildPages();
  void BuildSettingsPage(QWidget* page);
  // The settings page's parts: the baby's fields (sex, count, surname,
  // birth), the options, the buttons, the summary pane with the status line.
  void BuildBabyFields(QWidget* page);
  void BuildOptionFields(QWidget* page);
  void BuildSettingsButtons(QWidget* page);
  void BuildSummary(QWidget* page);
  void BuildReportPage(QWidget* page);
  void BuildBestPage(QWidget* page);
  // The sources and meanings of names, read on first use.
  void OpenNotes();
  static BirthCombos AddBirthGroup(QWidget* page, const QString& caption, int x,
                                   const std::array<const char*, 4>& names);
  PaneView* AddPane(QWidget* page, Origin origin, int height);
  void BuildAnalysisPage(QWidget* page);
  // Over the analysis pane: what the baby needs, the two readings, the
  // chart's notes.
  void BuildAnalysisLines(QWidget* page);
  // 通行算法 over the analysis pane, and its button.
  void BuildConventions(QWidget* page, PaneView* pane);
  void Analyse();
  // Page 姓名分析 with the name and the settings page's birth date and hour,
  // analysed at once.
  void AnalyseFromName(const QString& name);
  void BuildKeyboard();
  // 姓名分析's birth fields follow those of 姓名设置 until changed there.
  void FollowBabyBirth();
  // Sets 姓名分析's birth fields to those of 姓名设置.
  void CopyBabyBirth();
  void ShowAnalysisBirth();
  // A short note at the bottom of the window that goes by itself.
  void ShowStatus(const QString& text);
  // The window made no larger than the screen it stands on, and moved onto
  // it: a size kept in the settings may come from a larger screen, another
  // scale or another hand.
  void FitToScreen();
  void ShowDrawCapNote();
  // The term-day choice following the birth fields and the place.
  void FollowBirthFields();
  // What follows the pages shown and the names coming into 精选.
  void ConnectPages();
  void BuildPoetryPage(QWidget* page);
  void OpenPoetryDatabase();
  void StartPoetry();
  // The poem's own names for the baby, listed and put into 精选.
  void ShowPoemPhrases();
  void ShowPoetryHelp();
  void Generate();
  void ShowSettingsHelp();
  void BuildFavouritesPage();
  // The birth the names on show were scored for, as a favourite keeps it.
  Favourite BirthOnShow() const;
  // What ☆ 收藏 keeps of the report's row, 精选's row and the last analysis.
  std::optional<Keepable> ReportKeepable(int row) const;
  std::optional<Keepable> BestKeepable(int row) const;
  std::optional<Keepable> AnalysedKeepable() const;
  // The menu entries and shortcuts that keep the name of a row or analysis.
  void AddKeepCommands();
  // How a control follows the window beyond its smallest size (Follow).
  void Follows(QWidget* widget, int how);
  // Where a control following `how` stands in a window `wider` and
  // `taller` than the smallest.
  static QRect AnchoredPlace(QRect place, int how, int wider, int taller);
  void RefreshProgress();
  // A page whose content keeps its width of the smallest window: the content
  // stands in the middle of a wider page.
  static QWidget* CentredContent(QWidget* page);
  // The 通行算法 panel beside the analysis pane when the page has room for
  // both, else in the pane's place.
  void PlaceConventions();
  // The line under the summary pane: the progress label, the way to 精选,
  // then the note of the last run, one after the other.
  void PlaceStatusLine();
  // After a run: the button and the hint that lead to 精选, with its count.
  // Says in every list that is empty why, and what to do: before the first
  // run what the page will hold, after a run why it holds nothing.
  void ExplainEmptyPages(bool afterRun);
  void ShowWayToBest();
  // 名字五行 changed (on 姓名设置 or in the 通行算法 panel): every page
  // follows it at once.
  void FollowElementChoice();
  // 精选 follows the family's wishes and the fixed characters.
  void FollowWishes();
  // The reading of the chart 姓名分析 used, with the window's choice; none
  // before a completed analysis or without a chart.
  std::optional<ChildNeeds> AnalysisNeeds() const;
  // The same for the baby of 姓名设置's fields (for 比较); none while they
  // are no date.
  std::optional<ChildNeeds> BabyNeeds() const;
  // Scores names against the chart of 姓名设置's birth, when it is a date.
  void TakeBabyChart();
  void ShowAnalysisNeeds();
  // The birthplace and the side of a solar term chosen on 姓名设置, as the
  // chart of a run reads them.
  BirthTimeOptions BabyBirthTime() const;
  // The city chosen on 姓名设置 (empty: 不填).
  QString BabyCity() const;
  // The term-day choice shows while the birth on 姓名设置 falls on a
  // month-opening term's day the chart cannot place it against.
  void FollowTermDay();
  // The analysis pane starts under the notes of its chart.
  void PlaceAnalysisPane();
  // A control that follows the window stands at `place` in the smallest one
  // from now on.
  void Reanchor(QWidget* widget, QRect place);
  // The lines on 姓名设置 and 部首有五行 that say which reading of the last
  // run's chart the names follow, with the window's 名字五行.
  void ShowRunReadings();

  std::unique_ptr<Inputs> inputs_;
  std::unique_ptr<WindowPump> pump_;
  std::unique_ptr<MessageBoxes> messages_;
  std::unique_ptr<NamingModel> model_;
  THzSpell hzSpell1_;
  bool progressDirty_ = false;
  bool closeWhenIdle_ = false;

  QTabWidget* pages_ = nullptr;
  QRadioButton* female_ = nullptr;  // bsSkinCheckRadioBox2
  QRadioButton* male_ = nullptr;    // bsSkinCheckRadioBox1
  QLineEdit* count_ = nullptr;      // bsSkinEdit1
  QLineEdit* surname_ = nullptr;    // Edit1
  BirthCombos birth_;               // bsSkinComboBox1, 2, 3, 5
  QCheckBox* fixSecond_ = nullptr;  // CheckRadioBox3
  QLineEdit* fixSecondText_ = nullptr;
  QCheckBox* fixThird_ = nullptr;  // CheckRadioBox4
  QLineEdit* fixThirdText_ = nullptr;
  QPushButton* help_ = nullptr;      // bsSkinButton5
  QPushButton* stop_ = nullptr;      // stopButton
  QPushButton* generate_ = nullptr;  // bsSkinButton1
  QLabel* progress_ = nullptr;       // bsSkinStdLabel9
  QCheckBox* wholeItemSound_ = nullptr;
  ElementChoice* elementChoice_ = nullptr;  // 名字五行, the one choice of every page
  PlaceChoice* placeChoice_ = nullptr;      // 出生地, beside 名字五行; hidden without places.dat
  WishesRow* wishesRow_ = nullptr;          // 家人心愿, under 名字五行
  TermChoice* termChoice_ = nullptr;        // 交节, in the birth group while it applies
  std::unique_ptr<TTransDate> fieldDate_;   // reads the chart of the fields for the term-day choice
  QLabel* drawCapNote_ = nullptr;      // beside the progress label, after a run
  QLineEdit* analysedName_ = nullptr;  // bsSkinEdit2
  QString analysedSurname_;            // the surname analysedName_ holds alone while nothing is typed after it
  QPushButton* analyse_ = nullptr;     // bsSkinButton2
  QPushButton* exportPdf_ = nullptr;
  std::optional<NameReport> lastReport_;     // of the last completed analysis
  ConventionsPanel* conventions_ = nullptr;  // over the analysis pane while its button is down
  BirthCombos analysisBirth_;                // bsSkinComboBox4, 6, 7, 8
  PoetryPage* poetryPage_ = nullptr;  // 诗歌取名
  ReportPage* reportPage_ = nullptr;        // holds ListView1
  std::vector<PaneView*> resultPanes_;      // 姓名设置, the five generators' pages, 诗歌取名
  PaneView* analysisPane_ = nullptr;
  FavouritesPage* favouritesPage_ = nullptr;
  struct Anchored {
    QWidget* widget;
    QRect place;  // at the smallest size
    int how;
  };
  std::vector<Anchored> anchored_;
  bool remembers_ = false;
  bool remembersInputs_ = false;
  bool analysisFollowsBaby_ = true;
  bool copyingBirth_ = false;            // while the analysis fields are set from the settings page
  QLabel* analysisBirthNote_ = nullptr;  // which birth 姓名分析 uses
  QLabel* analysisNeeds_ = nullptr;      // what the baby of the analysis needs
  QLabel* analysisReadings_ = nullptr;   // and how the two readings differ
  QLabel* analysisNotes_ = nullptr;      // how its chart was read (solar time, the term's day)
  std::unique_ptr<ReadingHints> readingHints_;  // under the summary pane, over 部首有五行's
  QString analysisPlace_;                // the city the last analysis was read at
  QLabel* statusNote_ = nullptr;
  QTimer* statusTimer_ = nullptr;
  std::unique_ptr<sources::NameNotes> notes_;  // sources and meanings, read on first use
  BestPage* bestPage_ = nullptr;     // 精选
  QPushButton* showBest_ = nullptr;  // 查看精选 (N), on 姓名设置 after a run
  QLabel* bestHint_ = nullptr;       // the same way in the status line
  QWidget* analysisContent_ = nullptr;
  QPushButton* showConventions_ = nullptr;
};

}  // namespace tavrin::ui
