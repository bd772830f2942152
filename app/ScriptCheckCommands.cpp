// The main window's script check: the counts in the status bar, "Проверить скрипт", F8 and Shift+F8, the hint over a mark.
#include <QAction>
#include <QLabel>

#include "app/ErrorBox.h"
#include "app/MainWindow.h"
#include "app/ScriptCheck.h"
#include "platform/Exceptions.h"
#include "qt/PlusMemoWidget.h"

namespace qm {

namespace {

// "Строка 3, столбец 5" of a position of the editor's text, both from 1.
std::u16string Place(const TPlusMemoU& memo, int32_t pos) {
  const TParagraphsList& list = memo.Paragraphs();
  const int par = list.ParagraphOfPosition(pos);
  return QString("Строка %1, столбец %2").arg(par + 1).arg(pos - list.StartOffset(par) + 1).toStdU16String();
}

}  // namespace

void TForm1::ConnectScriptCheck() {
  ScriptCheck = new TScriptCheck(PlusMemoU1, this);
  ScriptCheck->OnChecked = [this] { ShowCheckCounts(); };
  connect(Action("CheckScript"), &QAction::triggered, this, Guarded([this] { CheckScriptExecute(); }));
  connect(Action("NextProblem"), &QAction::triggered, this, Guarded([this] { NextProblemExecute(true); }));
  connect(Action("PrevProblem"), &QAction::triggered, this, Guarded([this] { NextProblemExecute(false); }));
}

void TForm1::ShowCheckCounts() {
  const check::TDiagnosticCounts counts = ScriptCheck->Counts();
  StatusPanel2->setText(QString("Ошибок: %1, предупреждений: %2").arg(counts.Errors).arg(counts.Warnings));
}

void TForm1::CheckScriptExecute() {
  ScriptCheck->CheckNow();
  const check::TDiagnosticCounts counts = ScriptCheck->Counts();
  if (counts.Errors + counts.Warnings == 0) {
    SetMessage(u"Ошибок и предупреждений нет.");
    return;
  }
  std::u16string text = StatusPanel2->text().toStdU16String() + u".";
  for (const TTextMark& mark : PlusMemoU1.Marks().All())
    text += u"\r\n" + Place(PlusMemoU1, mark.Start) + u". " + mark.Hint;
  SetMessage(text);
}

void TForm1::NextProblemExecute(bool forward) {
  const TTextMark* mark = ScriptCheck->NextMark(forward);
  if (mark == nullptr) {
    SetMessage(ScriptCheck->Pending() ? u"Скрипт ещё проверяется." : u"Ошибок и предупреждений нет.");
    return;
  }
  const int32_t start = mark->Start;
  const std::u16string message = Place(PlusMemoU1, start) + u". " + mark->Hint;
  // The caret move shows the help of the word it lands on; the problem's message replaces it.
  PlusMemoU1.SetSelStart(start);
  PlusMemoU1.ScrollInView();
  SetMessage(message);
  PlusMemoU1Widget->setFocus();
}

std::u16string TForm1::MarkHintAt(const QPoint& point) {
  const TTextMark* mark = PlusMemoU1.MarkAtPoint(point.x(), point.y());
  return mark == nullptr ? std::u16string() : mark->Hint;
}

}  // namespace qm
