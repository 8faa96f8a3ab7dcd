// Modal message boxes with an OK button, through one function, so that tests
// can take the texts without a box blocking them.
#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace tavrin::ui {

// Shows the text in a modal box with OK; the text's CRs separate its lines.
void ShowMessage(QWidget* parent, const QString& text);

// While set, ShowMessage hands the text to the hook instead and returns at once.
void SetMessageHook(std::function<void(const QString&)> hook);

}  // namespace tavrin::ui
