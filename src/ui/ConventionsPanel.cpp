#include "ui/ConventionsPanel.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "advice/advice.h"
#include "core/startup.h"
#include "report/score_words.h"
#include "ui/qtext.h"

namespace tavrin::ui {

ConventionsPanel::ConventionsPanel(const DataStores& stores, QWidget* parent) : QWidget(parent), stores_(stores) {
  setObjectName("conventionsPanel");
  setAutoFillBackground(true);  // it stands over the analysis pane
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  why_ = new QLabel(this);
  why_->setObjectName("conventionsWhy");
  why_->setWordWrap(true);
  why_->setStyleSheet("QLabel { color: #555555; }");
  why_->hide();
  layout->addWidget(why_);
  text_ = new QPlainTextEdit(this);
  text_->setObjectName("conventionsText");
  text_->setReadOnly(true);
  text_->setPlaceholderText(tr("按“分 析”后,这里按起名书通行的算法解读名字:康熙笔画、五格、三才、喜用神和通行评分。"));
  layout->addWidget(text_);
  auto* row = new QHBoxLayout;
  row->addWidget(new QLabel(tr("喜用五行(可自选):"), this));
  for (Element e : kElementOrder) {
    auto* box = new QCheckBox(ElementCaption(e), this);
    box->setObjectName(QString("favourable%1").arg(static_cast<int>(e)));
    box->setEnabled(false);
    connect(box, &QCheckBox::toggled, this, [this] {
      std::vector<Element> chosen;
      for (Element f : kElementOrder) {
        if (favourable_[static_cast<std::size_t>(f)]->isChecked()) chosen.push_back(f);
      }
      wish_ = chosen.empty() ? ElementWish::kChart : ElementWish::kChosen;
      chosen_ = std::move(chosen);
      Reread();
      if (choiceChanged) choiceChanged(wish_, chosen_);
    });
    favourable_[static_cast<std::size_t>(e)] = box;
    row->addWidget(box);
  }
  byChart_ = new QPushButton(tr("按八字"), this);
  byChart_->setObjectName("favourableByChart");
  byChart_->setToolTip(tr("不用自选,按八字推算喜用五行"));
  byChart_->setEnabled(false);
  connect(byChart_, &QPushButton::clicked, this, [this] {
    wish_ = ElementWish::kChart;
    chosen_.clear();
    Reread();
    ShowBoxes();
    if (choiceChanged) choiceChanged(wish_, chosen_);
  });
  row->addWidget(byChart_);
  row->addStretch();
  layout->addLayout(row);
}

ConventionsPanel::~ConventionsPanel() = default;

std::optional<std::vector<Element>> ConventionsPanel::Override() const {
  if (wish_ != ElementWish::kChosen || chosen_.empty()) return std::nullopt;
  return chosen_;
}

void ConventionsPanel::SetChoice(ElementWish wish, const std::vector<Element>& chosen) {
  if (wish == wish_ && chosen == chosen_) return;  // the panel's own change, said back
  wish_ = wish;
  chosen_ = chosen;
  Reread();
  ShowBoxes();
}

void ConventionsPanel::ShowFor(const NameReport* report) {
  if (report) {
    report_ = *report;
  } else {
    report_.reset();
  }
  Reread();
  ShowBoxes();
  // The same name read twice: where the two readings part, and why.
  QStringList why;
  if (report_ && section_ && section_->reading) {
    const ScoreFactors factors = ReadScoreFactors(stores_, *report_);
    why = report::ScoreText::Describe(factors).differences;
    if (why.isEmpty() && factors.surnameLength == 1) why << tr("五个格的吉凶，这里和姓名分析的算法一致。");
  }
  why_->setText(why.join('\n'));
  why_->setVisible(!why.isEmpty());
}

// The boxes show the window's choice, or the chart's own elements when the
// choice is the chart's (or none), without counting as the user's.
void ConventionsPanel::ShowBoxes() {
  const bool haveChart = section_ && section_->favourable;
  for (Element e : kElementOrder) {
    QCheckBox* box = favourable_[static_cast<std::size_t>(e)];
    const QSignalBlocker blocker(box);
    bool ticked = false;
    if (haveChart) {
      for (Element f : section_->favourable->favourable) ticked = ticked || f == e;
    }
    box->setChecked(ticked);
    box->setEnabled(haveChart && section_->reading.has_value());
  }
}

void ConventionsPanel::Reread() {
  if (report_) {
    section_ = ReadNameConventions(stores_, ConventionsRequestFor(*report_, *stores_.advice, Override()));
  } else {
    section_.reset();
  }
  byChart_->setEnabled(section_ && section_->favourable && Override().has_value());
  ShowSection();
}

void ConventionsPanel::ShowSection() {
  QStringList lines;
  if (section_) lines = LinesOf(*section_);
  text_->setPlainText(lines.join('\n'));
}

}  // namespace tavrin::ui
