#pragma once
// The user's language: the application's own texts and Qt's (standard
// buttons, file dialogs) for the language the system locale asks for.
// English is the language of the sources and needs no translation.

#include <QLocale>
#include <QString>
#include <QStringList>

class QCoreApplication;

namespace orvane {

// Where the application's "Orvane_<lang>.qm" files are looked for, in this
// order: the program's resources, "translations" beside the executable,
// and the installed data folder (../share/orvane/translations).
QStringList TranslationFolders();

// Loads and installs the application's translation for `locale` (and Qt's
// own when the application's was found). Returns the language of the
// translation installed, QLocale::AnyLanguage when none was.
QLocale::Language InstallTranslations(QCoreApplication& app, const QLocale& locale);

}  // namespace orvane
