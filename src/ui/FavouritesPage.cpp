#include "ui/FavouritesPage.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdlib>

#include "analysis/analyse_name.h"
#include "analysis/conventions_section.h"
#include "base/file_write.h"
#include "calendar/birth_pillars.h"
#include "calendar/trans_date.h"
#include "core/services.h"
#include "core/startup.h"
#include "favourites/exchange.h"
#include "favourites/kept_name.h"
#include "favourites/store.h"
#include "report/name_report_pdf.h"
#include "report/score_words.h"
#include "share/shared_favourites.h"
#include "share/vote_book.h"
#include "sources/name_notes.h"
#include "ui/FavouritesModel.h"
#include "ui/MessageBox.h"
#include "ui/PaneView.h"
#include "ui/ReportExport.h"
#include "ui/ReportProxy.h"
#include "ui/SharePanel.h"
#include "ui/qtext.h"

namespace tavrin::ui {

namespace {

constexpr std::size_t kMostCompared = 4;

// 比较's tip: what it does, or, with too many names selected, why it cannot.
QString CompareTip(std::size_t selected) {
  return selected > kMostCompared
             ? FavouritesPage::tr("最多比较 %1 个名字,现在选了 %2 个:请少选几个").arg(kMostCompared).arg(selected)
             : FavouritesPage::tr("选中 2 到 4 个名字,并排比较八字、五行、五格和分数");
}

bool AskYesNo(QWidget* parent, const QString& question) {
  return QMessageBox::question(parent, parent->window()->windowTitle(), question) == QMessageBox::Yes;
}

// What the kept advice says, for the comparison: its warnings.
void ReadAdvice(const Favourite& favourite, report::ComparedName& compared) {
  if (!favourite.advice) return;
  QStringList warnings;
  for (const KeptWarning& warning : favourite.advice->warnings) warnings << FromUtf8(warning.text);
  compared.warnings = warnings.join('\n');
}

// What the family said of the name, when they voted on it.
void ReadVotes(const share::Tally* tally, report::ComparedName& compared) {
  if (!tally) return;
  compared.familyScore = FamilyScore(*tally);
  compared.familyVotes = FamilyVotes(*tally).join('\n');
}

}  // namespace

FavouritesPage::FavouritesPage(const DataStores& stores, TTransDate& transDate, BirthSettings settings, QWidget* parent)
    : TablePage({}, tr("显示 %1 / 共 %2 个收藏"), parent),
      stores_(stores),
      transDate_(transDate),
      settings_(std::move(settings)),
      confirm_(AskYesNo) {
  favourites_ = new FavouritesModel(nullptr, *stores.services, this);
  favourites_->onFault = [this](const QString& text) { Fault(text); };
  favourites_->surnameLength = [this](const Favourite& f) { return SurnameLength(f); };
  auto* proxy = new ReportProxy(FavouritesModel::kName, FavouritesModel::kScore, this);
  proxy->setSourceModel(favourites_);

  const NameFilterRow filter = AddNameFilterRow(this, proxy, "favourites", 260, [this] { RefreshCount(); });
  QTableView* table = MakeNameTable(this, "favouritesTable", proxy, 22);
  SetUpTable(table);
  auto* below = new QVBoxLayout;
  below->addLayout(MakeButtons());
  below->addWidget(MakeSharePanel());
  PlaceTable(proxy, table, filter.layout, filter.count, nullptr, below);
  // The family's verdict beside the user's own, shown once they voted.
  table->horizontalHeader()->moveSection(FavouritesModel::kFamily, FavouritesModel::kNote);
  table->setColumnWidth(FavouritesModel::kFamily, 110);
  table->setColumnHidden(FavouritesModel::kFamily, true);
  AddRemoveAction(table);
  connect(table->selectionModel(), &QItemSelectionModel::selectionChanged, this, &FavouritesPage::RefreshCount);
  RefreshCount();
}

// Rating and note are edited in place; the note takes the room left.
void FavouritesPage::SetUpTable(QTableView* table) {
  table->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                         QAbstractItemView::AnyKeyPressed);
  table->horizontalHeader()->setStretchLastSection(false);
  table->horizontalHeader()->setSectionResizeMode(FavouritesModel::kNote, QHeaderView::Stretch);
  for (const auto& [column, width] : {std::pair{FavouritesModel::kName, 80},
                                      {FavouritesModel::kPinyin, 130},
                                      {FavouritesModel::kScore, 50},
                                      {FavouritesModel::kRecommend, 60},
                                      {FavouritesModel::kRating, 90},
                                      {FavouritesModel::kAdded, 130}}) {
    table->setColumnWidth(column, width);
  }
}

