#include "ui/MessageBox.h"

#include <QMessageBox>

namespace tavrin::ui {

namespace {

std::function<void(const QString&)>& Hook() {
  static std::function<void(const QString&)> hook;
  return hook;
}

}  // namespace

void ShowMessage(QWidget* parent, const QString& text) {
  QString shown = text;
  shown.replace('\r', '\n');
  if (Hook()) {
    Hook()(shown);
    return;
  }
  QMessageBox box(QMessageBox::NoIcon, parent ? parent->window()->windowTitle() : QString(), shown, QMessageBox::Ok,
                  parent);
  box.exec();
}

void SetMessageHook(std::function<void(const QString&)> hook) { Hook() = std::move(hook); }

}  // namespace tavrin::ui
