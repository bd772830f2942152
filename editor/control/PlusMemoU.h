// TPlusMemoU: the editor control. This holds its paragraph store, its navigators and the replace path they follow.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "editor/control/FormatThread.h"
#include "editor/control/Layout.h"
#include "editor/control/Options.h"
#include "editor/control/Painter.h"
#include "editor/control/TextMarks.h"
#include "editor/control/TextSearch.h"
#include "editor/highlight/Highlighter.h"
#include "editor/highlight/KeywordList.h"
#include "editor/highlight/Scan.h"
#include "editor/highlight/StartStopList.h"
#include "editor/store/Component.h"
#include "editor/store/Navigator.h"
#include "editor/store/Paragraphs.h"
#include "editor/store/Types.h"
#include "editor/store/UndoList.h"
#include "platform/Clipboard.h"
#include "platform/Stream.h"
#include "platform/WindowHost.h"

namespace qm {

// The default word separators: TAB, LF, CR, space and $%&,./:;<=>.
TCharSet DefaultSeparators();

class TPlusHighlighterU;
class TPlusLinesStrings;
class TPlusMemoU;

// Flags of a listener notification.
inline constexpr uint32_t pnTextChanged = 1;
inline constexpr uint32_t pnCaretMoved = 2;
inline constexpr uint32_t pnStyleChanged = 4;
inline constexpr uint32_t pnContextClickLeft = 8;
inline constexpr uint32_t pnContextClickOther = 16;
inline constexpr uint32_t pnBeforeMessage = 32;
inline constexpr uint32_t pnAfterMessage = 64;
inline constexpr uint32_t pnRepaint = 512;
// The control is being destroyed: a listener drops its reference to it.
inline constexpr uint32_t pnMemoDestroyed = 0x8000;

// An object told about the control's changes (the gutter).
class TPlusMemoListener {
 public:
  virtual ~TPlusMemoListener() = default;
  virtual void MemoNotify(TPlusMemoU& memo, uint32_t flags) = 0;
};

// Sender, StartOffset, StopOffset.
using TParseEvent = std::function<void(TComponent* sender, int32_t startOffset, int32_t stopOffset)>;
using TNotifyEvent = std::function<void(TComponent* sender)>;
// Sender, the text about to be inserted (the handler may replace it).
using TpmBeforeChangeEvent = std::function<void(TComponent* sender, std::u16string& text)>;
// Sender, Context, StartOffset, StopOffset.
using TContextEvent = std::function<void(TComponent* sender, int32_t context, int32_t startOffset, int32_t stopOffset)>;

// How layout and highlighting catch up with loads and edits.
enum class TpmUpdateMode : uint8_t { umImmediate, umOnNeed, umBackground };
using enum TpmUpdateMode;

// Keys the control handles (the host maps its own key codes onto these).
enum class TpmKey : uint8_t {
  kNone,
  kLeft,
  kRight,
  kUp,
  kDown,
  kHome,
  kEnd,
  kPageUp,
  kPageDown,
  kBackspace,
  kDelete,
  kInsert,
  kReturn,
  kTab,
  kEscape,
  // Letters and digits, for the Ctrl hot keys and the gutter's bookmark keys.
  kA,
  kB,
  kC,
  kD,
  kE,
  kF,
  kG,
  kH,
  kI,
  kJ,
  kK,
  kL,
  kM,
  kN,
  kO,
  kP,
  kQ,
  kR,
  kS,
  kT,
  kU,
  kV,
  kW,
  kX,
  kY,
  kZ,
  k0,
  k1,
  k2,
  k3,
  k4,
  k5,
  k6,
  k7,
  k8,
  k9,
  // The space bar: handled as the character it types, seen by OnKeyDown first.
  kSpace,
};
// The letter key for 'A' … 'Z' and the digit key for '0' … '9'; kNone otherwise.
TpmKey LetterOrDigitKey(char c);
// 0 … 9 for k0 … k9, else -1.
int DigitOfKey(TpmKey key);
// Modifier keys held with a key.
struct TShiftState {
  bool Shift = false;
  bool Ctrl = false;
  bool Alt = false;
};

enum class TMouseButton : uint8_t { mbLeft, mbRight, mbMiddle };
using enum TMouseButton;
// Sender, button, modifier keys, client x and y.
using TMouseEvent = std::function<void(TComponent* sender, TMouseButton button, TShiftState shift, int x, int y)>;

// The window message that listeners read with pnBeforeMessage and pnAfterMessage.
enum class TpmMessageKind : uint8_t { mkNone, mkKeyDown, mkChar, mkPaint, mkMouseDown, mkMouseUp };
using enum TpmMessageKind;
struct TpmMessage {
  TpmMessageKind Kind = mkNone;
  TpmKey Key = TpmKey::kNone;
  TShiftState Shift;
  char16_t Char = 0;
};

// Marks of non-printing characters (ShowNonPrintChars).
inline constexpr uint8_t pmNPSpace = 1;
inline constexpr uint8_t pmNPTab = 2;
inline constexpr uint8_t pmNPReturn = 4;

// The clipboard format that marks a column block.
inline constexpr const char* kColumnBlockFormat = "Borland IDE Block Type";

// Key events of a window control: a handler that sets key to kNone (or the
// character to 0) consumes it before the control sees it.
using TKeyEvent = std::function<void(TComponent* sender, TpmKey& key, TShiftState shift)>;
using TKeyPressEvent = std::function<void(TComponent* sender, char16_t& key)>;

class TPlusMemoU : public TComponent, public TNavigatorHost, public scan::TScanHost, public THighlighterClient {
 public:
  TPlusMemoU();
  ~TPlusMemoU() override;