void FavouritesPage::AddRemoveAction(QTableView* table) {
  auto* remove = new QAction(tr("删除"), table);
  remove->setShortcut(QKeySequence::Delete);
  remove->setShortcutContext(Qt::WidgetShortcut);
  table->addAction(remove);
  connect(remove, &QAction::triggered, this, &FavouritesPage::RemoveSelected);
  connect(table, &QWidget::customContextMenuRequested, this, [this, table, remove](const QPoint& at) {
    QMenu menu(this);
    menu.addAction(remove);
    remove->setEnabled(table->selectionModel()->hasSelection());
    menu.exec(table->viewport()->mapToGlobal(at));
    remove->setEnabled(true);
  });
}

// The page's commands below the table: those on the selected names, then those on the whole store.
QHBoxLayout* FavouritesPage::MakeButtons() {
  auto* buttons = new QHBoxLayout;
  buttons->setContentsMargins(4, 2, 4, 4);
  const auto addButton = [&](const char* name, const QString& caption, const QString& tip) {
    auto* button = new QPushButton(caption, this);
    button->setObjectName(name);
    button->setToolTip(tip);
    buttons->addWidget(button);
    return button;
  };
  compare_ = addButton("favouritesCompare", tr("比较"), CompareTip(0));
  print_ = addButton("favouritesPrint", tr("打印…"), tr("用打印机打印选中的名字:第一页比较表,之后每个名字一页"));
  savePdf_ = addButton("favouritesSavePdf", tr("存为PDF…"), tr("把选中的名字存为 PDF:第一页比较表,之后每个名字一页"));
  buttons->addStretch(1);
  auto* exportJson = addButton("favouritesExport", tr("导出JSON…"), tr("把全部收藏存为 JSON 文件,可在别的电脑上导入"));
  auto* importJson = addButton("favouritesImport", tr("导入JSON…"), tr("把 JSON 文件中的收藏并入这里,不删除任何收藏"));
  connect(compare_, &QPushButton::clicked, this, [this] { Compare(); });
  connect(print_, &QPushButton::clicked, this, [this] { Print(); });
  connect(savePdf_, &QPushButton::clicked, this, [this] { SavePdf(); });
  connect(exportJson, &QPushButton::clicked, this, [this] { ExportJson(); });
  connect(importJson, &QPushButton::clicked, this, [this] { ImportJson(); });
  return buttons;
}

// 邀请家人: the family sees the favourites as the 精选 page advises them now.
SharePanel* FavouritesPage::MakeSharePanel() {
  share_ = new SharePanel(stores_.dataDir + "share/", this);
  share_->SetListMaker([this, own = std::shared_ptr<sources::NameNotes>()]() mutable {
    if (!store_ || !stores_.advice) return share::SharedList{};
    sources::NameNotes* notes = notes_;
    if (!notes) {
      if (!own) own = std::make_shared<sources::NameNotes>(stores_.dataDir, stores_.advice);
      notes = own.get();
    }
    try {
      return share::SharedFavourites(*notes, store_->List());
    } catch (const FavouritesError& error) {
      Fault(MessageOf(error));
      return share::SharedList{};
    }
  });
  connect(share_, &SharePanel::talliesChanged, this, [this] {
    favourites_->SetTallies(share_->Tallies());
    Table()->setColumnHidden(FavouritesModel::kFamily, share_->Tallies().names.empty());
  });
  return share_;
}

FavouritesPage::~FavouritesPage() = default;

