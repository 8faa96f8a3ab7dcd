#include "ui/MainWindow.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSettings>
#include <QShortcut>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <cstdlib>

#include "analysis/analyse_name.h"
#include "calendar/birth_pillars.h"
#include "calendar/gregorian.h"
#include "chars/gbk.h"
#include "core/birth_inputs.h"
#include "core/child.h"
#include "core/lines.h"
#include "core/poetry_db.h"
#include "favourites/store.h"
#include "places/places.h"
#include "generators/generate_command.h"
#include "generators/poetry_names.h"
#include "report/name_report_pdf.h"
#include "ui/BestModel.h"
#include "ui/BestPage.h"
#include "ui/BirthTimeChoice.h"
#include "ui/ConventionsPanel.h"
#include "ui/ElementChoice.h"
#include "ui/ReadingHints.h"
#include "ui/FavouritesPage.h"
#include "ui/Guide.h"
#include "ui/MessageBox.h"
#include "ui/PaneView.h"
#include "ui/PageParts.h"
#include "ui/PoetryPage.h"
#include "ui/ReportExport.h"
#include "ui/ReportPage.h"
#include "ui/WishesRow.h"
#include "ui/qtext.h"

namespace tavrin::ui {

class MainWindow::Inputs final : public NamingInputs {
 public:
  explicit Inputs(const MainWindow& window) : w_(window) {}
  std::string Surname() const override { return CoreTextOf(w_.surname_); }
  bool Female() const override { return w_.female_->isChecked(); }
  std::string YearText() const override { return CoreTextOf(w_.birth_.year); }
  std::string MonthText() const override { return CoreTextOf(w_.birth_.month); }
  std::string DayText() const override { return CoreTextOf(w_.birth_.day); }
  HourField Hour() const override { return HourFieldOf(w_.birth_.hour); }
  // Read at every draw: kept as GBK and converted only when the field changes.
  std::string CountText() const override { return count; }
  bool FixSecondChecked() const override { return w_.fixSecond_->isChecked(); }
  std::string FixSecondText() const override { return fixSecond; }
  bool FixThirdChecked() const override { return w_.fixThird_->isChecked(); }
  std::string FixThirdText() const override { return fixThird; }
  bool WholeItemSound() const override { return w_.wholeItemSound_->isChecked(); }
  // 名字五行: the one choice every page follows.
  ElementWish Wish() const override { return w_.elementChoice_->Wish(); }
  std::vector<Element> ChosenElements() const override { return w_.elementChoice_->Chosen(); }
  // 出生地 and 交节, beside the birth fields.
  BirthTimeOptions BirthTime() const override { return w_.BabyBirthTime(); }
  // 家人心愿, under it.
  FamilyWishes Wishes() const override { return WishesOf(w_.wishesRow_->Typed()); }

  std::string count, fixSecond, fixThird;

 private:
  const MainWindow& w_;
};

// The run calls the pump for every candidate, tens of thousands of times a
// run. The event loop itself is passed at most once a millisecond: a click
// is still handled at once, and the run is not slowed by passes over an
// empty queue.
class MainWindow::WindowPump final : public MessagePump {
 public:
  static constexpr qint64 kMinimumGapNs = 1'000'000;

  explicit WindowPump(MainWindow& window) : w_(window) {}
  void Pump() override {
    if (sinceLast_.isValid() && sinceLast_.nsecsElapsed() < kMinimumGapNs) return;
    w_.RefreshProgress();
    QCoreApplication::processEvents();
    sinceLast_.start();
  }

 private:
  MainWindow& w_;
  QElapsedTimer sinceLast_;
};

namespace {

// The height of a page in the smallest window: the client height less the
// tab bar (29 with the window's font) and the frame. What stands at the
// foot of a page ends there, not below it.
constexpr int kPageHeight = MainWindow::kClientHeight - 31;
// The status line under the summary pane: one line of the CJK font.
constexpr int kStatusHeight = 18;
// The row of 名字五行 under the options.
constexpr int kChoiceTop = 116;
constexpr int kChoiceHeight = 22;
// The row of 家人心愿 under it, as high.
constexpr int kWishesTop = kChoiceTop + kChoiceHeight + 4;
// The summary pane under them, down to the status line.
constexpr int kSummaryTop = kWishesTop + kChoiceHeight + 4;
constexpr int kSummaryHeight = kPageHeight - kStatusHeight - 2 - kSummaryTop;
// The pane of 部首有五行.
constexpr int kRadicalPaneTop = 16;
constexpr int kRadicalPaneHeight = 441;
// 出生地 in the rest of that row.
constexpr int kPlaceLeft = 548;
// The analysis pane, under the sentence and its readings (and the notes of
// the chart, when there are some).
constexpr int kAnalysisPaneTop = 144;
constexpr int kAnalysisPaneHeight = 353;
constexpr int kNoteLineHeight = 15;

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

// The content of a page laid out for the smallest window: as wide as the
// page up to its widest, in the middle of a wider page, as tall as the page.
class CentredArea final : public QWidget {
 public:
  explicit CentredArea(QWidget* page) : QWidget(page) {
    page->installEventFilter(this);
    Place();
  }
  void SetWidest(int widest) {
    widest_ = widest;
    Place();
  }
  std::function<void()> resized;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == parent() && event->type() == QEvent::Resize) Place();
    return false;
  }
  void resizeEvent(QResizeEvent* event) override {
    QWidget::resizeEvent(event);
    if (resized) resized();
  }

 private:
  void Place() {
    const QWidget* page = parentWidget();
    const int width = std::min(page->width(), widest_);
    setGeometry((page->width() - width) / 2, 0, width, page->height());
  }
  int widest_ = MainWindow::kClientWidth;
};

}  // namespace

// The pages' names as the program keeps them (the pages' object names, a
// favourite's origin); the tabs show them through tr(). The run's pages are
// named as the core names them.
const QStringList& MainWindow::PageCaptions() {
  static const QStringList captions = [] {
    QStringList list;
    for (const Origin page : {Origin::kSettings, Origin::kTwoChar, Origin::kThreeChar, Origin::kFiveElement,
                              Origin::kRecommended, Origin::kRecommendedTwo, Origin::kAnalysis}) {
      list << PageCaption(page);
    }
    return list << QT_TR_NOOP("姓名报表") << PageCaption(Origin::kPoetry) << QT_TR_NOOP("精选");
  }();
  return captions;
}

MainWindow::MainWindow(SharedStores stores, std::uint64_t seed, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint),
      inputs_(std::make_unique<Inputs>(*this)),
      pump_(std::make_unique<WindowPump>(*this)),
      messages_(MessageBoxesOver(this)) {
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
  environment.inputs = inputs_.get();
  environment.pump = pump_.get();
  model_ = std::make_unique<NamingModel>(std::move(stores), seed, environment);
  OpenNotes();
  BuildPages();
  BuildKeyboard();
  FollowBabyBirth();
  FollowBirthFields();
  ExplainEmptyPages(false);
  ConnectPages();
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(pages_);

  for (Anchored& a : anchored_) a.place = a.widget->geometry();

  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    move(area.center() - QPoint(kClientWidth / 2, kClientHeight / 2));
  }
}

void MainWindow::FollowBirthFields() {
  // The term-day choice follows the birth fields and the place (the hour
  // the term falls in is the solar one there).
  fieldDate_ = std::make_unique<TTransDate>();
  LoadMainWindowTransDate(*fieldDate_);  // read as the run reads its chart
  for (QComboBox* combo : {birth_.year, birth_.month, birth_.day, birth_.hour})
    connect(combo, &QComboBox::editTextChanged, this, &MainWindow::FollowTermDay);
  connect(placeChoice_, &PlaceChoice::changed, this, [this] {
    FollowTermDay();
    ShowAnalysisBirth();
  });
  connect(termChoice_, &TermChoice::changed, this, &MainWindow::ShowAnalysisBirth);
  FollowTermDay();
}

