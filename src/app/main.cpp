#include <QApplication>
#include <QIcon>
#include <QTimer>

#include "chars/encoding.h"
#include "core/random.h"
#include "core/startup.h"
#include "report/qt_translations.h"
#include "ui/MainWindow.h"

int main(int argc, char** argv) {
  tavrin::UseUtf8CharacterSet();
  QApplication app(argc, argv);
  // The standard dialogs, buttons and menus in Chinese like the window.
  tavrin::report::LoadQtTranslations(app);
  // Where QSettings keeps the window's size, place and page.
  QCoreApplication::setOrganizationName("tavrin");
  QCoreApplication::setApplicationName("tavrin");
  // Ties the window to its desktop entry and icon (the Wayland app id, the
  // taskbar entry on X11).
  QGuiApplication::setDesktopFileName(TAVRIN_APP_ID);
  app.setWindowIcon(QIcon::fromTheme(TAVRIN_APP_ID));
  tavrin::ui::MainWindow window(tavrin::StartUp(tavrin::FindDataDir()), tavrin::ClockSeed());
  window.RememberGeometry();
  window.RememberInputs();
  window.show();
  // Start-up failures are reported once the window stands on the screen.
  QTimer::singleShot(0, &window, [&window] {
    window.ReportStartupFailures();
    window.OpenFavourites();
    window.ShowGuideOnce();
  });
  return app.exec();
}
