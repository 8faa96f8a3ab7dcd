#include "ui/BestPage.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCollator>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QSortFilterProxyModel>
#include <QSpinBox>
#include <QSplitter>
#include <QTableView>
#include <QTextBrowser>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <optional>

#include "core/naming_model.h"
#include "ui/BestModel.h"
#include "ui/EmptyHint.h"
#include "ui/ReportExport.h"
#include "ui/qtext.h"

namespace tavrin::ui {

// Keeps the names that pass the filter; sorts 推荐度 in the list's varied
// order (the best name of each first character, by 推荐度 then score, then
// the second best of each, …: the page begins with the names `generate
// --best` chooses), 分数 as a number, the rest by the Chinese collation.
class BestProxy final : public QSortFilterProxyModel {
 public:
  BestProxy(const BestNames& names, QObject* parent)
      : QSortFilterProxyModel(parent), names_(names), collator_(QLocale(QLocale::Chinese)) {
    collator_.setNumericMode(true);
  }

  const advice::Filter& Filter() const { return filter_; }
  void SetFilter(const advice::Filter& filter) {
    filter_ = filter;
    roundsVersion_.reset();
    invalidate();  // the rounds depend on what passes
  }

 protected:
  bool lessThan(const QModelIndex& left, const QModelIndex& right) const override {
    const auto a = static_cast<std::size_t>(left.row());
    const auto b = static_cast<std::size_t>(right.row());
    switch (left.column()) {
      case BestModel::kRecommend: {
        const std::vector<int>& rounds = Rounds();
        if (rounds[a] != rounds[b]) return rounds[a] > rounds[b];
        return names_.RanksBefore(b, a);
      }
      case BestModel::kScore:
        return names_.ScoreAt(a) < names_.ScoreAt(b);
      case BestModel::kConventionsScore:  // "—" below every score
        return names_.ConventionsScoreAt(a).value_or(-1) < names_.ConventionsScoreAt(b).value_or(-1);
      default:
        return collator_.compare(left.data().toString(), right.data().toString()) < 0;
    }
  }

  bool filterAcceptsRow(int row, const QModelIndex&) const override {
    return names_.Passes(static_cast<std::size_t>(row), filter_);
  }

 private:
  // The rounds of the varied order, made again when a name or the filter
  // has changed since.
  const std::vector<int>& Rounds() const {
    if (roundsVersion_ != names_.Version()) {
      rounds_ = names_.Rounds(filter_);
      roundsVersion_ = names_.Version();
    }
    return rounds_;
  }

