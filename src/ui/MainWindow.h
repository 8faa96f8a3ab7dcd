// The main window: nine tab pages over the core's stores.
#pragma once

#include <QStringList>
#include <QWidget>
#include <memory>

#include "core/startup.h"

class QTabWidget;

namespace tavrin::ui {

class TForm1 : public QWidget {
  Q_OBJECT

 public:
  // Creating the window runs the start-up load from `dataDir`.
  explicit TForm1(const std::string& dataDir, QWidget* parent = nullptr);
  ~TForm1() override;

  const DataStores& Stores() const { return *stores_; }
  QTabWidget* Pages() const { return pages_; }
  // The messages start-up has for the user (one per required file that failed).
  QStringList StartupMessages() const;
  // Shows the start-up messages in a message box.
  void ReportStartupFailures();

  // The client size and page captions of the window.
  static constexpr int kClientWidth = 901;
  static constexpr int kClientHeight = 532;
  static const QStringList& PageCaptions();

 private:
  SharedStores stores_;
  QTabWidget* pages_ = nullptr;
};

}  // namespace tavrin::ui
