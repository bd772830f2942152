// The item browser of the main window: the category change that fills the item list, and insertion by double-click.
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QStatusBar>

#include <algorithm>
#include <exception>

#include "app/DataFolder.h"
#include "app/ErrorBox.h"
#include "app/MainWindow.h"
#include "app/MatchFold.h"
#include "app/WholeFile.h"
#include "editor/control/StringsViews.h"
#include "platform/CodePage.h"
#include "platform/Exceptions.h"
#include "qt/PlusMemoWidget.h"

namespace qm {

namespace {

// A line ends at CR, LF or CR LF; a last line without a break counts, a final break adds nothing.
std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    lines.push_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

}  // namespace

void TForm1::SetItems(std::vector<std::string> items) {
  // A stable order without regard to letter case; duplicates stay.
  std::stable_sort(items.begin(), items.end(),
                   [](const std::string& a, const std::string& b) { return MatchFold(a) < MatchFold(b); });
  items_ = std::move(items);
  ListBox1->clear();
  for (const std::string& item : items_) ListBox1->addItem(QString::fromStdU16String(AnsiToWide(item)));
  ListBox1->setCurrentRow(-1);
}

void TForm1::AddItems(const TKeywordList& list) {
  std::vector<std::string> items = items_;
  for (int i = 0; i < list.Count(); ++i) items.push_back(WideToAnsi(list.Entry(i).Keyword));
  SetItems(std::move(items));
}

bool TForm1::AddUserItems() {
  const std::vector<std::string> files = UserItemFiles();
  std::vector<std::string> items = items_;
  for (size_t i = 0; i < files.size(); ++i) {
    std::string text;
    try {
      text = ReadWholeFile(files[i]);
    } catch (const std::exception& e) {
      ShowErrorBox(e.what());
      // Without the shipped items the list stays empty; the user's own file
      // only adds to them.
      if (i == 0) return false;
      continue;
    }
    for (std::string& line : SplitLines(text)) items.push_back(std::move(line));
  }
  SetItems(std::move(items));
  return true;
}

int TForm1::SelectedItem() const { return ListBox1->currentRow(); }

void TForm1::SelectItem(int index) {
  ListBox1->setCurrentRow(index >= 0 && index < static_cast<int>(items_.size()) ? index : -1);
}

void TForm1::ComboBox1Change() {
  SetItems({});
  switch (ComboBox1->currentIndex()) {
    case 0: AddItems(chain_->U(4).Keywords); break;
    case 1: AddItems(chain_->U(1).Keywords); break;
    case 2: AddItems(chain_->U(2).Keywords); break;
    case 3: AddItems(chain_->U(3).Keywords); break;
    case 4:
      if (!AddUserItems()) return;
      for (int h = 1; h <= 4; ++h) AddItems(chain_->U(h).Keywords);
      break;
    case 5:
      if (!AddUserItems()) return;
      break;
    default: break;  // no category: an empty list
  }
  PlusMemoU1Change();
  if (isVisible()) PlusMemoU1Widget->setFocus();
  Label1->setText(QString("Всего: %1").arg(items_.size()));
}

void TForm1::ListBox1DblClick() {
  PlusMemoU1.ClearSelection();
  const int selected = SelectedItem();
  if (selected < 0) throw EListError("List index out of bounds (" + std::to_string(selected) + ")");
  const std::u16string item = AnsiToWide(items_[static_cast<size_t>(selected)]);
  const bool word = !PlusMemoU1.WordAtCaret().empty();
  switch (ComboBox1->currentIndex()) {
    case 3: {
      std::u16string line = PlusMemoU1.CaretNav().LineText();
      const auto blank = [](char16_t c) { return c <= 32; };
      line.erase(line.begin(), std::find_if_not(line.begin(), line.end(), blank));
      while (!line.empty() && blank(line.back())) line.pop_back();
      if (line.empty()) {
        PlusMemoU1.Lines().Add(WideToAnsi(u"begin " + item + u"\r\rend"));
        PlusMemoU1.SetCaretLine(PlusMemoU1.CaretLine() - 2);
      } else {
        PlusMemoU1.InsertColumnBlock(word ? u" " + item : item);
        PlusMemoU1.SetCaretLine(PlusMemoU1.CaretLine() + 1);
      }
      break;
    }
    case 0: PlusMemoU1.InsertColumnBlock(word ? u" " + item : item); break;
    default: PlusMemoU1.InsertColumnBlock(word ? u" " + item + u" " : item + u" "); break;
  }
  PlusMemoU1Widget->setFocus();
  SelectItem(-1);
  StatusPanel1->clear();
}

}  // namespace qm
