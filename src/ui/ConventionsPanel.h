// The 通行算法 panel of the analysis page: the reading of the last analysed
// name by the conventions the naming books share, shown in place of the
// analysis pane while its button is down, with five check boxes that
// override the favourable elements of the birth chart.
#pragma once

#include <QWidget>
#include <array>
#include <optional>

#include "analysis/analyse_name.h"

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

 private:
  void Reread();
  void ShowSection();

  const DataStores& stores_;
  std::optional<NameReport> report_;
  std::optional<ConventionsSection> section_;
  QLabel* why_ = nullptr;  // where this reading and the analysis judge a grid differently
  QPlainTextEdit* text_ = nullptr;
  std::array<QCheckBox*, 5> favourable_{};  // 金 木 水 火 土
  QPushButton* byChart_ = nullptr;
};

}  // namespace tavrin::ui
