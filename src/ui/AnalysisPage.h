// 姓名分析: a name typed with a birth (the baby's of 姓名设置 until changed
// here), what the baby needs and how the two readings of the chart differ,
// the analysis pane, 通行算法 beside or over it, and 导出PDF….
#pragma once

#include <QObject>
#include <QString>

#include <optional>

#include "analysis/analyse_name.h"
#include "core/child.h"
#include "sources/name_notes.h"
#include "ui/PageParts.h"
#include "ui/SettingsPage.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace tavrin {
class MessageBoxes;
class NamingModel;
}  // namespace tavrin

namespace tavrin::ui {

class ConventionsPanel;
class PaneView;
struct Keepable;

class AnalysisPage final : public QObject {
  Q_OBJECT

 public:
  // The page's controls on `content` (a CentredArea) around `pane`, the
  // analysis pane; the baby is the one of `baby`.
  AnalysisPage(CentredArea* content, PaneView* pane, NamingModel& model, const SettingsPage& baby,
               sources::NameNotes& notes, Anchoring& anchoring, MessageBoxes& messages, QObject* parent);

  void Analyse();
  // The name with the baby's birth, analysed at once.
  void AnalyseBabyName(const QString& name);
  // 名字五行 changed: the panel and the lines follow it.
  void FollowElementChoice();
  // The birth fields of the baby changed: this page's follow them until
  // changed here.
  void FollowBaby();
  void ShowBirth();
  bool FollowsBaby() const { return followsBaby_; }
  // The last completed analysis as a one-page PDF at `path` (asked when empty).
  bool ExportPdf(QString path);
  // The 推荐度 of the last analysed name for the baby's sex; none without an
  // analysis or advice tables.
  std::optional<int> Recommend() const;
  // What ☆ 收藏 keeps of the last analysis.
  std::optional<Keepable> Kept() const;
  PaneView* Pane() const { return pane_; }
  // The tab page the content stands on.
  QWidget* Tab() const { return content_->parentWidget(); }
  // The 通行算法 panel beside the pane when the page has room for both,
  // else in the pane's place.
  void PlaceConventions();

 signals:
  // The family chose 名字五行 in the 通行算法 panel.
  void elementChoiceChosen(ElementWish wish, const std::vector<Element>& chosen);

 private:
  void BuildFields(QWidget* page);
  void BuildLines(QWidget* page);
  void BuildConventions(QWidget* page);
  // Sets the birth fields to the baby's.
  void CopyBabyBirth();
  // The reading of the chart the analysis used, with the window's choice;
  // none before a completed analysis or without a chart.
  std::optional<ChildNeeds> Needs() const;
  void ShowNeeds();
  // The pane starts under the notes of its chart.
  void PlacePane();

  NamingModel& model_;
  const SettingsPage& baby_;
  sources::NameNotes& notes_;
  Anchoring& anchoring_;
  MessageBoxes& messages_;
  CentredArea* content_;
  PaneView* pane_;
  QLineEdit* name_ = nullptr;       // bsSkinEdit2
  QString surname_;                 // the surname name_ holds alone while nothing is typed after it
  BirthCombos birth_;               // bsSkinComboBox4, 6, 7, 8
  QPushButton* analyse_ = nullptr;  // bsSkinButton2
  QPushButton* exportPdf_ = nullptr;
  QPushButton* showConventions_ = nullptr;
  ConventionsPanel* conventions_ = nullptr;  // over the pane while its button is down
  QLabel* birthNote_ = nullptr;              // which birth the page uses
  QLabel* needs_ = nullptr;                  // what the baby of the analysis needs
  QLabel* readings_ = nullptr;               // and how the two readings differ
  QLabel* chartNotes_ = nullptr;             // how its chart was read (solar time, the term's day)
  std::optional<NameReport> last_;           // of the last completed analysis
  QString place_;                            // the city the last analysis was read at
  bool followsBaby_ = true;
  bool copying_ = false;  // while the fields are set from the baby's
};

}  // namespace tavrin::ui