void MainWindow::ConnectPages() {
  // The count on 查看精选 follows the names as they come in.
  connect(bestPage_, &BestPage::shownCountChanged, this, [this] {
    if (!showBest_->isHidden() && !model_->Running()) ShowWayToBest();
  });
  connect(pages_, &QTabWidget::currentChanged, this, [this](int index) {
    if (index == TabOf(Page::kPoetry)) OpenPoetryDatabase();
    if (index == TabOf(Page::kBest)) bestPage_->Collect();
  });
  pages_->setCurrentIndex(TabOf(Page::kSettings));
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
  // The first seven pages keep the layout of the smallest window, centred.
  const auto page = [&pages](Page p) { return pages[static_cast<std::size_t>(TabOf(p))]; };
  BuildSettingsPage(CentredContent(page(Page::kSettings)));
  AddPane(CentredContent(page(Page::kTwoChar)), Origin::kTwoChar, 433);
  AddPane(CentredContent(page(Page::kThreeChar)), Origin::kThreeChar, 433);
  AddPane(CentredContent(page(Page::kFiveElement)), Origin::kFiveElement, kRadicalPaneHeight);
  AddPane(CentredContent(page(Page::kRecommended)), Origin::kRecommended, 441);
  AddPane(CentredContent(page(Page::kRecommendedTwo)), Origin::kRecommendedTwo, 441);
  BuildAnalysisPage(analysisContent_ = CentredContent(page(Page::kAnalysis)));
  BuildReportPage(page(Page::kReport));
  BuildPoetryPage(page(Page::kPoetry));
  BuildBestPage(page(Page::kBest));
  BuildFavouritesPage();
  // Which reading the names follow: a line under the summary pane, above
  // the status line, and one at the top of 部首有五行, over its pane.
  readingHints_ = std::make_unique<ReadingHints>(
      resultPanes_[0]->parentWidget(), QRect(16, kSummaryTop + kSummaryHeight - ReadingHints::kLineHeight, 865,
                                             ReadingHints::kLineHeight),
      resultPanes_[3]->parentWidget(), QRect(16, 0, 865, ReadingHints::kLineHeight));
  Follows(readingHints_->SettingsLine(), kDown);
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
  bestPage_->SetProposer([this](BestNames& names) {
    if (!model_->Running()) names.AddProposals(model_->Session(), model_->Services());
  });
  (new QVBoxLayout(page))->addWidget(bestPage_);
  page->layout()->setContentsMargins(0, 0, 0, 0);
  connect(bestPage_, &BestPage::analyseRequested, this, &MainWindow::AnalyseFromName);
  bestPage_->SetNotes(notes_.get());
  bestPage_->SetConventionsScorer([this](const Candidate& c) { return model_->ConventionsScore(c); });
  bestPage_->SetFactorsReader([this](const Candidate& c, const std::optional<BestNames::RunBirth>& birth) {
    const int surnameLength = static_cast<int>(c.surnameBytes / 2);  // the surname is hanzi
    if (!birth) return ReadScoreFactors(Stores(), c.fullName, surnameLength, {}, {});
    return ReadScoreFactors(Stores(), c.fullName, surnameLength, birth->year, birth->month, birth->day, birth->hour);
  });
}

MainWindow::~MainWindow() {
  // The views listen to the core's panes; the model goes after them.
  for (Origin page : {Origin::kSettings, Origin::kTwoChar, Origin::kThreeChar, Origin::kFiveElement,
                      Origin::kRecommended, Origin::kRecommendedTwo, Origin::kAnalysis, Origin::kPoetry}) {
    model_->PaneOf(page).SetListener(nullptr);
  }
  model_->Report().SetListener(nullptr);
  model_->Presentation().SetProgressListener(nullptr);
  model_->Presentation().SetButtonsListener(nullptr);
  // The pages go while the model and the inputs they are wired to still
  // exist: no signal raised as they are taken down reaches a destroyed member.
  disconnect(pages_, nullptr, this, nullptr);
  delete pages_;
}

// The group of the four birth combo boxes (year, month, day, hour), with the
// same items, defaults and places on the settings and the analysis page.
MainWindow::BirthCombos MainWindow::AddBirthGroup(QWidget* page, const QString& caption, int x,
                                                  const std::array<const char*, 4>& names) {
  auto* group = new QGroupBox(caption, page);
  group->setGeometry(x, 0, 505, 73);
  const auto number = [](int n) { return QString::number(n); };
  const BirthCombos combos = {
      AddCombo(group, names[0], Numbers(1970, 2030), number(kDefaultBirth.year), 8, tr("年")),
      AddCombo(group, names[1], Numbers(1, 12), number(kDefaultBirth.month), 120, tr("月")),
      AddCombo(group, names[2], Numbers(1, 31), number(kDefaultBirth.day), 240, tr("日")),
      AddCombo(group, names[3], Numbers(0, 23) << UnknownHourCaption(), number(kDefaultBirth.hour), 352, tr("时"))};
  combos.hour->setItemData(combos.hour->count() - 1, true, kUnknownHourRole);
  return combos;
}

void MainWindow::BuildSettingsPage(QWidget* page) {
  BuildBabyFields(page);
  BuildOptionFields(page);
  BuildSettingsButtons(page);
  BuildSummary(page);
}

void MainWindow::BuildBabyFields(QWidget* page) {
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
  count_ = AddEdit(countGroup, "bsSkinEdit1", "500", {24, 32, 57, 18}, true);
  count_->installEventFilter(this);

  auto* surnameGroup = new QGroupBox(tr("宝宝姓氏"), page);
  surnameGroup->setGeometry(256, 0, 121, 73);
  surname_ = AddEdit(surnameGroup, "Edit1", "张", {16, 32, 73, 18}, true);

  birth_ = AddBirthGroup(page, tr("宝宝生日(输入公历自动转农历)"), 376,
                         {"bsSkinComboBox1", "bsSkinComboBox2", "bsSkinComboBox3", "bsSkinComboBox5"});
  // 交节 under the day and the hour, inside the group, while it applies.
  termChoice_ = new TermChoice(birth_.year->parentWidget());
  termChoice_->setGeometry(232, 53, 264, 18);
}

void MainWindow::BuildOptionFields(QWidget* page) {
  fixSecond_ = new QCheckBox(tr("限定第2个字为:"), page);
  fixSecond_->setObjectName("CheckRadioBox3");
  fixSecond_->setGeometry(16, 86, 113, 25);
  fixSecondText_ = AddEdit(page, "bsSkinEdit3", "", {128, 88, 33, 18}, false);
  fixThird_ = new QCheckBox(tr("限定第3个字为:"), page);
  fixThird_->setObjectName("CheckRadioBox4");
  fixThird_->setGeometry(168, 86, 113, 25);
  fixThirdText_ = AddEdit(page, "bsSkinEdit4", "", {280, 88, 33, 18}, false);
  wholeItemSound_ = new QCheckBox(tr("声韵按整项比较"), page);
  wholeItemSound_->setObjectName("wholeItemSound");
  wholeItemSound_->setGeometry(336, 86, 150, 25);
  wholeItemSound_->setToolTip(
      tr("不勾选时,声母、韵母只要在同一组中出现就算相近(如 ang 与 iang),常见姓氏可用的字很少;\n"
         "勾选后只有同组中完全相同的项才算相近,名字更多"));

  // 名字五行 on a row of its own under the options; the rest of the row is
  // left for the birthplace.
  elementChoice_ = new ElementChoice(page);
  elementChoice_->setGeometry(16, kChoiceTop, 520, kChoiceHeight);
  connect(elementChoice_, &ElementChoice::changed, this, &MainWindow::FollowElementChoice);
  // 出生地 beside it; without the place table the row has no birthplace.
  placeChoice_ = new PlaceChoice(page);
  placeChoice_->setGeometry(kPlaceLeft, kChoiceTop, kClientWidth - 16 - kPlaceLeft, kChoiceHeight);
  if (std::optional<places::PlaceTable> table = places::PlaceTable::Read(Stores().dataDir + places::kPlacesFileName);
      table && !table->Empty()) {
    placeChoice_->SetTable(std::move(*table));
  } else {
    placeChoice_->hide();
  }

  wishesRow_ = new WishesRow(ThemeNamesOf(*Stores().advice), page);
  wishesRow_->setGeometry(16, kWishesTop, 865, kChoiceHeight);
  connect(wishesRow_, &WishesRow::changed, this, &MainWindow::FollowWishes);
  // The fixed characters are kept in 精选 as the 辈分字 is.
  for (QCheckBox* box : {fixSecond_, fixThird_}) connect(box, &QCheckBox::toggled, this, &MainWindow::FollowWishes);
  for (QLineEdit* field : {fixSecondText_, fixThirdText_})
    connect(field, &QLineEdit::textChanged, this, &MainWindow::FollowWishes);

  KeepCoreText(count_, inputs_->count);
  KeepCoreText(fixSecondText_, inputs_->fixSecond);
  KeepCoreText(fixThirdText_, inputs_->fixThird);
}