  TParagraphsList& Paragraphs() final { return *paragraphs_; }
  const TParagraphsList& Paragraphs() const { return *paragraphs_; }

  // Navigators register on creation and unregister on destruction.
  void RegisterNavigator(TPlusNavigatorU* nav) final;
  void UnregisterNavigator(TPlusNavigatorU* nav) final;
  const std::vector<TPlusNavigatorU*>& Navigators() const { return navigators_; }

  // Queries.
  int32_t TextLength() const { return paragraphs_->TextLength; }
  int ParagraphCount() const { return paragraphs_->Count; }
  int LineCount() const { return paragraphs_->LineCount; }
  std::u16string Text() const;
  std::u16string ParagraphText(int i) const;
  int32_t ParagraphStart(int i) const;
  std::u16string GetTextRange(int32_t start, int32_t stop) const;

  // Replaces the text between two absolute positions and moves every
  // navigator: those after the range by the length difference, those inside
  // it (or at its end) to its start, those before it stay. Highlighting is
  // repaired around the change and OnParse fires.
  TReplaceResult ReplaceRange(int32_t start, int32_t stop, std::u16string_view text);

  // The first highlighter of the chain.
  TPlusHighlighterU* Highlighter() const final { return highlighter_; }
  void SetHighlighter(TPlusHighlighterU* highlighter);
  TpmUpperCase UpperCaseType() const { return upperCaseType_; }
  void SetUpperCaseType(TpmUpperCase type);
  void SetSeparators(const TCharSet& separators);
  // After a change of the highlighting rules (the chain or a list): every
  // style is found anew, lazily, and the view is laid out and repainted.
  void HighlightingChanged();
  // The text of paragraph par with its folded copy and words, shared by the
  // passes of the whole chain until the text changes.
  scan::TParagraphText& ScanText(int par) final;
  // What the highlighting passes and the navigators read of the editor.
  TKeywordList& OwnKeywords() final { return Keywords; }
  TStartStopKeyList& OwnStartStopKeys() final { return StartStopKeys; }
  const TCharSet& OwnSeparators() const final { return Separators; }
  bool OwnKeywordsOn() const final { return ApplyKeyWords; }
  bool OwnStartStopKeysOn() const final { return ApplyStartStopKeys; }
  TComponent& EventSender() final { return *this; }
  const TCharSet& WordSeparators() const final { return Separators; }
  bool WrapsLines() const final { return WordWrap; }
  void HighlighterDestroyed(TPlusHighlighterU*) final { SetHighlighter(nullptr); }

  // UTF-16 load and save with the store's algorithms; loading clears the
  // undo list and the selection and fires OnParse, OnProgress and OnChange.
  void LoadFromStream(TStream& stream);
  void SaveToStream(TStream& stream);

