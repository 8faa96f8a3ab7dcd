// Modal message boxes with an OK button, through one function, so that tests
// can take the texts without a box blocking them.
#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace tavrin::ui {

// Shows the text in a modal box with OK; the text's CRs separate its lines.
void ShowMessage(QWidget* parent, const QString& text);

// Says where a file was saved ("已保存到 <path>"), with a button that opens it
// in the system's viewer.
void ShowSaved(QWidget* parent, const QString& path);

// While set, ShowMessage and ShowSaved hand the text to the hook instead and
// return at once.
void SetMessageHook(std::function<void(const QString&)> hook);

}  // namespace tavrin::ui
