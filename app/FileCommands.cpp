// The main window's file commands: new script from the new-script dialog, open of a text file, save as text or RTF.
#include <QAbstractItemView>
#include <QAction>
#include <QCompleter>
#include <QFile>
#include <QFileDialog>

#include <algorithm>

#include "app/ErrorBox.h"
#include "app/MainWindow.h"
#include "app/NewScriptDialog.h"
#include "app/ScriptCheck.h"
#include "app/WholeFile.h"
#include "editor/control/StringsViews.h"
#include "platform/Exceptions.h"
#include "qt/PlusMemoWidget.h"
#include "qt/QtSurface.h"

namespace qm {

namespace {

// The dialogs' filters in the "caption|pattern|caption|pattern" form.
const char* const kOpenFilter = "Текстовый файл (*.txt)|*.txt";
const char* const kSaveFilter = "Текстовый файл (*.txt)|*.txt|Файл RTF (*.rtf)|*.rtf";

// The entries of a "caption|pattern|…" filter as Qt name filters: Qt takes
// the patterns from the parentheses of the caption, so a caption without
// them gets its pattern appended.
QStringList NameFilters(const QString& filter) {
  const QStringList parts = filter.split('|');
  QStringList entries;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    const QString& caption = parts[i];
    const QString pattern = parts[i + 1];
    entries << (caption.contains('(') ? caption : caption + " (" + pattern + ")");
  }
  return entries;
}

QFileDialog* MakeFileDialog(QWidget* parent, const char* title, const char* filter, QFileDialog::AcceptMode mode) {
  auto* dialog = new QFileDialog(parent, QString::fromUtf8(title));
  dialog->setAcceptMode(mode);
  dialog->setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  dialog->setNameFilters(NameFilters(QString::fromUtf8(filter)));
  return dialog;
}

// The modal run of a real dialog; the dialog object is kept, so it offers
// its last folder again next time.
bool ExecRealFileDialog(QFileDialog& dialog, TForm1::TFileChoice& choice) {
  const int result = dialog.exec();
  // Enter in the file name field accepts the dialog while the name's
  // completion list may still be shown; the list is a window of its own and
  // would stay over the editor until the next key.
  for (QCompleter* completer : dialog.findChildren<QCompleter*>())
    if (completer->popup()->isVisible()) completer->popup()->hide();
  if (result != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
  choice.FileName = dialog.selectedFiles().front();
  // An entry the list does not know counts as the first (text).
  choice.FilterIndex = std::max(1, static_cast<int>(dialog.nameFilters().indexOf(dialog.selectedNameFilter())) + 1);
  return true;
}

}  // namespace

namespace {

const char* const kNulBytesReplaced = "Нулевые байты (NUL) в файле %s заменены пробелами.";

}  // namespace

void TForm1::ConnectFileCommands() {
  JvOpenDialog1 = MakeFileDialog(this, "Открыть скрипт...", kOpenFilter, QFileDialog::AcceptOpen);
  JvSaveDialog1 = MakeFileDialog(this, "Сохранить скрипт как...", kSaveFilter, QFileDialog::AcceptSave);
  JvSaveDialog1->setDefaultSuffix("txt");
  ExecFileDialog = ExecRealFileDialog;

  PlusToRTFU1.SetPlusMemoU(&PlusMemoU1);
  PlusToRTFU1.DynFormat = true;
  PlusToRTFU1.RTFLeading = -1.0f;
  // System colours are written as the editor shows them.
  PlusToRTFU1.ResolveSystemColor = [this](int index) {
    const QColor colour = TQtSurface::ToQColor(static_cast<int32_t>(0xFF000000u | static_cast<uint32_t>(index)),
                                               PlusMemoU1Widget->palette());
    return static_cast<TColor>(colour.red() | (colour.green() << 8) | (colour.blue() << 16));
  };

  connect(Action("NewScript"), &QAction::triggered, this, Guarded([this] { NewScriptExecute(); }));
  connect(Action("OpenScript"), &QAction::triggered, this, Guarded([this] { OpenScriptExecute(); }));
  connect(Action("SaveScript"), &QAction::triggered, this, Guarded([this] { SaveScriptExecute(); }));
}

bool TForm1::RunFileDialog(QFileDialog& dialog, std::string& path, int& filterIndex) {
  TFileChoice choice;
  if (!ExecFileDialog(dialog, choice)) return false;
  path = QFile::encodeName(choice.FileName).toStdString();
  filterIndex = choice.FilterIndex;
  return true;
}

void TForm1::NewScriptExecute() {
  CreateForms();
  Form2->exec();
  ScriptCheck->CheckSoon();
}

void TForm1::OpenScriptExecute() {
  std::string path;
  int filterIndex = 1;
  if (!RunFileDialog(*JvOpenDialog1, path, filterIndex)) return;
  OpenScriptFile(path);
}

void TForm1::OpenScriptFile(const std::string& path) {
  // The file is read whole before the text is replaced: a failed open
  // leaves the text as it was.
  const std::string bytes = ReadWholeFile(path);
  // A NUL would end the text there, and the next save would cut the file
  // short; each one becomes a space (NullReplacement) and the user is told.
  // Loaded from these bytes directly: a large script is not held twice.
  PlusMemoU1.Lines().LoadFromBytes(bytes);
  ScriptCheck->CheckSoon();
  if (bytes.find('\0') != std::string::npos) ShowWarningBox(FormatMessage(kNulBytesReplaced, path));
}

bool TForm1::SaveScriptExecute() {
  std::string path;
  int filterIndex = 1;
  if (!RunFileDialog(*JvSaveDialog1, path, filterIndex)) return false;
  // The filter entry alone decides the format, whatever the name's extension.
  // Both routes write beside the target and rename it over the old file.
  if (filterIndex == 1)
    PlusMemoU1.Lines().SaveToFile(path);
  else
    PlusToRTFU1.SaveToFile(path);
  return true;
}

}  // namespace qm
