#pragma once
// The parts both time entry dialogs are built from.

#include <QString>

class QBoxLayout;
class QDialog;
class QLineEdit;
class QWidget;

// A text field for typing a time: no input method, digits preferred.
QLineEdit* NewTimeField(const char* name, const QString& accessible_name);
// The prompt, the "Range" group with the read-only "min." and "max." texts,
// the caller's "Time" row, and OK / Cancel, laid out in `dialog`.
void LayOutTimeEntry(QDialog* dialog, const QString& prompt, const QString& minimum,
                     const QString& maximum, QWidget* time_row);
