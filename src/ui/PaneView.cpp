#include "ui/PaneView.h"

#include <QAbstractTextDocumentLayout>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>

#include "ui/qtext.h"

namespace tavrin::ui {

namespace {

constexpr int kHalfWidthPixels = 8;
constexpr int kDocumentMargin = 2;

}  // namespace

QFont PaneView::PaneFont() {
  QFont font("Noto Sans Mono CJK SC");
  font.setPixelSize(16);
  font.setStyleHint(QFont::Monospace);
  font.setFixedPitch(true);
  return font;
}

PaneView::PaneView(Pane& pane, QWidget* parent) : QTextEdit(parent), pane_(pane) {
  setObjectName(QString::fromStdString(pane.Name()));
  setReadOnly(true);
  setAcceptRichText(false);
  setUndoRedoEnabled(false);
  setFont(PaneFont());
  document()->setDefaultFont(PaneFont());
  document()->setDocumentMargin(kDocumentMargin);
  // Wrap anywhere at the pane's half-width columns, as the core counts rows (the
  // wrap width holds the document's margins too).
  setLineWrapMode(QTextEdit::FixedPixelWidth);
  setLineWrapColumnOrWidth(static_cast<int>(pane.Columns()) * kHalfWidthPixels + 2 * kDocumentMargin);
  setWordWrapMode(QTextOption::WrapAnywhere);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  for (std::size_t line = 0; line < pane.Lines().size(); ++line) AppendLine(LineOf(pane, line));
  pane.SetListener([this](const Pane& changed, Pane::Change change) {
    if (change == Pane::Change::kCleared) {
      clear();
      empty_ = true;
    } else {
      AppendLine(LineOf(changed, changed.Lines().size() - 1));
    }
  });
}

void PaneView::AppendLine(QString text) {
  QTextCursor cursor(document());
  cursor.movePosition(QTextCursor::End);
  if (!empty_) cursor.insertBlock();
  if (crAsLineBreak_) {
    if (text.endsWith('\r')) text.chop(1);
    text.replace('\r', QChar::LineSeparator);
  }
  cursor.insertText(text);
  empty_ = false;
}

int PaneView::DisplayedRows() const {
  if (empty_) return 0;
  int rows = 0;
  for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
    rows += block.layout() ? std::max(1, block.layout()->lineCount()) : 1;
  }
  return rows;
}

QString PaneView::NameAtPosition(int position) const {
  const Candidate* candidate = CandidateAtPosition(position);
  return candidate ? NameOf(*candidate) : QString();
}

const Candidate* PaneView::CandidateAtPosition(int position) const {
  const QTextBlock block = document()->findBlock(position);
  if (!block.isValid()) return nullptr;
  const QString text = block.text();
  const int offset = position - block.position();
  if (offset < 0 || offset >= text.size()) return nullptr;
  // Each written line is one block; the pane's lines came from GBK, so the
  // text before the offset converts back to the bytes before it.
  const std::size_t at = CoreOffsetOf(text, offset);
  return pane_.CandidateAt(static_cast<std::size_t>(block.blockNumber()), at);
}

const Candidate* PaneView::CandidateAtPoint(const QPoint& at) const {
  // The character under the pointer: the one after the nearest cursor
  // position, or the one before it when the pointer lies left of that position.
  const QTextCursor cursor = cursorForPosition(at);
  int position = cursor.position();
  if (at.x() < cursorRect(cursor).left() && position > cursor.block().position()) --position;
  return CandidateAtPosition(position);
}

const Candidate* PaneView::CandidateAtCursor() const {
  const QTextCursor cursor = textCursor();
  return CandidateAtPosition(cursor.hasSelection() ? cursor.selectionStart() : cursor.position());
}

void PaneView::mouseDoubleClickEvent(QMouseEvent* event) {
  const Candidate* candidate = CandidateAtPoint(event->position().toPoint());
  if (!candidate) {
    QTextEdit::mouseDoubleClickEvent(event);
    return;
  }
  event->accept();
  emit nameActivated(NameOf(*candidate));
}

}  // namespace tavrin::ui
