// The start sequence from the splash to the script named on the command line.
#include "app/StartSequence.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>

#include <filesystem>
#include <memory>

#include "app/ErrorBox.h"
#include "app/MainWindow.h"
#include "app/Splash.h"

namespace qm {

namespace {

// The dialogs start where the script lies, and save offers its name.
void OfferScriptFolder(TForm1& form, const std::string& path) {
  const QFileInfo script(QFile::decodeName(path.c_str()));
  form.JvOpenDialog1->setDirectory(script.absolutePath());
  form.JvSaveDialog1->setDirectory(script.absolutePath());
  form.JvSaveDialog1->selectFile(script.fileName());
}

}  // namespace

void StartProgram(TForm1& form, const std::string& script) {
  // The splash stays in memory until the main window's first show ends.
  form.Form9 = std::make_unique<TForm9>();
  form.Form9->exec();
  form.CreateForms();
  form.show();
  if (script.empty()) return;
  std::string path;
  bool opened = false;
  Guarded([&] {
    // Messages name the file as the open dialog would: by its whole path.
    path = std::filesystem::absolute(script).string();
    form.OpenScriptFile(path);
    opened = true;
  })();
  if (opened) OfferScriptFolder(form, path);
}

}  // namespace qm
