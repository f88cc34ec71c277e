#pragma once
// The "Parameter error" box of the time entry dialogs. Tests replace the
// box with a presenter that records what would have been shown.

#include <QString>

#include <functional>

class QWidget;

using ParameterErrorPresenter = std::function<void(const QString& caption, const QString& text)>;

// Installs `presenter` in place of the message box (empty: the box again).
void SetParameterErrorPresenter(ParameterErrorPresenter presenter);
// "The specified value is out of range." with the caption "Parameter error".
void ShowTimeOutOfRange(QWidget* parent);
