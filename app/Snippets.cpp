// The snippet commands: how each insertion style edits the script editor, and the main window's handler that runs them.
#include "app/Snippets.h"

#include <QComboBox>

#include <algorithm>
#include <string_view>

#include "app/MainWindow.h"
#include "editor/control/StringsViews.h"
#include "platform/CodePage.h"

namespace qm {

namespace {

bool Blank(char16_t c) { return c <= 32; }

std::u16string LeadingBlanks(const std::u16string& text) {
  return text.substr(0, static_cast<size_t>(std::find_if_not(text.begin(), text.end(), Blank) - text.begin()));
}

// The operators and the menu-mode numbers: after a word a space keeps them apart from it.
void InsertInline(TPlusMemoU& memo, const TSnippetSpec& snippet) {
  if (memo.SelLength() != 0) memo.ClearSelection();
  const std::u16string text = AnsiToWide(snippet.Text);
  memo.InsertColumnBlock(memo.WordAtCaret().empty() ? text : u" " + text);
}

// The snippet's lines (CR between them) with the indent before each line
// that is not empty, as the 8-bit text the line view takes.
std::string Indented(const std::u16string& indent, std::string_view lines) {
  const std::string prefix = WideToAnsi(indent);
  std::string text;
  size_t start = 0;
  while (true) {
    const size_t stop = std::min(lines.find('\r', start), lines.size());
    if (stop > start) text += prefix;
    text += lines.substr(start, stop - start);
    if (stop == lines.size()) return text;
    text += '\r';
    start = stop + 1;
  }
}

// Caret to display line `line`, `fromEnd` characters before its end.
void CaretToLine(TPlusMemoU& memo, int32_t line, int32_t fromEnd) {
  memo.SetCaretLine(line);
  memo.SetCaretColumn(static_cast<int32_t>(memo.CaretNav().LineText().size()) - fromEnd);
}

void PlaceCaret(TPlusMemoU& memo, TSnippetCaret where, int32_t firstLine) {
  switch (where) {
    case TSnippetCaret::Stay: break;
    case TSnippetCaret::FirstBeforeLast: CaretToLine(memo, firstLine, 1); break;
    case TSnippetCaret::FirstEnd: CaretToLine(memo, firstLine, 0); break;
    case TSnippetCaret::LeftLineEnd: CaretToLine(memo, memo.CaretLine(), 0); break;
  }
}

// New lines below the caret line; in a text of one line above it, so that the
// line itself is never split.
void InsertLines(TPlusMemoU& memo, const TSnippetSpec& snippet) {
  const bool severalLines = memo.LineCount() >= 2;
  // The indent is that of the code as it stood, before a selection goes.
  const std::u16string indent = SnippetIndent(memo);
  const bool selected = memo.SelLength() != 0;
  if (selected) memo.ClearSelection();
  const int32_t caretLine = memo.CaretLine();
  const int32_t firstLine = severalLines ? caretLine + 1 : caretLine;
  memo.Lines().Insert(firstLine, Indented(indent, selected ? snippet.SelectedText : snippet.Text));
  PlaceCaret(memo, selected ? snippet.SelectedCaret : snippet.Caret, firstLine);
}

// The block goes at the end of the script, never at the caret; the caret
// waits after "begin " for the block type.
void AddBeginEnd(TPlusMemoU& memo, const TSnippetSpec& snippet) {
  if (memo.SelLength() != 0) memo.ClearSelection();
  // The add fills an empty last line, else starts a new one.
  const int32_t lastLine = memo.LineCount() - 1;
  const int32_t beginLine = memo.LineText(lastLine).empty() ? lastLine : lastLine + 1;
  const std::string_view text = snippet.Text;
  memo.Lines().Add(std::string(text));
  memo.SetCaretLine(beginLine);
  memo.SetCaretColumn(static_cast<int32_t>(text.find('\r')));
}

}  // namespace

std::u16string SnippetIndent(TPlusMemoU& memo) {
  const std::u16string line = memo.CaretNav().LineText();
  if (!std::all_of(line.begin(), line.end(), Blank)) return LeadingBlanks(line);
  const int32_t caretLine = memo.CaretLine();
  return caretLine == 0 ? std::u16string() : LeadingBlanks(memo.LineText(caretLine - 1));
}

void RunSnippet(TPlusMemoU& memo, const TSnippetSpec& snippet) {
  switch (snippet.Style) {
    case TSnippetStyle::Inline: InsertInline(memo, snippet); break;
    case TSnippetStyle::Line: InsertLines(memo, snippet); break;
    case TSnippetStyle::BeginEnd: AddBeginEnd(memo, snippet); break;
  }
}

void TForm1::SnippetExecute(const TSnippetSpec& snippet) {
  RunSnippet(PlusMemoU1, snippet);
  if (snippet.Style != TSnippetStyle::BeginEnd) return;
  // The list offers the block types that complete the new begin line.
  ComboBox1->setCurrentIndex(3);
  ComboBox1Change();
}

}  // namespace qm
