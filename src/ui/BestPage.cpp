#include "ui/BestPage.h"

#include <QCheckBox>
#include <QCollator>
#include <QComboBox>
#include <QHBoxLayout>
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
#include "ui/ReportProxy.h"
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

QComboBox* AddCombo(QWidget* parent, QLayout* row, const char* name, const QStringList& items, const QString& tip) {
  auto* combo = new QComboBox(parent);
  combo->setObjectName(name);
  combo->addItems(items);
  combo->setToolTip(tip);
  row->addWidget(combo);
  return combo;
}

}  // namespace

namespace {

// A line over the list, wrapped, that a parent can select and copy.
QLabel* TextLine(QWidget* parent, const char* name, const char* styleSheet) {
  auto* line = new QLabel(parent);
  line->setObjectName(name);
  line->setWordWrap(true);
  line->setTextInteractionFlags(Qt::TextSelectableByMouse);
  if (styleSheet) line->setStyleSheet(styleSheet);
  return line;
}

}  // namespace

BestPage::BestPage(const NamingRunState& runs, const advice::AdviceTables* tables, const NamingServices& services,
                   QWidget* parent)
    : NameTablePage("bestPage", tr("精选名字"), BestModel::kName, parent), runs_(runs), services_(services) {
  model_ = new BestModel(tables, services, this);
  proxy_ = new BestProxy(model_->Names(), this);
  proxy_->setSourceModel(model_);

  auto* count = new QLabel(this);
  // What the baby needs, over the filters.
  auto* top = new QVBoxLayout;
  top->setContentsMargins(6, 4, 6, 0);
  top->setSpacing(1);
  needs_ = TextLine(this, "bestNeeds", nullptr);
  QFont large = needs_->font();
  large.setPixelSize(14);
  large.setBold(true);
  needs_->setFont(large);
  readings_ = TextLine(this, "bestReadings", "QLabel { color: #555555; }");
  chartNotes_ = TextLine(this, "bestChartNotes", "QLabel { color: #7a4f00; }");
  // The family's wishes the names are judged by, under the chart's lines.
  wishes_ = TextLine(this, "bestWishes", "QLabel { color: #2e5e2e; }");
  QHBoxLayout* filterRow = MakeFilterRow(count);
  // The filter on the fit stands beside the sentence it follows.
  auto* needsRow = new QHBoxLayout;
  needsRow->addWidget(needs_, 1);
  needsRow->addWidget(onlyFitting_, 0, Qt::AlignTop);
  top->addLayout(needsRow);
  top->addWidget(readings_);
  top->addWidget(chartNotes_);
  top->addWidget(wishes_);
  top->addLayout(filterRow);
  QTableView* table = MakeNameTable(this, "bestTable", proxy_, 20);
  for (int column = 0; column < BestModel::kColumnCount; ++column) {
    table->setColumnWidth(column, BestModel::ColumnWidth(column));
  }
  table->sortByColumn(BestModel::kRecommend, Qt::DescendingOrder);
  PlaceTable(proxy_, table, top, count, MakeDetails(table));
  OfferActions();
  FollowControls();
  StartSourceLookups();
  ApplyFilter();
  ShowNeeds();
}

// 隐藏…, the sex, the characters' level, 最低分数 and 不要的字, and the count.
QHBoxLayout* BestPage::MakeFilterRow(QLabel* count) {
  auto* row = new QHBoxLayout;
  row->setContentsMargins(4, 2, 4, 2);
  hideSerious_ = AddCheck(this, row, "bestHideSerious", tr("隐藏有严重提示的"), true);
  hideMild_ = AddCheck(this, row, "bestHideMild", tr("隐藏有一般提示的"), false);
  row->addSpacing(8);
  onlyFitting_ = new QCheckBox(tr("只看合喜用的名字"), this);
  onlyFitting_->setObjectName("bestOnlyFitting");
  onlyFitting_->setToolTip(tr("只列出至少有一个字的五行合宝宝喜用的名字(按“姓名设置”中名字五行的选择)"));
  // The list holds one baby's names: the sex follows the baby and is not
  // chosen here (the combo box stays, hidden, as the filter's source).
  sexes_ = AddCombo(this, row, "bestSex", {tr("男女都看"), tr("男孩"), tr("女孩")},
                    tr("只看适合男孩或女孩的名字;每次生成后跟着宝宝的性别"));
  sexes_->hide();
  row->addSpacing(8);
  row->addWidget(new QLabel(tr("用字:"), this));
  // In the order of enum Levels. Level 2 holds popular name characters
  // (霖 梓 婷 琪 …), so the default hides only level 3 and characters outside
  // the table.
  levels_ = AddCombo(this, row, "bestLevels", {tr("不用三级字和表外字"), tr("只用一级字"), tr("不限")},
                     tr("通用规范汉字表:一级字最常用,二级字含不少常见的取名用字,三级字和表外字难认难输入"));
  row->addSpacing(8);
  row->addWidget(new QLabel(tr("最低分数:"), this));
  minScore_ = new QSpinBox(this);
  minScore_->setObjectName("bestMinimumScore");
  minScore_->setRange(0, 100);
  minScore_->setSingleStep(5);
  minScore_->setSpecialValueText(tr("不限"));
  row->addWidget(minScore_);
  row->addSpacing(8);
  row->addWidget(new QLabel(tr("不要的字:"), this));
  leaveOut_ = new QLineEdit(this);
  leaveOut_->setObjectName("bestLeaveOut");
  leaveOut_->setPlaceholderText(tr("名中不要的字"));
  leaveOut_->setClearButtonEnabled(true);
  leaveOut_->setMinimumWidth(56);
  row->addWidget(leaveOut_, 1);
  count->setObjectName("bestCount");
  row->addWidget(count);
  return row;
}

