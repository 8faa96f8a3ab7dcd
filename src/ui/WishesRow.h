// 家人心愿 on 姓名设置: what the family wishes of the name beside its
// elements, kept with the baby's inputs: a theme of meaning (心愿), a
// generation character (辈分字) and its place, characters to avoid (避讳,
// also by sound), the older sibling's name. 精选 follows it at once.
#pragma once

#include <QWidget>

#include "ui/qtext.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace tavrin::ui {

class WishesRow : public QWidget {
  Q_OBJECT

 public:
  // `themes`: the names of the themes, in the order offered.
  WishesRow(const QStringList& themes, QWidget* parent);

  WishesTyped Typed() const;
  // Sets the fields without emitting changed(); an unknown theme is none.
  void Set(const WishesTyped& typed);

 signals:
  // The user changed a wish.
  void changed();

 private:
  QComboBox* theme_ = nullptr;
  QLineEdit* kept_ = nullptr;
  QComboBox* keptAt_ = nullptr;
  QLineEdit* avoided_ = nullptr;
  QCheckBox* avoidSounds_ = nullptr;
  QComboBox* siblingSex_ = nullptr;
  QLineEdit* sibling_ = nullptr;
  bool setting_ = false;
};

}  // namespace tavrin::ui
