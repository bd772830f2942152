// TPlusMemoU's basic keyboard handling: caret moves, selection extension, deleting keys, typed characters and control codes.
#include <algorithm>
#include <string>

#include "editor/PlusMemoU.h"

namespace qm {

namespace {

// How far Page Up and Page Down move, in paragraphs.
constexpr int kPageParagraphs = 20;

// Control codes of Ctrl+letter on the character path.
constexpr char16_t kCtrlC = 3;
constexpr char16_t kCtrlV = 22;
constexpr char16_t kCtrlX = 24;
constexpr char16_t kCtrlZ = 26;
constexpr char16_t kTab = 9;
constexpr char16_t kEnter = 13;

// Where the caret lands in paragraph par when it keeps offset `offset`:
// clamped to that paragraph's length.
int32_t AtOffset(const TPlusMemoU& memo, int par, int32_t offset) {
  const int32_t length = static_cast<int32_t>(memo.Paragraphs().TextView(par).size());
  return memo.ParagraphStart(par) + std::clamp(offset, 0, length);
}

}  // namespace

bool TPlusMemoU::KeyDown(TpmKey key, TShiftState shift) {
  TPlusNavigatorU& caret = *caretNav_;
  const int32_t pos = caret.Pos();
  const int par = caret.ParNumber();
  const int32_t offset = caret.ParOffset();
  const int32_t parLength = static_cast<int32_t>(paragraphs_->TextView(par).size());
  const int lastPar = ParagraphCount() - 1;

  // Every caret move ends the same way: the selection is dropped, or with
  // Shift it is stretched from the end away from the caret to the new place.
  auto moveTo = [&](int32_t target) {
    if (shift.Shift) {
      const int32_t anchor = pos + selLength_;
      SetSelStart(target);
      SetSelLength(anchor - SelStart());
    } else {
      SetSelStart(target);
    }
    return true;
  };

  switch (key) {
    case TpmKey::kLeft: {
      if (shift.Ctrl) {
        TPlusNavigatorU nav(this);
        nav.SetPos(pos);
        nav.PrevWord(Separators);
        return moveTo(nav.Pos());
      }
      // From a paragraph start the caret crosses the whole CR LF break.
      if (offset == 0) return moveTo(par > 0 ? AtOffset(*this, par - 1, INT32_MAX) : pos);
      return moveTo(pos - 1);
    }
    case TpmKey::kRight: {
      if (shift.Ctrl) {
        TPlusNavigatorU nav(this);
        nav.SetPos(pos);
        nav.NextWord(Separators);
        return moveTo(nav.Pos());
      }
      if (offset >= parLength) return moveTo(par < lastPar ? ParagraphStart(par + 1) : pos);
      return moveTo(pos + 1);
    }
    case TpmKey::kUp:
      return moveTo(par > 0 ? AtOffset(*this, par - 1, offset) : pos);
    case TpmKey::kDown:
      return moveTo(par < lastPar ? AtOffset(*this, par + 1, offset) : pos);
    case TpmKey::kPageUp:
      return moveTo(AtOffset(*this, std::max(par - kPageParagraphs, 0), offset));
    case TpmKey::kPageDown:
      return moveTo(AtOffset(*this, std::min(par + kPageParagraphs, lastPar), offset));
    case TpmKey::kHome:
      return moveTo(shift.Ctrl ? 0 : ParagraphStart(par));
    case TpmKey::kEnd:
      return moveTo(shift.Ctrl ? TextLength() : ParagraphStart(par) + parLength);

    case TpmKey::kBackspace: {
      if (ReadOnly) return true;
      if (selLength_ != 0) {
        ClearSelection();
        return true;
      }
      if (pos == 0) return true;
      int32_t from = pos - 1;
      if (shift.Ctrl) {
        TPlusNavigatorU nav(this);
        nav.SetPos(pos);
        nav.PrevWord(Separators);
        from = nav.Pos();
      } else if (offset == 0) {
        from = pos - 2;  // the whole CR LF break
      }
      SetSelStart(pos);
      SetSelLength(from - pos);
      ClearSelection();
      return true;
    }
    case TpmKey::kDelete: {
      if (shift.Shift && selLength_ != 0) {
        // Shift+Delete cuts, which copies even when the text cannot change.
        if (ReadOnly)
          CopyToClipboard();
        else
          CutToClipboard();
        return true;
      }
      if (ReadOnly) return true;
      if (selLength_ != 0) {
        ClearSelection();
        return true;
      }
      int32_t count = 1;
      if (offset >= parLength) {
        if (par >= lastPar) return true;
        count = 2;  // the whole CR LF break joins the next paragraph
      }
      SetSelLength(count);
      ClearSelection();
      return true;
    }
    case TpmKey::kInsert:
      if (shift.Ctrl) {
        CopyToClipboard();
        return true;
      }
      if (shift.Shift) {
        if (!ReadOnly) PasteFromClipboard();
        return true;
      }
      return false;

    // Tab and Enter insert on the character path (KeyPress 9 and 13), so a
    // host that turns key-downs into characters gets exactly one insertion.
    case TpmKey::kTab:
    case TpmKey::kReturn:
    case TpmKey::kEscape:
    case TpmKey::kNone:
      return false;
  }
  return false;
}

bool TPlusMemoU::KeyPress(char16_t c) {
  // A character arriving inside an update would edit text whose layout and
  // selection are mid-change.
  if (UpdateCount > 0) return false;
  if (c == kCtrlC) {
    CopyToClipboard();
    return true;
  }
  if (ReadOnly) return false;
  switch (c) {
    case kCtrlV:
      PasteFromClipboard();
      return true;
    case kCtrlX:
      CutToClipboard();
      return true;
    case kCtrlZ:
      Undo();
      return true;
    case kTab:
      SetSelText(u"\t");
      return true;
    case kEnter:
      SetSelText(u"\r\n");
      return true;
    default:
      break;
  }
  if (c < 32 || c == 127) return false;
  SetSelText(std::u16string(1, c));
  return true;
}

}  // namespace qm