void MainWindow::BuildSettingsButtons(QWidget* page) {
  // 帮助 and 停止 end where the next button starts.
  help_ = AddButton(page, "bsSkinButton5", tr("帮助"), {640, 88, 72, 25});
  stop_ = AddButton(page, "stopButton", tr("停止"), {712, 88, 72, 25});
  generate_ = AddButton(page, "bsSkinButton1", tr("生成"), {784, 88, 75, 25});
  stop_->setEnabled(false);
  connect(help_, &QPushButton::clicked, this, &MainWindow::ShowSettingsHelp);
  connect(stop_, &QPushButton::clicked, this, [this] { model_->StopCommand(); });
  connect(generate_, &QPushButton::clicked, this, &MainWindow::Generate);
  // The way to the best names, shown once a run has made some.
  showBest_ = AddButton(page, "showBest", QString(), {496, 88, 136, 25});
  showBest_->setToolTip(tr("精选把各页的名字合在一起，去掉重复，按推荐度排好"));
  showBest_->hide();
  connect(showBest_, &QPushButton::clicked, this, [this] { pages_->setCurrentIndex(TabOf(Page::kBest)); });
  QWidget::setTabOrder(generate_, showBest_);
  model_->Presentation().SetButtonsListener([this](const ButtonStates& states) {
    generate_->setEnabled(states.generateEnabled);
    stop_->setEnabled(states.stopEnabled);
  });
}

void MainWindow::BuildSummary(QWidget* page) {
  PaneView* summary = AddPane(page, Origin::kSettings, kSummaryHeight);
  summary->move(16, kSummaryTop);
  progress_ = new QLabel(page);
  progress_->setObjectName("bsSkinStdLabel9");
  progress_->setGeometry(16, kPageHeight - kStatusHeight, 300, kStatusHeight);
  drawCapNote_ = new QLabel(page);
  drawCapNote_->setObjectName("drawCapNote");
  // Shown only after a run, when the progress label is empty: it takes the
  // label's place and the whole width below the pane, one line high enough
  // for the CJK font.
  drawCapNote_->setGeometry(16, kPageHeight - kStatusHeight, kClientWidth - 32, kStatusHeight);
  bestHint_ = new QLabel(page);
  bestHint_->setObjectName("bestHint");
  bestHint_->setGeometry(16, kPageHeight - kStatusHeight, 0, kStatusHeight);
  connect(bestHint_, &QLabel::linkActivated, this, [this] { pages_->setCurrentIndex(TabOf(Page::kBest)); });
  Follows(progress_, kDown);
  Follows(drawCapNote_, kDown);
  Follows(bestHint_, kDown);
  // The generators set the counter at every draw; the label shows it at
  // each pump and when the run ends.
  model_->Presentation().SetProgressListener([this](const std::string& text) {
    progressDirty_ = true;
    if (text.empty()) RefreshProgress();
  });
}

PaneView* MainWindow::AddPane(QWidget* page, Origin origin, int height) {
  auto* view = new PaneView(model_->PaneOf(origin), page);
  view->setGeometry(16, 16, 865, height);
  (origin == Origin::kAnalysis ? analysisPane_ : resultPanes_.emplace_back()) = view;
  if (origin != Origin::kPoetry) Follows(view, kTaller);
  // A double-clicked name of a result pane opens in the analysis.
  if (origin != Origin::kAnalysis) connect(view, &PaneView::nameActivated, this, &MainWindow::AnalyseFromName);
  return view;
}

void MainWindow::BuildAnalysisPage(QWidget* page) {
  auto* nameGroup = new QGroupBox(tr("输入姓名"), page);
  nameGroup->setGeometry(0, 0, 121, 73);
  analysedName_ = AddEdit(nameGroup, "bsSkinEdit2", "张", {32, 31, 57, 18}, false);
  analysisBirth_ = AddBirthGroup(page, tr("输入生日(输入公历自动转农历)"), 120,
                                 {"bsSkinComboBox4", "bsSkinComboBox6", "bsSkinComboBox7", "bsSkinComboBox8"});
  analysisBirthNote_ = new QLabel(page);
  analysisBirthNote_->setObjectName("analysisBirthNote");
  analysisBirthNote_->setGeometry(16, 75, 860, 20);
  analysisBirthNote_->setTextFormat(Qt::RichText);
  connect(analysisBirthNote_, &QLabel::linkActivated, this, &MainWindow::CopyBabyBirth);
  BuildAnalysisLines(page);
  analyse_ = AddButton(page, "bsSkinButton2", tr("分 析"), {704, 32, 75, 25});
  connect(analyse_, &QPushButton::clicked, this, &MainWindow::Analyse);
  connect(analysedName_, &QLineEdit::returnPressed, analyse_, &QPushButton::click);
  // The name to analyse starts as the baby's surname, and follows it while
  // nothing else has been typed there.
  analysedSurname_ = surname_->text();
  connect(surname_, &QLineEdit::textChanged, this, [this](const QString& surname) {
    if (analysedName_->text() == analysedSurname_) analysedName_->setText(surname);
    analysedSurname_ = surname;
  });
  exportPdf_ = AddButton(page, "exportPdf", tr("导出PDF…"), {784, 32, 90, 25});
  exportPdf_->setEnabled(false);
  exportPdf_->setToolTip(tr("把上次分析的结果存为一页 A4 的 PDF,便于打印和给家人看"));
  connect(exportPdf_, &QPushButton::clicked, this, [this] { ExportAnalysisPdf(); });
  PaneView* pane = AddPane(page, Origin::kAnalysis, kAnalysisPaneHeight);
  pane->SetCrAsLineBreak(true);
  pane->move(16, kAnalysisPaneTop);
  BuildConventions(page, pane);
}

void MainWindow::BuildAnalysisLines(QWidget* page) {
  // What the baby of the analysis needs, over the pane.
  analysisNeeds_ = new QLabel(page);
  analysisNeeds_->setObjectName("analysisNeeds");
  analysisNeeds_->setGeometry(16, 95, 860, 17);
  QFont large = analysisNeeds_->font();
  large.setPixelSize(13);
  large.setBold(true);
  analysisNeeds_->setFont(large);
  analysisNeeds_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  analysisReadings_ = new QLabel(page);
  analysisReadings_->setObjectName("analysisReadings");
  analysisReadings_->setGeometry(16, 112, 860, 31);
  analysisReadings_->setWordWrap(true);
  analysisReadings_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  analysisReadings_->setStyleSheet("QLabel { color: #555555; font-size: 11px; }");
  analysisReadings_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  // How the chart was read, a line each, between the readings and the pane.
  analysisNotes_ = new QLabel(page);
  analysisNotes_->setObjectName("analysisChartNotes");
  analysisNotes_->setGeometry(16, kAnalysisPaneTop - 1, 860, 0);
  analysisNotes_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  analysisNotes_->setStyleSheet("QLabel { color: #7a4f00; font-size: 11px; }");
  analysisNotes_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  analysisNotes_->hide();
}

