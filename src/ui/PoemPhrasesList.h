// The poem's own names on the poetry page, under its buttons: each name, its
// 推荐度 for the baby and the line it comes from; the reasons of the 推荐度
// in the tooltip. A double click analyses the name.
#pragma once

#include <QTableWidget>
#include <vector>

#include "ui/qtext.h"

namespace tavrin::ui {

class PoemPhrasesList : public QTableWidget {
  Q_OBJECT

 public:
  explicit PoemPhrasesList(QWidget* parent = nullptr);

  // Shows these names, best first, in place of those shown before.
  void Show(const std::vector<PoemPhraseView>& phrases);

 signals:
  void analyseRequested(const QString& name);
};

}  // namespace tavrin::ui
