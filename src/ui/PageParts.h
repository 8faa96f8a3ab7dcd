// What the pages of the window build themselves from: named buttons, the Tab
// order, and how a control follows the window beyond its smallest size.
#pragma once

#include <QRect>
#include <QString>

#include <initializer_list>
#include <utility>
#include <vector>

class QPushButton;
class QWidget;

namespace tavrin::ui {

// How a control follows the window beyond its smallest size: it takes the
// height or the width the window gains, or moves down or right by it.
enum Follow { kTaller = 1, kWider = 2, kDown = 4, kRight = 8 };

// A page's controls that follow the window, each with how.
using Anchors = std::vector<std::pair<QWidget*, int>>;

// Tab moves from each widget to the next.
void SetTabChain(std::initializer_list<QWidget*> widgets);

QPushButton* AddButton(QWidget* parent, const char* name, const QString& caption, const QRect& place);

}  // namespace tavrin::ui