void MainWindow::BuildConventions(QWidget* page, PaneView* pane) {
  conventions_ = new ConventionsPanel(model_->Stores(), page);
  conventions_->choiceChanged = [this](ElementWish wish, const std::vector<Element>& chosen) {
    elementChoice_->Set(wish, chosen);
    FollowElementChoice();
  };
  conventions_->setGeometry(pane->geometry());
  conventions_->hide();
  showConventions_ = AddButton(page, "showConventions", tr("通行算法"), {628, 32, 72, 25});
  showConventions_->setCheckable(true);
  showConventions_->setToolTip(tr("按起名书和网站通行的算法再读一遍:康熙笔画、五格、三才、喜用神、通行评分"));
  connect(showConventions_, &QPushButton::toggled, this, &MainWindow::PlaceConventions);
  static_cast<CentredArea*>(page)->resized = [this] { PlaceConventions(); };
}

void MainWindow::Analyse() {
  AnalysisRequest request;
  request.name = CoreTextOf(analysedName_);
  request.year = CoreTextOf(analysisBirth_.year);
  request.month = CoreTextOf(analysisBirth_.month);
  request.day = CoreTextOf(analysisBirth_.day);
  request.hour = HourFieldOf(analysisBirth_.hour);
  // The baby's birth is read at the baby's place and term side, as the run
  // reads it; a birth typed on this page is read at Beijing time.
  if (analysisFollowsBaby_) request.time = BabyBirthTime();
  NameReport report;
  const CommandResult<AnalysisOutcome> result = AnalyseName(*model_, request, &report);
  if (result.message) messages_->Show(result.message->text);
  analysisPlace_ = analysisFollowsBaby_ ? BabyCity() : QString();
  if (result.outcome == AnalysisOutcome::kCompleted) {
    lastReport_ = std::move(report);
  } else {
    lastReport_.reset();
  }
  if (lastReport_) lastReport_->factors = ReadScoreFactors(Stores(), *lastReport_);
  exportPdf_->setEnabled(lastReport_.has_value());
  conventions_->ShowFor(lastReport_ ? &*lastReport_ : nullptr);
  ShowAnalysisNeeds();
}

std::optional<ChildNeeds> MainWindow::AnalysisNeeds() const {
  if (!lastReport_) return std::nullopt;
  const NameReport& r = *lastReport_;
  ChildNeeds needs = ReadNeeds(BirthPillars{r.pillars[0], r.pillars[1], r.pillars[2], r.pillars[3]},
                               elementChoice_->Wish(), elementChoice_->Chosen());
  if (!needs.HasChart()) return std::nullopt;
  return needs;
}

void MainWindow::TakeBabyChart() {
  BirthDate date;
  BirthHour hour;
  if (CheckBirthDate(CoreTextOf(birth_.year), CoreTextOf(birth_.month), CoreTextOf(birth_.day), date) ||
      CheckBirthHour(HourFieldOf(birth_.hour), hour)) {
    return;
  }
  try {
    const BirthAnalysisResult chart = BirthAnalysis(BirthAnalysisVariant::kGenerate, model_->TransDate(), date.year,
                                                    date.month, date.day, hour, {}, {}, BabyBirthTime());
    model_->SetChart(chart);
    model_->SetChartNotes(chart.notes);
  } catch (const BirthAnalysisError&) {
    // No chart of that birth: names are scored without one, as before a run.
  }
}

std::optional<ChildNeeds> MainWindow::BabyNeeds() const {
  const auto number = [](const QComboBox* combo) { return combo->currentText().trimmed().toInt(); };
  const std::optional<BirthHour> hour = ReadBirthHour(HourFieldOf(birth_.hour));
  if (!hour) return std::nullopt;
  try {
    const BirthAnalysisResult chart =
        BirthAnalysis(BirthAnalysisVariant::kGenerate, model_->TransDate(), number(birth_.year), number(birth_.month),
                      number(birth_.day), *hour, {}, {}, BabyBirthTime());
    ChildNeeds needs = ReadNeeds(chart.pillars, elementChoice_->Wish(), elementChoice_->Chosen());
    if (!needs.HasChart()) return std::nullopt;
    return needs;
  } catch (const BirthAnalysisError&) {
    return std::nullopt;
  }
}

void MainWindow::ShowAnalysisNeeds() {
  const std::optional<ChildNeeds> needs = AnalysisNeeds();
  const NeedsView view = needs ? NeedsViewOf(*needs) : NeedsView();
  analysisNeeds_->setText(view.IsEmpty() ? QString() : view.sentence);
  analysisReadings_->setText(view.readings);
  analysisReadings_->setToolTip(view.readings);
  const QStringList notes =
      lastReport_ ? ChartNotesOf(lastReport_->chartNotes, analysisPlace_, needs ? &*needs : nullptr) : QStringList();
  analysisNotes_->setText(notes.join('\n'));
  analysisNotes_->setToolTip(analysisNotes_->text());
  PlaceAnalysisPane();
}

void MainWindow::PlaceAnalysisPane() {
  const int lines = analysisNotes_->text().isEmpty() ? 0 : static_cast<int>(analysisNotes_->text().count('\n')) + 1;
  const int notesHeight = lines * kNoteLineHeight;
  analysisNotes_->resize(analysisNotes_->width(), notesHeight);
  analysisNotes_->setVisible(lines > 0);
  // The pane keeps its foot and starts under the notes.
  Reanchor(analysisPane_, QRect(16, kAnalysisPaneTop + notesHeight, 865, kAnalysisPaneHeight - notesHeight));
  PlaceConventions();
}

void MainWindow::Reanchor(QWidget* widget, QRect place) {
  for (Anchored& a : anchored_) {
    if (a.widget != widget) continue;
    a.place = place;
    widget->setGeometry(
        AnchoredPlace(place, a.how, std::max(0, width() - kClientWidth), std::max(0, height() - kClientHeight)));
  }
}

void MainWindow::ShowRunReadings() {
  if (!readingHints_) return;  // the window is still being built
  const BirthChart& chart = model_->Session().chart;
  readingHints_->Show(chart.pillars.day.empty()
                          ? ChildNeeds()
                          : ReadNeeds(chart.pillars, elementChoice_->Wish(), elementChoice_->Chosen()));
  // The panes make room for the lines: the summary pane ends over its line,
  // the pane of 部首有五行 keeps its foot and starts under its own.
  const int room = readingHints_->Shown() ? ReadingHints::kLineHeight + 2 : 0;
  Reanchor(resultPanes_[0], QRect(16, kSummaryTop, 865, kSummaryHeight - room));
  const int top = readingHints_->Shown() ? ReadingHints::kLineHeight + 2 : kRadicalPaneTop;
  Reanchor(resultPanes_[3], QRect(16, top, 865, kRadicalPaneTop + kRadicalPaneHeight - top));
}

BirthTimeOptions MainWindow::BabyBirthTime() const {
  BirthTimeOptions options;
  options.longitude = placeChoice_->Longitude();
  options.termSide = termChoice_->Side();
  return options;
}

QString MainWindow::BabyCity() const { return placeChoice_->City(); }

void MainWindow::FollowTermDay() {
  const auto number = [](const QComboBox* combo) { return combo->currentText().trimmed().toInt(); };
  const QString day =
      QString("%1-%2-%3").arg(number(birth_.year)).arg(number(birth_.month)).arg(number(birth_.day));
  std::optional<TermDayNote> term;
  if (const std::optional<BirthHour> hour = ReadBirthHour(HourFieldOf(birth_.hour))) {
    BirthTimeOptions options;
    options.longitude = placeChoice_->Longitude();
    try {
      term = BirthAnalysis(BirthAnalysisVariant::kGenerate, *fieldDate_, number(birth_.year), number(birth_.month),
                           number(birth_.day), *hour, {}, {}, options)
                 .notes.termDay;
    } catch (const BirthAnalysisError&) {
      // No such day: no choice.
    }
  }
  termChoice_->Follow(term, day);
}

void MainWindow::FollowWishes() {
  if (bestPage_) bestPage_->SetFamilyWishes(RunWishes(*inputs_));
}