  const BestNames& names_;
  QCollator collator_;
  advice::Filter filter_;
  mutable std::vector<int> rounds_;
  mutable std::optional<std::uint64_t> roundsVersion_;
};

namespace {

// What one pass of the source lookup may take of the window's time.
constexpr std::chrono::milliseconds kSourceSlice(10);

QCheckBox* AddCheck(QWidget* parent, QLayout* row, const char* name, const QString& text, bool checked) {
  auto* box = new QCheckBox(text, parent);
  box->setObjectName(name);
  box->setChecked(checked);
  row->addWidget(box);
  return box;
}

}  // namespace

BestPage::BestPage(const NamingRunState& runs, const advice::AdviceTables* tables, const NamingServices& services,
                   QWidget* parent)
    : QWidget(parent), runs_(runs) {
  setObjectName("bestPage");
  model_ = new BestModel(tables, services, this);
  proxy_ = new BestProxy(model_->Names(), this);
  proxy_->setSourceModel(model_);

  auto* filterRow = new QHBoxLayout;
  filterRow->setContentsMargins(4, 2, 4, 2);
  hideSerious_ = AddCheck(this, filterRow, "bestHideSerious", tr("隐藏有严重提示的"), true);
  hideMild_ = AddCheck(this, filterRow, "bestHideMild", tr("隐藏有一般提示的"), false);
  filterRow->addSpacing(8);
  sexes_ = new QComboBox(this);
  sexes_->setObjectName("bestSex");
  sexes_->addItems({tr("男女都看"), tr("男孩"), tr("女孩")});
  sexes_->setToolTip(tr("只看适合男孩或女孩的名字;每次生成后跟着宝宝的性别"));
  filterRow->addWidget(sexes_);
  filterRow->addSpacing(8);
  filterRow->addWidget(new QLabel(tr("用字:"), this));
  levels_ = new QComboBox(this);
  levels_->setObjectName("bestLevels");
  // In the order of enum Levels. Level 2 holds popular name characters
  // (霖 梓 婷 琪 …), so the default hides only level 3 and characters outside
  // the table.
  levels_->addItems({tr("不用三级字和表外字"), tr("只用一级字"), tr("不限")});
  levels_->setToolTip(tr("通用规范汉字表:一级字最常用,二级字含不少常见的取名用字,三级字和表外字难认难输入"));
  filterRow->addWidget(levels_);
  filterRow->addSpacing(8);
  filterRow->addWidget(new QLabel(tr("最低分数:"), this));
  minScore_ = new QSpinBox(this);
  minScore_->setObjectName("bestMinimumScore");
  minScore_->setRange(0, 100);
  minScore_->setSingleStep(5);
  minScore_->setSpecialValueText(tr("不限"));
  filterRow->addWidget(minScore_);
  filterRow->addSpacing(8);
  filterRow->addWidget(new QLabel(tr("不要的字:"), this));
  leaveOut_ = new QLineEdit(this);
  leaveOut_->setObjectName("bestLeaveOut");
  leaveOut_->setPlaceholderText(tr("名中不要的字"));
  leaveOut_->setClearButtonEnabled(true);
  leaveOut_->setMinimumWidth(56);
  filterRow->addWidget(leaveOut_, 1);
  count_ = new QLabel(this);
  count_->setObjectName("bestCount");
  filterRow->addWidget(count_);

  table_ = new QTableView(this);
  table_->setObjectName("bestTable");
  table_->setModel(proxy_);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setWordWrap(false);
  table_->verticalHeader()->hide();
  table_->verticalHeader()->setDefaultSectionSize(20);
  table_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  for (int column = 0; column < BestModel::kColumnCount; ++column) {
    table_->setColumnWidth(column, BestModel::ColumnWidth(column));
  }
  table_->setSortingEnabled(true);
  table_->sortByColumn(BestModel::kRecommend, Qt::DescendingOrder);
  table_->setContextMenuPolicy(Qt::CustomContextMenu);

  details_ = new QTextBrowser(this);
  details_->setObjectName("bestDetails");
  details_->setPlaceholderText(tr("选中一个名字,这里显示每个字的意思、常用词、男女取名用得多少,各条提示和推荐度的由来"));

  auto* splitter = new QSplitter(Qt::Horizontal, this);
  splitter->addWidget(table_);
  splitter->addWidget(details_);
  splitter->setStretchFactor(0, 3);
  splitter->setStretchFactor(1, 2);
  splitter->setSizes({560, 340});

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addLayout(filterRow);
  layout->addWidget(splitter, 1);

  auto* copy = new QAction(tr("复制"), table_);
  copy->setShortcut(QKeySequence::Copy);
  copy->setShortcutContext(Qt::WidgetShortcut);
  table_->addAction(copy);
  connect(copy, &QAction::triggered, this, &BestPage::CopySelection);
  connect(table_, &QWidget::customContextMenuRequested, this, &BestPage::ShowContextMenu);
  connect(table_, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex&) { AnalyseCurrent(); });
  connect(table_->selectionModel(), &QItemSelectionModel::currentRowChanged, this, &BestPage::ShowDetails);
  // A source that arrives changes the 推荐度 and its reasons.
  connect(model_, &QAbstractItemModel::dataChanged, this, &BestPage::ShowDetails);

  for (QCheckBox* box : {hideSerious_, hideMild_}) connect(box, &QCheckBox::toggled, this, &BestPage::ApplyFilter);
  connect(levels_, &QComboBox::currentIndexChanged, this, &BestPage::ApplyFilter);
  connect(sexes_, &QComboBox::currentIndexChanged, this, &BestPage::ApplyFilter);
  connect(minScore_, &QSpinBox::valueChanged, this, &BestPage::ApplyFilter);
  connect(leaveOut_, &QLineEdit::textChanged, this, &BestPage::ApplyFilter);
  for (const auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved}) {
    connect(proxy_, signal, this, &BestPage::RefreshCount);
  }
  // Sources are looked up a slice at a time between the window's events; the
  // rows move to their place as their 推荐度 takes in the source.
  sources_ = new QTimer(this);
  sources_->setInterval(0);
  connect(sources_, &QTimer::timeout, this, [this] {
    if (!model_->LookUpSources(kSourceSlice)) sources_->stop();
    proxy_->invalidate();  // a name's new 推荐度 may move others to another round
  });
  connect(proxy_, &QAbstractItemModel::modelReset, this, &BestPage::RefreshCount);
  connect(proxy_, &QAbstractItemModel::layoutChanged, this, &BestPage::RefreshCount);
  emptyHint_ = new EmptyHint(table_);
  ApplyFilter();
}

void BestPage::SetNotes(sources::NameNotes* notes) { model_->SetNotes(notes); }

void BestPage::SetConventionsScorer(BestNames::ConventionsScorer scorer) {
  model_->Names().SetConventionsScorer(std::move(scorer));
}

