#include "ui/ReportModel.h"

#include "chars/gbk.h"
#include "chars/pinyin.h"
#include "chars/strokes.h"
#include "core/services.h"
#include "ui/NameNotesText.h"
#include "ui/qtext.h"

namespace tavrin::ui {

namespace {

constexpr std::string_view kExportSeparator = " | ";

// Numbers joined by "-": 7-6-8.
QString JoinNumbers(const std::vector<int>& numbers) {
  QStringList parts;
  for (const int n : numbers) parts << QString::number(n);
  return parts.join('-');
}

}  // namespace

const QStringList& ReportModel::Captions() {
  static const QStringList captions = {"姓名", "分数", "出生日五行", "姓名五行", "综合五行", "五格",
                                       "拼音", "笔画", "声调",       "通行评分", "出处"};
  return captions;
}

int ReportModel::ColumnWidth(int column) {
  static constexpr int kWidths[kColumnCount] = {0, 0, 130, 60, 180, 800, 150, 80, 80, 70, 320};
  return column >= 0 && column < kColumnCount ? kWidths[column] : 0;
}

ReportModel::ReportModel(ReportList& report, const NamingServices& services, QObject* parent)
    : NameTableModel(Captions(), kSource, services, parent), report_(report) {
  for (const ReportRow& row : report.Rows()) extras_.push_back(MakeExtras(row));
  report.SetListener([this](const ReportList& changed) {
    const int rows = static_cast<int>(changed.Rows().size());
    const int before = static_cast<int>(extras_.size());
    if (rows <= before) return;
    beginInsertRows({}, before, rows - 1);
    for (int i = before; i < rows; ++i) extras_.push_back(MakeExtras(changed.Rows()[static_cast<std::size_t>(i)]));
    endInsertRows();
  });
}

ReportModel::Extras ReportModel::MakeExtras(const ReportRow& row) const {
  const std::string& name = row.candidate.fullName;
  const int surnameLength = static_cast<int>(row.candidate.surnameBytes / 2);
  std::vector<int> strokes;
  for (const std::string& ch : SplitChars(name)) strokes.push_back(StrokeCount(ch));
  // The tones are those of the reading shown beside them (曾 zēng: 1).
  std::vector<int> tones;
  for (const std::string& syllable : Services().namePinyin.Syllables(name, surnameLength)) {
    tones.push_back(pinyin_rules::ToneOfPinyin(syllable));
  }
  Extras extras;
  extras.pinyin = QString::fromStdString(Services().namePinyin.Marked(name, surnameLength));
  extras.strokes = JoinNumbers(strokes);
  extras.tones = JoinNumbers(tones) + (pinyin_rules::TonesAcceptable(tones) ? " ✓" : " ✗");
  return extras;
}

QString ReportModel::SourceText(int row) const {
  return SourceCellText(Notes(), report_.Rows()[static_cast<std::size_t>(row)].candidate.fullName);
}

QString ReportModel::NameTip(int row) const {
  return NameToolTip(Notes(), report_.Rows()[static_cast<std::size_t>(row)].candidate.fullName);
}

int ReportModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(extras_.size());
}

QString ReportModel::CellText(int row, int column) const {
  if (row < 0 || row >= rowCount() || column < 0 || column >= kColumnCount) return {};
  const Extras& extras = extras_[static_cast<std::size_t>(row)];
  switch (column) {
    case kPinyin:
      return extras.pinyin;
    case kStrokes:
      return extras.strokes;
    case kTones:
      return extras.tones;
    case kSource:
      return SourceText(row);
    default:
      break;
  }
  const ReportRow& reportRow = report_.Rows()[static_cast<std::size_t>(row)];
  if (column == kConventionsScore) {
    return reportRow.conventionsScore ? QString::number(*reportRow.conventionsScore) : QString("—");
  }
  if (column == kGrids) {
    // The grid lines joined by " | ", none after the last.
    QString text = GridLinesOf(reportRow.scored, kExportSeparator);
    if (!reportRow.scored.matches.empty()) text.chop(static_cast<qsizetype>(kExportSeparator.size()));
    return text;
  }
  return CellOf(reportRow, static_cast<std::size_t>(column));
}

QVariant ReportModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  const int column = index.column();
  if (role == Qt::DisplayRole) {
    if (column == kGrids) {
      // The grid lines on one line, each followed by a blank.
      return GridLinesOf(report_.Rows()[static_cast<std::size_t>(index.row())].scored, " ");
    }
    return CellText(index.row(), column);
  }
  if (role == kScoreRole) {
    const ReportRow& row = report_.Rows()[static_cast<std::size_t>(index.row())];
    // A name without common grids sorts below every 通行评分.
    return column == kConventionsScore ? row.conventionsScore.value_or(-1) : row.candidate.score;
  }
  if (role == Qt::ToolTipRole && column == kName) {
    const QString tip = NameTip(index.row());
    return tip.isEmpty() ? QVariant() : QVariant(tip);
  }
  if (role == Qt::ToolTipRole && column == kSource) {
    const QString text = SourceText(index.row());
    return text.isEmpty() ? QVariant() : QVariant(text);
  }
  if (role == Qt::ToolTipRole && column == kGrids) {
    return GridLinesOf(report_.Rows()[static_cast<std::size_t>(index.row())].scored, "\n").trimmed();
  }
  return {};
}

}  // namespace tavrin::ui
