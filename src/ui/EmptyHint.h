// A word in the middle of an empty list: why it is empty and what to do. It
// stands on the view's viewport while the view's model has no rows and hides
// itself as soon as a row comes in.
#pragma once

#include <QLabel>

class QAbstractItemView;

namespace tavrin::ui {

class EmptyHint : public QLabel {
  Q_OBJECT

 public:
  // Watches `view`'s model (set the model before); the hint belongs to the
  // view's viewport.
  explicit EmptyHint(QAbstractItemView* view);

  // The text shown while the list is empty (rich text allowed).
  void SetHint(const QString& text);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Refresh();
  QAbstractItemView* view_;
};

}  // namespace tavrin::ui