  // The display-line view of the text (single-byte strings).
  TPlusLinesStrings& Lines();

  // --- Selection (positions follow the position rule) ---
  int32_t SelStart() const;
  int32_t SelLength() const { return selLength_; }
  std::u16string SelText() const;
  void SetSelStart(int32_t p);
  void SetSelLength(int32_t n);
  TPlusNavigatorU& CaretNav() const { return *caretNav_; }
  TPlusNavigatorU& SelStartNav() const { return *selStartNav_; }
  TPlusNavigatorU& SelStopNav() const { return *selStopNav_; }
  int32_t CaretLine() const;
  int32_t CaretColumn() const;
  std::u16string WordAtCaret() const;
  void SelectAll();
  void GoToParagraph(int i);
  void SetCaretLine(int32_t line);
  void SetCaretColumn(int32_t column);

  // --- Edits: every one passes through SetSelTextBuf, but for ReplaceAll,
  // which hands its text (as large as the whole text) straight to the
  // selection's replacement to spare a copy of it ---
  // Replaces the selection by text (undoable); nullptr or empty with nothing selected does nothing.
  virtual void SetSelTextBuf(const char16_t* text);
  void SetSelText(std::u16string_view text);
  void ClearSelection();
  void SetTextBuf(const char16_t* text);
  void SetText(std::u16string_view text);
  void Clear();
  void InsertColumnBlock(std::u16string_view text);

  // --- Undo ---
  void Undo();
  void Redo();
  void ClearUndo();
  bool CanUndo() const;
  bool CanRedo() const;
  int32_t UndoMaxLevel() const { return undoMaxLevel_; }
  void SetUndoMaxLevel(int32_t level);  // raises EListError "Undo set too high" above 134 217 727
  int32_t UndoMaxSpace() const { return undoMaxSpace_; }
  void SetUndoMaxSpace(int32_t space);
  const TUndoList& UndoRecords() const { return undo_; }
  // Marks the last record so that one undo also undoes the record before it
  // (a move of text by drag and drop: the deletion and the insertion).
  void LinkLastUndoRecord();

  // --- Marks: stretches underlined with a wave, with a hint for the pointer ---
  // Replaces every mark (positions follow the position rule) and repaints.
  void SetMarks(std::vector<TTextMark> marks);
  const TTextMarks& Marks() const { return marks_; }
  // The mark on the character under a point of the client area, or nullptr.
  const TTextMark* MarkAtPoint(int x, int y);

  // --- Search ---
  bool FindText(std::u16string_view text, bool down, bool fromEnd, bool wholeWord, bool matchCase);
  // FindText from the caret, for a pattern that may hold line breaks too
  // (it then matches across paragraphs, searched as one text).
  bool FindAcross(std::u16string_view text, bool down, bool wholeWord, bool matchCase);
  // True when the selection is exactly one match of text.
  bool SelectionMatches(std::u16string_view text, bool wholeWord, bool matchCase) const;
  // Replaces every match of text, in the whole text or only inside the
  // selection, by one edit (one undo step, highlighting repaired once).
  // The caret keeps its place among the text around it (inside a match: the
  // replacement's start); with inSelection the selection covers the replaced
  // stretch afterwards. The count of matches replaced; 0 for a read-only text.
  int ReplaceAll(std::u16string_view text, std::u16string_view replacement, bool wholeWord, bool matchCase,
                 bool inSelection);

  // --- Clipboard ---
  void CopyToClipboard();
  void CutToClipboard();
  void PasteFromClipboard();
  // The clipboard used (the platform's by default; tests give their own).
  TClipboard* Clipboard = nullptr;

  // --- Keyboard (the host routes its key events here) ---
  // A key went down; true when the control handled it.
  bool KeyDown(TpmKey key, TShiftState shift);
  // A character was typed (printable, or Ctrl+letter control codes).
  bool KeyPress(char16_t c);
  // A key was released: only OnKeyUp sees it.
  void KeyUp(TpmKey key, TShiftState shift);
  // The control got or lost the input focus (OnEnter, OnExit).
  void DoEnter();
  void DoExit();

