#include "ui/BestModel.h"

#include <QColor>
#include <QElapsedTimer>
#include <QFont>
#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <algorithm>

#include "chars/tone_marks.h"
#include "core/services.h"
#include "report/score_words.h"
#include "sources/name_notes.h"
#include "ui/NameNotesText.h"
#include "ui/qtext.h"

namespace tavrin::ui {

namespace {

QString SexText(Sex sex) { return sex == Sex::kFemale ? BestModel::tr("女") : BestModel::tr("男"); }

// The star of a kept name, in the name's cell.
QIcon KeptStar() {
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setPen(QColor(0xE0, 0xA0, 0x00));
  QFont font = painter.font();
  font.setPixelSize(15);
  painter.setFont(font);
  painter.drawText(pixmap.rect(), Qt::AlignCenter, QString(QChar(0x2605)));
  return QIcon(pixmap);
}

QString LevelText(int level) {
  static const char* const kLevels[] = {QT_TR_NOOP("表外字"), QT_TR_NOOP("一级字"), QT_TR_NOOP("二级字"),
                                        QT_TR_NOOP("三级字")};
  return level >= 0 && level <= 3 ? BestModel::tr(kLevels[level]) : QString();
}

}  // namespace

const QStringList& BestModel::Captions() {
  static const QStringList captions = {"姓名",     "性别", "拼音", "推荐度", "分数",
                                       "通行评分", "提示", "出处", "字义",   "来源"};
  return captions;
}

// 姓名 leaves room for the star of a kept name before a four-character name.
int BestModel::ColumnWidth(int column) {
  static constexpr int kWidths[kColumnCount] = {84, 36, 104, 58, 40, 64, 190, 300, 400, 72};
  return column >= 0 && column < kColumnCount ? kWidths[column] : 0;
}

BestModel::BestModel(const advice::AdviceTables* tables, const NamingServices& services, QObject* parent)
    : NameTableModel(Captions(), kSource, services, parent), names_(tables) {}

void BestModel::SetNotes(sources::NameNotes* notes) {
  names_.SetSourceFinder(notes ? sources::SourceFinderOf(*notes) : advice::SourceFinder(), true);
  NameTableModel::SetNotes(notes);
}

void BestModel::ShowAdded() {
  const int before = static_cast<int>(texts_.size());
  const int after = static_cast<int>(names_.Size());
  if (after <= before) return;
  beginInsertRows({}, before, after - 1);
  for (int i = before; i < after; ++i) texts_.push_back(MakeTexts(static_cast<std::size_t>(i)));
  endInsertRows();
}

void BestModel::Follow(const std::function<void(BestNames&)>& follow) {
  const std::uint64_t version = names_.Version();
  follow(names_);
  if (names_.Size() < texts_.size()) {
    beginResetModel();
    texts_.clear();
    for (std::size_t i = 0; i < names_.Size(); ++i) texts_.push_back(MakeTexts(i));
    endResetModel();
  } else if (names_.Version() != version && !texts_.empty()) {
    emit dataChanged(index(0, 0), index(rowCount() - 1, kColumnCount - 1));
  }
}

bool BestModel::LookUpSources(std::chrono::milliseconds budget) {
  QElapsedTimer timer;
  timer.start();
  const std::size_t from = names_.SourcesDone();
  while (names_.SourcesDone() < names_.Size() && timer.elapsed() < budget.count()) names_.LookUpSources(16);
  const int last = std::min(static_cast<int>(names_.SourcesDone()), rowCount()) - 1;
  if (last >= static_cast<int>(from)) emit dataChanged(index(static_cast<int>(from), 0), index(last, kColumnCount - 1));
  return names_.SourcesDone() < names_.Size();
}

BestModel::Texts BestModel::MakeTexts(std::size_t i) const {
  const advice::Advice& a = names_.AdviceAt(i);
  const std::string& name = names_.CandidateAt(i).fullName;
  const AdviceView view = ViewOf(a);
  Texts texts;
  texts.name = NameOf(names_.CandidateAt(i));
  // The surname read as a surname (曾 zēng), as on every page.
  texts.pinyin = QString::fromStdString(Services().namePinyin.Marked(name, a.surnameLength));
  QStringList warnings;
  for (const AdviceView::Warning& w : view.warnings) warnings << w.text;
  texts.warnings = warnings.join("；");
  // The pair's meaning first when the given name is a word, then each character's.
  QStringList glosses;
  for (const AdviceView::Char& c : view.chars) {
    if (!c.meaning.isEmpty()) glosses << c.ch + "：" + c.meaning;
  }
  texts.glosses = glosses.join("；");
  if (!view.pairMeaning.isEmpty()) texts.glosses = view.given + "：" + view.pairMeaning + " " + texts.glosses;
  return texts;
}

int BestModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(texts_.size());
}

