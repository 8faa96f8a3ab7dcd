// The lines that say which reading of the baby's chart the names follow, on
// the two pages that show the other reading (the count of the eight
// characters' elements): under 姓名设置's summary pane, what the baby needs
// in short, the whole sentence and both readings in its tooltip; over
// 部首有五行's pane, how its 缺什么补什么 stands against the day master's
// strength. Both are empty and hidden before a run.
#pragma once

#include <QRect>

class QLabel;
class QWidget;

namespace tavrin {
struct ChildNeeds;
}

namespace tavrin::ui {

class ReadingHints {
 public:
  // One line of the window's CJK font.
  static constexpr int kLineHeight = 18;

  // The two labels, on their pages at their places.
  ReadingHints(QWidget* settingsPage, QRect settingsPlace, QWidget* radicalPage, QRect radicalPlace);

  // The lines for the chart of the last run as the window's 名字五行 reads
  // it; nothing without a chart (before the first run).
  void Show(const ChildNeeds& needs);
  bool Shown() const;
  // The line of 姓名设置, which follows the foot of the window.
  QLabel* SettingsLine() const { return settings_; }

 private:
  QLabel* settings_;
  QLabel* radical_;
};

}  // namespace tavrin::ui
