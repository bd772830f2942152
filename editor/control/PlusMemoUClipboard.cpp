// TPlusMemoU's clipboard commands: copy, cut and paste, with the column-block marker and the no-overwrite rule.
#include <optional>
#include <string>
#include <vector>

#include "editor/control/PlusMemoU.h"
#include "editor/store/WideStr.h"

namespace qm {

namespace {

// The first byte of kColumnBlockFormat that marks the text as a column block.
constexpr unsigned char kColumnBlockMark = 2;

TClipboard& ClipboardOf(TClipboard* own) { return own != nullptr ? *own : PlatformClipboard(); }

}  // namespace

void TPlusMemoU::CopyToClipboard() {
  if (SelLength() == 0) return;
  TClipboard& clipboard = ClipboardOf(Clipboard);
  if (BlockMode) {
    clipboard.SetText(BlockText());
    // Set after the text, which replaces the whole content: the marker is what
    // lets a paste put the lines back as columns rather than as running text.
    clipboard.SetFormat(kColumnBlockFormat, {kColumnBlockMark});
    return;
  }
  std::u16string text = SelText();
  if (Options.Contains(pmoPlainClipboard)) text = StripFormatCodes(text);
  clipboard.SetText(text);
}

void TPlusMemoU::CutToClipboard() {
  if (SelLength() == 0) return;
  CopyToClipboard();
  ClearSelection();
}

void TPlusMemoU::PasteFromClipboard() {
  TClipboard& clipboard = ClipboardOf(Clipboard);
  const std::optional<std::u16string> text = clipboard.Text();
  if (!text) return;

  bool columnPaste = false;
  if (Options.Contains(pmoBlockSelection)) {
    const std::optional<std::vector<unsigned char>> mark = clipboard.Format(kColumnBlockFormat);
    columnPaste = mark && !mark->empty() && mark->front() == kColumnBlockMark;
  }

  // With pmoNoOverwriteBlocks the paste goes in at the caret and a
  // persistent block stays where it was.
  KeepingBlock([&] {
    // A paste is an undo step of its own, never merged into the typing before it.
    CaretMoved = true;
    if (columnPaste)
      InsertColumnBlock(*text);
    else
      SetSelText(*text);
  });
}

}  // namespace qm
