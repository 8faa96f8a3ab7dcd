#include "ui/MessageBox.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>

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

void ShowSaved(QWidget* parent, const QString& path) {
  const QString shown = QCoreApplication::translate("tavrin::ui", "已保存到 %1").arg(QDir::toNativeSeparators(path));
  if (Hook()) {
    Hook()(shown);
    return;
  }
  QMessageBox box(QMessageBox::Information, parent ? parent->window()->windowTitle() : QString(), shown,
                  QMessageBox::Close, parent);
  QPushButton* open = box.addButton(QCoreApplication::translate("tavrin::ui", "打开"), QMessageBox::AcceptRole);
  box.setDefaultButton(open);
  box.exec();
  if (box.clickedButton() == open) QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void SetMessageHook(std::function<void(const QString&)> hook) { Hook() = std::move(hook); }

}  // namespace tavrin::ui
