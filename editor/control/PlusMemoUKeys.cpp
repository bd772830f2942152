// TPlusMemoU's key table: caret keys, deleting keys, Insert, the Ctrl hot keys, the character message and DisplayOnly scrolling.
#include <algorithm>
#include <string>

#include "editor/control/PlusMemoU.h"
#include "editor/store/StoreCheck.h"

namespace qm {

namespace {

// Control codes of Ctrl+letter on the character path.
constexpr char16_t kCtrlC = 3;
constexpr char16_t kCtrlE = 5;
constexpr char16_t kCtrlV = 22;
constexpr char16_t kCtrlX = 24;
constexpr char16_t kTab = 9;
constexpr char16_t kEnter = 13;

// Format codes of the hot keys.
constexpr char16_t kItalicCode = 1;
constexpr char16_t kBoldCode = 2;
constexpr char16_t kHighlightCode = 3;
constexpr char16_t kAltFontCode = 4;
constexpr char16_t kUnderlineCode = 21;

bool IsArrow(TpmKey key) {
  return key == TpmKey::kLeft || key == TpmKey::kRight || key == TpmKey::kUp || key == TpmKey::kDown;
}

}  // namespace

TpmKey LetterOrDigitKey(char c) {
  if (c >= 'A' && c <= 'Z') return static_cast<TpmKey>(static_cast<int>(TpmKey::kA) + (c - 'A'));
  if (c >= '0' && c <= '9') return static_cast<TpmKey>(static_cast<int>(TpmKey::k0) + (c - '0'));
  return TpmKey::kNone;
}

int DigitOfKey(TpmKey key) {
  const int k = static_cast<int>(key);
  const int zero = static_cast<int>(TpmKey::k0);
  return k >= zero && k <= zero + 9 ? k - zero : -1;
}

bool TPlusMemoU::KeyDown(TpmKey key, TShiftState shift) {
  message_ = TpmMessage{mkKeyDown, key, shift, 0};
  NotifyListeners(pnBeforeMessage);
  TpmKey seen = key;
  if (OnKeyDown) OnKeyDown(this, seen, shift);
  // A consumed key counts as handled: it goes nowhere else.
  const bool handled = seen == TpmKey::kNone || HandleKeyDown(seen, shift);
  // The message may have been replaced by one sent from inside the handling.
  message_ = TpmMessage{mkKeyDown, key, shift, 0};
  NotifyListeners(pnAfterMessage);
  message_ = TpmMessage{};
  return handled;
}

bool TPlusMemoU::KeyPress(char16_t c) {
  message_ = TpmMessage{mkChar, TpmKey::kNone, {}, c};
  NotifyListeners(pnBeforeMessage);
  char16_t seen = c;
  if (OnKeyPress) OnKeyPress(this, seen);
  const bool handled = seen == 0 || HandleChar(seen);
  message_ = TpmMessage{mkChar, TpmKey::kNone, {}, c};
  NotifyListeners(pnAfterMessage);
  message_ = TpmMessage{};
  return handled;
}

void TPlusMemoU::KeyUp(TpmKey key, TShiftState shift) {
  if (OnKeyUp) OnKeyUp(this, key, shift);
}

void TPlusMemoU::DoEnter() {
  if (OnEnter) OnEnter(this);
}

void TPlusMemoU::DoExit() {
  if (OnExit) OnExit(this);
}

bool TPlusMemoU::HandleKeyDown(TpmKey key, TShiftState shift) {
  if (DisplayOnly()) return DisplayOnlyKey(key, shift);
  if (shift.Ctrl && !shift.Alt && HotKey(key, shift)) return true;

  // Shift+Alt with an arrow starts a column block at the caret's column.
  if (shift.Shift && shift.Alt && IsArrow(key) && Options.Contains(pmoBlockSelection) && !WordWrap && !BlockMode) {
    const int32_t column = ScreenColumn();
    const int32_t virtualColumn = VirtualColumn;
    PlaceSelection(SelStart(), 0);
    VirtualColumn = virtualColumn;
    BlockMode = true;
    BlockStartCol = column;
    BlockStopCol = column;
  }

  switch (key) {
    case TpmKey::kLeft: MoveLeft(shift); return true;
    case TpmKey::kRight: MoveRight(shift); return true;
    case TpmKey::kUp: MoveVertically(-1, shift); return true;
    case TpmKey::kDown: MoveVertically(1, shift); return true;
    case TpmKey::kPageUp: PageMove(-1, shift); return true;
    case TpmKey::kPageDown: PageMove(1, shift); return true;
    case TpmKey::kHome:
    case TpmKey::kEnd: {
      const bool home = key == TpmKey::kHome;
      if (shift.Ctrl) {
        EndCaretMove(home ? 0 : TextLength(), 0, shift.Shift);
        return true;
      }
      TPlusNavigatorU& caret = *caretNav_;
      LayOutUpToLine(caret.LineNumber());
      const TLineInfo line = paragraphs_->LineInfo(caret.ParNumber(), caret.LineInPar());
      const int32_t parStart = ParagraphStart(caret.ParNumber());
      EndCaretMove(parStart + (home ? line.LineStart : line.LineStop), 0, shift.Shift);
      return true;
    }
    case TpmKey::kBackspace:
      if (ReadOnly) return true;
      KeepingBlock([&] { Backspace(shift.Ctrl); });
      return true;
    case TpmKey::kDelete: DeleteKey(shift); return true;
    case TpmKey::kInsert:
      if (shift.Ctrl) {
        CopyToClipboard();
        return true;
      }
      if (shift.Shift) {
        if (!ReadOnly) PasteFromClipboard();
        return true;
      }
      if (!Options.Contains(pmoInsertKeyActive)) return false;
      SetOverwrite(!Overwrite());
      if (OnStyleChange) OnStyleChange(this);
      return true;
    default:
      // Tab and Enter insert on the character path (KeyPress 9 and 13), so a
      // host that turns key-downs into characters gets exactly one insertion.
      return false;
  }
}

bool TPlusMemoU::HotKey(TpmKey key, TShiftState shift) {
  if (!EnableHotKeys || ReadOnly) return false;
  switch (key) {
    case TpmKey::kB: InsertFormatCodes(kBoldCode); return true;
    case TpmKey::kI: InsertFormatCodes(kItalicCode); return true;
    case TpmKey::kU: InsertFormatCodes(kUnderlineCode); return true;
    case TpmKey::kH: InsertFormatCodes(kHighlightCode); return true;
    case TpmKey::kF: InsertFormatCodes(kAltFontCode); return true;
    case TpmKey::kT: SetSelText(u"\t"); return true;
    case TpmKey::kP: SetSelText(u"\r\n\x10\r\n"); return true;
    case TpmKey::kZ:
      if (shift.Shift)
        Redo();
      else
        Undo();
      return true;
    default: return false;
  }
}

void TPlusMemoU::InsertFormatCodes(char16_t code) {
  if (!StaticFormat()) return;
  const std::u16string codeText(1, code);
  if (selLength_ == 0) {
    // The pair would be cleaned away at once: the caret goes between the two codes.
    cleaningCodes_ = true;
    try {
      SetSelText(codeText + codeText);
    } catch (...) {
      cleaningCodes_ = false;
      throw;
    }
    cleaningCodes_ = false;
    SetSelStart(SelStart() - 1);
    return;
  }
  const int32_t start = selStartNav_->Pos();
  const std::u16string inner = SelText();
  SetSelText(codeText + inner + codeText);
  // The selection comes back over the text between the codes.
  const int32_t innerStart = start + 1;
  const int32_t innerStop = SelStart() - 1;
  SetSelStart(innerStop);
  SetSelLength(innerStart - innerStop);
}

bool TPlusMemoU::HandleChar(char16_t c) {
  // A character arriving inside an update would edit text whose layout and
  // selection are mid-change; one arriving during a drag belongs to no caret.
  if (UpdateCount > 0 || dragging_ || DisplayOnly()) return false;
  if (c == kCtrlC) {
    CopyToClipboard();
    return true;
  }
  if (ReadOnly) return false;
  switch (c) {
    case kCtrlV: PasteFromClipboard(); return true;
    case kCtrlX: CutToClipboard(); return true;
    case kCtrlE: CheckStore(); return true;
    case kTab:
      KeepingBlock([&] {
        if (Options.Contains(pmoSmartTabs))
          SetSelText(SelText() + SmartTabFill());
        else
          SetSelText(u"\t");
      });
      return true;
    case kEnter: KeepingBlock([&] { Enter(); }); return true;
    default: break;
  }
  if (c < 32 || c == 127) return false;
  KeepingBlock([&] { TypeChar(c); });
  return true;
}

void TPlusMemoU::CheckStore() {
  if (host_ != nullptr) host_->Invalidate();
  VerifyStore(*paragraphs_, Name.empty() ? std::string("TPlusMemoU") : Name);
}

bool TPlusMemoU::DisplayOnlyKey(TpmKey key, TShiftState shift) {
  if (!layout_) return false;
  const int height = std::max(layout_->LineHeight(), 1);
  const int page = std::max(VisibleLines() - 1, 1) * height;
  const int h = HScroll();
  const int v = VScroll();
  const int bottom = std::max(LineCount() * height + 2 - LayoutSettings.ClientHeight, 0);
  const int right = std::max(
      LayoutSettings.LeftMargin + layout_->WidestLine() + LayoutSettings.RightMargin + 2 - LayoutSettings.ClientWidth,
      0);
  const int fifth = std::max(LayoutSettings.ClientWidth / 5, 1);
  switch (key) {
    case TpmKey::kUp: SetScrollPos(h, v - height); return true;
    case TpmKey::kDown: SetScrollPos(h, std::min(v + height, bottom)); return true;
    case TpmKey::kPageUp: SetScrollPos(h, shift.Ctrl ? 0 : v - page); return true;
    case TpmKey::kPageDown: SetScrollPos(h, shift.Ctrl ? bottom : std::min(v + page, bottom)); return true;
    case TpmKey::kHome: SetScrollPos(0, v); return true;
    case TpmKey::kEnd: SetScrollPos(right, v); return true;
    case TpmKey::kLeft: SetScrollPos(h - fifth, v); return true;
    case TpmKey::kRight: SetScrollPos(std::min(h + fifth, std::max(right, h)), v); return true;
    default: return false;
  }
}

}  // namespace qm
