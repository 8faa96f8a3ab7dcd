#include "ui/MainWindow.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QShortcut>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "core/poetry_db.h"
#include "favourites/store.h"
#include "generators/generate_command.h"
#include "generators/poetry_names.h"
#include "ui/AnalysisPage.h"
#include "ui/BestModel.h"
#include "ui/BestPage.h"
#include "ui/FavouritesPage.h"
#include "ui/Guide.h"
#include "ui/KeepCommands.h"
#include "ui/MessageBox.h"
#include "ui/PageHints.h"
#include "ui/PaneView.h"
#include "ui/PoetryPage.h"
#include "ui/ReadingHints.h"
#include "ui/ReportPage.h"
#include "ui/SettingsPage.h"
#include "ui/qtext.h"

namespace tavrin::ui {

namespace {

// The pane of 部首有五行, which starts under its line of the chart's reading.
constexpr int kRadicalPaneTop = 16;
constexpr int kRadicalPaneHeight = 441;

}  // namespace

const QStringList& MainWindow::PageCaptions() { return PageNames(); }

MainWindow::MainWindow(SharedStores stores, std::uint64_t seed, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint),
      pump_(std::make_unique<EventPump>([this] { RefreshProgress(); })),
      messages_(MessageBoxesOver(this)),
      settings_(new SettingsPage(this)) {
  setWindowTitle("Tavrin 1.13");
  // The window grows beyond its client size: the panes keep their width of
  // 105 columns and grow taller, the tables grow both ways.
  setMinimumSize(kClientWidth, kClientHeight);
  resize(kClientWidth, kClientHeight);
  // A CJK font for every Chinese text of the window (the panes have their
  // own monospace one).
  QFont font("Noto Sans CJK SC");
  font.setPixelSize(12);
  setFont(font);
  NamingEnvironment environment;
  environment.inputs = settings_;
  environment.pump = pump_.get();
  model_ = std::make_unique<NamingModel>(std::move(stores), seed, environment);
  OpenNotes();
  BuildPages();
  BuildKeyboard();
  ExplainEmptyPages(false);
  ConnectSettings();
  ConnectPages();
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(pages_);
  anchoring_.Settle();
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    move(area.center() - QPoint(kClientWidth / 2, kClientHeight / 2));
  }
}

MainWindow::~MainWindow() {
  // The views listen to the core's panes; the model goes after them.
  model_->DetachListeners();
  // The pages go while the model and the inputs they are wired to still
  // exist: no signal raised as they are taken down reaches a destroyed member.
  disconnect(pages_, nullptr, this, nullptr);
  delete pages_;
}

void MainWindow::OpenNotes() {
  notes_ = std::make_unique<sources::NameNotes>(model_->Stores().dataDir, model_->Stores().advice);
  // A library that is missing or fails is said once; the pages go on without sources.
  notes_->OnFault([this](const sources::LibraryError& error) {
    const QString text =
        QString::fromStdString(sources::LibraryFaultText(notes_->LibraryPath(), error)) + tr(",名字没有出处");
    QTimer::singleShot(0, this, [this, text] { ShowStatus(text); });
  });
}

void MainWindow::BuildPages() {
  pages_ = new QTabWidget(this);
  std::vector<QWidget*> pages;
  for (const QString& caption : PageCaptions()) {
    auto* page = new QWidget(pages_);
    page->setObjectName(caption);
    pages_->addTab(page, tr(caption.toUtf8().constData()));
    pages.push_back(page);
  }
  BuildResultPages(pages);
  const auto page = [&pages](Page p) { return pages[static_cast<std::size_t>(TabOf(p))]; };
  BuildReportPage(page(Page::kReport));
  BuildPoetryPage(page(Page::kPoetry));
  BuildBestPage(page(Page::kBest));
  BuildFavouritesPage();
  // Which reading the names follow, on 姓名设置 and 部首有五行.
  readingHints_ = std::make_unique<ReadingHints>(
      resultPanes_[0], QRect(16, SettingsPage::kSummaryTop, 865, SettingsPage::kSummaryHeight), resultPanes_[3],
      QRect(16, kRadicalPaneTop, 865, kRadicalPaneHeight), anchoring_);
}

