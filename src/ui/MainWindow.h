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
#include "calendar/trans_date.h"
#include "chars/hzspell.h"
#include "core/child.h"
#include "core/naming_model.h"
#include "core/startup.h"
#include "sources/name_notes.h"
#include "ui/AnalysisPage.h"
#include "ui/Guide.h"
#include "ui/PageParts.h"
#include "ui/qtext.h"

class QTabWidget;
class QSettings;

namespace tavrin::ui {

class AnalysisPage;
class BestPage;
class FavouritesPage;
class KeepCommands;
class PaneView;
class PoetryPage;
class ReadingHints;
class ReportPage;
class SettingsPage;

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
  QStringList StartupMessages() const { return StartupMessagesOf(Stores()); }
  // Shows the start-up messages in a message box.
  void ReportStartupFailures();
  // "导出PDF…": the last completed analysis as a one-page PDF, to the file
  // chosen in a dialog unless one is given.
  bool ExportAnalysisPdf(QString path = {}) { return analysisPage_->ExportPdf(std::move(path)); }
  // The 推荐度 of the last analysed name for the baby's sex on 姓名设置; none
  // without an analysis or advice tables.
  std::optional<int> AnalysedRecommend() const { return analysisPage_->Recommend(); }

  // The client size and page captions of the window.
  static constexpr int kClientWidth = kSmallestWidth;
  static constexpr int kClientHeight = kSmallestHeight;
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
  // Whether 姓名分析 takes the birth date and hour of 姓名设置 (the baby's),
  // as it does until they are changed on its own page.
  bool AnalysisFollowsBaby() const { return analysisPage_->FollowsBaby(); }
  // The first-run guide, once per user (QSettings); false when it was shown before.
  bool ShowGuideOnce() { return ui::ShowGuideOnce(this); }
  // The guide again (from 帮助), and the help page.
  void ShowGuide() { ui::ShowGuide(this); }
  void ShowHelp() { ui::ShowHelp(this); }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  // The pages, built in their order on the tabs.
  void BuildPages();
  void BuildResultPages(const std::vector<QWidget*>& pages);
  void BuildReportPage(QWidget* page);
  void BuildBestPage(QWidget* page);
  void BuildPoetryPage(QWidget* page);
  void BuildFavouritesPage();
  // The sources and meanings of names, read on first use.
  void OpenNotes();
  PaneView* AddPane(QWidget* page, Origin origin, int height);
  // What follows the pages' commands, the pages shown and the names coming
  // into 精选.
  void ConnectSettings();
  void ConnectPages();
  void BuildKeyboard();
  // Page 姓名分析 with the name and the baby's birth, analysed at once.
  void AnalyseFromName(const QString& name);
  void Generate();
  void StartPoetry();
  void OpenPoetryDatabase();
  // The poem's own names for the baby, listed and put into 精选.
  void ShowPoemPhrases();
  void RefreshProgress();
  // After a run: the notes of the status line and the way to 精选.
  void ShowRunEnd();
  // Says in every list that is empty why, and what to do: before the first
  // run what the page will hold, after a run why it holds nothing.
  void ExplainEmptyPages(bool afterRun);
  // 名字五行 changed (on 姓名设置 or in the 通行算法 panel): every page
  // follows it at once.
  void FollowElementChoice();
  // 精选 follows the family's wishes and the fixed characters.
  void FollowWishes();
  // Scores names against the chart of 姓名设置's birth, when it is a date.
  void TakeBabyChart();
  // The lines on 姓名设置 and 部首有五行 that say which reading of the last
  // run's chart the names follow, with the window's 名字五行.
  void ShowRunReadings();
  void ShowStatus(const QString& text) { status_.Show(text); }

  std::unique_ptr<EventPump> pump_;
  std::unique_ptr<MessageBoxes> messages_;
  SettingsPage* settings_ = nullptr;  // 姓名设置, the run's inputs
  std::unique_ptr<NamingModel> model_;
  THzSpell hzSpell1_;
  bool progressDirty_ = false;
  bool closeWhenIdle_ = false;
  bool remembers_ = false;
  bool remembersInputs_ = false;

  QTabWidget* pages_ = nullptr;
  AnalysisPage* analysisPage_ = nullptr;
  PoetryPage* poetryPage_ = nullptr;  // 诗歌取名
  ReportPage* reportPage_ = nullptr;  // holds ListView1
  BestPage* bestPage_ = nullptr;      // 精选
  FavouritesPage* favouritesPage_ = nullptr;
  KeepCommands* keep_ = nullptr;
  std::vector<PaneView*> resultPanes_;          // 姓名设置, the five generators' pages, 诗歌取名
  std::unique_ptr<ReadingHints> readingHints_;  // under the summary pane, over 部首有五行's
  std::unique_ptr<sources::NameNotes> notes_;   // sources and meanings, read on first use
  Anchoring anchoring_{*this};
  StatusNote status_{this};
};

}  // namespace tavrin::ui