std::unique_ptr<FavouritesStore> FavouritesPage::OpenDefaultStore(QString& message) {
  const std::string path = DefaultFavouritesPath([](const char* name) { return std::getenv(name); });
  if (path.empty()) {
    message = tr("找不到保存收藏的目录(没有 HOME),本次不能收藏名字");
    return nullptr;
  }
  try {
    MakeStoreDirectory(path);
    // Laid out with the family's vote tables, whether or not it is shared.
    share::AddVoteTables();
    auto store = std::make_unique<FavouritesStore>(path);
    message = MessageOf(store->Notice());
    return store;
  } catch (const FavouritesError& error) {
    message = MessageOf(error);
    return nullptr;
  }
}

void FavouritesPage::SetStore(std::unique_ptr<FavouritesStore> store) {
  FavouritesModel* old = favourites_;
  store_ = std::move(store);
  favourites_ = new FavouritesModel(store_.get(), *stores_.services, this);
  favourites_->onFault = [this](const QString& text) { Fault(text); };
  favourites_->explainScore = [this](const Favourite& f) { return ScoreSentences(f); };
  favourites_->surnameLength = [this](const Favourite& f) { return SurnameLength(f); };
  favourites_->SetTallies(share_->Tallies());
  connect(favourites_, &QAbstractItemModel::dataChanged, share_, &SharePanel::ListChanged);
  Proxy()->setSourceModel(favourites_);
  delete old;
  share_->SetStorePath(store_ ? store_->Path() : std::string(), store_ && store_->ReadOnly());
  Refresh();
}

void FavouritesPage::Fault(const QString& text) { ShowMessage(this, text); }

int FavouritesPage::SurnameLength(const Favourite& f) const { return SurnameLengthOf(f, stores_.advice.get()); }

QStringList FavouritesPage::ScoreSentences(const Favourite& f) const {
  const ScoreFactors factors =
      ReadScoreFactors(stores_, f.name.View(), SurnameLength(f), f.year, f.month, f.day, FavouriteBirthHour(f.hour));
  return report::ScoreText::Describe(factors).All();
}

void FavouritesPage::Refresh() {
  favourites_->Reload();
  share_->ListChanged();
}

void FavouritesPage::showEvent(QShowEvent* event) {
  Refresh();
  QWidget::showEvent(event);
}

void FavouritesPage::RefreshCount() {
  TablePage::RefreshCount();
  const auto selected = static_cast<std::size_t>(Table()->selectionModel()->selectedRows().size());
  compare_->setEnabled(selected >= 2 && selected <= kMostCompared);
  // Greyed out for too many names, the button says why.
  compare_->setToolTip(CompareTip(selected));
  print_->setEnabled(selected >= 1);
  savePdf_->setEnabled(selected >= 1);
}

QString FavouritesPage::EmptyText(bool filtered) const {
  return filtered ? tr("没有收藏符合筛选条件。调低“最低分数”或清空“名字含”就能看到全部收藏。")
                  : tr("还没有收藏的名字。在“精选”或任何一页选中喜欢的名字，按 Ctrl+D 或在右键菜单点“☆ 收藏”，"
                       "它就收进这里：关掉程序也不会丢，可以比较、打分、写备注和打印。");
}

bool FavouritesPage::IsKept(const std::string& name, std::optional<Sex> sex) const {
  if (!store_) return false;
  try {
    return store_->Find(GbkText(name), sex.value_or(settings_().sex)).has_value();
  } catch (const FavouritesError&) {
    return false;
  }
}

Favourite FavouritesPage::FavouriteOf(const Keepable& keepable) const {
  Favourite favourite = settings_();
  favourite.name = GbkText(keepable.name);
  favourite.sex = keepable.sex.value_or(favourite.sex);
  if (keepable.birth) {
    favourite.year = keepable.birth->year;
    favourite.month = keepable.birth->month;
    favourite.day = keepable.birth->day;
    favourite.hour = keepable.birth->hour;
  }
  return favourite;
}

void FavouritesPage::FillIn(Favourite& favourite, const Keepable& keepable) const {
  if (keepable.score) {
    favourite.score = *keepable.score;
  } else {
    // A name shown without a score is scored for the birth it is kept with.
    favourite.score = ScoreForBirth(stores_.services->scorer, transDate_, favourite);
  }
  favourite.origin = GbkText(keepable.origin);
  favourite.poem = GbkText(keepable.poem);
  favourite.surnameLength = keepable.surnameLength;
  std::optional<advice::Advice> advice = keepable.advice;
  if (!advice && adviser_) advice = adviser_(favourite.name.Bytes(), favourite.sex, SurnameLength(favourite));
  if (advice) {
    favourite.advice = KeepAdvice(*advice);
  }
}

