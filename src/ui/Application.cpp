#include "ui/Application.h"

#include <QTimer>
#include <cstdio>
#include <exception>

#include "ui/MessageBox.h"

namespace tavrin::ui {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {}

bool Application::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& error) {
    ReportInternalFailure(error.what());
  } catch (...) {
    ReportInternalFailure("unknown exception");
  }
  return false;
}

void ReportInternalFailure(const char* what) {
  std::fprintf(stderr, "tavrin: internal error: %s\n", what);
  // The box is shown from the event loop, not from inside the failed handler.
  QTimer::singleShot(0, qApp, [] {
    ShowMessage(QApplication::activeWindow(),
                QObject::tr("程序内部出错,这一步没有完成。已有的名字、收藏和设置都还在,可以继续使用。"));
  });
}

}  // namespace tavrin::ui
