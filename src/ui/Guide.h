// The way into the program for someone who opens it the first time: a
// guide of four steps (fill in the baby, look at 精选, keep names, read the
// three numbers), and the help page the 帮助 button opens (what each page is
// for, what 推荐度, 分数 and 通行评分 measure, where favourites are kept).
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class QStackedWidget;
class QTextBrowser;

namespace tavrin::ui {

class FirstRunGuide : public QDialog {
  Q_OBJECT

 public:
  explicit FirstRunGuide(QWidget* parent = nullptr);

  int StepCount() const;
  int CurrentStep() const;
  void ShowStep(int step);

 private:
  QStackedWidget* steps_ = nullptr;
  QLabel* counter_ = nullptr;
  QPushButton* back_ = nullptr;
  QPushButton* next_ = nullptr;
};

class HelpDialog : public QDialog {
  Q_OBJECT

 public:
  // `favouritesPath`: the file the favourites are kept in (empty: none can be).
  HelpDialog(const QString& favouritesPath, QWidget* parent = nullptr);

  QString Text() const;

 signals:
  // "入门指引" was pressed.
  void guideRequested();

 private:
  QTextBrowser* text_ = nullptr;
};

// The help page of `window`, one at a time; 入门指引 on it opens the guide.
void ShowHelp(QWidget* window);
void ShowGuide(QWidget* window);
// The guide, once per user (QSettings); false when it was shown before.
bool ShowGuideOnce(QWidget* window);

}  // namespace tavrin::ui
