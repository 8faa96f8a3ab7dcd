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
