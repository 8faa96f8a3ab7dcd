// The 通行算法 panel of the analysis page: the reading of the last analysed
// name by the conventions the naming books share, shown in place of the
// analysis pane while its button is down, with five check boxes of the
// favourable elements. The boxes are the window's one choice of 名字五行:
// they show it, and ticking them changes it (to 自选 with the elements
// ticked; 按八字 back to the chart's own).
#pragma once

#include <QWidget>
#include <array>
#include <functional>
#include <optional>
#include <vector>

#include "analysis/analyse_name.h"
#include "core/child.h"

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace tavrin {
struct DataStores;
}

namespace tavrin::ui {

class ConventionsPanel : public QWidget {
  Q_OBJECT

 public:
  ConventionsPanel(const DataStores& stores, QWidget* parent);
  ~ConventionsPanel() override;

  // Reads the section for a completed analysis (the boxes take the chart's
  // own favourable elements), or empties it (null).
  void ShowFor(const NameReport* report);
  // The section as it stands, with the user's favourable elements.
  const std::optional<ConventionsSection>& Section() const { return section_; }
  // The window's choice of 名字五行, shown and read from now on (the
  // section is read again); says nothing back.
  void SetChoice(ElementWish wish, const std::vector<Element>& chosen);
  // Called when the user changes the choice here: 自选 with the elements
  // ticked (none ticked: the chart's), or 按八字.
  std::function<void(ElementWish wish, const std::vector<Element>& chosen)> choiceChanged;

 private:
  void Reread();
  void ShowSection();
  void ShowBoxes();
  // The elements the choice overrides the chart's with, if any.
  std::optional<std::vector<Element>> Override() const;

  const DataStores& stores_;
  std::optional<NameReport> report_;
  std::optional<ConventionsSection> section_;
  QLabel* why_ = nullptr;  // where this reading and the analysis judge a grid differently
  QPlainTextEdit* text_ = nullptr;
  std::array<QCheckBox*, 5> favourable_{};  // 金 木 水 火 土
  QPushButton* byChart_ = nullptr;
  ElementWish wish_ = ElementWish::kChart;
  std::vector<Element> chosen_;
};

}  // namespace tavrin::ui