  // --- Window (the host that shows the control) ---
  // Attaching a host gives the control its layout engine, painter and
  // formatter; detaching it (nullptr) stops the formatting and drops them.
  void SetHost(TWindowHost* host);
  TWindowHost* Host() const { return host_; }
  // nullptr while there is no host.
  TLayoutEngine* Layout() const { return layout_.get(); }
  TPainter* Painter() const { return painter_.get(); }
  TpmFormatter* Formatter() const { return formatter_.get(); }
  TpmUpdateMode UpdateMode() const { return updateMode_; }
  // Stops the formatting of the old mode before the new one applies.
  void SetUpdateMode(TpmUpdateMode mode);
  // After a change of LayoutSettings, WordWrap or TabStops: everything is laid out anew.
  void LayoutChanged();
  // The client area's size in pixels.
  void SetClientSize(int width, int height);
  // Scroll offsets in pixels; firing OnHScroll / OnVScroll when they change.
  void SetScrollPos(int hScroll, int vScroll);
  int HScroll() const;
  int VScroll() const;
  // Scrolls the caret into view: vertically by its line, horizontally in
  // steps of 5 average character widths when lines are not wrapped to the width.
  void ScrollInView();
  // Lays the text out up to display line `line` (nothing without a host).
  void LayOutUpToLine(int32_t line) const;
  // Lays every paragraph out (nothing without a host).
  void LayOutAllLines() const;
  // The text of display line i (laid out first); empty beyond the end.
  std::u16string LineText(int32_t i) const;

  // --- Mouse (the host routes presses and releases here) ---
  // Places the caret at the point (Shift extends the selection) and fires OnAfterMouseDown.
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  // With the left button held: extends the selection to the point.
  void MouseMove(TShiftState shift, int x, int y);
  // Fires OnContext when released over a run with a context (see ContextRunAt).
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
  // The run with a context (Kind bit 7, ContextNum not 0) at position pos, as
  // context number and its start and end; false when there is none.
  bool ContextRunAt(int32_t pos, int32_t& context, int32_t& start, int32_t& stop) const;

  // --- Keyboard, mouse and option behaviour ---
  // Double-click: selects the word around the point (not when DisplayOnly).
  void MouseDblClick(int x, int y);
  // Wheel delta in 120ths of a notch; scrolls MouseWheelFactor lines per notch.
  void MouseWheel(int delta);
  // The pointer's cursor at the client point with no button held.
  TpmCursorInfo CursorAt(int x, int y, TShiftState shift);
  // The built-in context menu's items with their enabled state and actions.
  std::vector<TpmMenuItem> DefaultPopupItems();
  // A drag of the selection is running (the mouse went down on it and moved).
  bool Dragging() const { return dragging_; }
  // The host painted the control: listeners see a paint message.
  void Painted();
  // The message being handled, for listeners told of pnBeforeMessage / pnAfterMessage.
  const TpmMessage& LastMessage() const { return message_; }
  // Ctrl+E: repaints the whole control and verifies the store (raising on a fault).
  void CheckStore();
  // The caret's column on the screen in average character widths, free space included.
  int32_t ScreenColumn();
  // The application's own context menu; without one (and without
  // pmoNoDefaultPopup) a right-button release shows the built-in menu.
  TComponent* PopupMenu = nullptr;

  // --- Update bracketing ---
  void BeginUpdate();
  void EndUpdate();

  bool StaticFormat() const { return paragraphs_->StaticFormat; }
  // Changing it with text present reloads the text (which clears undo).
  void SetStaticFormat(bool on);
  // Turning pmoDiscardTrailingSpaces on reloads the text, trimming every paragraph.
  void SetOptions(TPlusMemoOptions options);

  // Listeners register and unregister themselves.
  void AddListener(TPlusMemoListener* listener);
  void RemoveListener(TPlusMemoListener* listener);
  void NotifyListeners(uint32_t flags);

  TPlusMemoOptions Options{pmoWrapCaret, pmoInsertKeyActive, pmoWideOverwriteCaret, pmoAutoScrollBars};
  TCharSet Separators = DefaultSeparators();
  int TabStops = 8;
  bool WordWrap = true;
  // Margins, wrapping, alignment and fonts of the layout; its WordWrap,
  // TabStops and StaticFormat follow the control's own properties.
  TLayoutSettings LayoutSettings;
  // Colours, caret and selection display.
  TPaintSettings PaintSettings;
  TPlusLineBreak LineBreak = pbCRLF;
  char16_t NullReplacement = 0;
  unsigned ProgressInterval = 300;
  std::function<void(TComponent*)> OnProgress;
  TParseEvent OnParse;