void MainWindow::BuildResultPages(const std::vector<QWidget*>& pages) {
  // The first seven pages keep the layout of the smallest window, centred.
  const auto content = [&pages](Page p) { return new CentredArea(pages[static_cast<std::size_t>(TabOf(p))]); };
  QWidget* settings = content(Page::kSettings);
  settings_->Build(settings, AddPane(settings, Origin::kSettings, SettingsPage::kSummaryHeight), Stores(), anchoring_);
  AddPane(content(Page::kTwoChar), Origin::kTwoChar, 433);
  AddPane(content(Page::kThreeChar), Origin::kThreeChar, 433);
  AddPane(content(Page::kFiveElement), Origin::kFiveElement, kRadicalPaneHeight);
  AddPane(content(Page::kRecommended), Origin::kRecommended, 441);
  AddPane(content(Page::kRecommendedTwo), Origin::kRecommendedTwo, 441);
  CentredArea* analysis = content(Page::kAnalysis);
  analysisPage_ = new AnalysisPage(analysis, AddPane(analysis, Origin::kAnalysis, 353), *model_, *settings_, *notes_,
                                   anchoring_, *messages_, this);
}

void MainWindow::BuildReportPage(QWidget* page) {
  reportPage_ = new ReportPage(model_->Report(), model_->Services(), page);
  auto* reportLayout = new QVBoxLayout(page);
  reportLayout->setContentsMargins(0, 0, 0, 0);
  reportLayout->addWidget(reportPage_);
  connect(reportPage_, &ReportPage::analyseRequested, this, &MainWindow::AnalyseFromName);
  reportPage_->SetNotes(notes_.get());
}

void MainWindow::BuildBestPage(QWidget* page) {
  bestPage_ = new BestPage(model_->RunState(), Stores().advice.get(), model_->Services(), page);
  (new QVBoxLayout(page))->addWidget(bestPage_);
  page->layout()->setContentsMargins(0, 0, 0, 0);
  connect(bestPage_, &BestPage::analyseRequested, this, &MainWindow::AnalyseFromName);
  bestPage_->SetNotes(notes_.get());
  bestPage_->ReadFrom(*model_);
}

void MainWindow::BuildPoetryPage(QWidget* page) {
  PaneView* pane = AddPane(page, Origin::kPoetry, 337);
  poetryPage_ = new PoetryPage(page, kPageHeight, pane, *notes_, this);
  connect(poetryPage_, &PoetryPage::said, this, &MainWindow::ShowStatus);
  connect(poetryPage_, &PoetryPage::startRequested, this, &MainWindow::StartPoetry);
  connect(poetryPage_, &PoetryPage::analyseRequested, this, &MainWindow::AnalyseFromName);
  anchoring_.Follows(poetryPage_->Followers());
}

void MainWindow::BuildFavouritesPage() {
  keep_ = new KeepCommands(*model_, {settings_, reportPage_, bestPage_, analysisPage_, poetryPage_, resultPanes_},
                           *notes_, this);
  favouritesPage_ =
      new FavouritesPage(model_->Stores(), model_->TransDate(), [this] { return keep_->BirthOnShow(); }, pages_);
  favouritesPage_->setObjectName("收藏");
  pages_->addTab(favouritesPage_, tr("收藏"));
  connect(keep_, &KeepCommands::said, this, &MainWindow::ShowStatus);
  keep_->Attach(*favouritesPage_);
}

PaneView* MainWindow::AddPane(QWidget* page, Origin origin, int height) {
  auto* view = new PaneView(model_->PaneOf(origin), page);
  view->setGeometry(16, 16, 865, height);
  if (origin != Origin::kAnalysis) resultPanes_.push_back(view);
  if (origin != Origin::kPoetry) anchoring_.Follows(view, kTaller);
  // A double-clicked name of a result pane opens in the analysis.
  if (origin != Origin::kAnalysis) connect(view, &PaneView::nameActivated, this, &MainWindow::AnalyseFromName);
  return view;
}

