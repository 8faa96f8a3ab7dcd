// 名字五行 on 姓名设置: the one choice of the elements a name should bring,
// which every page follows (the run, 精选, the 通行算法 panel, the analysis
// sentence, the comparison): 按八字喜用神 (the chart's favourable elements),
// 自选 with the elements ticked, or 不看五行. Ticking an element chooses 自选.
#pragma once

#include <QString>
#include <QWidget>
#include <array>
#include <vector>

#include "chars/elements.h"
#include "core/child.h"

class QCheckBox;
class QRadioButton;

namespace tavrin::ui {

class ElementChoice : public QWidget {
  Q_OBJECT

 public:
  explicit ElementChoice(QWidget* parent);

  ElementWish Wish() const;
  // The elements ticked, in the order 金 木 水 火 土 (only for 自选).
  std::vector<Element> Chosen() const;
  // Sets the choice without emitting changed(); the boxes are cleared unless
  // the wish is 自选.
  void Set(ElementWish wish, const std::vector<Element>& chosen);

  // The choice as the settings keep it ("chart", "chosen" or "ignore"; the
  // elements as their characters, 木火), and back: an unknown text reads as
  // 按八字喜用神.
  static QString WishKey(ElementWish wish);
  static ElementWish WishOfKey(const QString& key);
  static QString ElementsKey(const std::vector<Element>& elements);
  static std::vector<Element> ElementsOfKey(const QString& key);

 signals:
  // The user changed the choice.
  void changed();

 private:
  void Changed();

  QRadioButton* byChart_ = nullptr;
  QRadioButton* chosen_ = nullptr;
  QRadioButton* ignore_ = nullptr;
  std::array<QCheckBox*, 5> boxes_{};  // 金 木 水 火 土
  bool setting_ = false;
};

}  // namespace tavrin::ui