  // Visual switches kept with the painting settings.
  bool Overwrite() const { return PaintSettings.Overwrite; }
  void SetOverwrite(bool on);
  bool DisplayOnly() const { return PaintSettings.DisplayOnly; }
  void SetDisplayOnly(bool on);
  bool HideSelection() const { return PaintSettings.HideSelection; }
  void SetHideSelection(bool on);
  bool WantTabs = true;           // the control takes Tab from the dialog manager
  bool EnableHotKeys = true;      // the Ctrl letter keys are active
  bool PassOverCodes = true;      // caret moves step over format codes
  int MouseWheelFactor = -1;      // lines per wheel notch; below 0: the system's setting at first use
  uint8_t ShowNonPrintChars = 0;  // pmNPSpace | pmNPTab | pmNPReturn

  TKeywordList Keywords;
  TStartStopKeyList StartStopKeys;
  bool ApplyKeyWords = true;
  bool ApplyStartStopKeys = true;
  int32_t UpdateCount = 0;
  bool ReadOnly = false;
  bool CaretMoved = false;
  int32_t VirtualColumn = 0;
  int32_t RememberedX = INT32_MIN;  // INT32_MIN: none
  bool BlockMode = false;
  int32_t BlockStartCol = 0;
  int32_t BlockStopCol = 0;

  TpmBeforeChangeEvent OnBeforeChange;
  TNotifyEvent OnChange;
  TNotifyEvent OnSelMove;
  TNotifyEvent OnStyleChange;
  TContextEvent OnContext;
  TNotifyEvent OnHScroll;
  TNotifyEvent OnVScroll;
  TMouseEvent OnAfterMouseDown;
  // The events every window control has; each fires before the control's
  // own handling of the same input.
  TKeyEvent OnKeyDown;
  TKeyPressEvent OnKeyPress;
  TKeyEvent OnKeyUp;
  TNotifyEvent OnClick;  // left button released after a press in the control
  TNotifyEvent OnDblClick;
  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;

 private:
  // --- keyboard and mouse rules (PlusMemoUKeys, PlusMemoUCaret, PlusMemoUTyping, PlusMemoUMouse) ---
  bool HandleKeyDown(TpmKey key, TShiftState shift);
  bool HandleChar(char16_t c);
  bool HotKey(TpmKey key, TShiftState shift);
  bool DisplayOnlyKey(TpmKey key, TShiftState shift);
  void InsertFormatCodes(char16_t code);
  // The end of every caret key: the selection dropped, kept (persistent
  // blocks) or extended from its anchor; caret redrawn and scrolled into view.
  void EndCaretMove(int32_t target, int32_t virtualColumn, bool extend, bool keepRememberedX = false);
  // Moves the caret alone, leaving a persistent block where it is.
  void PlaceCaret(int32_t pos);
  void MoveLeft(TShiftState shift);
  void MoveRight(TShiftState shift);
  void MoveVertically(int32_t lines, TShiftState shift);
  void PageMove(int direction, TShiftState shift);
  // x of the navigator from its line's text origin (average widths without a window).
  int64_t TextX(TPlusNavigatorU& nav);
  // The position on display line `line` nearest x, and the x it lands on.
  int32_t PosAtX(int32_t line, int64_t x, int64_t& landed);
  int AverageWidth() const;
  int VisibleLines() const;
  void TypeChar(char16_t c);
  void Enter();
  void Backspace(bool ctrl);
  void DeleteKey(TShiftState shift);
  std::u16string SmartTabFill();
  // Runs an edit under the pmoNoOverwriteBlocks rule.
  void KeepingBlock(const std::function<void()>& edit);
  // SetSelTextBuf's work on a text of its own; `removed` as RecordUndo takes it.
  void ReplaceSelection(std::u16string text, std::u16string* removed = nullptr);
  // ReplaceRange on a text the store does not hold.
  TReplaceResult ReplaceRangeOwned(int32_t start, int32_t stop, std::u16string text);
  void SelectAndDelete(int32_t from, int32_t to);
  // The column insertion itself, at the caret's screen column.
  void InsertColumns(std::u16string_view text);
  // After a deletion with pmoKeepColumnPos the caret keeps its screen column.
  void KeepColumnAfterDelete(int32_t oldColumn);
  void Drop(int x, int y, bool copy);
  // The position under the point with free space beyond a paragraph end (or
  // on a tab) when the column is kept or a column block runs.
  int32_t PointPos(int x, int y, int32_t& virtualColumn);
  bool OverSelection(int32_t pos) const;
  TpmMessage message_;
  bool dragPending_ = false;  // the left button went down on the selection
  bool dragging_ = false;
  bool lineSelecting_ = false;
  int mouseDownX_ = 0;
  int mouseDownY_ = 0;
  int wheelRemainder_ = 0;

