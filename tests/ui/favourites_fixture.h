// What the tests of 收藏 share: a favourite kept on a known birth, and the
// page's rows selected by name.
#pragma once

#include <QItemSelectionModel>
#include <QStringList>
#include <QTableView>

#include "favourites/favourite.h"
#include "ui/FavouritesModel.h"
#include "ui/FavouritesPage.h"
#include "ui/qtext.h"

namespace tavrin::test {

// A name kept for a birth on 2012-03-`day` at 8 o'clock, from 二字名.
inline Favourite Kept(const QString& name, int score, int day = 1, Sex sex = Sex::kMale) {
  Favourite f;
  f.name = GbkText(ui::ToGbk(name));
  f.sex = sex;
  f.year = 2012;
  f.month = 3;
  f.day = day;
  f.hour = 8;
  f.score = score;
  f.origin = GbkText(ui::ToGbk("二字名"));
  return f;
}

// Selects the page's rows holding these names, and no others.
inline void Select(ui::FavouritesPage& page, const QStringList& names) {
  QTableView* table = page.Table();
  table->clearSelection();
  for (int row = 0; row < table->model()->rowCount(); ++row) {
    if (names.contains(table->model()->index(row, ui::FavouritesModel::kName).data().toString())) {
      table->selectionModel()->select(table->model()->index(row, 0),
                                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
  }
}

}  // namespace tavrin::test