bool FavouritesPage::Toggle(const Keepable& keepable) {
  if (!store_) {
    Fault(tr("收藏不可用:打开收藏文件时出错"));
    return false;
  }
  Favourite favourite = FavouriteOf(keepable);
  try {
    if (store_->Find(favourite.name, favourite.sex)) {
      store_->Remove(favourite.name, favourite.sex);
      Refresh();
      emit keptChanged(ViewOf(favourite).name, false);
      return false;
    }
    FillIn(favourite, keepable);
    if (auto bad = CheckFavourite(favourite)) {
      Fault(MessageOf(*bad));
      return false;
    }
    store_->Save(favourite);
  } catch (const FavouritesError& error) {
    Fault(MessageOf(error));
    return false;
  } catch (const BirthAnalysisError& error) {
    Fault(MessageOf(error));
    return false;
  }
  Refresh();
  emit keptChanged(ViewOf(favourite).name, true);
  return true;
}

void FavouritesPage::AddMenuEntry(QMenu& menu, const std::optional<Keepable>& keepable) {
  const bool kept = keepable && IsKept(keepable->name, keepable->sex);
  QAction* action = menu.addAction(kept ? tr("★ 取消收藏") : tr("☆ 收藏"));
  action->setObjectName("favouriteToggle");
  action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
  action->setEnabled(keepable.has_value());
  if (keepable) connect(action, &QAction::triggered, this, [this, k = *keepable] { Toggle(k); });
}

void FavouritesPage::AddShortcut(QWidget* widget, std::function<std::optional<Keepable>()> current) {
  auto* action = new QAction(tr("收藏"), widget);
  action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
  action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
  widget->addAction(action);
  connect(action, &QAction::triggered, this, [this, current = std::move(current)] {
    if (const std::optional<Keepable> keepable = current()) Toggle(*keepable);
  });
}

void FavouritesPage::AttachPane(PaneView* pane, const std::function<std::string()>& poem) {
  const auto keepable = [poem](const Candidate* candidate) -> std::optional<Keepable> {
    if (!candidate) return std::nullopt;
    Keepable k;
    k.name = candidate->fullName;
    if (candidate->scored) k.score = candidate->score;
    k.origin = std::string(OriginCaption(candidate->origin));
    if (poem) k.poem = poem();
    k.surnameLength = static_cast<int>(candidate->surnameBytes / 2);
    return k;
  };
  AddShortcut(pane, [pane, keepable] { return keepable(pane->CandidateAtCursor()); });
  pane->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(pane, &QWidget::customContextMenuRequested, this, [this, pane, keepable](const QPoint& at) {
    std::unique_ptr<QMenu> menu(pane->createStandardContextMenu(at));
    menu->addSeparator();
    AddMenuEntry(*menu, keepable(pane->CandidateAtPoint(at)));
    menu->exec(pane->viewport()->mapToGlobal(at));
  });
}

// How many names a delete question lists before it counts.
constexpr std::size_t kNamesInQuestion = 5;

bool FavouritesPage::RemoveSelected() {
  const std::vector<int> rows = SelectedRows();
  if (rows.empty() || !store_) return false;
  // The question names a few and counts the rest, so that it stays a short
  // box whatever was selected.
  QStringList names;
  for (std::size_t i = 0; i < rows.size() && i < kNamesInQuestion; ++i) names << ViewOf(favourites_->At(rows[i])).name;
  const QString question = rows.size() <= kNamesInQuestion
                               ? tr("从收藏中删除 %1?").arg(names.join("、"))
                               : tr("从收藏中删除 %1 等 %2 个名字?").arg(names.join("、")).arg(rows.size());
  if (!confirm_(this, question)) return false;
  std::vector<Favourite> gone;
  for (const int row : rows) gone.push_back(favourites_->At(row));
  try {
    store_->Remove(gone);
  } catch (const FavouritesError& error) {
    Fault(MessageOf(error));
  }
  Refresh();
  return true;
}

