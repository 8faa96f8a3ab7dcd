#include "ui/AnalysisPage.h"

#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "core/best_names.h"
#include "core/naming_model.h"
#include "report/name_report_pdf.h"
#include "ui/ConventionsPanel.h"
#include "ui/FavouritesPage.h"
#include "ui/MessageBox.h"
#include "ui/PaneView.h"
#include "ui/ReportExport.h"
#include "ui/qtext.h"

namespace tavrin::ui {

namespace {

// The pane, under the sentence and its readings (and the notes of the
// chart, when there are some).
constexpr int kPaneTop = 144;
constexpr int kPaneHeight = 353;
constexpr int kNoteLineHeight = 15;

QLabel* AddLine(QWidget* page, const char* name, const QRect& place, const char* style) {
  auto* line = new QLabel(page);
  line->setObjectName(name);
  line->setGeometry(place);
  line->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  if (style) line->setStyleSheet(style);
  line->setTextInteractionFlags(Qt::TextSelectableByMouse);
  return line;
}

}  // namespace

AnalysisPage::AnalysisPage(CentredArea* content, PaneView* pane, NamingModel& model, const SettingsPage& baby,
                           sources::NameNotes& notes, Anchoring& anchoring, MessageBoxes& messages, QObject* parent)
    : QObject(parent),
      model_(model),
      baby_(baby),
      notes_(notes),
      anchoring_(anchoring),
      messages_(messages),
      content_(content),
      pane_(pane) {
  BuildFields(content);
  BuildLines(content);
  pane_->SetCrAsLineBreak(true);
  pane_->move(16, kPaneTop);
  BuildConventions(content);
  for (QComboBox* combo : birth_.All())
    connect(combo->lineEdit(), &QLineEdit::returnPressed, analyse_, &QPushButton::click);
  SetTabChain({name_, birth_.year, birth_.month, birth_.day, birth_.hour, analyse_, exportPdf_, pane_});
  // A field changed here: the page keeps its own birth while it differs
  // from the baby's.
  for (QComboBox* combo : birth_.All()) {
    connect(combo, &QComboBox::editTextChanged, this, [this] {
      if (copying_) return;
      const BirthCombos& babyBirth = baby_.Birth();
      followsBaby_ = true;
      for (std::size_t i = 0; i < 4; ++i)
        followsBaby_ = followsBaby_ && birth_.All()[i]->currentText() == babyBirth.All()[i]->currentText();
      ShowBirth();
    });
  }
  CopyBabyBirth();
}

void AnalysisPage::BuildFields(QWidget* page) {
  auto* nameGroup = new QGroupBox(tr("输入姓名"), page);
  nameGroup->setGeometry(0, 0, 121, 73);
  name_ = new QLineEdit("张", nameGroup);
  name_->setObjectName("bsSkinEdit2");
  name_->setGeometry(32, 31, 57, 18);
  birth_ = AddBirthGroup(page, tr("输入生日(输入公历自动转农历)"), 120,
                         {"bsSkinComboBox4", "bsSkinComboBox6", "bsSkinComboBox7", "bsSkinComboBox8"});
  birthNote_ = new QLabel(page);
  birthNote_->setObjectName("analysisBirthNote");
  birthNote_->setGeometry(16, 75, 860, 20);
  birthNote_->setTextFormat(Qt::RichText);
  connect(birthNote_, &QLabel::linkActivated, this, &AnalysisPage::CopyBabyBirth);
  analyse_ = AddButton(page, "bsSkinButton2", tr("分 析"), {704, 32, 75, 25});
  connect(analyse_, &QPushButton::clicked, this, &AnalysisPage::Analyse);
  connect(name_, &QLineEdit::returnPressed, analyse_, &QPushButton::click);
  // The name to analyse starts as the baby's surname, and follows it while
  // nothing else has been typed there.
  surname_ = baby_.SurnameField()->text();
  connect(baby_.SurnameField(), &QLineEdit::textChanged, this, [this](const QString& surname) {
    if (name_->text() == surname_) name_->setText(surname);
    surname_ = surname;
  });
  exportPdf_ = AddButton(page, "exportPdf", tr("导出PDF…"), {784, 32, 90, 25});
  exportPdf_->setEnabled(false);
  exportPdf_->setToolTip(tr("把上次分析的结果存为一页 A4 的 PDF,便于打印和给家人看"));
  connect(exportPdf_, &QPushButton::clicked, this, [this] { ExportPdf({}); });
}

void AnalysisPage::BuildLines(QWidget* page) {
  // What the baby of the analysis needs, over the pane.
  needs_ = AddLine(page, "analysisNeeds", {16, 95, 860, 17}, nullptr);
  QFont large = needs_->font();
  large.setPixelSize(13);
  large.setBold(true);
  needs_->setFont(large);
  needs_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  readings_ = AddLine(page, "analysisReadings", {16, 112, 860, 31}, "QLabel { color: #555555; font-size: 11px; }");
  readings_->setWordWrap(true);
  // How the chart was read, a line each, between the readings and the pane.
  chartNotes_ =
      AddLine(page, "analysisChartNotes", {16, kPaneTop - 1, 860, 0}, "QLabel { color: #7a4f00; font-size: 11px; }");
  chartNotes_->hide();
}

void AnalysisPage::BuildConventions(QWidget* page) {
  conventions_ = new ConventionsPanel(model_.Stores(), page);
  conventions_->choiceChanged = [this](ElementWish wish, const std::vector<Element>& chosen) {
    emit elementChoiceChosen(wish, chosen);
  };
  conventions_->setGeometry(pane_->geometry());
  conventions_->hide();
  showConventions_ = AddButton(page, "showConventions", tr("通行算法"), {628, 32, 72, 25});
  showConventions_->setCheckable(true);
  showConventions_->setToolTip(tr("按起名书和网站通行的算法再读一遍:康熙笔画、五格、三才、喜用神、通行评分"));
  connect(showConventions_, &QPushButton::toggled, this, &AnalysisPage::PlaceConventions);
  content_->resized = [this] { PlaceConventions(); };
}

void AnalysisPage::Analyse() {
  AnalysisRequest request(CoreTextOf(name_), CoreTextOf(birth_.year), CoreTextOf(birth_.month), CoreTextOf(birth_.day),
                          HourFieldOf(birth_.hour));
  // The baby's birth is read at the baby's place and term side, as the run
  // reads it; a birth typed on this page is read at Beijing time.
  if (followsBaby_) request.time = baby_.BirthTime();
  NameReport report;
  const CommandResult<AnalysisOutcome> result = AnalyseName(model_, request, &report);
  if (result.message) messages_.Show(result.message->text);
  place_ = followsBaby_ ? baby_.City() : QString();
  last_.reset();
  if (result.outcome == AnalysisOutcome::kCompleted) {
    last_ = std::move(report);
    last_->factors = ReadScoreFactors(model_.Stores(), *last_);
  }
  exportPdf_->setEnabled(last_.has_value());
  conventions_->ShowFor(last_ ? &*last_ : nullptr);
  ShowNeeds();
}

void AnalysisPage::AnalyseBabyName(const QString& name) {
  name_->setText(name);
  CopyBabyBirth();
  Analyse();
}

std::optional<ChildNeeds> AnalysisPage::Needs() const {
  if (!last_) return std::nullopt;
  const NameReport& r = *last_;
  ChildNeeds needs = ReadNeeds(BirthPillars{r.pillars[0], r.pillars[1], r.pillars[2], r.pillars[3]}, baby_.Wish(),
                               baby_.ChosenElements());
  if (!needs.HasChart()) return std::nullopt;
  return needs;
}

void AnalysisPage::FollowElementChoice() {
  conventions_->SetChoice(baby_.Wish(), baby_.ChosenElements());
  ShowNeeds();
}

void AnalysisPage::ShowNeeds() {
  const std::optional<ChildNeeds> needs = Needs();
  const NeedsView view = needs ? NeedsViewOf(*needs) : NeedsView();
  needs_->setText(view.IsEmpty() ? QString() : view.sentence);
  readings_->setText(view.readings);
  readings_->setToolTip(view.readings);
  const QStringList notes = last_ ? ChartNotesOf(last_->chartNotes, place_, needs ? &*needs : nullptr) : QStringList();
  chartNotes_->setText(notes.join('\n'));
  chartNotes_->setToolTip(chartNotes_->text());
  PlacePane();
}

void AnalysisPage::PlacePane() {
  const int lines = chartNotes_->text().isEmpty() ? 0 : static_cast<int>(chartNotes_->text().count('\n')) + 1;
  const int notesHeight = lines * kNoteLineHeight;
  chartNotes_->resize(chartNotes_->width(), notesHeight);
  chartNotes_->setVisible(lines > 0);
  // The pane keeps its foot and starts under the notes.
  anchoring_.Reanchor(pane_, QRect(16, kPaneTop + notesHeight, 865, kPaneHeight - notesHeight));
  PlaceConventions();
}

void AnalysisPage::PlaceConventions() {
  // Room for the panel beside the 105 columns of the pane: the page holds
  // both side by side; else the panel takes the pane's place.
  constexpr int kPanelWidest = 360, kGap = 12;
  const bool shown = showConventions_->isChecked();
  const int pageWidth = content_->parentWidget()->width();
  const QRect pane = pane_->geometry();
  const bool beside = shown && pageWidth >= pane.right() + 1 + kGap + kPanelWidest + 16;
  content_->SetWidest(beside ? QWIDGETSIZE_MAX : kSmallestWidth);
  if (beside) {
    const int left = pane.right() + 1 + kGap;
    conventions_->setGeometry(left, pane.y(), content_->width() - left - 16, pane.height());
  } else {
    conventions_->setGeometry(pane);
  }
  conventions_->setVisible(shown);
  pane_->setVisible(!shown || beside);
}

void AnalysisPage::CopyBabyBirth() {
  copying_ = true;
  for (std::size_t i = 0; i < 4; ++i) birth_.All()[i]->setEditText(baby_.Birth().All()[i]->currentText());
  copying_ = false;
  followsBaby_ = true;
  ShowBirth();
}

void AnalysisPage::FollowBaby() {
  if (followsBaby_) {
    CopyBabyBirth();
  } else {
    ShowBirth();  // the baby's birth it is not
  }
}

void AnalysisPage::ShowBirth() {
  const auto birth = [](const BirthCombos& combos) {
    const QString hour = combos.hour->currentText();
    const QString hourText = HourFieldOf(combos.hour).unknown ? hour : tr("%1时").arg(hour);
    return tr("%1年%2月%3日 %4")
        .arg(combos.year->currentText(), combos.month->currentText(), combos.day->currentText(), hourText)
        .toHtmlEscaped();
  };
  if (followsBaby_) {
    QString babyBirth = birth(baby_.Birth());
    if (const QString city = baby_.City(); !city.isEmpty()) babyBirth += tr(",出生地%1").arg(city.toHtmlEscaped());
    if (baby_.BeforeTerm()) babyBirth += tr(",交节按节前");
    birthNote_->setText(tr("用宝宝的生日(姓名设置中的):%1").arg(babyBirth));
  } else {
    birthNote_->setText(tr("用本页输入的生日 %1,不是宝宝的 %2(姓名设置中的)。<a href=\"baby\">改用宝宝的生日</a>")
                            .arg(birth(birth_), birth(baby_.Birth())));
  }
}

bool AnalysisPage::ExportPdf(QString path) {
  if (!last_) return false;
  QWidget* window = pane_->window();
  if (path.isEmpty())
    path = AskSaveFileName(window, tr("导出PDF"), NameOf(*last_) + tr(" 姓名分析.pdf"), tr("PDF 文件 (*.pdf)"), "pdf");
  if (path.isEmpty()) return false;
  last_->conventions = conventions_->Section();
  last_->recommend = Recommend();
  QString error;
  const report::NameMeaning meaning = report::MeaningOf(notes_, last_->name);
  const std::optional<ChildNeeds> needs = Needs();
  if (!report::WriteNameReportPdf(*last_, QFile::encodeName(path).toStdString(), error, &meaning,
                                  needs ? &*needs : nullptr, ToGbk(place_))) {
    ShowMessage(window, tr("无法写入文件 %1:%2").arg(path, error));
    return false;
  }
  ShowSaved(window, path);
  return true;
}

std::optional<int> AnalysisPage::Recommend() const {
  const advice::AdviceTables* tables = model_.Stores().advice.get();
  if (!last_ || !tables) return std::nullopt;
  const std::string& name = last_->name;
  return AdviseWithSource(*tables, name, tables->SurnameLength(name), baby_.BabySex(), sources::SourceFinderOf(notes_))
      .recommend;
}

std::optional<Keepable> AnalysisPage::Kept() const {
  if (!last_) return std::nullopt;
  Keepable keepable{last_->name, last_->score, std::string(OriginCaption(Origin::kAnalysis)), {}, {}};
  // Scored for the page's own birth fields.
  keepable.birth = {last_->year, last_->month, last_->day, FavouriteHour(ReadBirthHour(last_->hour))};
  return keepable;
}

}  // namespace tavrin::ui