void MainWindow::FollowElementChoice() {
  const ElementWish wish = elementChoice_->Wish();
  const std::vector<Element> chosen = elementChoice_->Chosen();
  conventions_->SetChoice(wish, chosen);
  bestPage_->SetWish(wish, chosen);
  ShowAnalysisNeeds();
  ShowRunReadings();
}

bool MainWindow::ExportAnalysisPdf(QString path) {
  if (!lastReport_) return false;
  if (path.isEmpty()) {
    path =
        AskSaveFileName(this, tr("导出PDF"), NameOf(*lastReport_) + tr(" 姓名分析.pdf"), tr("PDF 文件 (*.pdf)"), "pdf");
  }
  if (path.isEmpty()) return false;
  lastReport_->conventions = conventions_->Section();
  lastReport_->recommend = AnalysedRecommend();
  QString error;
  const report::NameMeaning meaning = report::MeaningOf(*notes_, lastReport_->name);
  const std::optional<ChildNeeds> needs = AnalysisNeeds();
  if (!report::WriteNameReportPdf(*lastReport_, QFile::encodeName(path).toStdString(), error, &meaning,
                                  needs ? &*needs : nullptr, ToGbk(analysisPlace_))) {
    ShowMessage(this, tr("无法写入文件 %1:%2").arg(path, error));
    return false;
  }
  ShowSaved(this, path);
  return true;
}

std::optional<int> MainWindow::AnalysedRecommend() const {
  const advice::AdviceTables* tables = Stores().advice.get();
  if (!lastReport_ || !tables) return std::nullopt;
  const std::string& name = lastReport_->name;
  return AdviseWithSource(*tables, name, tables->SurnameLength(name), SexOf(female_->isChecked()),
                          sources::SourceFinderOf(*notes_))
      .recommend;
}

void MainWindow::AnalyseFromName(const QString& name) {
  analysedName_->setText(name);
  CopyBabyBirth();
  pages_->setCurrentIndex(TabOf(Page::kAnalysis));
  Analyse();
}

void MainWindow::BuildPoetryPage(QWidget* page) {
  PaneView* pane = AddPane(page, Origin::kPoetry, 337);
  poetryPage_ = new PoetryPage(page, kPageHeight, pane, *notes_, this);
  connect(poetryPage_, &PoetryPage::said, this, &MainWindow::ShowStatus);
  connect(poetryPage_, &PoetryPage::startRequested, this, &MainWindow::StartPoetry);
  connect(poetryPage_, &PoetryPage::helpRequested, this, &MainWindow::ShowPoetryHelp);
  connect(poetryPage_, &PoetryPage::analyseRequested, this, &MainWindow::AnalyseFromName);
  for (const auto& [widget, how] : poetryPage_->Followers()) Follows(widget, how);
}

void MainWindow::OpenPoetryDatabase() {
  poetryPage_->Open(model_->Stores().dataDir + kPoetryFile, this);
  poetryPage_->FitTitles(width() - kClientWidth);
}

void MainWindow::StartPoetry() {
  if (!model_->Running()) {
    drawCapNote_->clear();
    bestHint_->clear();
  }
  bestPage_->StartPoetryRun(SexOf(female_->isChecked()));
  const CommandResult<PoetryOutcome> result =
      StartPoetryNaming(*model_, poetryPage_->PoemText(), model_->Session().chart.birthElements);
  bestPage_->Collect();
  if (result.outcome != PoetryOutcome::kRefused) ShowPoemPhrases();
  if (result.message) messages_->Show(result.message->text);
  RefreshProgress();
  if (!model_->Running()) {
    ShowDrawCapNote();
    ShowWayToBest();
  }
}

void MainWindow::ShowPoemPhrases() {
  const Sex sex = SexOf(female_->isChecked());
  const std::string surname = model_->Inputs().Surname();
  const std::vector<PoemPhrase> phrases = PoemPhrases(*Stores().advice, model_->Services(),
                                                      bestPage_->Model().Names().Judge(), surname, sex,
                                                      poetryPage_->CurrentPoem());
  poetryPage_->ShowPhrases(ViewsOf(phrases));
  bestPage_->AddPoemPhrases(phrases, surname, model_->Session().chart.birthElements);
}

void MainWindow::ShowDrawCapNote() {
  // A note longer than the line ends in "…"; the tooltip holds it whole.
  const QString note = DrawCapNoteOf(model_->Session());
  drawCapNote_->setText(note);
  drawCapNote_->setToolTip(note);
  PlaceStatusLine();
}