std::vector<report::ComparedName> FavouritesPage::SelectedAnalysed(std::size_t minimum, std::size_t maximum) {
  const std::vector<int> rows = SelectedRows();
  if (rows.size() < minimum || rows.size() > maximum) {
    Fault(maximum == kMostCompared ? tr("请选择 2 到 %1 个收藏的名字再比较").arg(kMostCompared)
                                   : tr("请先选择要打印的收藏"));
    return {};
  }
  std::vector<report::ComparedName> names;
  for (const int row : rows) {
    const Favourite& f = favourites_->At(row);
    report::ComparedName compared;
    const AnalysisRequest request(f.name.Bytes(), std::to_string(f.year), std::to_string(f.month),
                                  std::to_string(f.day), {HourFieldText(f.hour), f.hour == kUnknownHourOfBirth});
    try {
      const BirthAnalysisResult birth = BirthAnalysis(BirthAnalysisVariant::kGenerate, transDate_, f.year, f.month,
                                                      f.day, FavouriteBirthHour(f.hour));
      NameAnalysis analysis = AnalyseOneName(stores_, transDate_, request, birth.birthElements);
      if (analysis.outcome != AnalysisOutcome::kCompleted) {
        Fault(analysis.refusal ? MessageOf(analysis.refusal->text) : ViewOf(f).name);
        return {};
      }
      compared.report = std::move(analysis.report);
      // Read with the surname of the run that made the name.
      ConventionsRequest conventions = ConventionsRequestFor(compared.report, *stores_.advice);
      conventions.surnameLength = SurnameLength(f);
      compared.report.conventions = ReadNameConventions(stores_, conventions);
      compared.report.factors = ReadScoreFactors(stores_, compared.report, SurnameLength(f));
    } catch (const BirthAnalysisError& error) {
      Fault(MessageOf(error));
      return {};
    }
    compared.sex = f.sex == Sex::kFemale ? tr("女") : tr("男");
    const int recommend = FavouritesModel::Recommend(f);
    if (recommend >= 0) {
      compared.recommend = QString::number(recommend);
      compared.report.recommend = recommend;
    }
    ReadAdvice(f, compared);
    ReadVotes(favourites_->TallyOf(f), compared);
    compared.note = ViewOf(f).note;
    if (notes_) compared.meaning = report::MeaningOf(*notes_, f.name.Bytes());
    names.push_back(std::move(compared));
  }
  return names;
}

QDialog* FavouritesPage::Compare() {
  const std::vector<report::ComparedName> names = SelectedAnalysed(2, kMostCompared);
  if (names.empty()) return nullptr;
  const std::vector<report::ComparisonRow> rows = report::ComparisonRows(names);
  auto* dialog = new QDialog(this);
  dialog->setObjectName("favouritesComparison");
  dialog->setWindowTitle(tr("收藏名字比较"));
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  auto* table = new QTableWidget(static_cast<int>(rows.size()) - 1, static_cast<int>(names.size()), dialog);
  table->setObjectName("comparisonTable");
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table->setWordWrap(true);
  QStringList header, labels;
  for (const QString& name : rows.front().cells) header << name;
  table->setHorizontalHeaderLabels(header);
  QFont big = table->horizontalHeader()->font();
  big.setPixelSize(18);
  big.setBold(true);
  table->horizontalHeader()->setFont(big);
  for (std::size_t r = 1; r < rows.size(); ++r) {
    labels << rows[r].label;
    for (std::size_t c = 0; c < rows[r].cells.size(); ++c) {
      auto* item = new QTableWidgetItem(rows[r].cells[c]);
      if (rows[r].label == "推荐度") item->setFont(big);  // the verdict stands out
      table->setItem(static_cast<int>(r) - 1, static_cast<int>(c), item);
    }
  }
  table->setVerticalHeaderLabels(labels);
  table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  auto* buttons = new QDialogButtonBox(dialog);
  connect(buttons->addButton(tr("关闭"), QDialogButtonBox::RejectRole), &QPushButton::clicked, dialog,
          &QDialog::reject);
  auto* layout = new QVBoxLayout(dialog);
  const QStringList needs = babyNeeds_ ? babyNeeds_() : QStringList();
  for (qsizetype i = 0; i < needs.size(); ++i) {
    if (needs[i].isEmpty()) continue;
    auto* line = new QLabel(needs[i], dialog);
    line->setObjectName(i == 0 ? "comparisonNeeds" : "comparisonReadings");
    line->setWordWrap(true);
    line->setTextInteractionFlags(Qt::TextSelectableByMouse);
    line->setStyleSheet(i == 0 ? "QLabel { font-weight: bold; }" : "QLabel { color: #555555; }");
    layout->addWidget(line);
  }
  layout->addWidget(table);
  layout->addWidget(buttons);
  dialog->resize(220 + 200 * static_cast<int>(names.size()), 560);
  dialog->show();
  // The rows fit their text once the columns have their width.
  table->resizeRowsToContents();
  return dialog;
}