  // Places both selection ends and the caret; the selection runs n from the caret.
  void PlaceSelection(int32_t caret, int32_t n);
  void NotifySelMove();
  void FinishChange();
  // The undo record of replacing start … stop; `removed`, when it holds
  // exactly that text, is taken for it instead of a copy from the store.
  void RecordUndo(int32_t start, int32_t stop, bool& keep, std::u16string* removed = nullptr);
  std::u16string BlockText() const;
  void DeleteBlock();
  void CleanFormatCodes(int32_t from, int32_t to);
  void RepairHighlighting(const TReplaceResult& r, const TDynInfo& startStyle, int32_t start, int32_t newEnd);

  std::unique_ptr<TParagraphsList> paragraphs_;
  std::vector<TPlusNavigatorU*> navigators_;
  TPlusHighlighterU* highlighter_ = nullptr;
  scan::TParagraphText scanText_;
  int scanTextPar_ = -1;
  uint64_t editGeneration_ = 0;  // advanced by every change of the text
  uint64_t scanTextGeneration_ = ~uint64_t{0};
  TpmUpperCase upperCaseType_ = pmuAscii;

  void Reload();
  void SyncLayoutSettings();
  void UnlinkHighlighter();
  // The caret navigator's format-code style when OnStyleChange last fired.
  uint8_t notifiedStyle_ = 0;
  TWindowHost* host_ = nullptr;
  TpmUpdateMode updateMode_ = umBackground;
  // Declared in this order so that the formatter (which uses the layout) goes first.
  std::unique_ptr<TLayoutEngine> layout_;
  std::unique_ptr<TPainter> painter_;
  std::unique_ptr<TpmFormatter> formatter_;
  // Paragraphs changed since the last repaint request (dirtyFrom_ > dirtyTo_: none).
  int dirtyFrom_ = INT32_MAX;
  int dirtyTo_ = -1;
  int32_t dirtyLineCount_ = 0;  // the line count before those changes
  // Asks the host to repaint display lines from … to (clipped to the view).
  void InvalidateLines(int32_t from, int32_t to);
  // Asks the host to repaint what the changed paragraphs cover.
  void InvalidateChanged();
  int32_t mouseAnchor_ = 0;
  int32_t mouseDownPos_ = -1;  // where the left button went down; -1: not down
  bool leftPressed_ = false;   // a left press in the control waits for its release (OnClick)

  std::vector<TPlusMemoListener*> listeners_;
  std::unique_ptr<TPlusLinesStrings> lines_;
  std::unique_ptr<TPlusNavigatorU> selStartNav_;
  std::unique_ptr<TPlusNavigatorU> selStopNav_;
  std::unique_ptr<TPlusNavigatorU> caretNav_;
  int32_t selLength_ = 0;
  int32_t notifiedCaret_ = 0;
  int32_t notifiedColumn_ = 0;
  TUndoList undo_;
  int32_t undoMaxLevel_ = 1024;
  int32_t undoMaxSpace_ = 65536;
  int undoRunning_ = 0;
  bool loading_ = false;
  bool cleaningCodes_ = false;
  // The folded copy of the last paragraph FindText searched.
  TFoldedParagraph findFolded_;
  TTextMarks marks_;
};

}  // namespace qm
