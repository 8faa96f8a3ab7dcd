// A read-only text pane that mirrors a pane of the core: every line the core
// appends is appended here, every clear clears it. It wraps at exactly
// kPaneColumns half-width columns of its CJK monospace font, so the rows the
// user sees are the rows the core counts.
#pragma once

#include <QTextEdit>

#include "core/pane.h"

namespace tavrin::ui {

class PaneView : public QTextEdit {
  Q_OBJECT

 public:
  // Listens to `pane` from now on; the pane must outlive the view.
  PaneView(Pane& pane, QWidget* parent = nullptr);

  // Shows the CRs inside a line as line breaks (the analysis pane's score
  // entry holds one grid per CR-ended line).
  void SetCrAsLineBreak(bool on) { crAsLineBreak_ = on; }

  // The rows the text takes as laid out now (the lines of every block).
  int DisplayedRows() const;

  // The pane font: a CJK monospace font whose half-width glyphs are 8 px wide.
  static QFont PaneFont();

  // The full name of the candidate whose entry holds the character at a
  // document position, or the empty text.
  QString NameAtPosition(int position) const;
  // The candidate whose entry holds the character at a document position, or null.
  const Candidate* CandidateAtPosition(int position) const;
  // The candidate under a point of the viewport, or null.
  const Candidate* CandidateAtPoint(const QPoint& at) const;
  // The candidate of the selection's start, else of the text cursor, or null.
  const Candidate* CandidateAtCursor() const;

 signals:
  // A name of the pane was double-clicked.
  void nameActivated(const QString& name);

 protected:
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  void AppendLine(QString text);
  const Pane& pane_;
  bool empty_ = true;
  bool crAsLineBreak_ = false;
};

}  // namespace tavrin::ui