void MainWindow::ConnectSettings() {
  connect(settings_, &SettingsPage::generateRequested, this, &MainWindow::Generate);
  connect(settings_, &SettingsPage::stopRequested, this, [this] { model_->StopCommand(); });
  connect(settings_, &SettingsPage::helpRequested, this, &MainWindow::ShowHelp);
  connect(settings_, &SettingsPage::bestRequested, this, [this] { pages_->setCurrentIndex(TabOf(Page::kBest)); });
  connect(settings_, &SettingsPage::elementChoiceChanged, this, &MainWindow::FollowElementChoice);
  connect(settings_, &SettingsPage::wishesChanged, this, &MainWindow::FollowWishes);
  connect(settings_, &SettingsPage::birthChanged, analysisPage_, &AnalysisPage::FollowBaby);
  connect(analysisPage_, &AnalysisPage::elementChoiceChosen, this,
          [this](ElementWish wish, const std::vector<Element>& chosen) {
            settings_->SetElementChoice(wish, chosen);
            FollowElementChoice();
          });
  model_->Presentation().SetButtonsListener(
      [this](const ButtonStates& states) { settings_->SetButtons(states.generateEnabled, states.stopEnabled); });
  // The generators set the counter at every draw; the label shows it at
  // each pump and when the run ends.
  model_->Presentation().SetProgressListener([this](const std::string& text) {
    progressDirty_ = true;
    if (text.empty()) RefreshProgress();
  });
}

void MainWindow::ConnectPages() {
  // The count on 查看精选 follows the names as they come in.
  connect(bestPage_, &BestPage::shownCountChanged, this, [this] {
    if (settings_->ShowsWayToBest() && !model_->Running()) settings_->ShowWayToBest(bestPage_->ShownCount());
  });
  connect(pages_, &QTabWidget::currentChanged, this, [this](int index) {
    if (index == TabOf(Page::kPoetry)) OpenPoetryDatabase();
    if (index == TabOf(Page::kBest)) bestPage_->Collect();
  });
  pages_->setCurrentIndex(TabOf(Page::kSettings));
}

void MainWindow::BuildKeyboard() {
  // Esc anywhere runs 停止 while its button is enabled.
  auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  escape->setContext(Qt::WindowShortcut);
  connect(escape, &QShortcut::activated, this, [this] {
    if (settings_->StopEnabled()) emit settings_->stopRequested();
  });
  // Ctrl+Q closes the window, as in other desktop programs (a run under way
  // is stopped first).
  auto* quit = new QShortcut(QKeySequence::Quit, this);
  quit->setContext(Qt::WindowShortcut);
  connect(quit, &QShortcut::activated, this, &QWidget::close);
}

void MainWindow::AnalyseFromName(const QString& name) {
  pages_->setCurrentIndex(TabOf(Page::kAnalysis));
  analysisPage_->AnalyseBabyName(name);
}

void MainWindow::Generate() {
  const bool starts = !model_->Running();
  if (starts) settings_->ClearRunNotes();
  if (starts) bestPage_->ShowSex(settings_->BabySex());
  bestPage_->Collect();  // before the run clears the panes
  // The city the run's chart is read at, for 精选's notes; a refused run
  // leaves the last run's.
  const QString lastPlace = bestPage_->RunPlace();
  if (starts) bestPage_->SetRunPlace(settings_->City());
  const CommandResult<GenerateOutcome> result = GenerateCommand(*model_);
  if (result.outcome == GenerateOutcome::kRefused || result.outcome == GenerateOutcome::kIgnored)
    bestPage_->SetRunPlace(lastPlace);
  bestPage_->Collect();
  if (result.message) messages_->Show(result.message->text);
  RefreshProgress();
  if (starts) {
    ShowRunEnd();
    ShowRunReadings();
    ExplainEmptyPages(true);
  }
  if (closeWhenIdle_ && !model_->Running()) close();
}

void MainWindow::StartPoetry() {
  if (!model_->Running()) settings_->ClearRunNotes();
  bestPage_->StartPoetryRun(settings_->BabySex());
  const CommandResult<PoetryOutcome> result =
      StartPoetryNaming(*model_, poetryPage_->PoemText(), model_->Session().chart.birthElements);
  bestPage_->Collect();
  if (result.outcome != PoetryOutcome::kRefused) ShowPoemPhrases();
  if (result.message) messages_->Show(result.message->text);
  RefreshProgress();
  if (!model_->Running()) ShowRunEnd();
}

void MainWindow::OpenPoetryDatabase() {
  poetryPage_->Open(model_->Stores().dataDir + kPoetryFile, this);
  poetryPage_->FitTitles(width() - kClientWidth);
}

