#include "report/name_report_pdf.h"

#include <QBuffer>
#include <QFont>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <array>
#include <functional>

#include "base/file_write.h"
#include "calendar/birth_pillars.h"
#include "chars/tone_marks.h"
#include "core/child.h"
#include "report/report_text.h"
#include "report/score_words.h"

namespace tavrin::report {

namespace {

// Page coordinates in points: A4 is 595 x 842.
constexpr int kPageWidth = 595;
constexpr int kPageHeight = 842;
constexpr int kMargin = 42;
constexpr int kContentWidth = kPageWidth - 2 * kMargin;

// The hour field as a birth line shows it: its text and "时", or 时辰不详.
QString HourText(const HourField& hour) {
  return hour.unknown ? FromCore(UnknownHourText()) : FromCore(hour.text) + "时";
}

QFont Font(int pixels, bool bold = false) {
  QFont font("Noto Sans CJK SC");
  font.setPixelSize(pixels);
  font.setBold(bold);
  return font;
}

const QStringList& ElementNames() {
  static const QStringList names = {"金", "木", "水", "火", "土"};
  return names;
}

const std::array<QColor, 5>& ElementColours() {
  static const std::array<QColor, 5> colours = {QColor(0xB8, 0x94, 0x2E), QColor(0x3C, 0x8D, 0x3F),
                                                QColor(0x2F, 0x6F, 0xB5), QColor(0xC6, 0x3D, 0x2F),
                                                QColor(0x8A, 0x65, 0x3A)};
  return colours;
}

std::array<int, 5> CountElements(const QString& text) {
  std::array<int, 5> counts{};
  for (int i = 0; i < 5; ++i) counts[static_cast<std::size_t>(i)] = static_cast<int>(text.count(ElementNames()[i]));
  return counts;
}

class ReportPainter {
 public:
  ReportPainter(QPainter& painter, const NameReport& report, const NameMeaning* meaning,
                const ChildNeeds* needs = nullptr, std::string_view placeName = {})
      : p_(painter), r_(report), m_(meaning), needs_(needs), placeName_(placeName) {}

  void Paint() {
    Header();
    Verdict();
    Meaning();
    Pillars();
    Elements();
    Grids();
    Footer();
  }

  // The 通行算法 reading on a page of its own: its lines under a heading,
  // wrapped; the numerology lines in a smaller grey type.
  void PaintConventions(const ConventionsSection& section) {
    y_ = kMargin;
    // Whose reading it is, and why it may judge a grid otherwise than page 1.
    p_.setFont(Font(22, true));
    p_.drawText(QRect(kMargin, y_, kContentWidth, 32), Qt::AlignLeft | Qt::AlignVCenter, FromCore(r_.name));
    y_ += 34;
    if (r_.factors) {
      const ScoreWords words = ScoreText::Describe(*r_.factors);
      Paragraphs(QStringList{words.conventions} + words.differences, 10, QColor(0x55, 0x55, 0x55));
    }
    const LineList lines = ConventionsLines(section);
    Heading(FromCore(lines.front()));
    for (std::size_t i = 1; i < lines.size(); ++i) {
      const bool detail = lines[i].starts_with("    ");
      const QString text = FromCore(detail ? std::string_view(lines[i]).substr(4) : std::string_view(lines[i]));
      const int left = kMargin + (detail ? 24 : 0);
      const int width = kContentWidth - (detail ? 24 : 0);
      p_.setFont(Font(detail ? 10 : 12, lines[i].starts_with("通行评分")));
      p_.setPen(detail ? QColor(0x55, 0x55, 0x55) : QColor(Qt::black));
      const QRect needed = p_.boundingRect(QRect(left, y_, width, 1000), Qt::TextWordWrap | Qt::AlignLeft, text);
      p_.drawText(QRect(left, y_, width, needed.height()), Qt::TextWordWrap | Qt::AlignLeft, text);
      y_ += needed.height() + 5;
    }
    p_.setPen(Qt::black);
  }