bool FavouritesPage::Print(const QString& path) {
  if (!path.isEmpty()) return SavePdf(path);
  if (SelectedRows().empty()) return false;
  QPrinter printer(QPrinter::HighResolution);
  printer.setPageSize(QPageSize(QPageSize::A4));
  printer.setDocName(tr("收藏的名字"));
  QPrintDialog dialog(&printer, this);
  dialog.setWindowTitle(tr("打印收藏"));
  if (dialog.exec() != QDialog::Accepted) return false;
  // "Print to file (PDF)" of the dialog: written whole, and said where.
  if (printer.outputFormat() == QPrinter::PdfFormat && !printer.outputFileName().isEmpty()) {
    return SavePdf(printer.outputFileName());
  }
  return PrintTo(printer);
}

bool FavouritesPage::PrintTo(QPrinter& printer) {
  const std::vector<report::ComparedName> names = SelectedAnalysed(1, static_cast<std::size_t>(-1));
  if (names.empty()) return false;
  QString error;
  if (!report::PrintComparison(names, printer, error)) {
    Fault(tr("无法打印:%1").arg(error));
    return false;
  }
  return true;
}

bool FavouritesPage::SavePdf(QString path) {
  const std::vector<report::ComparedName> names = SelectedAnalysed(1, static_cast<std::size_t>(-1));
  if (names.empty()) return false;
  if (path.isEmpty())
    path = AskSaveFileName(this, tr("收藏存为PDF"), tr("收藏的名字.pdf"), tr("PDF 文件 (*.pdf)"), "pdf");
  if (path.isEmpty()) return false;
  QString error;
  if (!report::WriteComparisonPdf(names, QFile::encodeName(path).toStdString(), error)) {
    Fault(tr("无法写入文件 %1:%2").arg(path, error));
    return false;
  }
  ShowSaved(this, path);
  return true;
}

bool FavouritesPage::ExportJson(QString path) {
  if (!store_) return false;
  if (path.isEmpty()) path = AskSaveFileName(this, tr("导出收藏"), tr("收藏.json"), tr("JSON 文件 (*.json)"), "json");
  if (path.isEmpty()) return false;
  try {
    const Utf8Text json = FavouritesToJson(store_->List(), SystemSeconds());
    QString error;
    if (!WriteFileAtomically(path, QByteArray::fromStdString(json.Bytes()), error)) {
      Fault(tr("无法写入文件 %1:%2").arg(path, error));
      return false;
    }
  } catch (const FavouritesError& error) {
    Fault(MessageOf(error));
    return false;
  }
  return true;
}

bool FavouritesPage::ImportJson(QString path) {
  if (!store_) return false;
  if (path.isEmpty()) path = QFileDialog::getOpenFileName(this, tr("导入收藏"), {}, tr("JSON 文件 (*.json)"));
  if (path.isEmpty()) return false;
  try {
    const std::vector<Favourite> favourites = FavouritesFromJson(ReadImportFile(QFile::encodeName(path).toStdString()));
    const FavouritesStore::MergeCounts counts = store_->Merge(favourites);
    Refresh();
    ShowMessage(this, tr("已导入 %1:新增 %2 个,更新 %3 个,%4 个不变;没有删除任何收藏")
                          .arg(path)
                          .arg(counts.added)
                          .arg(counts.changed)
                          .arg(counts.unchanged));
  } catch (const FavouritesError& error) {
    Fault(MessageOf(error));
    return false;
  }
  return true;
}

}  // namespace tavrin::ui
