#include "ui/PoemPhrasesList.h"

#include <QHeaderView>

namespace tavrin::ui {

namespace {

// The tooltip of a name: its warnings, then the reasons of its 推荐度.
QString TipOf(const PoemPhraseView& phrase) {
  QStringList lines{QObject::tr("%1  推荐度 %2").arg(phrase.name).arg(phrase.recommend),
                    QObject::tr("出自：%1").arg(phrase.line)};
  for (const AdviceView::Warning& warning : phrase.advice.warnings) lines << QObject::tr("提示：%1").arg(warning.text);
  for (const AdviceView::Reason& reason : phrase.advice.reasons) {
    lines << QStringLiteral("%1%2  %3").arg(reason.points > 0 ? "+" : "").arg(reason.points).arg(reason.text);
  }
  return lines.join('\n');
}

}  // namespace

PoemPhrasesList::PoemPhrasesList(QWidget* parent) : QTableWidget(0, 3, parent) {
  setObjectName("poemPhrases");
  setHorizontalHeaderLabels({tr("诗中的名字"), tr("推荐度"), tr("诗句")});
  verticalHeader()->hide();
  horizontalHeader()->setStretchLastSection(true);
  setColumnWidth(0, 90);
  setColumnWidth(1, 56);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setToolTip(tr("诗句里现成的好名字，按宝宝的性别和八字排序，已加入精选；双击可分析"));
  connect(this, &QTableWidget::cellDoubleClicked, this,
          [this](int row, int) { emit analyseRequested(item(row, 0)->text()); });
}

void PoemPhrasesList::Show(const std::vector<PoemPhraseView>& phrases) {
  clearContents();
  setRowCount(static_cast<int>(phrases.size()));
  for (int row = 0; row < rowCount(); ++row) {
    const PoemPhraseView& phrase = phrases[static_cast<std::size_t>(row)];
    const QString tip = TipOf(phrase);
    const QStringList cells{phrase.name, QString::number(phrase.recommend), phrase.line};
    for (int column = 0; column < 3; ++column) {
      auto* cell = new QTableWidgetItem(cells[column]);
      cell->setToolTip(tip);
      setItem(row, column, cell);
    }
  }
}

}  // namespace tavrin::ui
