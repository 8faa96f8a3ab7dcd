#include "ui/PageParts.h"

#include <QPushButton>
#include <QWidget>

namespace tavrin::ui {

void SetTabChain(std::initializer_list<QWidget*> widgets) {
  QWidget* previous = nullptr;
  for (QWidget* widget : widgets) {
    if (previous) QWidget::setTabOrder(previous, widget);
    previous = widget;
  }
}

QPushButton* AddButton(QWidget* parent, const char* name, const QString& caption, const QRect& place) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(name);
  button->setGeometry(place);
  return button;
}

}  // namespace tavrin::ui
