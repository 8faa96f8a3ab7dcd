#include "ui/MainWindow.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QTabWidget>
#include <QVBoxLayout>

#include "ui/qtext.h"

namespace tavrin::ui {

const QStringList& TForm1::PageCaptions() {
  static const QStringList captions = {"姓名设置",     "二字名",   "三字名",   "部首有五行", "系统推荐名",
                                       "系统推荐名二", "姓名分析", "姓名报表", "诗歌取名"};
  return captions;
}

TForm1::TForm1(const std::string& dataDir, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      stores_(StartUp(dataDir)) {
  setWindowTitle("Tavrin 1.13");
  setFixedSize(kClientWidth, kClientHeight);

  pages_ = new QTabWidget(this);
  for (const QString& caption : PageCaptions()) {
    auto* page = new QWidget(pages_);
    page->setObjectName(caption);
    pages_->addTab(page, caption);
  }
  pages_->setCurrentIndex(0);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(pages_);

  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    move(area.center() - QPoint(kClientWidth / 2, kClientHeight / 2));
  }
}

TForm1::~TForm1() = default;

QStringList TForm1::StartupMessages() const {
  QStringList messages;
  for (const LoadFailure& failure : stores_->failures) messages << FromGbk(failure.Message());
  return messages;
}

void TForm1::ReportStartupFailures() {
  // One box for all files that failed, rather than one box after another.
  const QStringList messages = StartupMessages();
  if (!messages.isEmpty()) QMessageBox::critical(this, windowTitle(), messages.join('\n'));
}

}  // namespace tavrin::ui