void BestPage::SetFactorsReader(
    std::function<ScoreFactors(const Candidate&, const std::optional<BestNames::RunBirth>&)> reader) {
  model_->SetFactorsReader(std::move(reader));
}

int BestPage::CurrentRow() const { return CurrentSourceRow(*table_, *proxy_); }

void BestPage::Collect() {
  model_->Names().AddRuns(runs_, poetrySex_);
  if (proposing_ && !proposing_->Running()) model_->Names().AddProposals(*proposing_);
  model_->ShowAdded();
  proxy_->invalidate();
  if (model_->Names().SourcesDone() < model_->Names().Size()) sources_->start();
}

void BestPage::FinishSources() {
  model_->LookUpSources(std::chrono::hours(1));
  sources_->stop();
  proxy_->invalidate();
}

void BestPage::StartPoetryRun(Sex sex) {
  Collect();
  poetrySex_ = sex;
  ShowSex(sex);
}

void BestPage::ShowSex(Sex sex) { sexes_->setCurrentIndex(sex == Sex::kFemale ? 2 : 1); }

const advice::Filter& BestPage::CurrentFilter() const { return proxy_->Filter(); }

void BestPage::ApplyFilter() {
  advice::Filter filter;
  filter.hideSerious = hideSerious_->isChecked();
  filter.hideMild = hideMild_->isChecked();
  filter.levelOneOnly = levels_->currentIndex() == kLevelOneOnly;
  filter.hideLevelThree = levels_->currentIndex() != kAnyLevel;
  if (sexes_->currentIndex() > 0) filter.sex = SexOf(sexes_->currentIndex() == 2);
  // 0 is "不限": unscored names stay too.
  filter.minScore = minScore_->value() > 0 ? minScore_->value() : -1000;
  for (const QChar c : leaveOut_->text()) {
    const std::string gbk = ToGbk(QString(c));
    if (gbk.size() == 2 && filter.leaveOut.find(gbk) == std::string::npos) filter.leaveOut += gbk;
  }
  proxy_->SetFilter(filter);
  RefreshCount();
}

void BestPage::RefreshCount() {
  count_->setText(tr("显示 %1 / 共 %2 个名字").arg(proxy_->rowCount()).arg(model_->rowCount()));
  emptyHint_->SetHint(model_->rowCount() > 0
                          ? tr("没有名字符合上面的条件。取消“隐藏…”的勾选、性别选“男女都看”、用字选“不限”、调低“最低分数”或清空“不要的字”，"
                               "就能看到更多名字。")
                          : tr("还没有名字。在“姓名设置”填好宝宝的性别、姓氏和生日，点“生成”，"
                               "或在“诗歌取名”从诗里取名：各页的名字都会汇集到这里，按推荐度排好，"
                               "选中一个就能看到它的意思、出处和提示。"));
  emit shownCountChanged();
}

int BestPage::ShownCount() const { return proxy_->rowCount(); }

void BestPage::ShowDetails() {
  const QModelIndex current = table_->currentIndex();
  details_->setHtml(current.isValid() ? model_->DetailsHtml(proxy_->mapToSource(current).row()) : QString());
}

QString BestPage::DetailsText() const { return details_->toPlainText(); }

std::vector<int> BestPage::ShownRows() const { return ShownSourceRows(*proxy_); }

std::vector<int> BestPage::SelectedRows() const { return SelectedSourceRows(*table_, *proxy_); }

namespace {

TableText BestText(const BestModel& model) {
  return {BestModel::Captions(), [&model](int row, int column) { return model.CellText(row, column); }};
}

}  // namespace

void BestPage::CopySelection() {
  FinishSources();
  const std::vector<int> rows = SelectedRows();
  if (!rows.empty()) QApplication::clipboard()->setText(TableAsTsv(BestText(*model_), rows));
}

bool BestPage::ExportCsv(QString path) {
  FinishSources();
  return ExportTable(this, std::move(path), tr("导出精选名字"), tr("精选名字"), true, BestText(*model_), ShownRows());
}

bool BestPage::ExportJson(QString path) {
  FinishSources();
  return ExportTable(this, std::move(path), tr("导出精选名字"), tr("精选名字"), false, BestText(*model_), ShownRows());
}

void BestPage::AnalyseCurrent() {
  const QModelIndex current = table_->currentIndex();
  if (!current.isValid()) return;
  const QString name = model_->CellText(CurrentRow(), BestModel::kName);
  if (!name.isEmpty()) emit analyseRequested(name);
}

void BestPage::ShowContextMenu(const QPoint& at) {
  ShowTableMenu(table_, at,
                {[this] { CopySelection(); }, [this] { ExportCsv(); }, [this] { ExportJson(); },
                 [this] { AnalyseCurrent(); }, ExtendWithSourceRow(*proxy_, extendMenu)});
}

}  // namespace tavrin::ui