// The table with the details of the current name beside it.
QWidget* BestPage::MakeDetails(QTableView* table) {
  details_ = new QTextBrowser(this);
  details_->setObjectName("bestDetails");
  details_->setPlaceholderText(
      tr("选中一个名字,这里显示每个字的意思、常用词、男女取名用得多少,各条提示和推荐度的由来"));
  auto* splitter = new QSplitter(Qt::Horizontal, this);
  splitter->addWidget(table);
  splitter->addWidget(details_);
  splitter->setStretchFactor(0, 3);
  splitter->setStretchFactor(1, 2);
  splitter->setSizes({560, 340});
  return splitter;
}

void BestPage::FollowControls() {
  connect(Table()->selectionModel(), &QItemSelectionModel::currentRowChanged, this, &BestPage::ShowDetails);
  // A source that arrives changes the 推荐度 and its reasons.
  connect(model_, &QAbstractItemModel::dataChanged, this, &BestPage::ShowDetails);
  for (QCheckBox* box : {hideSerious_, hideMild_, onlyFitting_}) {
    connect(box, &QCheckBox::toggled, this, &BestPage::ApplyFilter);
  }
  connect(levels_, &QComboBox::currentIndexChanged, this, &BestPage::ApplyFilter);
  connect(sexes_, &QComboBox::currentIndexChanged, this, &BestPage::ApplyFilter);
  connect(minScore_, &QSpinBox::valueChanged, this, &BestPage::ApplyFilter);
  connect(leaveOut_, &QLineEdit::textChanged, this, &BestPage::ApplyFilter);
}

// Sources are looked up a slice at a time between the window's events; the
// rows move to their place as their 推荐度 takes in the source.
void BestPage::StartSourceLookups() {
  sources_ = new QTimer(this);
  sources_->setInterval(0);
  connect(sources_, &QTimer::timeout, this, [this] {
    if (!model_->LookUpSources(kSourceSlice)) sources_->stop();
    proxy_->invalidate();  // a name's new 推荐度 may move others to another round
  });
}

void BestPage::SetNotes(sources::NameNotes* notes) { model_->SetNotes(notes); }

void BestPage::SetConventionsScorer(BestNames::ConventionsScorer scorer) {
  model_->Names().SetConventionsScorer(std::move(scorer));
}

void BestPage::SetFactorsReader(
    std::function<ScoreFactors(const Candidate&, const std::optional<BestNames::RunBirth>&)> reader) {
  model_->SetFactorsReader(std::move(reader));
}

void BestPage::ReadFrom(NamingModel& model) {
  SetProposer([&model](BestNames& names) {
    if (!model.Running()) names.AddProposals(model.Session(), model.Services());
  });
  SetConventionsScorer([&model](const Candidate& c) { return model.ConventionsScore(c); });
  SetFactorsReader([&model](const Candidate& c, const std::optional<BestNames::RunBirth>& birth) {
    const int surnameLength = static_cast<int>(c.surnameBytes / 2);  // the surname is hanzi
    if (!birth) return ReadScoreFactors(model.Stores(), c.fullName, surnameLength, {}, {});
    return ReadScoreFactors(model.Stores(), c.fullName, surnameLength, birth->year, birth->month, birth->day,
                            birth->hour);
  });
}

