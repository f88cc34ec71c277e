#include "Orvane/app/app_translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QTranslator>

namespace orvane {

QStringList TranslationFolders() {
  const QString program_folder = QCoreApplication::applicationDirPath();
  return {QStringLiteral(":/i18n"), program_folder + QStringLiteral("/translations"),
          QDir::cleanPath(program_folder + QStringLiteral("/../share/orvane/translations"))};
}

QLocale::Language InstallTranslations(QCoreApplication& app, const QLocale& locale) {
  auto* own = new QTranslator(&app);
  bool found = false;
  for (const QString& folder : TranslationFolders()) {
    found = own->load(locale, QStringLiteral("Orvane"), QStringLiteral("_"), folder);
    if (found) break;
  }
  if (!found) {
    delete own;
    return QLocale::AnyLanguage;
  }
  QCoreApplication::installTranslator(own);
  auto* qt = new QTranslator(&app);
  if (qt->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
               QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QCoreApplication::installTranslator(qt);
  } else {
    delete qt;
  }
  // The file's own language, which may be another than the locale's first
  // choice when the user lists several (LANGUAGE=ja:en).
  const QLocale::Language language = QLocale(own->language()).language();
  return language == QLocale::C ? locale.language() : language;
}

}  // namespace orvane