void MainWindow::PlaceStatusLine() {
  if (!bestHint_) return;  // the window is still being built
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

void MainWindow::ShowWayToBest() {
  const int shown = bestPage_->ShownCount();
  showBest_->setText(tr("查看精选 (%1)").arg(shown));
  showBest_->show();
  bestHint_->setText(tr("<a href=\"best\">精选页有 %1 个名字，按推荐度排好</a>").arg(shown));
  PlaceStatusLine();
}

void MainWindow::ExplainEmptyPages(bool afterRun) {
  // resultPanes_: 姓名设置, 二字名, 三字名, 部首有五行, 系统推荐名, 系统推荐名二, 诗歌取名.
  static const char* const kWhatPageHolds[] = {QT_TR_NOOP("姓加一个字的名字和它们的分数"),
                                               QT_TR_NOOP("姓加两个字的名字和它们的分数"),
                                               QT_TR_NOOP("用带五行偏旁的字补足八字所缺五行的名字"),
                                               QT_TR_NOOP("推荐名单里的名字"), QT_TR_NOOP("常用名字表里的名字")};
  const QString toBest = tr("各页的名字都汇集在“精选”，按推荐度排好。");
  resultPanes_.front()->setPlaceholderText(
      tr("填好上面宝宝的性别、姓氏和生日，点“生成”。分数高于 70 的名字会记在这里；") + toBest);
  resultPanes_.back()->setPlaceholderText(
      tr("在左边选一首诗，或在中间贴上诗句，点“开 始”，从诗里取的名字会列在这里。"));
  const NamingSession& session = model_->Session();
  const QString surname = SurnameOf(session);
  for (int page = 1; page <= 5; ++page) {
    QString hint;
    if (!afterRun) {
      hint = tr("还没有名字。在“姓名设置”填好宝宝的信息，点“生成”，这里会列出%1。").arg(tr(kWhatPageHolds[page - 1]));
    } else if (session.stopRequested) {
      hint = tr("生成中途停止了，这一页还没来得及列出名字。再点“生成”就从头开始。");
    } else if (page == 4 && !session.female && CharCount(session.surname) > 1 &&
               model_->GirlCharTest(session.surname)) {
      // A boy's name with a girl's character is left out of this page, and
      // the characters of a compound surname after the first count as given.
      hint = tr("男孩的名字里有常见的女孩用字时，这一页不列出它。复姓“%1”的第二个字在这里算作名字的字，"
                "又是女孩常用字，所以这次一个也没有列出。请看“系统推荐名二”和“精选”。")
                 .arg(surname);
    } else {
      hint = tr("这一页这次没有名字：和姓“%1”读音相近的字都避开了，试到上限也没找到。").arg(surname);
      if (session.soundRule == SoundRule::kSubstring) hint += tr("勾选“声韵按整项比较”再生成会多一些；");
      hint += toBest;
    }
    resultPanes_[static_cast<std::size_t>(page)]->setPlaceholderText(hint);
  }
  if (!afterRun) return reportPage_->SetEmptyReason({});
  QString reason = tr("这次没有得分高于 70 的名字，而报表只收高于 70 分的名字。");
  const bool hourKnown = CharCount(session.chart.birthElements) == 8;
  if (!hourKnown) {
    reason += "<br>" + tr("时辰不详时八字只有六个字，加上名字也难凑齐五行各两个，五行一项几乎总要扣 10 分。");
  }
  if (CharCount(session.surname) > 1) {
    reason += "<br>" + tr("复姓在五格里只按第一个字算，四个字的名字只得天格和人格两格，分数偏低。");
  }
  reason += "<br>";
  reason += hourKnown ? tr("请到“精选”按推荐度看名字。") : tr("填上出生时辰再生成，或到“精选”按推荐度看名字。");
  reportPage_->SetEmptyReason(reason);
}

QWidget* MainWindow::CentredContent(QWidget* page) { return new CentredArea(page); }

void MainWindow::PlaceConventions() {
  // Room for the panel beside the 105 columns of the pane: the page holds
  // both side by side; else the panel takes the pane's place.
  if (!showConventions_) return;  // the window is still being built
  constexpr int kPanelWidest = 360, kGap = 12;
  const bool shown = showConventions_->isChecked();
  const int pageWidth = analysisContent_->parentWidget()->width();
  const QRect pane = analysisPane_->geometry();
  const bool beside = shown && pageWidth >= pane.right() + 1 + kGap + kPanelWidest + 16;
  static_cast<CentredArea*>(analysisContent_)->SetWidest(beside ? QWIDGETSIZE_MAX : kClientWidth);
  if (beside) {
    const int left = pane.right() + 1 + kGap;
    conventions_->setGeometry(left, pane.y(), analysisContent_->width() - left - 16, pane.height());
  } else {
    conventions_->setGeometry(pane);
  }
  conventions_->setVisible(shown);
  analysisPane_->setVisible(!shown || beside);
}

void MainWindow::ShowPoetryHelp() {
  ShowMessage(this, tr("在姓名设置中输入出生日期和姓氏\r在左侧选择诗歌题目\r也可以直接在中间输入诗歌内容\r"
                       "点开始后可以在右边取得姓名列表"));
}

void MainWindow::RefreshProgress() {
  if (!progressDirty_) return;
  progressDirty_ = false;
  progress_->setText(ProgressOf(model_->Presentation()));
  PlaceStatusLine();
}

void MainWindow::Generate() {
  const bool starts = !model_->Running();
  if (starts) {
    drawCapNote_->clear();
    bestHint_->clear();
  }
  if (starts) bestPage_->ShowSex(SexOf(female_->isChecked()));
  bestPage_->Collect();  // before the run clears the panes
  // The city the run's chart is read at, for 精选's notes; a refused run
  // leaves the last run's.
  const QString lastPlace = bestPage_->RunPlace();
  if (starts) bestPage_->SetRunPlace(BabyCity());
  const CommandResult<GenerateOutcome> result = GenerateCommand(*model_);
  if (result.outcome == GenerateOutcome::kRefused || result.outcome == GenerateOutcome::kIgnored)
    bestPage_->SetRunPlace(lastPlace);
  bestPage_->Collect();
  if (result.message) messages_->Show(result.message->text);
  RefreshProgress();
  if (starts) {
    ShowDrawCapNote();
    ShowWayToBest();
    ShowRunReadings();
    ExplainEmptyPages(true);
  }
  if (closeWhenIdle_ && !model_->Running()) close();
}

void MainWindow::BuildKeyboard() {
  // Enter in a field of the settings page runs 生成, Esc anywhere runs 停止,
  // each only while its button is enabled.
  const auto generateIfEnabled = [this] {
    if (generate_->isEnabled()) generate_->click();
  };
  for (QLineEdit* edit : {count_, surname_, fixSecondText_, fixThirdText_}) {
    connect(edit, &QLineEdit::returnPressed, this, generateIfEnabled);
  }
  for (QComboBox* combo : {birth_.year, birth_.month, birth_.day, birth_.hour}) {
    connect(combo->lineEdit(), &QLineEdit::returnPressed, this, generateIfEnabled);
  }
  for (QComboBox* combo : {analysisBirth_.year, analysisBirth_.month, analysisBirth_.day, analysisBirth_.hour}) {
    connect(combo->lineEdit(), &QLineEdit::returnPressed, analyse_, &QPushButton::click);
  }
  auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  escape->setContext(Qt::WindowShortcut);
  connect(escape, &QShortcut::activated, this, [this] {
    if (stop_->isEnabled()) stop_->click();
  });
  // Ctrl+Q closes the window, as in other desktop programs (a run under way
  // is stopped first).
  auto* quit = new QShortcut(QKeySequence::Quit, this);
  quit->setContext(Qt::WindowShortcut);
  connect(quit, &QShortcut::activated, this, &QWidget::close);
  // Tab walks each page from its inputs to its buttons, then its pane.
  SetTabChain({female_, male_, count_, surname_, birth_.year, birth_.month, birth_.day, birth_.hour, fixSecond_,
               fixSecondText_, fixThird_, fixThirdText_, wholeItemSound_, help_, stop_, generate_});
  SetTabChain({analysedName_, analysisBirth_.year, analysisBirth_.month, analysisBirth_.day, analysisBirth_.hour,
               analyse_, exportPdf_});
}

Favourite MainWindow::BirthOnShow() const {
  // The birth the names on show were scored for: the last Generate run's,
  // else the settings page's.
  Favourite favourite;
  const NamingSession& session = model_->Session();
  if (session.birthYear != 0) {
    favourite.sex = SexOf(session.female);
    favourite.year = session.birthYear;
    favourite.month = session.birthMonth;
    favourite.day = session.birthDay;
    favourite.hour = FavouriteHour(session.birthHour);
  } else {
    favourite.sex = SexOf(female_->isChecked());
    // A field that is no number gives 0, which the favourite's checks refuse.
    favourite.year = birth_.year->currentText().trimmed().toInt();
    favourite.month = birth_.month->currentText().trimmed().toInt();
    favourite.day = birth_.day->currentText().trimmed().toInt();
    favourite.hour = FavouriteHour(ReadBirthHour(HourFieldOf(birth_.hour)));
  }
  return favourite;
}

std::optional<Keepable> MainWindow::ReportKeepable(int row) const {
  if (row < 0 || static_cast<std::size_t>(row) >= model_->Report().Rows().size()) return std::nullopt;
  const Candidate& candidate = model_->Report().Rows()[static_cast<std::size_t>(row)].candidate;
  Keepable keepable{candidate.fullName, candidate.score, std::string(OriginCaption(candidate.origin)), {}, {}};
  keepable.surnameLength = static_cast<int>(candidate.surnameBytes / 2);
  return keepable;
}

std::optional<Keepable> MainWindow::BestKeepable(int row) const {
  // The row's name for the sex of its run, with the advice the page shows.
  const BestNames& names = bestPage_->Model().Names();
  if (row < 0 || static_cast<std::size_t>(row) >= names.Size()) return std::nullopt;
  const auto i = static_cast<std::size_t>(row);
  const Candidate& candidate = names.CandidateAt(i);
  const advice::Advice& a = names.AdviceAt(i);
  // A name still waiting for its source is advised when it is kept.
  Keepable keepable{candidate.fullName,
                    candidate.scored ? std::optional(candidate.score) : std::nullopt,
                    std::string(OriginCaption(candidate.origin)),
                    {},
                    a.sex,
                    i < names.SourcesDone() ? std::optional(a) : std::nullopt};
  keepable.surnameLength = static_cast<int>(candidate.surnameBytes / 2);
  // The birth of the run that made it, which an earlier run's may not be.
  if (const auto& birth = names.BirthAt(i)) {
    keepable.birth = {birth->year, birth->month, birth->day, FavouriteHour(birth->hour)};
  }
  return keepable;
}

std::optional<Keepable> MainWindow::AnalysedKeepable() const {
  if (!lastReport_) return std::nullopt;
  Keepable keepable{lastReport_->name, lastReport_->score, std::string(OriginCaption(Origin::kAnalysis)), {}, {}};
  // Scored for the analysis page's own birth fields.
  keepable.birth = {lastReport_->year, lastReport_->month, lastReport_->day,
                    FavouriteHour(ReadBirthHour(lastReport_->hour))};
  return keepable;
}

void MainWindow::BuildFavouritesPage() {
  favouritesPage_ = new FavouritesPage(
      model_->Stores(), model_->TransDate(), [this] { return BirthOnShow(); }, pages_);
  favouritesPage_->setObjectName("收藏");
  pages_->addTab(favouritesPage_, tr("收藏"));
  // A name kept or dropped says so at once: a note at the bottom of the
  // window, and the star before it on 精选.
  bestPage_->SetKeptTest([this](const std::string& name, Sex sex) { return favouritesPage_->IsKept(name, sex); });
  connect(favouritesPage_, &FavouritesPage::keptChanged, this, [this](const QString& name, bool kept) {
    bestPage_->RefreshKept();
    ShowStatus(kept ? tr("★ 已收藏“%1”,收藏的名字都在“收藏”页").arg(name) : tr("☆ 已取消收藏“%1”").arg(name));
  });
  const std::function<std::string()> poem = [this] { return poetryPage_->SelectedPoem(); };
  for (PaneView* pane : resultPanes_)
    favouritesPage_->AttachPane(pane, pane == resultPanes_.back() ? poem : std::function<std::string()>());
  favouritesPage_->SetNotes(notes_.get());
  // A kept name carries the advice 精选 gives it.
  favouritesPage_->SetAdviser(
      [this](const std::string& name, Sex sex, int surnameLength) -> std::optional<advice::Advice> {
        const advice::AdviceTables* tables = Stores().advice.get();
        if (!tables) return std::nullopt;
        // Judged for the baby of 精选 as its rows are.
        return bestPage_->Model().Names().Judge().Judge(
            AdviseWithSource(*tables, name, surnameLength, sex, sources::SourceFinderOf(*notes_)));
      });
  // 比较 says what the baby of 姓名设置 needs: the names may be for other babies.
  favouritesPage_->SetBabyNeeds([this]() -> QStringList {
    const std::optional<ChildNeeds> needs = BabyNeeds();
    if (!needs) return {tr("先在姓名设置中填写宝宝的生日")};
    const NeedsView view = NeedsViewOf(*needs);
    return {tr("按姓名设置中的宝宝：") + view.sentence, view.readings};
  });
  AddKeepCommands();
}

void MainWindow::AddKeepCommands() {
  // The report and 精选: the row under the pointer, or the current row.
  reportPage_->extendMenu = [this](QMenu& menu, int row) {
    menu.addSeparator();
    favouritesPage_->AddMenuEntry(menu, ReportKeepable(row));
  };
  favouritesPage_->AddShortcut(reportPage_->Table(), [this] { return ReportKeepable(reportPage_->CurrentRow()); });
  bestPage_->extendMenu = [this](QMenu& menu, int row) {
    menu.addSeparator();
    favouritesPage_->AddMenuEntry(menu, BestKeepable(row));
  };
  favouritesPage_->AddShortcut(bestPage_->Table(), [this] { return BestKeepable(bestPage_->CurrentRow()); });
  // The analysis page: the name of the last completed analysis.
  favouritesPage_->AddShortcut(pages_->widget(TabOf(Page::kAnalysis)), [this] { return AnalysedKeepable(); });
  analysisPane_->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(analysisPane_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    std::unique_ptr<QMenu> menu(analysisPane_->createStandardContextMenu(at));
    menu->addSeparator();
    favouritesPage_->AddMenuEntry(*menu, AnalysedKeepable());
    menu->exec(analysisPane_->viewport()->mapToGlobal(at));
  });
}