 private:
  // Lines wrapped to the page's width, one after the other.
  void Paragraphs(const QStringList& lines, int pixels, const QColor& colour) {
    p_.setFont(Font(pixels));
    p_.setPen(colour);
    for (const QString& line : lines) {
      if (line.isEmpty()) continue;
      const QRect needed = p_.boundingRect(QRect(kMargin, y_, kContentWidth, 1000), Qt::TextWordWrap, line);
      p_.drawText(QRect(kMargin, y_, kContentWidth, needed.height()), Qt::TextWordWrap | Qt::AlignLeft, line);
      y_ += needed.height() + 2;
    }
    p_.setPen(Qt::black);
  }

  // The name's verdict: its 推荐度 first and large, its two scores beside it
  // and why they stand where they do.
  void Verdict() {
    int x = kMargin;
    if (r_.recommend) {
      p_.setFont(Font(20, true));
      const QString recommend = QString("推荐度 %1").arg(*r_.recommend);
      p_.drawText(QRect(x, y_, kContentWidth, 28), Qt::AlignLeft | Qt::AlignVCenter, recommend);
      x += p_.fontMetrics().horizontalAdvance(recommend) + 18;
    }
    p_.setFont(Font(12));
    p_.setPen(QColor(0x55, 0x55, 0x55));
    QString scores = QString("分数 %1").arg(r_.score);
    if (r_.factors && r_.factors->conventions) scores += QString(" · 通行评分 %1").arg(r_.factors->conventions->score);
    p_.drawText(QRect(x, y_, kMargin + kContentWidth - x, 28), Qt::AlignLeft | Qt::AlignVCenter, scores);
    p_.setPen(Qt::black);
    y_ += 30;
    if (!r_.factors) return;
    Paragraphs(ScoreText::Describe(*r_.factors).All(), 9, QColor(0x55, 0x55, 0x55));
  }

  void Heading(const QString& text) {
    y_ += 14;
    p_.setFont(Font(14, true));
    p_.setPen(QColor(0x33, 0x33, 0x33));
    p_.drawText(QRect(kMargin, y_, kContentWidth, 20), Qt::AlignLeft | Qt::AlignVCenter, text);
    y_ += 22;
    p_.setPen(QPen(QColor(0xCC, 0xCC, 0xCC), 0.8));
    p_.drawLine(kMargin, y_ - 2, kMargin + kContentWidth, y_ - 2);
    p_.setPen(Qt::black);
  }

  void Header() {
    y_ = kMargin;
    p_.setFont(Font(44, true));
    p_.drawText(QRect(kMargin, y_, kContentWidth, 60), Qt::AlignLeft | Qt::AlignVCenter, FromCore(r_.name));
    p_.setFont(Font(16));
    const QString pinyin = QString::fromStdString(PinyinWithToneMarks(r_.pinyin));
    p_.drawText(QRect(kMargin + 200, y_ + 4, kContentWidth - 200, 24), Qt::AlignRight | Qt::AlignVCenter, pinyin);
    p_.setFont(Font(12));
    p_.drawText(QRect(kMargin + 200, y_ + 30, kContentWidth - 200, 20), Qt::AlignRight | Qt::AlignVCenter,
                "繁体:" + FromCore(r_.traditional));
    y_ += 64;
    p_.setFont(Font(11));
    p_.setPen(QColor(0x55, 0x55, 0x55));
    p_.drawText(QRect(kMargin, y_, kContentWidth, 18), Qt::AlignLeft | Qt::AlignVCenter,
                QString("出生:公历 %1年%2月%3日 %4").arg(r_.year).arg(r_.month).arg(r_.day).arg(HourText(r_.hour)));
    p_.setPen(Qt::black);
    y_ += 20;
  }

