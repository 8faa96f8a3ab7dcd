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

ReadingHints::ReadingHints(QWidget* settingsPage, QRect settingsPlace, QWidget* radicalPage, QRect radicalPlace)
    : settings_(AddHint(settingsPage, "readingHint", settingsPlace)),
      radical_(AddHint(radicalPage, "radicalHint", radicalPlace)) {}

void ReadingHints::Show(const ChildNeeds& needs) {
  const ReadingHintsView view = ReadingHintsOf(needs);
  SetLine(settings_, view.settings, view.settingsTip);
  SetLine(radical_, view.radical, view.radical);
}

bool ReadingHints::Shown() const { return !settings_->text().isEmpty(); }

}  // namespace tavrin::ui
