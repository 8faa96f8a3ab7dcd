#include "ui/ReadingHints.h"

#include <QLabel>

#include "ui/qtext.h"

namespace tavrin::ui {

namespace {

QLabel* AddHint(QWidget* page, const char* name, QRect place) {
  auto* label = new QLabel(page);
  label->setObjectName(name);
  label->setGeometry(place);
  label->setTextFormat(Qt::PlainText);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  label->hide();
  return label;
}

// The text on one line of the label; a longer one ends in "…" (its whole
// text is in the tooltip).
void SetLine(QLabel* label, const QString& text, const QString& tip) {
  label->setText(label->fontMetrics().elidedText(text, Qt::ElideRight, label->contentsRect().width()));
  label->setToolTip(tip);
  label->setVisible(!text.isEmpty());
}

}  // namespace

ReadingHints::ReadingHints(QWidget* summary, QRect summaryPlace, QWidget* radical, QRect radicalPlace,
                           Anchoring& anchoring)
    : summary_(summary),
      summaryPlace_(summaryPlace),
      radicalPane_(radical),
      radicalPlace_(radicalPlace),
      anchoring_(anchoring),
      settings_(AddHint(
          summary->parentWidget(), "readingHint",
          QRect(summaryPlace.left(), summaryPlace.bottom() + 1 - kLineHeight, summaryPlace.width(), kLineHeight))),
      radical_(AddHint(radical->parentWidget(), "radicalHint",
                       QRect(radicalPlace.left(), 0, radicalPlace.width(), kLineHeight))) {
  anchoring.Follows(settings_, kDown);
}

void ReadingHints::Show(const ChildNeeds& needs) {
  const ReadingHintsView view = ReadingHintsOf(needs);
  SetLine(settings_, view.settings, view.settingsTip);
  SetLine(radical_, view.radical, view.radical);
  const int room = Shown() ? kLineHeight + 2 : 0;
  anchoring_.Reanchor(summary_, summaryPlace_.adjusted(0, 0, 0, -room));
  const int top = Shown() ? kLineHeight + 2 : radicalPlace_.top();
  anchoring_.Reanchor(radicalPane_,
                      QRect(radicalPlace_.left(), top, radicalPlace_.width(), radicalPlace_.bottom() + 1 - top));
}

bool ReadingHints::Shown() const { return !settings_->text().isEmpty(); }

}  // namespace tavrin::ui
