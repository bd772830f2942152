// TPlusMemoU's clipboard commands: copy, cut and paste, with the column-block marker and the no-overwrite rule.
#include <optional>
#include <string>
#include <vector>

#include "editor/PlusMemoU.h"
#include "editor/WideStr.h"

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

  const bool noOverwrite = Options.Contains(pmoNoOverwriteBlocks);
  const bool keepBlock = noOverwrite && Options.Contains(pmoPersistentBlocks) && SelLength() != 0;
  // The block ends are held by navigators so that they follow the pasted text.
  std::optional<TPlusNavigatorU> blockStart;
  std::optional<TPlusNavigatorU> blockStop;
  const bool caretAtStart = SelLength() > 0;
  const bool savedBlockMode = BlockMode;
  const int32_t savedStartCol = BlockStartCol;
  const int32_t savedStopCol = BlockStopCol;
  if (keepBlock) {
    blockStart.emplace(this);
    blockStart->SetPos(SelStartNav().Pos());
    blockStop.emplace(this);
    blockStop->SetPos(SelStopNav().Pos());
  }
  // Without overwriting, the paste goes in at the caret instead of replacing the selection.
  if (noOverwrite) SetSelStart(SelStart());

  if (keepBlock) BeginUpdate();
  try {
    // A paste is an undo step of its own, never merged into the typing before it.
    CaretMoved = true;
    if (columnPaste)
      InsertColumnBlock(*text);
    else
      SetSelText(*text);
  } catch (...) {
    // "Text too long" leaves the text as it was; the update bracket must still close.
    if (keepBlock) EndUpdate();
    throw;
  }

  if (keepBlock) {
    const int32_t start = blockStart->Pos();
    const int32_t stop = blockStop->Pos();
    // The caret returns to the end of the block it stood at before the paste.
    SetSelStart(caretAtStart ? start : stop);
    SetSelLength(caretAtStart ? stop - start : start - stop);
    if (savedBlockMode) {
      BlockMode = true;
      BlockStartCol = savedStartCol;
      BlockStopCol = savedStopCol;
    }
    EndUpdate();
  }
}

}  // namespace qm