  // 字义与出处: a line a given character, then the line the name comes from.
  void Meaning() {
    if (!m_ || (m_->meanings.empty() && m_->source.empty())) return;
    Heading("字义与出处");
    p_.setFont(Font(10));
    QStringList lines;
    for (const GbkText& meaning : m_->meanings) lines << FromCore(meaning);
    if (!m_->source.empty()) lines << "出处:" + FromCore(m_->source) + "(" + FromCore(m_->collection) + ")";
    for (const QString& line : lines) {
      const QRect needed = p_.boundingRect(QRect(kMargin, y_, kContentWidth, 1000), Qt::TextWordWrap, line);
      p_.drawText(QRect(kMargin, y_, kContentWidth, needed.height()), Qt::TextWordWrap | Qt::AlignLeft, line);
      y_ += needed.height() + 2;
    }
  }

  void Pillars() {
    Heading("四柱八字");
    static const QStringList captions = {"年柱", "月柱", "日柱", "时柱"};
    const int cellWidth = kContentWidth / 5;
    const int rowHeight = 22;
    const QStringList rows = {"", "干支", "五行"};
    p_.setPen(QPen(QColor(0x99, 0x99, 0x99), 0.6));
    for (int row = 0; row < 3; ++row) {
      for (int column = 0; column < 5; ++column) {
        const QRect cell(kMargin + column * cellWidth, y_ + row * rowHeight, cellWidth, rowHeight);
        if (row == 0 || column == 0) p_.fillRect(cell, QColor(0xF2, 0xF2, 0xF2));
        p_.drawRect(cell);
        QString text;
        if (column == 0) {
          text = rows[row];
        } else if (row == 0) {
          text = captions[column - 1];
        } else {
          const auto i = static_cast<std::size_t>(column - 1);
          text = row == 1 ? FromCore(r_.pillars[i]) : FromCore(r_.pillarElements[i]);
          if (text.isEmpty()) text = "—";
        }
        p_.setFont(Font(row == 1 && column > 0 ? 15 : 12, row == 0 || column == 0));
        p_.setPen(Qt::black);
        p_.drawText(cell, Qt::AlignCenter, text);
        p_.setPen(QPen(QColor(0x99, 0x99, 0x99), 0.6));
      }
    }
    p_.setPen(Qt::black);
    y_ += 3 * rowHeight + 6;
    // What the baby needs of a name, by the reading the names are judged by.
    if (needs_) {
      const QString sentence = FromCore(NeedsSentence(*needs_));
      if (!sentence.isEmpty()) {
        Paragraphs({sentence}, 11, Qt::black);
        Paragraphs({FromCore(ReadingsLine(*needs_))}, 9, QColor(0x55, 0x55, 0x55));
      }
    }
    // How the chart was read: without the hour over the twelve double hours,
    // the true solar time, the solar term's day.
    QStringList notes;
    if (needs_ && needs_->HasChart()) {
      if (const std::string hour = UnknownHourLine(*needs_); !hour.empty()) notes << FromCore(hour);
    }
    for (const std::string& line : ChartNoteLines(r_.chartNotes, placeName_)) notes << FromCore(line);
    if (!notes.isEmpty()) Paragraphs(notes, 9, QColor(0x7a, 0x4f, 0x00));
  }

