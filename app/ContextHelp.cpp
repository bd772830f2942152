// Context help of the main window: the caret update (status bar, list selection, context buttons, help text), Ctrl+Q and the mouse over the panels.
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QToolButton>

#include "app/DataFolder.h"
#include "app/MainWindow.h"
#include "app/MatchFold.h"
#include "platform/CodePage.h"

namespace qm {

void TForm1::PlusMemoU1Change() {
  StatusPanel0->setText(QString("Символ: %1 (%2) Строка: %3")
                            .arg(PlusMemoU1.SelStart())
                            .arg(PlusMemoU1.TextLength())
                            .arg(PlusMemoU1.CaretLine() + 1));
  const std::string word = WideToAnsi(PlusMemoU1.WordAtCaret());
  const int selected = SelectedItem();
  StatusPanel1->setText(QString::fromStdU16String(
      AnsiToWide(selected >= 0 ? items_[static_cast<size_t>(selected)] + " (Ctrl+Q)" : word)));

  // The first item that the word begins; every item passed clears the selection.
  if (!word.empty()) {
    const std::string folded = MatchFold(word);
    int match = -1;
    for (size_t i = 0; i < items_.size() && match < 0; ++i)
      if (MatchFold(items_[i]).starts_with(folded)) match = static_cast<int>(i);
    SelectItem(match);
  }

  const int32_t context = PlusMemoU1.CaretNav().Context();
  ToolButton16->setEnabled(context == 11);
  ToolButton19->setEnabled(context == 88);

  if (!LoadHelp()) return;
  if (SelectedItem() < 0) {
    SetMessage(u"");
    return;
  }
  ShowHelp(items_[static_cast<size_t>(SelectedItem())]);
}

void TForm1::PlusMemoU1KeyDown(TpmKey key, TShiftState shift) {
  if (key == TpmKey::kSpace) {
    SelectItem(-1);
    return;
  }
  if (key != TpmKey::kQ || !shift.Ctrl) return;
  const int selected = SelectedItem();
  if (selected < 0 || PlusMemoU1.SelLength() != 0) return;
  const std::u16string item = AnsiToWide(items_[static_cast<size_t>(selected)]);
  const size_t typed = PlusMemoU1.WordAtCaret().size();
  if (item.size() > typed) PlusMemoU1.InsertColumnBlock(item.substr(typed, 255));
  SelectItem(-1);
}

void TForm1::ListBox1MouseMove(const QPoint& point) {
  if (!LoadHelp()) return;
  const QListWidgetItem* under = ListBox1->itemAt(point);
  if (under != nullptr && items_.size() > 1) {
    ShowHelp(items_[static_cast<size_t>(ListBox1->row(under))]);
    return;
  }
  if (SelectedItem() >= 0) ShowHelp(items_[static_cast<size_t>(SelectedItem())]);
}

void TForm1::Panel1MouseMove() { SetMessage(u""); }

bool TForm1::LoadHelp() {
  const std::string path = DataFolder() + "/help.xml";
  const QFileInfo info(QFile::decodeName(path.c_str()));
  if (!info.exists()) {
    helpStamp_.clear();
    return false;
  }
  // Parsed again only when the file (or the folder it comes from) changed,
  // so that the next caret move still shows an edited help file.
  const std::string stamp =
      path + ":" + std::to_string(info.size()) + ":" + std::to_string(info.lastModified().toMSecsSinceEpoch());
  if (stamp == helpStamp_) return true;
  const bool ok = help_.Load(path) && help_.ParseErrorLine() == 0;
  helpStamp_ = ok ? stamp : std::string();
  return ok;
}

bool TForm1::HelpOf(const std::string& item, std::u16string& syntax, std::u16string& text) {
  // An item that is no element name (user items may hold spaces) has no help.
  const std::string path = WideToUtf8(AnsiToWide(item));
  if (!IsTagPath(path)) return false;
  const std::vector<TXmlNode> elements = help_.SelectNodes(path);
  if (elements.empty()) return false;
  const std::vector<TXmlNode> syntaxes = help_.SelectNodes(path + "/@syntax");
  const std::u16string description = elements.front().Text();
  if (syntaxes.empty()) {
    // Without a syntax line the description stands alone.
    syntax.clear();
    text = description;
    return true;
  }
  syntax = syntaxes.front().Text();
  text = syntax + u"\r\n" + description;
  return true;
}

void TForm1::ShowHelp(const std::string& item) {
  std::u16string syntax;
  std::u16string text;
  if (!HelpOf(item, syntax, text)) return;
  ListBox1->setToolTip(QString::fromStdU16String(syntax));
  SetMessage(text);
}

void TForm1::SetMessage(const std::u16string& text) {
  if (PlusMemoU2.Text() == text) return;
  PlusMemoU2.SetText(text);
  // The pane's text is replaced, never edited: nothing to undo.
  PlusMemoU2.ClearUndo();
}

}  // namespace qm
