// The lines that say which reading of the baby's chart the names follow, on
// the two pages that show the other reading (the count of the eight
// characters' elements): under 姓名设置's summary pane, what the baby needs
// in short, the whole sentence and both readings in its tooltip; over
// 部首有五行's pane, how its 缺什么补什么 stands against the day master's
// strength. Both are empty and hidden before a run.
#pragma once

#include <QRect>

#include "ui/PageParts.h"

class QLabel;

namespace tavrin {
struct ChildNeeds;
}

namespace tavrin::ui {

class ReadingHints {
 public:
  // One line of the window's CJK font.
  static constexpr int kLineHeight = 18;

  // The two labels: under the summary pane of 姓名设置, above its status
  // line, and at the top of 部首有五行, over its pane. The panes stand at
  // their places in the smallest window and follow it by `anchoring`.
  ReadingHints(QWidget* summary, QRect summaryPlace, QWidget* radical, QRect radicalPlace, Anchoring& anchoring);

  // The lines for the chart of the last run as the window's 名字五行 reads
  // it; nothing without a chart (before the first run). The panes make room
  // for the lines: the summary pane ends over its line, the pane of 部首有五行
  // keeps its foot and starts under its own.
  void Show(const ChildNeeds& needs);
  bool Shown() const;
  // The line of 姓名设置, which follows the foot of the window.
  QLabel* SettingsLine() const { return settings_; }

 private:
  QWidget* summary_;
  QRect summaryPlace_;
  QWidget* radicalPane_;
  QRect radicalPlace_;
  Anchoring& anchoring_;
  QLabel* settings_;
  QLabel* radical_;
};

}  // namespace tavrin::ui
