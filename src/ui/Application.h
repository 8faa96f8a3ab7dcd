// The window's application object: an exception thrown while an event is
// handled ends that handling, not the program. The user is told in Chinese
// that this step failed and that the data is kept; the window goes on.
#pragma once

#include <QApplication>

namespace tavrin::ui {

class Application : public QApplication {
 public:
  Application(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;
};

// Tells the user that a step failed inside the program (`what`, the
// exception's text, goes to stderr for the developers), once the event that
// failed is over.
void ReportInternalFailure(const char* what);

}  // namespace tavrin::ui
