// What the window tests share: the shipped stores, loaded once, and widgets
// found by their component names.
#pragma once

#include <QObject>

#include "core/startup.h"

namespace tavrin::test {

inline const SharedStores& WindowStores() {
  static const SharedStores stores = StartUp(FindDataDir());
  return stores;
}

template <typename T>
T* Find(QObject& parent, const char* name) {
  T* widget = parent.findChild<T*>(name);
  if (!widget) qFatal("no widget %s", name);
  return widget;
}

}  // namespace tavrin::test

#include <QStringList>

#include "ui/MessageBox.h"

namespace tavrin::test {

// While it lives, every message box's text is recorded instead of shown, so
// no box blocks a test.
class MessageRecorder {
 public:
  MessageRecorder() {
    tavrin::ui::SetMessageHook([this](const QString& text) { texts << text; });
  }
  ~MessageRecorder() { tavrin::ui::SetMessageHook(nullptr); }
  MessageRecorder(const MessageRecorder&) = delete;
  MessageRecorder& operator=(const MessageRecorder&) = delete;

  QStringList texts;
};

}  // namespace tavrin::test
