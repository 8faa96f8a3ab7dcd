#include <QIcon>
#include <QTimer>
#include <memory>

#include "chars/encoding.h"
#include "core/random.h"
#include "core/startup.h"
#include "report/qt_translations.h"
#include "ui/Application.h"
#include "ui/MainWindow.h"
#include "ui/SettingsFile.h"

int main(int argc, char** argv) {
  tavrin::UseUtf8CharacterSet();
  tavrin::ui::Application app(argc, argv);
  // The standard dialogs, buttons and menus in Chinese like the window.
  tavrin::report::LoadQtTranslations(app);
  // Where QSettings keeps the window's size, place and page.
  QCoreApplication::setOrganizationName("tavrin");
  QCoreApplication::setApplicationName("tavrin");
  // Before anything reads a setting: a file QSettings cannot read safely is
  // cleaned or set aside, and the window starts with its defaults.
  tavrin::ui::CleanSettingsFile(tavrin::ui::SettingsFilePath());
  // Ties the window to its desktop entry and icon (the Wayland app id, the
  // taskbar entry on X11).
  QGuiApplication::setDesktopFileName(TAVRIN_APP_ID);
  app.setWindowIcon(QIcon::fromTheme(TAVRIN_APP_ID));
  // Start-up reports what it cannot read and goes on; should the window
  // still fail to stand, that is said in a box rather than by an abort.
  std::unique_ptr<tavrin::ui::MainWindow> made;
  try {
    made = std::make_unique<tavrin::ui::MainWindow>(tavrin::StartUp(tavrin::FindDataDir()), tavrin::ClockSeed());
  } catch (const std::exception& error) {
    tavrin::ui::ReportInternalFailure(error.what());
    QTimer::singleShot(0, &app, &QCoreApplication::quit);
    app.exec();
    return 70;
  }
  tavrin::ui::MainWindow& window = *made;
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