void BestPage::FollowBaby() {
  const NamingSession& session = runs_.session;
  if (session.birthYear == 0) return;  // no run yet: the names are pooled as they come
  model_->Follow([&](BestNames& names) {
    // The run's baby, with the element choice and the wishes as they stand
    // now on 姓名设置.
    Child child = session.RunChild();
    if (wish_) {
      child.wish = wish_->first;
      child.chosen = wish_->second;
    }
    if (familyWishes_) child.wishes = *familyWishes_;
    names.FollowChild(child, NameJudge(services_, ReadNeeds(session.chart.pillars, child.wish, child.chosen)),
                      session.acceptedBeforeRun);
  });
  proxy_->invalidate();
  ShowDetails();
  ShowNeeds();
}

void BestPage::SetWish(ElementWish wish, std::vector<Element> chosen) {
  wish_ = {wish, std::move(chosen)};
  FollowBaby();
  RefreshCount();
}

void BestPage::SetFamilyWishes(FamilyWishes wishes) {
  familyWishes_ = std::move(wishes);
  FollowBaby();
  RefreshCount();
}

void BestPage::ShowNeeds() {
  const std::optional<ChildNeeds>& needs = model_->Names().Judge().Needs();
  const NeedsView view = needs ? NeedsViewOf(*needs) : NeedsView();
  if (view.IsEmpty()) {
    needs_->setText(runs_.session.birthYear == 0 ? tr("先在姓名设置中填写宝宝的生日，点“生成”") : QString());
    readings_->clear();
    chartNotes_->clear();
  } else {
    needs_->setText(view.sentence);
    readings_->setText(view.readings);
    chartNotes_->setText(ChartNotesOf(runs_.session.chartNotes, runPlace_, &*needs).join('\n'));
  }
  wishes_->setText(WishesSentenceOf(model_->Names().Judge().Wishes().Wishes()));
  wishes_->setVisible(!wishes_->text().isEmpty());
  needs_->setVisible(!needs_->text().isEmpty());
  readings_->setVisible(!readings_->text().isEmpty());
  chartNotes_->setVisible(!chartNotes_->text().isEmpty());
}

QString BestPage::ChartNotesText() const { return chartNotes_->text(); }

void BestPage::SetRunPlace(const QString& city) {
  runPlace_ = city;
  ShowNeeds();
}

QString BestPage::NeedsText() const { return needs_->text(); }

QString BestPage::WishesText() const { return wishes_->text(); }

QString BestPage::ReadingsText() const { return readings_->text(); }

void BestPage::Collect() {
  FollowBaby();
  model_->Names().AddRuns(runs_, poetrySex_);
  if (propose_) propose_(model_->Names());
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

void BestPage::AddPoemPhrases(const std::vector<PoemPhrase>& phrases, const std::string& surname,
                              std::string_view scoringElements) {
  FollowBaby();
  if (::tavrin::AddPoemPhrases(model_->Names(), services_, phrases, surname, poetrySex_, scoringElements) == 0) return;
  model_->ShowAdded();
  proxy_->invalidate();
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
  filter.leaveOut = CoreCharsOf(leaveOut_->text());
  filter.onlyFitting = onlyFitting_->isChecked();
  proxy_->SetFilter(filter);
  RefreshCount();
}

void BestPage::RefreshCount() {
  NameTablePage::RefreshCount();
  emit shownCountChanged();
}

QString BestPage::EmptyText(bool filtered) const {
  return filtered ? tr("没有名字符合上面的条件。取消“隐藏…”和“只看合喜用的名字”的勾选、用字选“不限”、"
                       "调低“最低分数”或清空“不要的字”，就能看到更多名字。")
                  : tr("还没有名字。在“姓名设置”填好宝宝的性别、姓氏和生日，点“生成”，"
                       "或在“诗歌取名”从诗里取名：各页的名字都会汇集到这里，按推荐度排好，"
                       "选中一个就能看到它的意思、出处和提示。");
}

int BestPage::ShownCount() const { return proxy_->rowCount(); }

void BestPage::ShowDetails() {
  const int row = CurrentRow();
  details_->setHtml(row >= 0 ? model_->DetailsHtml(row) : QString());
}

QString BestPage::DetailsText() const { return details_->toPlainText(); }

TableText BestPage::Text() const {
  return {BestModel::Captions(), [this](int row, int column) { return model_->CellText(row, column); }};
}

}  // namespace tavrin::ui