void MainWindow::OpenFavourites() {
  QString message;
  favouritesPage_->SetStore(FavouritesPage::OpenDefaultStore(message));
  if (!message.isEmpty()) ShowMessage(this, message);
}

void MainWindow::CopyBabyBirth() {
  const std::array<std::pair<QComboBox*, QComboBox*>, 4> combos = {{{birth_.year, analysisBirth_.year},
                                                                    {birth_.month, analysisBirth_.month},
                                                                    {birth_.day, analysisBirth_.day},
                                                                    {birth_.hour, analysisBirth_.hour}}};
  copyingBirth_ = true;
  for (const auto& [from, to] : combos) to->setEditText(from->currentText());
  copyingBirth_ = false;
  analysisFollowsBaby_ = true;
  ShowAnalysisBirth();
}

void MainWindow::FollowBabyBirth() {
  for (QComboBox* combo : {birth_.year, birth_.month, birth_.day, birth_.hour}) {
    connect(combo, &QComboBox::editTextChanged, this, [this] {
      if (analysisFollowsBaby_) CopyBabyBirth();
    });
  }
  // A field changed on 姓名分析 itself: the page keeps its own birth while it
  // differs from the baby's.
  for (QComboBox* combo : {analysisBirth_.year, analysisBirth_.month, analysisBirth_.day, analysisBirth_.hour}) {
    connect(combo, &QComboBox::editTextChanged, this, [this] {
      if (copyingBirth_) return;
      analysisFollowsBaby_ = analysisBirth_.year->currentText() == birth_.year->currentText() &&
                             analysisBirth_.month->currentText() == birth_.month->currentText() &&
                             analysisBirth_.day->currentText() == birth_.day->currentText() &&
                             analysisBirth_.hour->currentText() == birth_.hour->currentText();
      ShowAnalysisBirth();
    });
  }
  CopyBabyBirth();
}

void MainWindow::ShowAnalysisBirth() {
  const auto birth = [](const BirthCombos& combos) {
    const QString hour = combos.hour->currentText();
    const QString hourText = HourFieldOf(combos.hour).unknown ? hour : tr("%1时").arg(hour);
    return tr("%1年%2月%3日 %4")
        .arg(combos.year->currentText(), combos.month->currentText(), combos.day->currentText(), hourText)
        .toHtmlEscaped();
  };
  if (analysisFollowsBaby_) {
    QString baby = birth(birth_);
    if (const QString city = BabyCity(); !city.isEmpty()) baby += tr(",出生地%1").arg(city.toHtmlEscaped());
    if (termChoice_->Side() == TermSide::kBefore) baby += tr(",交节按节前");
    analysisBirthNote_->setText(tr("用宝宝的生日(姓名设置中的):%1").arg(baby));
  } else {
    analysisBirthNote_->setText(
        tr("用本页输入的生日 %1,不是宝宝的 %2(姓名设置中的)。<a href=\"baby\">改用宝宝的生日</a>")
            .arg(birth(analysisBirth_), birth(birth_)));
  }
}

void MainWindow::ShowStatus(const QString& text) {
  if (!statusNote_) {
    statusNote_ = new QLabel(this);
    statusNote_->setObjectName("statusNote");
    statusNote_->setStyleSheet("QLabel { background: #fff8d8; border: 1px solid #d8b840; padding: 2px 10px; }");
    statusTimer_ = new QTimer(this);
    statusTimer_->setSingleShot(true);
    connect(statusTimer_, &QTimer::timeout, statusNote_, &QWidget::hide);
  }
  statusNote_->setText(text);
  statusNote_->adjustSize();
  statusNote_->move((width() - statusNote_->width()) / 2, height() - statusNote_->height() - 6);
  statusNote_->raise();
  statusNote_->show();
  statusTimer_->start(5000);
}

void MainWindow::ShowSettingsHelp() { ShowHelp(); }

void MainWindow::ShowHelp() {
  // One help page at a time; 入门指引 on it opens the guide.
  if (auto* open = findChild<HelpDialog*>()) {
    open->raise();
    open->activateWindow();
    return;
  }
  const QString path =
      QString::fromStdString(DefaultFavouritesPath([](const char* name) { return std::getenv(name); }));
  auto* help = new HelpDialog(path, this);
  help->setAttribute(Qt::WA_DeleteOnClose);
  connect(help, &HelpDialog::guideRequested, this, &MainWindow::ShowGuide);
  help->show();
}

void MainWindow::ShowGuide() {
  auto* guide = new FirstRunGuide(this);
  guide->setAttribute(Qt::WA_DeleteOnClose);
  guide->show();
}