void MainWindow::ShowPoemPhrases() {
  const Sex sex = settings_->BabySex();
  const std::string surname = model_->Inputs().Surname();
  const std::vector<PoemPhrase> phrases =
      PoemPhrases(*Stores().advice, model_->Services(), bestPage_->Model().Names().Judge(), surname, sex,
                  poetryPage_->CurrentPoem());
  poetryPage_->ShowPhrases(ViewsOf(phrases));
  bestPage_->AddPoemPhrases(phrases, surname, model_->Session().chart.birthElements);
}

void MainWindow::RefreshProgress() {
  if (!progressDirty_) return;
  progressDirty_ = false;
  settings_->ShowProgress(ProgressOf(model_->Presentation()));
}

void MainWindow::ShowRunEnd() {
  settings_->ShowDrawCapNote(DrawCapNoteOf(model_->Session()));
  settings_->ShowWayToBest(bestPage_->ShownCount());
}

void MainWindow::ExplainEmptyPages(bool afterRun) {
  ExplainEmptyPanes(*model_, resultPanes_, afterRun);
  reportPage_->SetEmptyReason(afterRun ? EmptyReportHint(WhyReportEmpty(model_->Session())) : QString());
}

void MainWindow::FollowWishes() {
  if (bestPage_) bestPage_->SetFamilyWishes(RunWishes(*settings_));
}

void MainWindow::FollowElementChoice() {
  bestPage_->SetWish(settings_->Wish(), settings_->ChosenElements());
  analysisPage_->FollowElementChoice();
  ShowRunReadings();
}

void MainWindow::TakeBabyChart() {
  // No chart of that birth: names are scored without one, as before a run.
  if (const std::optional<BirthAnalysisResult> chart = settings_->CheckedChart(model_->TransDate())) {
    model_->SetChart(*chart);
    model_->SetChartNotes(chart->notes);
  }
}

void MainWindow::ShowRunReadings() {
  if (!readingHints_) return;  // the window is still being built
  const BirthChart& chart = model_->Session().chart;
  readingHints_->Show(chart.pillars.day.empty()
                          ? ChildNeeds()
                          : ReadNeeds(chart.pillars, settings_->Wish(), settings_->ChosenElements()));
}

void MainWindow::OpenFavourites() {
  QString message;
  favouritesPage_->SetStore(FavouritesPage::OpenDefaultStore(message));
  if (!message.isEmpty()) ShowMessage(this, message);
}

void MainWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (!analysisPage_) return;  // the window is still being built
  anchoring_.Apply();
  // The poem titles take what the grid gains.
  poetryPage_->FitTitles(std::max(0, width() - kClientWidth));
  settings_->PlaceStatusLine();
  analysisPage_->PlaceConventions();
}

void MainWindow::RememberGeometry() {
  remembers_ = true;
  const QSettings settings;
  if (const QByteArray geometry = settings.value("window/geometry").toByteArray(); !geometry.isEmpty())
    restoreGeometry(geometry);
  FitToScreen(*this);
  const int page = settings.value("window/page", 0).toInt();
  if (page >= 0 && page < pages_->count()) pages_->setCurrentIndex(page);
}

// The inputs of 姓名设置 are kept between starts in a group of their own.
constexpr const char* kInputsGroup = "inputs";

void MainWindow::RememberInputs() {
  remembersInputs_ = true;
  QSettings settings;
  settings.beginGroup(kInputsGroup);
  settings_->Recall(settings);
  analysisPage_->ShowBirth();
  FollowElementChoice();
  FollowWishes();
  if (settings.contains("year")) TakeBabyChart();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (model_->Running()) {
    // Closing during a run stops it; the window closes once it has returned.
    model_->StopCommand();
    closeWhenIdle_ = true;
    event->ignore();
    return;
  }
  if (remembers_) {
    QSettings settings;
    settings.setValue("window/geometry", saveGeometry());
    settings.setValue("window/page", pages_->currentIndex());
  }
  if (remembersInputs_) {
    QSettings settings;
    settings.beginGroup(kInputsGroup);
    settings_->Keep(settings);
  }
  QWidget::closeEvent(event);
}

void MainWindow::ReportStartupFailures() {
  // One box for all files that failed, rather than one box after another.
  const QStringList messages = StartupMessages();
  if (!messages.isEmpty()) ShowMessage(this, messages.join('\r'));
}

}  // namespace tavrin::ui