QString BestModel::CellText(int row, int column) const {
  if (row < 0 || row >= rowCount()) return {};
  const auto i = static_cast<std::size_t>(row);
  const Texts& texts = texts_[i];
  switch (column) {
    case kName:
      return texts.name;
    case kSex:
      return SexText(names_.AdviceAt(i).sex);
    case kPinyin:
      return texts.pinyin;
    case kRecommend:
      return QString::number(names_.AdviceAt(i).recommend);
    case kScore:
      return names_.ScoreAt(i) == BestNames::kNoScore ? QString() : QString::number(names_.ScoreAt(i));
    case kConventionsScore: {
      const std::optional<int> score = names_.ConventionsScoreAt(i);
      return score ? QString::number(*score) : QString("—");
    }
    case kSource:
      return SourceCellText(Notes(), names_.CandidateAt(i).fullName);
    case kWarnings:
      return texts.warnings;
    case kGlosses:
      return texts.glosses;
    case kOrigin:
      return PageCaption(names_.CandidateAt(i).origin);
    default:
      return {};
  }
}

QVariant BestModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  if (role == Qt::DisplayRole) return CellText(index.row(), index.column());
  // 推荐度 is the name's verdict; the two scores explain themselves.
  if (role == Qt::FontRole && index.column() == kRecommend) {
    QFont bold;
    bold.setBold(true);
    return bold;
  }
  if (role == Qt::ToolTipRole && index.column() == kRecommend) return report::ScoreText::VerdictNote();
  if (role == Qt::ToolTipRole && (index.column() == kScore || index.column() == kConventionsScore)) {
    const QStringList sentences = ScoreSentences(index.row());
    return sentences.isEmpty() ? QVariant() : QVariant(sentences.join('\n'));
  }
  if (role == Qt::ToolTipRole &&
      (index.column() == kWarnings || index.column() == kGlosses || index.column() == kSource)) {
    const QString text = CellText(index.row(), index.column());
    return text.isEmpty() ? QVariant() : QVariant(text);
  }
  if (role == Qt::ToolTipRole && index.column() == kName) {
    const QString tip = NameToolTip(Notes(), names_.CandidateAt(static_cast<std::size_t>(index.row())).fullName);
    return tip.isEmpty() ? QVariant() : QVariant(tip);
  }
  if (role == Qt::DecorationRole && index.column() == kName && kept_) {
    const auto i = static_cast<std::size_t>(index.row());
    if (kept_(names_.CandidateAt(i).fullName, names_.AdviceAt(i).sex)) {
      // Drawn once a model: no pixmap may outlive the application.
      if (star_.isNull()) star_ = KeptStar();
      return star_;
    }
  }
  if (role == Qt::ForegroundRole && index.column() == kWarnings &&
      names_.AdviceAt(static_cast<std::size_t>(index.row())).HasSerious()) {
    return QColor(Qt::darkRed);
  }
  return {};
}

void BestModel::RefreshKept() {
  if (rowCount() > 0) emit dataChanged(index(0, kName), index(rowCount() - 1, kName), {Qt::DecorationRole});
}

QStringList BestModel::ScoreSentences(int row) const {
  if (!factors_ || row < 0 || row >= rowCount()) return {};
  const auto i = static_cast<std::size_t>(row);
  const Candidate& candidate = names_.CandidateAt(i);
  if (!candidate.scored) return {};
  return report::ScoreText::Describe(factors_(candidate, names_.BirthAt(i))).All();
}