bool MainWindow::ShowGuideOnce() {
  QSettings settings;
  if (settings.value("guide/shown", false).toBool()) return false;
  settings.setValue("guide/shown", true);
  ShowGuide();
  return true;
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  // Only digits, blank, "." and Backspace may be typed into the count field.
  if (watched == count_ && event->type() == QEvent::KeyPress) {
    const QString text = static_cast<QKeyEvent*>(event)->text();
    if (text.size() == 1 && text[0].unicode() >= 0x20 && text[0].unicode() != 0x7F) {
      const QChar c = text[0];
      if (!(c.isDigit() && c.unicode() < 0x80) && c != ' ' && c != '.') {
        count_->setText("500");
        ShowMessage(this, tr("只能输入数字"));
        return true;
      }
    } else if (text.size() > 1) {
      // Several characters at once (an input method's commit): none is a key
      // the field takes.
      count_->setText("500");
      ShowMessage(this, tr("只能输入数字"));
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

QRect MainWindow::AnchoredPlace(QRect place, int how, int wider, int taller) {
  if (how & kTaller) place.setHeight(place.height() + taller);
  if (how & kWider) place.setWidth(place.width() + wider);
  if (how & kDown) place.translate(0, taller);
  if (how & kRight) place.translate(wider, 0);
  return place;
}

// The places at the smallest size are taken once the pages are built.
void MainWindow::Follows(QWidget* widget, int how) { anchored_.push_back({widget, {}, how}); }

void MainWindow::resizeEvent(QResizeEvent* event) {
  const int wider = std::max(0, width() - kClientWidth);
  const int taller = std::max(0, height() - kClientHeight);
  for (const Anchored& a : anchored_) a.widget->setGeometry(AnchoredPlace(a.place, a.how, wider, taller));
  // The poem titles take what the grid gains.
  poetryPage_->FitTitles(wider);
  PlaceStatusLine();
  PlaceConventions();
  QWidget::resizeEvent(event);
}

void MainWindow::FitToScreen() {
  // The screen the window stands on, or the primary one for a window kept
  // off every screen.
  QScreen* screen = QGuiApplication::screenAt(geometry().center());
  if (!screen) screen = QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect available = screen->availableGeometry();
  // The frame is known once the window is shown; until then it is taken as
  // the system's usual border.
  const QMargins frame =
      isVisible()
          ? QMargins(geometry().left() - frameGeometry().left(), geometry().top() - frameGeometry().top(),
                     frameGeometry().right() - geometry().right(), frameGeometry().bottom() - geometry().bottom())
          : QMargins();
  const QRect room = available.marginsRemoved(frame);
  const QSize size = this->size().boundedTo(room.size()).expandedTo(minimumSize());
  if (size != this->size()) resize(size);
  const int x = std::clamp(geometry().left(), room.left(), std::max(room.left(), room.right() - size.width() + 1));
  const int y = std::clamp(geometry().top(), room.top(), std::max(room.top(), room.bottom() - size.height() + 1));
  if (QPoint(x, y) != geometry().topLeft()) move(x - frame.left(), y - frame.top());
}

void MainWindow::RememberGeometry() {
  remembers_ = true;
  const QSettings settings;
  if (const QByteArray geometry = settings.value("window/geometry").toByteArray(); !geometry.isEmpty())
    restoreGeometry(geometry);
  FitToScreen();
  const int page = settings.value("window/page", 0).toInt();
  if (page >= 0 && page < pages_->count()) pages_->setCurrentIndex(page);
}

namespace {

// The inputs of 姓名设置 as they are kept between starts: the line edits and
// the combo boxes by their text, the check boxes and 女 by their state.
constexpr const char* kInputsGroup = "inputs";

void SetComboText(QComboBox* combo, const QString& text) {
  const int item = combo->findText(text);
  if (item >= 0) {
    combo->setCurrentIndex(item);
  } else {
    combo->setEditText(text);
  }
}

}  // namespace

void MainWindow::RememberInputs() {
  remembersInputs_ = true;
  QSettings settings;
  settings.beginGroup(kInputsGroup);
  // A kept text longer than any field takes is no input of ours.
  const auto text = [&settings](const char* key, QLineEdit* edit) {
    if (const QVariant value = settings.value(key); value.isValid() && value.toString().size() <= 32)
      edit->setText(value.toString());
  };
  const auto combo = [&settings](const char* key, QComboBox* box) {
    if (const QVariant value = settings.value(key); value.isValid() && value.toString().size() <= 32)
      SetComboText(box, value.toString());
  };
  const auto check = [&settings](const char* key, QAbstractButton* button) {
    if (const QVariant value = settings.value(key); value.isValid()) button->setChecked(value.toBool());
  };
  text("surname", surname_);
  text("count", count_);
  combo("year", birth_.year);
  combo("month", birth_.month);
  combo("day", birth_.day);
  combo("hour", birth_.hour);
  if (const QVariant female = settings.value("female"); female.isValid())
    (female.toBool() ? female_ : male_)->setChecked(true);
  check("fixSecond", fixSecond_);
  text("fixSecondText", fixSecondText_);
  check("fixThird", fixThird_);
  text("fixThirdText", fixThirdText_);
  check("wholeItemSound", wholeItemSound_);
  // The place after the date, the term's side after both: they decide
  // whether the side applies.
  placeChoice_->Set(settings.value("placeProvince").toString(), settings.value("placeCity").toString());
  FollowTermDay();
  if (termChoice_->Applies() && settings.value("termSide").toString() == "before")
    termChoice_->SetChosen(TermSide::kBefore);
  ShowAnalysisBirth();
  if (const QVariant wish = settings.value("elementWish"); wish.isValid()) {
    elementChoice_->Set(ElementChoice::WishOfKey(wish.toString()),
                        ElementChoice::ElementsOfKey(settings.value("chosenElements").toString()));
    FollowElementChoice();
  }
  RecallWishes(settings);
  if (settings.contains("year")) TakeBabyChart();
}

void MainWindow::RecallWishes(const QSettings& settings) {
  WishesTyped wishes;
  wishes.theme = settings.value("wishTheme").toString();
  wishes.kept = settings.value("wishKept").toString().left(1);
  wishes.keptAt = settings.value("wishKeptAt", 1).toInt();
  wishes.avoided = settings.value("wishAvoided").toString().left(8);
  wishes.avoidSounds = settings.value("wishAvoidSounds", false).toBool();
  wishes.sibling = settings.value("wishSibling").toString().left(6);
  wishes.siblingFemale = settings.value("wishSiblingFemale", false).toBool();
  wishesRow_->Set(wishes);
  FollowWishes();
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
    settings.setValue("surname", surname_->text());
    settings.setValue("female", female_->isChecked());
    settings.setValue("count", count_->text());
    settings.setValue("year", birth_.year->currentText());
    settings.setValue("month", birth_.month->currentText());
    settings.setValue("day", birth_.day->currentText());
    settings.setValue("hour", birth_.hour->currentText());
    settings.setValue("fixSecond", fixSecond_->isChecked());
    settings.setValue("fixSecondText", fixSecondText_->text());
    settings.setValue("fixThird", fixThird_->isChecked());
    settings.setValue("fixThirdText", fixThirdText_->text());
    settings.setValue("wholeItemSound", wholeItemSound_->isChecked());
    settings.setValue("elementWish", ElementChoice::WishKey(elementChoice_->Wish()));
    settings.setValue("chosenElements", ElementChoice::ElementsKey(elementChoice_->Chosen()));
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
  QWidget::closeEvent(event);
}

QStringList MainWindow::StartupMessages() const {
  QStringList messages;
  for (const LoadFailure& failure : model_->Stores().failures) {
    messages << tr("无法打开文件“%1”:%2")
                    .arg(QString::fromUtf8(failure.path.data(), static_cast<qsizetype>(failure.path.size())),
                         QString::fromUtf8(failure.reason.data(), static_cast<qsizetype>(failure.reason.size())));
  }
  return messages;
}

void MainWindow::ReportStartupFailures() {
  // One box for all files that failed, rather than one box after another.
  const QStringList messages = StartupMessages();
  if (!messages.isEmpty()) ShowMessage(this, messages.join('\r'));
}

}  // namespace tavrin::ui
