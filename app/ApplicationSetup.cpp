// The application's name and the toolkit's Russian translations.
#include "app/ApplicationSetup.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace qm {

void SetUpApplication(QApplication& app) {
  QApplication::setApplicationName("Quillmark");
  QApplication::setDesktopFileName("quillmark");
  // The desktop entry's icon, for the windows' frames and the task bar.
  QIcon icon;
  for (const QString& file : QDir(":/icon").entryList({"*x*"}, QDir::Dirs))
    icon.addFile(":/icon/" + file + "/quillmark.png");
  QApplication::setWindowIcon(icon);
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