namespace {

QString Escaped(const QString& text) { return text.toHtmlEscaped(); }

QString WarningsHtml(const AdviceView& a) {
  if (a.warnings.empty()) return {};
  QString html = BestModel::tr("<p><b>提示</b><br>");
  for (const AdviceView::Warning& w : a.warnings) {
    html += QString(w.serious ? "<span style='color:#a00000'>！%1</span><br>" : "· %1<br>").arg(Escaped(w.text));
  }
  return html + "</p>";
}

QString PairHtml(const AdviceView& a) {
  if (a.pairMeaning.isEmpty()) return {};
  return BestModel::tr("<p><b>词义</b><br>") + Escaped(a.given) + "：" + Escaped(a.pairMeaning) + "</p>";
}

// Each given character: its readings, level, how often boys and girls are
// given it, its meaning and words.
QString CharactersHtml(const advice::Advice& a, const AdviceView& view) {
  QString html = BestModel::tr("<p><b>用字</b><br>");
  for (std::size_t i = 0; i < a.given.size(); ++i) {
    const advice::GivenChar& g = a.given[i];
    const AdviceView::Char& c = view.chars[i];
    html += "<b>" + Escaped(c.ch) + "</b> ";
    if (!g.facts) {
      html += BestModel::tr("字表中没有<br>");
      continue;
    }
    const advice::CharFacts& f = *g.facts;
    QStringList readings;
    for (const std::string& reading : f.readings) readings << QString::fromStdString(PinyinWithToneMarks(reading));
    html += Escaped(readings.join("/")) + " · " + LevelText(f.level) +
            BestModel::tr(" · 男名 %1 个、女名 %2 个").arg(f.boys).arg(f.girls);
    // The Chinese meaning first; the English gloss under it, in grey.
    if (!c.meaning.isEmpty()) html += "<br>&nbsp;&nbsp;" + Escaped(c.meaning);
    if (!c.gloss.isEmpty()) html += "<br>&nbsp;&nbsp;<span style='color:#777'>" + Escaped(c.gloss) + "</span>";
    if (!c.words.isEmpty()) html += BestModel::tr("<br>&nbsp;&nbsp;词:") + Escaped(c.words.join(" "));
    html += "<br>";
  }
  return html + "</p>";
}

QString ReasonsHtml(const AdviceView& a) {
  if (a.reasons.empty()) return {};
  QString html = BestModel::tr("<p><b>推荐度的由来</b>(从 60 分起)<br>");
  for (const AdviceView::Reason& r : a.reasons) {
    html += QString("%1%2 %3<br>").arg(r.points > 0 ? "+" : "").arg(r.points).arg(Escaped(r.text));
  }
  return html + "</p>";
}

}  // namespace

// The verdict first and large; the two scores beside it, then why they stand
// where they do.
QString BestModel::VerdictHtml(std::size_t i) const {
  const advice::Advice& a = names_.AdviceAt(i);
  QString html = tr("<h3>%1 <small>%2 · %3孩</small></h3><p><span style='font-size:x-large'>推荐度 <b>%4</b></span>")
                     .arg(Escaped(texts_[i].name), Escaped(texts_[i].pinyin), SexText(a.sex))
                     .arg(a.recommend);
  QStringList scores;
  if (names_.ScoreAt(i) != BestNames::kNoScore) scores << tr("分数 %1").arg(names_.ScoreAt(i));
  if (const std::optional<int> conventions = names_.ConventionsScoreAt(i)) {
    scores << tr("通行评分 %1").arg(*conventions);
  }
  if (!scores.isEmpty()) html += "&nbsp;&nbsp;<span style='color:#555555'>" + scores.join(" · ") + "</span>";
  html += "</p>";
  if (const QStringList sentences = ScoreSentences(static_cast<int>(i)); !sentences.isEmpty()) {
    QStringList escaped;
    for (const QString& sentence : sentences) escaped << Escaped(sentence);
    html += "<p style='color:#555555'>" + escaped.join("<br>") + "<br><small>" +
            Escaped(report::ScoreText::VerdictNote()) + "</small></p>";
  }
  // Whether the given characters bring what the baby needs, before the rest.
  if (const QString fit = FitLineOf(a, Services()); !fit.isEmpty()) {
    const char* colour = a.fit == advice::ElementFit::kNone ? "#a00000" : "#006000";
    html += QString("<p style='color:%1'>%2</p>").arg(colour, Escaped(fit));
  }
  return html;
}

QString BestModel::DetailsHtml(int row) const {
  if (row < 0 || row >= rowCount()) return {};
  const auto i = static_cast<std::size_t>(row);
  const advice::Advice& a = names_.AdviceAt(i);
  const AdviceView view = ViewOf(a);
  QString html = VerdictHtml(i);
  if (!view.bankMeaning.isEmpty()) html += tr("<p><b>寓意</b><br>") + Escaped(view.bankMeaning) + "</p>";
  if (const sources::NameSource* source =
          Notes() ? Notes()->BestSource(GbkText(names_.CandidateAt(i).fullName)) : nullptr) {
    html += tr("<p><b>出处</b><br>") + SourceHtml(*source) + "</p>";
  }
  return html + WarningsHtml(view) + PairHtml(view) + CharactersHtml(a, view) + ReasonsHtml(view);
}

}  // namespace tavrin::ui
