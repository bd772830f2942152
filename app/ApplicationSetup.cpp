// The application's name and the toolkit's Russian translations.
#include "app/ApplicationSetup.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace qm {

void SetUpApplication(QApplication& app) {
  QApplication::setApplicationName("Quillmark");
  QApplication::setDesktopFileName("quillmark");
  // No display name is set: the toolkit would append it to every caption.
  // Dates, sizes and file types in the standard dialogs follow the locale.
  const QLocale russian(QLocale::Russian, QLocale::Russia);
  QLocale::setDefault(russian);
  auto* translator = new QTranslator(&app);
  if (translator->load(russian, "qtbase", "_", QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QApplication::installTranslator(translator);
  else
    delete translator;
}

}  // namespace qm