  void Elements() {
    Heading("五行分布");
    const QString birth = FromCore(r_.birthElements);
    const QString name = FromCore(r_.nameElements);
    const std::array<std::array<int, 5>, 3> counts = {CountElements(birth), CountElements(name),
                                                      CountElements(birth + name)};
    static const QStringList series = {"八字", "名字", "综合"};
    static const std::array<int, 3> shades = {90, 150, 255};  // alpha of each series
    int maximum = 1;
    for (const auto& row : counts) maximum = std::max(maximum, *std::max_element(row.begin(), row.end()));
    const int chartHeight = 84;
    const int groupWidth = kContentWidth / 5;
    const int barWidth = 22;
    const int base = y_ + chartHeight;
    for (int element = 0; element < 5; ++element) {
      const int groupLeft = kMargin + element * groupWidth + (groupWidth - 3 * barWidth - 8) / 2;
      for (int s = 0; s < 3; ++s) {
        const int count = counts[static_cast<std::size_t>(s)][static_cast<std::size_t>(element)];
        const int height = count * (chartHeight - 16) / maximum;
        QColor colour = ElementColours()[static_cast<std::size_t>(element)];
        colour.setAlpha(shades[static_cast<std::size_t>(s)]);
        const QRect bar(groupLeft + s * (barWidth + 4), base - height, barWidth, height);
        p_.fillRect(bar, colour);
        p_.setFont(Font(9));
        p_.drawText(QRect(bar.left(), base - height - 14, barWidth, 12), Qt::AlignCenter, QString::number(count));
      }
      p_.setFont(Font(13, true));
      p_.drawText(QRect(kMargin + element * groupWidth, base + 2, groupWidth, 18), Qt::AlignCenter,
                  ElementNames()[element]);
    }
    p_.setPen(QPen(QColor(0x99, 0x99, 0x99), 0.6));
    p_.drawLine(kMargin, base, kMargin + kContentWidth, base);
    p_.setPen(Qt::black);
    // The legend: the three series by shade.
    int x = kMargin;
    const int legendY = base + 24;
    p_.setFont(Font(10));
    for (int s = 0; s < 3; ++s) {
      QColor grey(0x55, 0x55, 0x55);
      grey.setAlpha(shades[static_cast<std::size_t>(s)]);
      p_.fillRect(QRect(x, legendY + 3, 12, 10), grey);
      p_.drawText(QRect(x + 16, legendY, 60, 16), Qt::AlignLeft | Qt::AlignVCenter, series[s]);
      x += 76;
    }
    p_.drawText(QRect(x, legendY, kPageWidth - kMargin - x, 16), Qt::AlignRight | Qt::AlignVCenter,
                "八字五行:" + birth + "   名字五行:" + (name.isEmpty() ? "—" : name));
    y_ = legendY + 20;
  }

  void Grids() {
    Heading("五格数理");
    const int labelWidth = 46;
    const int numberWidth = 30;
    const int verdictWidth = 36;
    const int textLeft = kMargin + labelWidth + numberWidth + verdictWidth;
    const int textWidth = kMargin + kContentWidth - textLeft;
    for (const NameReport::GridLine& grid : r_.grids) {
      QStringList lines;
      QString verdict;
      for (const std::string& line : grid.lines) {
        lines << FromCore(line);
        if (verdict.isEmpty()) verdict = FromCore(VerdictOf(line));
      }
      const QString text = lines.isEmpty() ? QString("—") : lines.join('\n');
      p_.setFont(Font(10));
      const QRect needed =
          p_.boundingRect(QRect(textLeft, y_, textWidth, 1000), Qt::TextWordWrap | Qt::AlignLeft, text);
      const int height = std::max(20, needed.height() + 6);
      p_.setFont(Font(12, true));
      QString label = FromCore(grid.label);
      if (label.endsWith(':')) label.chop(1);
      p_.drawText(QRect(kMargin, y_, labelWidth, 20), Qt::AlignLeft | Qt::AlignVCenter, label);
      p_.setFont(Font(12));
      p_.drawText(QRect(kMargin + labelWidth, y_, numberWidth, 20), Qt::AlignLeft | Qt::AlignVCenter,
                  QString::number(grid.number));
      p_.setPen(verdict == "凶" ? QColor(0xB0, 0x30, 0x30) : QColor(0x2E, 0x7D, 0x32));
      p_.drawText(QRect(kMargin + labelWidth + numberWidth, y_, verdictWidth, 20), Qt::AlignLeft | Qt::AlignVCenter,
                  verdict.isEmpty() ? "—" : verdict);
      p_.setPen(Qt::black);
      p_.setFont(Font(10));
      p_.drawText(QRect(textLeft, y_ + 3, textWidth, height), Qt::TextWordWrap | Qt::AlignLeft, text);
      y_ += height + 4;
    }
  }

