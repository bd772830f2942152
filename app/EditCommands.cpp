// The main window's edit commands: undo, redo, select all, clipboard, find, find next, go to line and the gutter double-click.
#include <QAction>

#include <utility>

#include "app/ErrorBox.h"
#include "app/FindDialog.h"
#include "app/GoToLineDialog.h"
#include "app/MainWindow.h"
#include "app/ReplaceDialog.h"

namespace qm {

void TForm1::ConnectEditCommands() {
  const std::pair<const char*, void (TForm1::*)()> handlers[] = {
      {"undo1", &TForm1::undo1Execute}, {"redo1", &TForm1::redo1Execute},       {"SelAll", &TForm1::SelAllExecute},
      {"copy1", &TForm1::copy1Execute}, {"cut1", &TForm1::cut1Execute},         {"paste1", &TForm1::paste1Execute},
      {"Find", &TForm1::FindExecute},   {"FindNext", &TForm1::FindNextExecute}, {"Replace", &TForm1::ReplaceExecute},
      {"Goto1", &TForm1::Goto1Execute},
  };
  for (const auto& [name, handler] : handlers)
    connect(Action(name), &QAction::triggered, this, Guarded([this, run = handler] { (this->*run)(); }));
  PlusGutterU1.OnDblClick = [this](TComponent*) {
    try {
      PlusGutterU1DblClick();
    } catch (const std::exception& e) {
      ShowErrorBox(e.what());
    }
  };
}

void TForm1::undo1Execute() { PlusMemoU1.Undo(); }

void TForm1::redo1Execute() { PlusMemoU1.Redo(); }

void TForm1::SelAllExecute() {
  // Unlike the editor's SelectAll, the caret stands at the start. The
  // length of the whole text, breaks counted as two, without building it.
  PlusMemoU1.SetSelStart(0);
  PlusMemoU1.SetSelLength(PlusMemoU1.TextLength());
}

void TForm1::copy1Execute() {
  if (PlusMemoU1.SelLength() != 0) PlusMemoU1.CopyToClipboard();
}

void TForm1::cut1Execute() {
  if (PlusMemoU1.SelLength() != 0) PlusMemoU1.CutToClipboard();
}

void TForm1::paste1Execute() { PlusMemoU1.PasteFromClipboard(); }

void TForm1::FindExecute() {
  // An empty text or a single character gives nothing to search.
  if (PlusMemoU1.TextLength() < 2) return;
  CreateForms();
  Form4->show();
  Form4->raise();
  Form4->activateWindow();
}

void TForm1::FindNextExecute() {
  CreateForms();
  Form4->Button1Click();
}

void TForm1::ReplaceExecute() {
  CreateForms();
  ReplaceDialog->show();
  ReplaceDialog->raise();
  ReplaceDialog->activateWindow();
  // After the show: a hidden dialog cannot take the focus.
  ReplaceDialog->Prepare();
}

void TForm1::Goto1Execute() {
  CreateForms();
  Form5->exec();
}

void TForm1::PlusGutterU1DblClick() { PlusGutterU1.ToggleBookmark(2, 1); }

}  // namespace qm
