#include "ui/EmptyHint.h"

#include <QAbstractItemModel>
#include <QAbstractItemView>
#include <QEvent>

namespace tavrin::ui {

EmptyHint::EmptyHint(QAbstractItemView* view) : QLabel(view->viewport()), view_(view) {
  setObjectName("emptyHint");
  setWordWrap(true);
  setAlignment(Qt::AlignCenter);
  setTextFormat(Qt::RichText);
  setForegroundRole(QPalette::PlaceholderText);
  setAttribute(Qt::WA_TransparentForMouseEvents);
  view->viewport()->installEventFilter(this);
  QAbstractItemModel* model = view->model();
  for (auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved}) {
    connect(model, signal, this, &EmptyHint::Refresh);
  }
  connect(model, &QAbstractItemModel::modelReset, this, &EmptyHint::Refresh);
  connect(model, &QAbstractItemModel::layoutChanged, this, &EmptyHint::Refresh);
  Refresh();
}

void EmptyHint::SetHint(const QString& text) {
  setText(text);
  Refresh();
}

bool EmptyHint::eventFilter(QObject* watched, QEvent* event) {
  if (watched == view_->viewport() && event->type() == QEvent::Resize) Refresh();
  return QLabel::eventFilter(watched, event);
}

void EmptyHint::Refresh() {
  const bool empty = view_->model()->rowCount() == 0 && !text().isEmpty();
  setVisible(empty);
  if (!empty) return;
  // A readable column in the middle of the list, however wide it is.
  const QRect area = view_->viewport()->rect();
  const int width = std::min(area.width() - 32, 520);
  const int height = std::min(area.height(), heightForWidth(width) + 8);
  setGeometry(area.center().x() - width / 2, area.center().y() - height / 2, width, height);
}

}  // namespace tavrin::ui