  // The scores stand under the name (Verdict); the foot of the page names the report.
  void Footer() {
    p_.setFont(Font(9));
    p_.setPen(QColor(0x88, 0x88, 0x88));
    p_.drawText(QRect(kMargin, kPageHeight - kMargin, kContentWidth, 14), Qt::AlignRight | Qt::AlignVCenter,
                "Tavrin 姓名分析报告");
    p_.setPen(Qt::black);
  }

  QPainter& p_;
  const NameReport& r_;
  const NameMeaning* m_;
  const ChildNeeds* needs_;
  std::string_view placeName_;
  int y_ = 0;
};

using PaintPages = std::function<void(QPainter&, QPagedPaintDevice&)>;

// Paints the A4 pages onto the device, each page scaled whole into the
// device's page (a printer's printable area, in the A4 shape).
bool Paint(QPagedPaintDevice& device, QString& error, const PaintPages& paint) {
  QPainter painter;
  if (!painter.begin(&device)) {
    error = "无法开始绘制";
    return false;
  }
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setWindow(0, 0, kPageWidth, kPageHeight);
  const double scale = std::min(double(device.width()) / kPageWidth, double(device.height()) / kPageHeight);
  painter.setViewport(0, 0, int(kPageWidth * scale), int(kPageHeight * scale));
  paint(painter, device);
  painter.end();
  return true;
}

// Paints the pages into a PDF made in memory and saves it whole through
// WriteFileSafely, so a failed export never leaves a truncated file behind.
bool WritePdf(const QString& title, const std::string& path, QString& error, const PaintPages& paint) {
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  {
    QPdfWriter writer(&buffer);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    writer.setResolution(300);
    writer.setTitle(title);
    writer.setCreator("Tavrin");
    if (!Paint(writer, error, paint)) {
      error = "PDF " + error;
      return false;
    }
  }
  const QByteArray& pdf = buffer.data();
  if (auto failure = WriteFileSafely(path, std::string_view(pdf.constData(), static_cast<std::size_t>(pdf.size())))) {
    error = QString::fromStdString(*failure);
    return false;
  }
  return true;
}

// The comparison table: one column per name, one row per fact.
// The height a row of the comparison needs for its longest cell, at most
// `limit` (a row taller than a page is cut at the page's foot).
int RowHeight(QPainter& p, const ComparisonRow& row, int cellWidth, int limit) {
  p.setFont(Font(10));
  int height = 20;
  for (const QString& cell : row.cells) {
    const QRect needed = p.boundingRect(QRect(0, 0, cellWidth - 6, 1000), Qt::TextWordWrap, cell);
    height = std::max(height, needed.height() + 6);
  }
  return std::min(height, limit);
}

// The comparison table, on as many pages as its rows need: a row that does
// not fit below the last one starts a new page, which repeats the names.
void PaintComparison(QPainter& p, QPagedPaintDevice& device, const std::vector<ComparedName>& names) {
  int y = kMargin;
  p.setFont(Font(22, true));
  p.drawText(QRect(kMargin, y, kContentWidth, 32), Qt::AlignLeft | Qt::AlignVCenter, "收藏名字比较");
  y += 44;
  const std::vector<ComparisonRow> rows = ComparisonRows(names);
  const int labelWidth = 70;
  const int columns = std::max<int>(1, static_cast<int>(names.size()));
  const int cellWidth = (kContentWidth - labelWidth) / columns;
  const int bottom = kPageHeight - kMargin;
  const int tallest = bottom - kMargin - 40;
  const QPen grid(QColor(0x99, 0x99, 0x99), 0.6);
  const auto paintRow = [&](std::size_t r, int height) {
    const QRect label(kMargin, y, labelWidth, height);
    p.fillRect(label, QColor(0xF2, 0xF2, 0xF2));
    p.setPen(grid);
    p.drawRect(label);
    p.setPen(Qt::black);
    p.setFont(Font(10, true));
    p.drawText(label.adjusted(3, 0, -3, 0), Qt::AlignLeft | Qt::AlignVCenter, rows[r].label);
    for (int c = 0; c < columns && c < static_cast<int>(rows[r].cells.size()); ++c) {
      const QRect cell(kMargin + labelWidth + c * cellWidth, y, cellWidth, height);
      if (r == 0) p.fillRect(cell, QColor(0xF2, 0xF2, 0xF2));
      p.setPen(grid);
      p.drawRect(cell);
      p.setPen(Qt::black);
      // The names, and the verdict in bold.
      p.setFont(r == 0 ? Font(16, true) : Font(rows[r].label == "推荐度" ? 12 : 10, rows[r].label == "推荐度"));
      p.drawText(cell.adjusted(3, 3, -3, -3), Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignVCenter,
                 rows[r].cells[static_cast<std::size_t>(c)]);
    }
    y += height;
  };
  const int namesHeight = rows.empty() ? 0 : RowHeight(p, rows.front(), cellWidth, tallest);
  for (std::size_t r = 0; r < rows.size(); ++r) {
    const int height = r == 0 ? namesHeight : RowHeight(p, rows[r], cellWidth, tallest);
    if (r > 1 && y + height > bottom) {
      device.newPage();
      y = kMargin;
      paintRow(0, namesHeight);
    }
    paintRow(r, height);
  }
}

}  // namespace

namespace {

using CellOf = std::function<QString(const ComparedName&)>;
using AddRow = std::function<void(const QString& label, const CellOf& cell)>;

// The name, its verdict and scores, and the birth it was read for.
void AddNameRows(const AddRow& add) {
  add("姓名", [](const ComparedName& n) { return FromCore(n.report.name); });
  // The verdict first; the two scores beside it, with why they stand where they do.
  add("推荐度", [](const ComparedName& n) { return n.recommend; });
  add("分数", [](const ComparedName& n) { return QString::number(n.report.score); });
  add("通行评分", [](const ComparedName& n) {
    const bool read = n.report.conventions && n.report.conventions->reading;
    return read ? QString::number(n.report.conventions->reading->score) : QString();
  });
  add("分数说明", [](const ComparedName& n) {
    return n.report.factors ? ScoreText::Describe(*n.report.factors).All().join('\n') : QString();
  });
  add("拼音", [](const ComparedName& n) { return QString::fromStdString(PinyinWithToneMarks(n.report.pinyin)); });
  add("性别", [](const ComparedName& n) { return n.sex; });
  add("出生", [](const ComparedName& n) {
    return QString("%1-%2-%3 %4").arg(n.report.year).arg(n.report.month).arg(n.report.day).arg(HourText(n.report.hour));
  });
  add("四柱", [](const ComparedName& n) {
    QStringList pillars;
    for (const std::string& pillar : n.report.pillars) pillars << (pillar.empty() ? QString("—") : FromCore(pillar));
    return pillars.join(' ');
  });
  add("八字五行", [](const ComparedName& n) { return FromCore(n.report.birthElements); });
  add("名字五行", [](const ComparedName& n) { return FromCore(n.report.nameElements); });
}

// Each of the five grids: its number and verdict, labelled as the first
// name's analysis labels it.
void AddGridRows(const AddRow& add, const std::vector<ComparedName>& names) {
  for (std::size_t g = 0; g < 5; ++g) {
    QString label = names.empty() || g >= names.front().report.grids.size()
                        ? QString()
                        : FromCore(names.front().report.grids[g].label);
    if (label.endsWith(':')) label.chop(1);
    add(label, [g](const ComparedName& n) {
      if (g >= n.report.grids.size()) return QString("—");
      const NameReport::GridLine& grid = n.report.grids[g];
      QString verdict;
      for (const std::string& line : grid.lines) {
        verdict = FromCore(VerdictOf(line));
        if (!verdict.isEmpty()) break;
      }
      return QString("%1 %2").arg(grid.number).arg(verdict.isEmpty() ? QString("—") : verdict);
    });
  }
}

// What the advice, the user and the family said of each name.
void AddAdviceRows(const AddRow& add) {
  add("提醒", [](const ComparedName& n) { return n.warnings; });
  add("字义", [](const ComparedName& n) {
    QStringList lines;
    for (const GbkText& line : n.meaning.meanings) lines << FromCore(line);
    return lines.join('\n');
  });
  add("出处", [](const ComparedName& n) {
    return n.meaning.source.empty() ? QString()
                                    : FromCore(n.meaning.source) + "(" + FromCore(n.meaning.collection) + ")";
  });
  add("备注", [](const ComparedName& n) { return n.note; });
  add("家人评分", [](const ComparedName& n) { return n.familyScore; });
  add("家人留言", [](const ComparedName& n) { return n.familyVotes; });
}

}  // namespace

std::vector<ComparisonRow> ComparisonRows(const std::vector<ComparedName>& names) {
  std::vector<ComparisonRow> rows;
  const AddRow add = [&](const QString& label, const CellOf& cell) {
    ComparisonRow row{label, {}};
    for (const ComparedName& name : names) row.cells.push_back(cell(name));
    rows.push_back(std::move(row));
  };
  AddNameRows(add);
  AddGridRows(add, names);
  AddAdviceRows(add);
  // A fact no name has (no advice was kept, no note written) takes no row.
  std::erase_if(rows, [](const ComparisonRow& row) {
    return std::all_of(row.cells.begin(), row.cells.end(), [](const QString& cell) { return cell.isEmpty(); });
  });
  return rows;
}

NameMeaning MeaningOf(sources::NameNotes& notes, const std::string& fullName, sources::NameNotes::Glosses glosses) {
  NameMeaning meaning;
  const GbkText name(fullName);
  meaning.meanings = notes.Meanings(name, glosses);
  if (const sources::NameSource* source = notes.BestSource(name)) {
    meaning.source = sources::ShortSource(*source);
    meaning.collection = source->collection;
  }
  return meaning;
}

bool WriteNameReportPdf(const NameReport& report, const std::string& path, QString& error, const NameMeaning* meaning,
                        const ChildNeeds* needs, std::string_view placeName) {
  return WritePdf(FromCore(report.name) + " 姓名分析报告", path, error,
                  [&](QPainter& painter, QPagedPaintDevice& writer) {
                    ReportPainter reportPainter(painter, report, meaning, needs, placeName);
                    reportPainter.Paint();
                    if (report.conventions && writer.newPage()) reportPainter.PaintConventions(*report.conventions);
                  });
}

namespace {

PaintPages ComparisonPages(const std::vector<ComparedName>& names) {
  return [&names](QPainter& painter, QPagedPaintDevice& device) {
    PaintComparison(painter, device, names);
    for (const ComparedName& name : names) {
      device.newPage();
      // One page a name; its 通行评分 stands in the comparison table.
      ReportPainter(painter, name.report, &name.meaning).Paint();
    }
  };
}

}  // namespace

bool WriteComparisonPdf(const std::vector<ComparedName>& names, const std::string& path, QString& error) {
  return WritePdf("收藏名字比较", path, error, ComparisonPages(names));
}

bool PrintComparison(const std::vector<ComparedName>& names, QPagedPaintDevice& device, QString& error) {
  return Paint(device, error, ComparisonPages(names));
}

}  // namespace tavrin::report
