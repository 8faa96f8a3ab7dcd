// Qt's own texts (the buttons of standard dialogs, the file dialog, the
// context menus of text fields) in Chinese, as every other text a user reads.
#pragma once

class QCoreApplication;

namespace tavrin::report {

// Installs Qt's Chinese translation (qtbase_zh_CN.qm of Debian's
// qt6-translations-l10n) on the application, whatever the system's locale.
// False when the file is not there: Qt's texts then stay English.
bool LoadQtTranslations(QCoreApplication& app);

}  // namespace tavrin::report
